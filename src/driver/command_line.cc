#include "driver/command_line.h"

#include <cstring>

#include "platform/file_system.h"
#include "platform/shift_jis.h"

namespace hz {

const char kUsageLine[] = "Usage: hz2html [-m={avi|mpg}][-f={jpg|bmp}] <inpath> [<outpath>]\n";
const char kBanner[] = "HARUKAZE Toolkit ver1.04\n";

const OptionInfo kOptions[9] = {
    {"-f=", "EXT", OptionKind::kImageExtension,
     "image files' extension (default jpg; 4 characters kept)"},
    {"-m=", "EXT", OptionKind::kMovieExtension,
     "movie files' extension (default mpg; 4 characters kept)"},
    {"-o", " OUTPATH", OptionKind::kOutputPath,
     "write into OUTPATH, as the second path does (the later wins)"},
    {"--verbose", "", OptionKind::kVerbose,
     "name missing input files and sum up each page on stderr"},
    {"--strict", "", OptionKind::kStrict, "exit with 3 if a warning was printed (all is written)"},
    {"--gaiji", "", OptionKind::kGaiji, "write the gaiji inventory and the book's gaiji files too"},
    {"--gaiji-font", " FILE", OptionKind::kGaijiFont,
     "--gaiji, drawing the gaiji gaiji.tsv names from FILE"},
    {"--help", "", OptionKind::kHelp, "print this help and exit"},
    {"--version", "", OptionKind::kVersion, "print the version banner and exit"},
};

namespace {

const char kExitStatuses[] =
    "Options also begin with '/'. Exit status: 0 all written; 255 (-1) usage error,\n"
    "DATA or LIST missing or no directory; 1 start-up failed; 2 a file not written;\n"
    "3 all written, but with --strict a warning was printed.\n";

// -f=VALUE and -m=VALUE: the extension is cleared and takes at most four
// characters of the value.
void SetExtension(const char* value, char (&ext)[5]) {
  std::memset(ext, 0, sizeof ext);
  for (int i = 0; i < 4 && value[i]; ++i) ext[i] = value[i];
}

bool IsLongName(const char* name) { return name[0] == '-' && name[1] == '-'; }

// The option that arg (which begins with '-' or '/') stands for: a long
// option by its whole spelling, any other by its second character (and the
// '=' in third place, for options that take their value so). Null for an
// option the parser does not know, which is ignored.
const OptionInfo* FindOption(const char* arg) {
  for (const OptionInfo& o : kOptions) {
    if (IsLongName(o.name)) {
      if (std::strcmp(arg, o.name) == 0) return &o;
    } else if (arg[1] != '\0' && arg[1] == o.name[1] && (o.name[2] != '=' || arg[2] == '=')) {
      return &o;
    }
  }
  return nullptr;
}

// What the run says of an option it does not know. On POSIX an argument
// that begins with '/' but is no path is taken as an option: such a one is
// most likely a new output directory.
std::string IgnoredOption(const char* arg) {
  const std::string quoted = std::string("\"") + arg + "\"";
  if (arg[0] == '/' && SlashMayBeginPath()) {
    return quoted + " is neither an option nor an existing path: ignored (write \"" + arg +
           "/\" for a new directory)";
  }
  return "unknown option " + quoted + " ignored";
}

}  // namespace

std::string HelpText() {
  std::string text = kUsageLine;
  for (const OptionInfo& o : kOptions) {
    std::string left = std::string("  ") + o.name + o.argument;
    left.resize(left.size() < 20 ? 20 : left.size() + 1, ' ');
    text += left + o.help + "\n";
  }
  return text + kExitStatuses;
}

void NormalisePath(std::string* path) {
  if (path->empty()) {
    *path = ".\\";
    return;
  }
  // The start of the last character: in a Shift-JIS path a lead byte and
  // the byte after it are one character.
  size_t last = path->size() - 1;
  if (IsShiftJisPath(*path)) {
    for (size_t i = 0; i < path->size(); i += IsLeadByte(static_cast<unsigned char>((*path)[i])) ? 2 : 1) {
      last = i;
    }
  }
  const char c = (*path)[last];
  if (last != path->size() - 1 || (c != '\\' && c != '/')) *path += '\\';
}

CommandLineResult ParseCommandLine(int argc, const char* const* argv, RunOptions* options,
                                   std::vector<std::string>* ignored) {
  *options = RunOptions();
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] == '-' || (arg[0] == '/' && !IsPathArgument(arg))) {
      const OptionInfo* option = FindOption(arg);
      if (!option) {
        // Ignored, as ever, but named.
        ignored->push_back(IgnoredOption(arg));
        continue;
      }
      switch (option->kind) {
        case OptionKind::kImageExtension: SetExtension(arg + 3, options->image_ext); break;
        case OptionKind::kMovieExtension: SetExtension(arg + 3, options->movie_ext); break;
        case OptionKind::kOutputPath:
          if (i + 1 >= argc) return CommandLineResult::kUsage;
          options->out_path = argv[++i];
          break;
        case OptionKind::kVerbose: options->verbose = true; break;
        case OptionKind::kStrict: options->strict = true; break;
        case OptionKind::kGaiji: options->gaiji = true; break;
        case OptionKind::kGaijiFont:
          if (i + 1 >= argc) return CommandLineResult::kUsage;
          options->gaiji = true;
          options->gaiji_font = argv[++i];
          break;
        case OptionKind::kHelp: return CommandLineResult::kHelp;
        case OptionKind::kVersion: return CommandLineResult::kVersion;
      }
      continue;
    }
    if (positional == 0) {
      options->in_path = arg;
    } else if (positional == 1) {
      options->out_path = arg;
    } else {
      ignored->push_back(std::string("\"") + arg + "\" ignored: only two paths are taken");
    }
    ++positional;
  }
  if (positional == 0) return CommandLineResult::kUsage;
  NormalisePath(&options->in_path);
  NormalisePath(&options->out_path);
  return CommandLineResult::kRun;
}

}  // namespace hz
