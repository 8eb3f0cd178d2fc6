// A data file open for reading. Only regular files are opened (a directory,
// a FIFO or a device in a data file's place gives a file that is not open),
// so no read can block or hang the run. fs_path is a name as the file
// system takes it (on Windows a composed name, converted at the call). Reads are positioned and checked:
// ReadAt returns the number of bytes actually read.
//
// Small reads are served from a read-ahead window of the file: records are
// usually laid out one after another, so a file of many small records is
// read in large pieces instead of one system call per record, while the
// memory held stays one window, whatever the file's size.
#ifndef HZ2HTML_PLATFORM_INPUT_FILE_H_
#define HZ2HTML_PLATFORM_INPUT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hz {

class InputFile {
 public:
  explicit InputFile(const std::string& fs_path);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool is_open() const { return file_ != kNotOpen; }
  // A file that is not open: true when nothing of that name exists;
  // otherwise open_error() tells why it could not be opened.
  bool missing() const { return missing_; }
  const std::string& open_error() const { return open_error_; }
  // The file's size in bytes when it was opened.
  uint64_t size() const { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n);

 private:
  static constexpr size_t kWindowSize = size_t{1} << 16;
  static constexpr intptr_t kNotOpen = -1;

  size_t ReadDirect(uint64_t offset, char* buf, size_t n) const;

  intptr_t file_ = kNotOpen;  // a file descriptor on POSIX, a handle on Windows
  uint64_t size_ = 0;
  bool missing_ = false;
  std::string open_error_;
  std::unique_ptr<char[]> window_;
  uint64_t window_at_ = 0;
  size_t window_len_ = 0;
};

// Reads the whole file at fs_path into *bytes. False, with the reason in
// *reason, when it cannot: "missing", "cannot be read: REASON" (the system's
// text), "N bytes, more than the M MiB read" when it is larger than
// max_bytes, or "cannot be read whole" when it shrank while being read.
bool ReadWholeFile(const std::string& fs_path, uint64_t max_bytes, std::string* bytes, std::string* reason);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_INPUT_FILE_H_
