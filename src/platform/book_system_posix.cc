#include "platform/book_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/interrupt_signals_posix.h"

namespace hz {

namespace {

volatile sig_atomic_t g_signal = 0;     // the interrupting signal, 0 while none
volatile sig_atomic_t g_child = 0;      // the second process's process group

extern "C" void OnInterrupt(int sig) {
  if (g_signal == 0) g_signal = sig;
  if (g_child > 0) kill(-static_cast<pid_t>(g_child), SIGTERM);
}

// Reads fd to its end, handing take each piece as it comes.
void ReadToEnd(int fd, const std::function<void(const char*, size_t)>& take) {
  char buf[4096];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    take(buf, static_cast<size_t>(n));
  }
}

// Waits for the child pid; its wait status.
int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

bool WriteAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

std::string MakeWorkDirectory(const std::string& dir, int* error) {
  std::string templ = dir + "/.book-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) {
    *error = errno;
    return "";
  }
  return name.data();
}

bool RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* d = opendir(path.c_str())) {
      while (struct dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        RemoveTree(path + "/" + e->d_name);
      }
      closedir(d);
    }
    return rmdir(path.c_str()) == 0;
  }
  return unlink(path.c_str()) == 0;
}

int WriteWholeFile(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  const int error = written ? 0 : (errno ? errno : EIO);
  if (close(fd) != 0 && written) return errno;
  return error;
}

int MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 ? 0 : errno; }

int MovePath(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool RunBeside(const std::function<std::string()>& child_work, const std::function<void()>& parent_work,
               std::string* result) {
  int fds[2];
  const pid_t pid = pipe(fds) == 0 ? fork() : -1;
  if (pid < 0) {
    parent_work();
    *result = child_work();
    return true;
  }
  if (pid == 0) {
    close(fds[0]);
    setpgid(0, 0);
    const std::string done = child_work();
    _exit(WriteAll(fds[1], done.data(), done.size()) ? 0 : 1);
  }
  setpgid(pid, pid);
  g_child = pid;
  close(fds[1]);
  parent_work();
  result->clear();
  ReadToEnd(fds[0], [result](const char* p, size_t n) { result->append(p, n); });
  close(fds[0]);
  const int status = WaitFor(pid);
  g_child = 0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool StandardErrorIsTerminal() { return isatty(2) != 0; }

void CatchInterruptions() {
  HandleInterruptSignals(OnInterrupt);
}

bool Interrupted() { return g_signal != 0; }

void ResumeInterruption() {
  const int sig = g_signal != 0 ? g_signal : SIGTERM;
  signal(sig, SIG_DFL);
  raise(sig);
  _exit(128 + sig);
}

}  // namespace hz
