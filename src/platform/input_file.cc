#include "platform/input_file.h"

#include <cstring>

namespace hz {

size_t InputFile::ReadAt(uint64_t offset, void* buf, size_t n) {
  char* out = static_cast<char*>(buf);
  if (!is_open() || n == 0 || offset >= size_) return 0;
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

bool ReadWholeFile(const std::string& fs_path, uint64_t max_bytes, std::string* bytes, std::string* reason) {
  bytes->clear();
  InputFile file(fs_path);
  if (!file.is_open()) {
    *reason = file.missing() ? "missing" : "cannot be read: " + file.open_error();
    return false;
  }
  if (file.size() > max_bytes) {
    *reason = std::to_string(file.size()) + " bytes, more than the " + std::to_string(max_bytes >> 20) +
              " MiB read";
    return false;
  }
  bytes->resize(static_cast<size_t>(file.size()));
  if (file.ReadAt(0, &(*bytes)[0], bytes->size()) != bytes->size()) {
    bytes->clear();
    *reason = "cannot be read whole";
    return false;
  }
  return true;
}

}  // namespace hz
