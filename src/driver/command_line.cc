#include "driver/command_line.h"

#include <sys/stat.h>

#include <cstring>

namespace hz {

const char kUsageLine[] = "Usage: hz2html [-m={avi|mpg}][-f={jpg|bmp}] <inpath> [<outpath>]\n";
const char kBanner[] = "HARUKAZE Toolkit ver1.04\n";
const char* const kKnownOptions[] = {"-f=", "-m=", "-o", "--help", "--version", nullptr};

namespace {

// -f=VALUE and -m=VALUE: the extension is cleared and takes at most four
// characters of the value.
void SetExtension(const char* value, char (&ext)[5]) {
  std::memset(ext, 0, sizeof ext);
  for (int i = 0; i < 4 && value[i]; ++i) ext[i] = value[i];
}

}  // namespace

bool IsAbsolutePathArgument(const char* arg) {
  if (arg[0] != '/' || arg[1] == '\0') return false;
  if (std::strchr(arg + 1, '/')) return true;
  struct stat st;
  return stat(arg, &st) == 0;
}

void NormalisePath(std::string* path) {
  if (path->empty()) {
    *path = ".\\";
  } else if (path->back() != '\\' && path->back() != '/') {
    *path += '\\';
  }
}

CommandLineResult ParseCommandLine(int argc, const char* const* argv, RunOptions* options) {
  *options = RunOptions();
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0) return CommandLineResult::kHelp;
    if (std::strcmp(arg, "--version") == 0) return CommandLineResult::kVersion;
    bool option = arg[0] == '-' || (arg[0] == '/' && !IsAbsolutePathArgument(arg));
    if (option) {
      switch (arg[1]) {
        case 'f':
          if (arg[2] == '=') SetExtension(arg + 3, options->imageExt);
          break;
        case 'm':
          if (arg[2] == '=') SetExtension(arg + 3, options->movieExt);
          break;
        case 'o':
          if (i + 1 >= argc) return CommandLineResult::kUsage;
          options->outPath = argv[++i];
          break;
        default:
          break;  // unknown options are ignored
      }
      continue;
    }
    if (positional == 0) {
      options->inPath = arg;
    } else if (positional == 1) {
      options->outPath = arg;
    }
    ++positional;
  }
  if (positional == 0) return CommandLineResult::kUsage;
  NormalisePath(&options->inPath);
  NormalisePath(&options->outPath);
  return CommandLineResult::kRun;
}

}  // namespace hz
