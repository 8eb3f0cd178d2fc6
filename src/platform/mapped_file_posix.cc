#include "platform/mapped_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace hz {

MappedFile::~MappedFile() {
  if (data_) munmap(data_, size_);
}

bool MappedFile::Open(const std::string& fs_path, uint64_t max_bytes, std::string* reason) {
  const int fd = open(fs_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *reason = errno == ENOENT || errno == ENOTDIR ? "missing" : std::string("cannot be read: ") + std::strerror(errno);
    return false;
  }
  struct stat st;
  bool ok = false;
  if (fstat(fd, &st) != 0) {
    *reason = std::string("cannot be read: ") + std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    *reason = "cannot be read: not a regular file";
  } else if (static_cast<uint64_t>(st.st_size) > max_bytes) {
    *reason = std::to_string(st.st_size) + " bytes, more than the " + std::to_string(max_bytes >> 20) + " MiB read";
  } else if (st.st_size == 0) {
    ok = true;
  } else {
    // Populated at once: one call maps every page instead of a fault each.
    void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p == MAP_FAILED) {
      *reason = std::string("cannot be read: ") + std::strerror(errno);
    } else {
      data_ = p;
      size_ = static_cast<size_t>(st.st_size);
      ok = true;
    }
  }
  close(fd);
  return ok;
}

void PreferLargePages(void* p, size_t n) {
#ifdef MADV_HUGEPAGE
  // Only whole pages inside the range.
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + page - 1) / page * page;
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + n) / page * page;
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)n;
#endif
}

}  // namespace hz
