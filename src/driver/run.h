// The conversion run: start-up, command line, input check, output
// directory, banner, the six pages and the project file, in that order.
#ifndef HZ2HTML_DRIVER_RUN_H_
#define HZ2HTML_DRIVER_RUN_H_

#include <string>

namespace hz {

// Exit statuses of the run.
constexpr int kExitSuccess = 0;
constexpr int kExitUsage = -1;          // usage error or bad input directory
constexpr int kExitFramework = 1;       // the application framework failed
constexpr int kExitWriteFailure = 2;    // a page or the project file failed
constexpr int kExitDamaged = 3;         // --strict, and damaged data was warned of

// Where the converter's lines for standard output go: the banner, a line
// per file written ("->PATH"), the input directory's messages, "unknown link
// type", --help and --version. Each line ends with its '\n'.
class ConsoleOutput {
 public:
  enum class Kind { kBanner, kProgress, kMessage };
  virtual void Line(Kind kind, const std::string& line) = 0;

 protected:
  ~ConsoleOutput() = default;
};

// Runs the converter on the command line; returns the exit status. Its
// standard-output lines go to out, or to standard output when out is null.
int RunConverter(int argc, const char* const* argv, ConsoleOutput* out = nullptr);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_RUN_H_
