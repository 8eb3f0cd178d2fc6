#include "platform/page_file.h"

#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/file_system.h"
#include "platform/interrupt_signals_posix.h"

namespace hz {

namespace {

// The temporary file being written, for the signal handler. The run writes
// one page at a time, so one slot serves.
const char* volatile g_temp_path = nullptr;

extern "C" void RemoveTemporaryAndExit(int sig) {
  RemoveTemporaryFileNow();
  signal(sig, SIG_DFL);
  raise(sig);
}

// The process's file-creation mask.
mode_t CurrentUmask() {
  const mode_t m = umask(0);
  umask(m);
  return m;
}

}  // namespace

// Only what a signal handler may do: one unlink of a name already made.
void RemoveTemporaryFileNow() {
  if (const char* p = g_temp_path) unlink(p);
}

void RemoveTemporaryFileOnInterrupt() {
  HandleInterruptSignals(RemoveTemporaryAndExit);
}

namespace page_file {

const int kNotCreated = EBADF;

void Watch(const NativePath* temp) { g_temp_path = temp ? temp->c_str() : nullptr; }

bool FinalName(const std::string& path, NativePath* final, int*) {
  *final = ToFileSystemPath(path);
  return true;
}

// A hidden name beside the page (".honbun.html.XXXXXX"), so that a run
// killed beyond clean-up leaves nothing that looks like output.
intptr_t CreateTemporary(const NativePath& final, NativePath* temp, int* error) {
  const size_t base = final.rfind('/') + 1;  // 0 when there is no directory
  const std::string templ = final.substr(0, base) + "." + final.substr(base) + ".XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    *error = errno;
    return PageWriter::kNoFile;
  }
  *temp = name.data();
  return fd;
}

// The page gets the mode a newly created file would have.
bool Finish(intptr_t file, const NativePath&, int* error) {
  const int fd = static_cast<int>(file);
  const bool mode_set = fchmod(fd, 0666 & ~CurrentUmask()) == 0;
  if (!mode_set) *error = errno;
  const bool closed = close(fd) == 0;
  if (mode_set && !closed) *error = errno;
  return mode_set && closed;
}

bool MoveIntoPlace(const NativePath& temp, const NativePath& final, int* error) {
  if (rename(temp.c_str(), final.c_str()) == 0) return true;
  *error = errno;
  return false;
}

void Discard(intptr_t file, const NativePath& temp) {
  if (file != PageWriter::kNoFile) close(static_cast<int>(file));
  if (!temp.empty()) unlink(temp.c_str());
}

}  // namespace page_file

bool WriteToFile(intptr_t file, const char* p, size_t n, int* error) {
  while (n > 0) {
    const ssize_t w = ::write(static_cast<int>(file), p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      return false;
    }
    if (w == 0) {
      *error = EIO;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

std::string SystemErrorText(int error) { return strerror(error ? error : EIO); }

}  // namespace hz
