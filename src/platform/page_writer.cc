#include "platform/page_writer.h"

namespace hz {

PageWriter::PageWriter(intptr_t file)
    : file_(file), capacity_(file != kNoFile ? kBufferSize : 4096), buf_(new char[capacity_]),
      pos_(buf_.get()), end_(buf_.get() + capacity_) {}

void PageWriter::Dec4Long(int32_t v) {
  char tmp[16];
  int len = 0;
  uint32_t mag = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  do {
    tmp[len++] = static_cast<char>('0' + mag % 10);
    mag /= 10;
  } while (mag);
  char out[16];
  int n = 0;
  if (v < 0) out[n++] = '-';
  for (int i = len; i < (v < 0 ? 3 : 4); ++i) out[n++] = '0';
  while (len) out[n++] = tmp[--len];
  Write(out, static_cast<size_t>(n));
}

void PageWriter::MakeRoom(size_t n) {
  if (static_cast<size_t>(end_ - pos_) >= n) return;
  if (file_ != kNoFile) {
    Drain();
    return;
  }
  size_t used = size();
  size_t capacity = capacity_ * 2;
  while (capacity - used < n) capacity *= 2;
  std::unique_ptr<char[]> bigger(new char[capacity]);
  std::memcpy(bigger.get(), buf_.get(), used);
  buf_ = std::move(bigger);
  capacity_ = capacity;
  pos_ = buf_.get() + used;
  end_ = buf_.get() + capacity_;
}

void PageWriter::WriteLong(const char* p, size_t n) {
  // In pieces that fit the buffer even if every byte is a line feed.
  const size_t piece = kBufferSize / 4;
  while (n > 0) {
    size_t take = n < piece ? n : piece;
    MakeRoom(2 * take);
    char* o = pos_;
    for (size_t i = 0; i < take; ++i) {
      if (p[i] == '\n') *o++ = '\r';
      *o++ = p[i];
    }
    pos_ = o;
    p += take;
    n -= take;
  }
}

void PageWriter::Drain() {
  if (error_ == 0) WriteToFile(file_, buf_.get(), size(), &error_);
  pos_ = buf_.get();
}

bool PageWriter::Flush() {
  if (file_ != kNoFile) Drain();
  return error_ == 0;
}

}  // namespace hz
