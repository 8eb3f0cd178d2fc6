// A file read whole by mapping it into memory: the system's cache of the
// file is read in place, with no copy and no zero-filled buffer, which for
// the pages of a whole dictionary (100 MB) is most of the cost of reading
// them. The bytes stay valid while the object lives.
#ifndef HZ2HTML_PLATFORM_MAPPED_FILE_H_
#define HZ2HTML_PLATFORM_MAPPED_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hz {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Maps the regular file at fs_path; false, with the reason as
  // ReadWholeFile words it ("missing", "cannot be read: ...", "N bytes, more
  // than the M MiB read"), when it cannot.
  bool Open(const std::string& fs_path, uint64_t max_bytes, std::string* reason);
  std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

 private:
  void* data_ = nullptr;
  size_t size_ = 0;
#ifdef _WIN32
  intptr_t mapping_ = 0;  // the mapping's handle
#endif
};

// Asks the system to back the memory [p, p + n) with large pages where it
// can (large buffers filled once: fewer page faults). Nothing else changes.
void PreferLargePages(void* p, size_t n);

// Reserves room for n bytes in *s, backed by large pages where the system
// allows (a buffer of many megabytes filled once).
inline void ReserveLarge(std::string* s, size_t n) {
  s->reserve(n);
  PreferLargePages(s->data(), s->capacity());
}

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_MAPPED_FILE_H_
