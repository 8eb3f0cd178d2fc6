// The command line:
//   hz2html [-m={avi|mpg}][-f={jpg|bmp}] <inpath> [<outpath>]
// and -o followed by the output path. Options begin with '-' or '/'; their
// second character selects what they do. On POSIX an argument that begins
// with '/' and is a path (it holds another '/' or names an existing entry)
// is positional, not an option.
#ifndef HZ2HTML_DRIVER_COMMAND_LINE_H_
#define HZ2HTML_DRIVER_COMMAND_LINE_H_

#include <string>

#include "driver/run_options.h"

namespace hz {

extern const char kUsageLine[];
// Every option the parser acts on, as a user types it (null-terminated list).
extern const char* const kKnownOptions[];
extern const char kBanner[];

enum class CommandLineResult {
  kRun,      // options filled and paths normalised
  kUsage,    // usage error
  kHelp,     // --help
  kVersion,  // --version
};

CommandLineResult ParseCommandLine(int argc, const char* const* argv, RunOptions* options);

// Appends "\\" to a path whose last byte is neither '\\' nor '/'; an empty
// path becomes ".\\".
void NormalisePath(std::string* path);

// True when an argument that begins with '/' is an absolute path rather than
// an option.
bool IsAbsolutePathArgument(const char* arg);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_COMMAND_LINE_H_
