#include "platform/page_file.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace hz {

namespace {

// The temporary file being written, for the signal handler. The run writes
// one page at a time, so one slot serves.
const char* volatile g_temp_path = nullptr;

extern "C" void RemoveTemporaryAndExit(int sig) {
  if (const char* p = g_temp_path) unlink(p);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryAndExit;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
}

PageFile::~PageFile() { Abandon(); }

bool PageFile::Create(const std::string& path) {
  Abandon();
  path_ = path;
  fs_path_ = ToFileSystemPath(path);
  error_ = 0;
  // A hidden name beside the page (".honbun.html.XXXXXX"), so that a run
  // killed beyond clean-up leaves nothing that looks like output.
  const size_t base = fs_path_.rfind('/') + 1;  // 0 when there is no directory
  std::string templ = fs_path_.substr(0, base) + "." + fs_path_.substr(base) + ".XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  fd_ = mkstemp(name.data());
  if (fd_ < 0) {
    error_ = errno;
    return false;
  }
  temp_path_ = name.data();
  g_temp_path = temp_path_.c_str();
  writer_ = std::make_unique<PageWriter>(fd_);
  return true;
}

bool PageFile::Commit() {
  if (fd_ < 0) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  bool ok = writer_->Flush();
  if (!ok) error_ = writer_->error();
  if (ok && fchmod(fd_, 0666 & ~CurrentUmask()) != 0) {
    error_ = errno;
    ok = false;
  }
  int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && ok) {
    error_ = errno;
    ok = false;
  }
  if (ok && rename(temp_path_.c_str(), fs_path_.c_str()) != 0) {
    error_ = errno;
    ok = false;
  }
  if (ok) {
    g_temp_path = nullptr;
    temp_path_.clear();
  } else {
    Abandon();
  }
  return ok;
}

void PageFile::Abandon() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    g_temp_path = nullptr;
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

void ReportCannotWrite(const PageFile& file) {
  fprintf(stderr, "hz2html: cannot write %s: %s\n", file.path().c_str(),
          strerror(file.error() ? file.error() : EIO));
  fflush(stderr);
}

}  // namespace hz
