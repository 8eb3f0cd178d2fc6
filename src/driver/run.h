// The conversion run: start-up, command line, input check, output
// directory, banner, the six pages and the project file, in that order.
#ifndef HZ2HTML_DRIVER_RUN_H_
#define HZ2HTML_DRIVER_RUN_H_

namespace hz {

// Exit statuses of the run.
constexpr int kExitSuccess = 0;
constexpr int kExitUsage = -1;          // usage error or bad input directory
constexpr int kExitFramework = 1;       // the application framework failed
constexpr int kExitWriteFailure = 2;    // a page or the project file failed
constexpr int kExitDamaged = 3;         // --strict, and damaged data was warned of

// Runs the converter on the command line; returns the exit status.
int RunConverter(int argc, const char* const* argv);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_RUN_H_
