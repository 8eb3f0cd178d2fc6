#include "platform/book_system.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/interrupt_signals_posix.h"

extern char** environ;

namespace hz {

namespace {

volatile sig_atomic_t g_signal = 0;     // the interrupting signal, 0 while none
volatile sig_atomic_t g_child = 0;      // the running program's process group

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

int MakeLink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0 ? 0 : errno;
}

int MovePath(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

std::string FindProgram(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : "";
  const char* env = getenv("PATH");
  const std::string path = env ? env : "/usr/bin:/bin";
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string dir = end > start ? path.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + program;
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return "";
}

std::string ProgramDirectory() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  std::string path(self, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/'));
}

int RunProgram(const std::vector<std::string>& argv, const std::string& dir,
               const std::function<void(const std::string& line)>& line) {
  if (argv.empty()) return 127;
  const std::string program = FindProgram(argv[0]);
  if (program.empty()) return 127;
  // Everything the child needs is made here: between fork and exec it may
  // only call what is safe while another thread (the stream's writer) holds
  // the allocator's lock.
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The programs sort what they write (FreePWING sorts the search words
  // with sort(1)), and the book's indexes need byte order, whatever the
  // user's locale would collate.
  static char kLocale[] = "LC_ALL=C";
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    if (strncmp(*e, "LC_ALL=", 7) != 0) env.push_back(*e);
  }
  env.push_back(kLocale);
  env.push_back(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return 127;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return 127;
  }
  if (pid == 0) {
    // A process group of its own, so that an interruption stops the
    // program and everything it started.
    setpgid(0, 0);
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    close(fds[0]);
    close(fds[1]);
    if (chdir(dir.c_str()) != 0) _exit(127);
    execve(program.c_str(), args.data(), env.data());
    _exit(127);
  }
  setpgid(pid, pid);
  g_child = pid;
  if (g_signal != 0) kill(-pid, SIGTERM);
  close(fds[1]);
  std::string pending;
  ReadToEnd(fds[0], [&](const char* p, size_t n) {
    pending.append(p, n);
    for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
      line(pending.substr(0, eol));
      pending.erase(0, eol + 1);
    }
  });
  if (!pending.empty()) line(pending);
  close(fds[0]);
  const int status = WaitFor(pid);
  g_child = 0;
  if (g_signal != 0) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 127;
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

OutputCapture CaptureStandardOutput() {
  std::fflush(stdout);
  OutputCapture c;
  FILE* tmp = tmpfile();
  if (!tmp) return c;
  c.file = dup(fileno(tmp));
  std::fclose(tmp);
  c.saved = dup(1);
  dup2(c.file, 1);
  return c;
}

std::string EndCapture(OutputCapture c) {
  std::fflush(stdout);
  std::string text;
  if (c.saved < 0) return text;
  dup2(c.saved, 1);
  close(c.saved);
  char buf[4096];
  ssize_t n;
  lseek(c.file, 0, SEEK_SET);
  while ((n = read(c.file, buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
  close(c.file);
  return text;
}

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

int MakeFifo(const std::string& path) { return mkfifo(path.c_str(), 0600) == 0 ? 0 : errno; }

struct FifoWriter::State {
  std::string path;
  std::function<bool(std::FILE*)> write;
  std::atomic<bool> abandon{false};
  bool ok = false;
  std::thread thread;
};

namespace {

// The writer's thread: waits for the FIFO's reader (giving up when told
// to), then writes. Signals go to the other threads: an interruption is
// the main thread's business, and a reader that went away shows as EPIPE.
void WriteFifo(FifoWriter::State* s) {
  sigset_t block;
  sigemptyset(&block);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&block, sig);
  pthread_sigmask(SIG_BLOCK, &block, nullptr);
  int fd = -1;
  while ((fd = open(s->path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && !s->abandon) {
    if (errno != ENXIO && errno != EINTR) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (fd < 0) return;
  const int flags = fcntl(fd, F_GETFL);
  std::FILE* out = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 ? fdopen(fd, "wb") : nullptr;
  if (!out) {
    close(fd);
    return;
  }
  std::setvbuf(out, nullptr, _IOFBF, size_t{1} << 16);
  const bool written = s->write(out);
  s->ok = std::fclose(out) == 0 && written;
}

}  // namespace

FifoWriter::FifoWriter(const std::string& path, std::function<bool(std::FILE*)> write)
    : s_(std::make_unique<State>()) {
  s_->path = path;
  s_->write = std::move(write);
  s_->thread = std::thread(WriteFifo, s_.get());
}

FifoWriter::~FifoWriter() { Finish(); }

bool FifoWriter::Finish() {
  if (s_->thread.joinable()) {
    s_->abandon = true;
    s_->thread.join();
  }
  return s_->ok;
}

}  // namespace hz
