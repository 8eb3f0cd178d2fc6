#include "platform/arguments.h"

#include <utility>

namespace hz {

void ProgramArguments::Keep(std::vector<std::string> args) {
  args_ = std::move(args);
  pointers_.clear();
  for (const std::string& a : args_) pointers_.push_back(a.c_str());
}

}  // namespace hz
