// A data file open for reading. Only regular files are opened (a directory,
// a FIFO or a device in a data file's place gives a file that is not open),
// so no read can block or hang the run. Reads are positioned and checked:
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

  bool is_open() const { return fd_ >= 0; }
  // A file that is not open: true when nothing of that name exists;
  // otherwise open_error() tells why it could not be opened.
  bool missing() const { return missing_; }
  const std::string& open_error() const { return open_error_; }
  // The file's size in bytes when it was opened.
  uint64_t size() const { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n);

 private:
  static constexpr size_t kWindowSize = size_t{1} << 16;

  size_t ReadDirect(uint64_t offset, char* buf, size_t n) const;

  int fd_ = -1;
  uint64_t size_ = 0;
  bool missing_ = false;
  std::string open_error_;
  std::unique_ptr<char[]> window_;
  uint64_t window_at_ = 0;
  size_t window_len_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_INPUT_FILE_H_
