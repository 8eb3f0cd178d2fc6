#include "platform/arguments.h"

#include <utility>

namespace hz {

ProgramArguments::ProgramArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
  Keep(std::move(args));
}

}  // namespace hz
