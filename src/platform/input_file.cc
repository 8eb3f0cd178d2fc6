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

}  // namespace hz
