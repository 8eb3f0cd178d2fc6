// The program's arguments as the run reads them: Shift-JIS bytes. On POSIX
// they are the bytes as given. On Windows the system hands them over as
// UTF-16; each is converted to code page 932 without best-fit mappings, so
// that a Japanese path works whatever the system's code page, and a
// character Shift-JIS cannot hold (where a best fit could turn ¥ into a '\\'
// separator) is found instead of guessed at.
#ifndef HZ2HTML_PLATFORM_ARGUMENTS_H_
#define HZ2HTML_PLATFORM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace hz {

class ProgramArguments {
 public:
  // argc and argv as main received them.
  ProgramArguments(int argc, char** argv);

  // The arguments, the program's name first.
  int count() const { return static_cast<int>(pointers_.size()); }
  const char* const* values() const { return pointers_.data(); }
  // The number (from 1, after the program's name) of the first argument
  // that holds a character Shift-JIS cannot represent; 0 when there is none.
  int unrepresentable() const { return unrepresentable_; }

 private:
  void Keep(std::vector<std::string> args);

  std::vector<std::string> args_;
  std::vector<const char*> pointers_;
  int unrepresentable_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_ARGUMENTS_H_
