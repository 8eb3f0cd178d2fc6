// The command line:
//   hz2html [-m={avi|mpg}][-f={jpg|bmp}] <inpath> [<outpath>]
// and -o followed by the output path. Options begin with '-' or '/'; their
// second character selects what they do. An argument that begins with '/'
// and is a path rather than an option (the platform decides) is positional.
#ifndef HZ2HTML_DRIVER_COMMAND_LINE_H_
#define HZ2HTML_DRIVER_COMMAND_LINE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "core/run_options.h"

namespace hz {

extern const char kUsageLine[];
extern const char kBanner[];

enum class OptionKind {
  kImageExtension,
  kMovieExtension,
  kOutputPath,
  kVerbose,
  kStrict,
  kGaiji,
  kGaijiFont,
  kHelp,
  kVersion,
};

// One option the parser knows: the parser finds options in this table, and
// --help and the manual page describe every entry.
struct OptionInfo {
  const char* name;      // as typed: "-f=", "-o", "--help"
  const char* argument;  // what follows the name, for the help ("EXT"), or ""
  OptionKind kind;
  const char* help;
};
extern const OptionInfo kOptions[9];

enum class CommandLineResult {
  kRun,      // options filled and paths normalised
  kUsage,    // usage error
  kHelp,     // --help
  kVersion,  // --version
};

// Fills options from the command line. Arguments that the run leaves unused
// (an unknown option, a third path) are named in *ignored, one message each.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, RunOptions* options,
                                   std::vector<std::string>* ignored);

// The text --help prints: the usage line, one line per option, the exit
// statuses.
std::string HelpText();

// Appends "\\" to a path whose last character is neither '\\' nor '/'; an
// empty path becomes ".\\". In a Shift-JIS path the last character may be a
// double-byte one whose second byte is 0x5C: that is no separator.
void NormalisePath(std::string* path);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_COMMAND_LINE_H_
