// What hz2book asks of the system besides the files it reads and the pages
// the converter writes: a hidden work directory and its removal, whole files
// written as they are, moves, a second process that shares the checking,
// and an interruption that the run cleans up after. The book's checker runs
// on POSIX systems (the EB library), so this layer has its POSIX side only.
#ifndef HZ2HTML_PLATFORM_BOOK_SYSTEM_H_
#define HZ2HTML_PLATFORM_BOOK_SYSTEM_H_

#include <functional>
#include <string>

namespace hz {

// Makes a new hidden directory in dir ("dir/.book-XXXXXX"); its path, or ""
// with the system's error in *error.
std::string MakeWorkDirectory(const std::string& dir, int* error);

// Removes path and everything below it; false when something stays.
bool RemoveTree(const std::string& path);

// Writes bytes as the whole content of a new file (mode 0666 minus the
// umask); 0 or the system's error code.
int WriteWholeFile(const std::string& path, const std::string& bytes);

// Makes one directory (and no parents); 0 or the system's error code.
int MakeDirectory(const std::string& path);

// Renames from over to (both in one file system); 0 or the system's error.
int MovePath(const std::string& from, const std::string& to);

// True when path names an existing file or directory.
bool PathExists(const std::string& path);

// Runs child_work in a child process while the caller runs parent_work, so
// that both processors work; *result is what child_work returned. False
// when the child did not end by returning it whole (it crashed, or was
// killed): *result is then what came before. When no child can be made,
// both run here, one after the other. An interruption (below) stops the
// child too.
bool RunBeside(const std::function<std::string()>& child_work, const std::function<void()>& parent_work,
               std::string* result);

// True when standard error is a terminal (progress may then update a line).
bool StandardErrorIsTerminal();

// From now on, SIGINT, SIGTERM and SIGHUP do not end the process at once:
// they stop the second process RunBeside runs and set the flag that
// Interrupted() reads, so that the caller can clean up and then end with
// ResumeInterruption().
void CatchInterruptions();
bool Interrupted();
// Ends the process by the signal that interrupted it, as it would have.
[[noreturn]] void ResumeInterruption();

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_BOOK_SYSTEM_H_
