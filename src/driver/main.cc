// hz2html: converts the data directory of a Harukaze dictionary into HTML
// pages and the project file of an electronic book.
#include <cstdio>

#include "driver/run.h"
#include "platform/arguments.h"

int main(int argc, char** argv) {
  const hz::ProgramArguments args(argc, argv);
  if (const int n = args.unrepresentable()) {
    std::fprintf(stderr, "hz2html: argument %d holds a character that Shift-JIS cannot represent\n", n);
    return hz::kExitUsage;
  }
  return hz::RunConverter(args.count(), args.values());
}
