#include "ebcheck/book_file_reads.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <mutex>

// The functions the linker's --wrap puts in place of open, read, lseek and
// close, and the system's own, which it names __real_*.
extern "C" {
int __real_open(const char* path, int flags, ...);
ssize_t __real_read(int fd, void* buffer, size_t n);
off_t __real_lseek(int fd, off_t offset, int whence);
int __real_close(int fd);
int __wrap_open(const char* path, int flags, ...);
ssize_t __wrap_read(int fd, void* buffer, size_t n);
off_t __wrap_lseek(int fd, off_t offset, int whence);
int __wrap_close(int fd);
}

namespace {

// A file mapped once however often it is open (the library opens the text
// file for its text, its pictures and its sounds).
struct Mapping {
  dev_t device = 0;
  ino_t inode = 0;
  const char* data = nullptr;
  size_t size = 0;
  int users = 0;
};
constexpr int kMappings = 16;
Mapping g_mappings[kMappings];
std::mutex g_mappings_lock;

// A file served from memory, by its descriptor. Descriptors past the table
// are read through the system.
struct Served {
  std::atomic<Mapping*> mapping{nullptr};
  off_t position = 0;
};
constexpr int kSlots = 1024;
Served g_served[kSlots];

// The directory whose files are served, with a '/' at its end.
char g_directory[PATH_MAX + 1];
std::atomic<bool> g_serving{false};
std::atomic<int> g_count{0};

Served* ServedFile(int fd) {
  if (fd < 0 || fd >= kSlots) return nullptr;
  return g_served[fd].mapping.load(std::memory_order_acquire) ? &g_served[fd] : nullptr;
}

// Whether path, resolved as the system resolves it, lies under the
// directory served. (Files are opened a handful of times a check.)
bool UnderDirectory(const char* path) {
  if (!g_serving.load(std::memory_order_acquire)) return false;
  char resolved[PATH_MAX];
  return realpath(path, resolved) && std::strncmp(resolved, g_directory, std::strlen(g_directory)) == 0;
}

// The mapping of the file open as fd, made or shared; nullptr when it
// cannot be mapped.
Mapping* MappingOf(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return nullptr;
  std::lock_guard<std::mutex> hold(g_mappings_lock);
  Mapping* free_slot = nullptr;
  for (Mapping& m : g_mappings) {
    if (m.users > 0 && m.device == st.st_dev && m.inode == st.st_ino && m.size == static_cast<size_t>(st.st_size)) {
      ++m.users;
      return &m;
    }
    if (m.users == 0 && !free_slot) free_slot = &m;
  }
  if (!free_slot) return nullptr;
  // Populated at once: one call maps every page instead of a fault each.
  void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (p == MAP_FAILED) return nullptr;
  *free_slot = {st.st_dev, st.st_ino, static_cast<const char*>(p), static_cast<size_t>(st.st_size), 1};
  return free_slot;
}

void Release(Mapping* m) {
  std::lock_guard<std::mutex> hold(g_mappings_lock);
  if (--m->users == 0) munmap(const_cast<char*>(m->data), m->size);
}

// Serves the file open read-only as fd, if it is a regular file under the
// directory served.
void Serve(int fd, const char* path, int flags) {
  if (fd < 0 || fd >= kSlots || (flags & O_ACCMODE) != O_RDONLY || !UnderDirectory(path)) return;
  Mapping* m = MappingOf(fd);
  if (!m) return;
  g_served[fd].position = 0;
  g_served[fd].mapping.store(m, std::memory_order_release);
  g_count.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" int __wrap_open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list args;
    va_start(args, flags);
    mode = static_cast<mode_t>(va_arg(args, int));
    va_end(args);
  }
  const int fd = __real_open(path, flags, mode);
  if (fd >= 0) {
    const int saved = errno;
    Serve(fd, path, flags);
    errno = saved;
  }
  return fd;
}

extern "C" ssize_t __wrap_read(int fd, void* buffer, size_t n) {
  Served* s = ServedFile(fd);
  if (!s) return __real_read(fd, buffer, n);
  const Mapping* m = s->mapping.load(std::memory_order_relaxed);
  const off_t size = static_cast<off_t>(m->size);
  const size_t left = s->position < size ? static_cast<size_t>(size - s->position) : 0;
  const size_t k = n < left ? n : left;
  std::memcpy(buffer, m->data + s->position, k);
  s->position += static_cast<off_t>(k);
  return static_cast<ssize_t>(k);
}

extern "C" off_t __wrap_lseek(int fd, off_t offset, int whence) {
  Served* s = ServedFile(fd);
  if (!s) return __real_lseek(fd, offset, whence);
  off_t base;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = s->position; break;
    case SEEK_END: base = static_cast<off_t>(s->mapping.load(std::memory_order_relaxed)->size); break;
    default: errno = EINVAL; return -1;
  }
  if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
    errno = EINVAL;
    return -1;
  }
  s->position = base + offset;
  return s->position;
}

extern "C" int __wrap_close(int fd) {
  if (Served* s = ServedFile(fd)) {
    if (Mapping* m = s->mapping.exchange(nullptr, std::memory_order_acq_rel)) Release(m);
  }
  return __real_close(fd);
}

namespace hz {

BookFileReads::BookFileReads(const std::string& dir) {
  // The library composes the paths it opens in its own way; both sides are
  // compared resolved.
  char resolved[PATH_MAX];
  if (!realpath(dir.c_str(), resolved)) return;
  size_t n = std::strlen(resolved);
  if (n + 2 > sizeof g_directory) return;
  std::memcpy(g_directory, resolved, n);
  if (n == 0 || g_directory[n - 1] != '/') g_directory[n++] = '/';
  g_directory[n] = '\0';
  g_serving.store(true, std::memory_order_release);
}

BookFileReads::~BookFileReads() { g_serving.store(false, std::memory_order_release); }

int BookFileReads::ServedCount() { return g_count.load(std::memory_order_relaxed); }

}  // namespace hz
