// A data file open for reading. Only regular files are opened (a directory,
// a FIFO or a device in a data file's place gives a file that is not open),
// so no read can block or hang the run. Reads are positioned and checked:
// ReadAt returns the number of bytes actually read.
#ifndef HZ2HTML_DATA_INPUT_FILE_H_
#define HZ2HTML_DATA_INPUT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace hz {

class InputFile {
 public:
  explicit InputFile(const std::string& fs_path);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  bool is_open() const { return fd_ >= 0; }
  // The file's size in bytes when it was opened.
  uint64_t size() const { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_INPUT_FILE_H_
