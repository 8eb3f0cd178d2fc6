// What the book build asks of the system besides files to read and pages to
// write: a hidden work directory and its removal, whole files written as
// they are, links, moves, programs found on the PATH and run with their
// output read as it comes, and an interruption that stops them. The book is
// built on POSIX systems only (FreePWING runs there), so this layer has its
// POSIX side only.
#ifndef HZ2HTML_PLATFORM_BOOK_SYSTEM_H_
#define HZ2HTML_PLATFORM_BOOK_SYSTEM_H_

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// A symbolic link at link pointing at target; 0 or the system's error.
int MakeLink(const std::string& target, const std::string& link);

// Renames from over to (both in one file system); 0 or the system's error.
int MovePath(const std::string& from, const std::string& to);

// True when path names an existing file or directory.
bool PathExists(const std::string& path);

// The absolute form of a path (the current directory before a relative one).
std::string AbsolutePath(const std::string& path);

// The full path of program on the PATH, or "".
std::string FindProgram(const std::string& program);

// The directory of the running program ("" when it cannot be told).
std::string ProgramDirectory();

// Runs argv[0] (looked up on the PATH) with the arguments argv in the
// directory dir, its standard output and error both handed to line, a line
// at a time, as they come. Returns the program's exit status; 127 when it
// could not be started, 128 + the signal when a signal ended it, -1 when an
// interruption (below) stopped it. The program runs in the C locale (LC_ALL),
// so that what it sorts is in byte order.
int RunProgram(const std::vector<std::string>& argv, const std::string& dir,
               const std::function<void(const std::string& line)>& line);

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

// Takes what is written to standard output until EndCapture, which returns
// it and gives standard output back.
struct OutputCapture {
  int saved = -1;  // standard output as it was
  int file = -1;   // where the output goes meanwhile
};
OutputCapture CaptureStandardOutput();
std::string EndCapture(OutputCapture capture);

// From now on, SIGINT, SIGTERM and SIGHUP do not end the process at once:
// they stop the program RunProgram runs (its whole process group) and set
// the flag that Interrupted() reads, so that the caller can clean up and
// then end with ResumeInterruption().
void CatchInterruptions();
bool Interrupted();
// Ends the process by the signal that interrupted it, as it would have.
[[noreturn]] void ResumeInterruption();

// Makes a FIFO (a named pipe) at path; 0 or the system's error code.
int MakeFifo(const std::string& path);

// Writes a FIFO from a thread of its own while the caller runs the program
// that reads it: write(file) is called once the reader has opened the FIFO,
// and the file is closed after it. A reader that goes away makes the
// writes fail; the caller's signals are left to the caller's thread.
class FifoWriter {
 public:
  FifoWriter(const std::string& path, std::function<bool(std::FILE*)> write);
  ~FifoWriter();
  FifoWriter(const FifoWriter&) = delete;
  FifoWriter& operator=(const FifoWriter&) = delete;

  // Waits for the writing to end, giving up the wait for a reader that has
  // not come (the reading program did not start). True when write returned
  // true and the FIFO was closed cleanly.
  bool Finish();

  struct State;

 private:
  std::unique_ptr<State> s_;
};

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_BOOK_SYSTEM_H_
