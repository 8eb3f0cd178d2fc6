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
  file_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
}

InputFile::~InputFile() {
  if (is_open()) close(static_cast<int>(file_));
}

size_t InputFile::ReadDirect(uint64_t offset, char* p, size_t n) const {
  size_t done = 0;
  while (done < n) {
    ssize_t r = pread(static_cast<int>(file_), p + done, n - done, static_cast<off_t>(offset + done));
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
