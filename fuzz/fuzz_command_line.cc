// Fuzz target for the command line: the input, split at zero bytes, is the
// argument vector.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args{"hz2html"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  if (!current.empty()) args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  hz::RunOptions options;
  std::vector<std::string> ignored;
  hz::CommandLineResult r =
      hz::ParseCommandLine(static_cast<int>(args.size()), argv.data(), &options, &ignored);
  if (r == hz::CommandLineResult::kRun) {
    // Both paths end in a separator; the extensions hold at most four bytes.
    if (options.in_path.empty() || options.out_path.empty()) abort();
    if (std::strlen(options.image_ext) > 4 || std::strlen(options.movie_ext) > 4) abort();
    char last = options.out_path.back();
    if (last != '\\' && last != '/') abort();
  }
  return 0;
}
