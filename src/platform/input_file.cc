#include "platform/input_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace hz {

InputFile::InputFile(const std::string& fs_path) {
  int fd = open(fs_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    missing_ = errno == ENOENT || errno == ENOTDIR;
    open_error_ = std::strerror(errno);
    return;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    open_error_ = "not a regular file";
    close(fd);
    return;
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
}

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

size_t InputFile::ReadAt(uint64_t offset, void* buf, size_t n) {
  char* out = static_cast<char*>(buf);
  if (fd_ < 0 || n == 0 || offset >= size_) return 0;
  if (n >= kWindowSize / 2) return ReadDirect(offset, out, n);
  if (offset < window_at_ || offset + n > window_at_ + window_len_) {
    if (!window_) window_.reset(new char[kWindowSize]);
    window_at_ = offset;
    window_len_ = ReadDirect(offset, window_.get(), kWindowSize);
  }
  size_t have = static_cast<size_t>(window_at_ + window_len_ - offset);
  size_t take = n < have ? n : have;
  std::memcpy(out, window_.get() + (offset - window_at_), take);
  return take;
}

size_t InputFile::ReadDirect(uint64_t offset, char* p, size_t n) const {
  size_t done = 0;
  while (done < n) {
    ssize_t r = pread(fd_, p + done, n - done, static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

}  // namespace hz
