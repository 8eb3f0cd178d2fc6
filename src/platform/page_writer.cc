#include "platform/page_writer.h"

#include <errno.h>
#include <unistd.h>

#include <string>

namespace hz {

PageWriter::PageWriter(int fd) : fd_(fd) {
  if (fd_ >= 0) buf_.reserve(kBufferSize + 2);
}

void PageWriter::Write(const char* p, size_t n) {
  while (n > 0) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', n));
    size_t run = lf ? static_cast<size_t>(lf - p) : n;
    while (run > 0) {
      if (fd_ >= 0 && buf_.size() >= kBufferSize) Drain();
      size_t room = fd_ >= 0 ? kBufferSize - buf_.size() : run;
      size_t take = run < room ? run : room;
      buf_.insert(buf_.end(), p, p + take);
      p += take;
      n -= take;
      run -= take;
    }
    if (lf) {
      Put('\n');
      ++p;
      --n;
    }
  }
}

void PageWriter::Dec4(int32_t v) {
  char tmp[16];
  int len = 0;
  uint32_t mag = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  do {
    tmp[len++] = static_cast<char>('0' + mag % 10);
    mag /= 10;
  } while (mag);
  int width = v < 0 ? 3 : 4;
  if (v < 0) PutRaw('-');
  for (int i = len; i < width; ++i) PutRaw('0');
  while (len) PutRaw(tmp[--len]);
}

void PageWriter::Hex4(uint32_t v) {
  static const char kDigits[] = "0123456789abcdef";
  char tmp[8];
  int len = 0;
  do {
    tmp[len++] = kDigits[v & 15];
    v >>= 4;
  } while (v);
  for (int i = len; i < 4; ++i) PutRaw('0');
  while (len) PutRaw(tmp[--len]);
}

void FormatCharRef(uint32_t code, char* ref) {
  static const char kDigits[] = "0123456789ABCDEF";
  ref[0] = '&';
  ref[1] = '#';
  ref[2] = 'x';
  ref[3] = kDigits[(code >> 12) & 15];
  ref[4] = kDigits[(code >> 8) & 15];
  ref[5] = kDigits[(code >> 4) & 15];
  ref[6] = kDigits[code & 15];
  ref[7] = ';';
}

void PageWriter::Drain() {
  if (fd_ < 0) return;
  const char* p = buf_.data();
  size_t n = buf_.size();
  while (n > 0 && error_ == 0) {
    ssize_t w = ::write(fd_, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
    } else if (w == 0) {
      error_ = EIO;
    } else {
      p += w;
      n -= static_cast<size_t>(w);
    }
  }
  buf_.clear();
}

bool PageWriter::Flush() {
  Drain();
  return error_ == 0;
}

}  // namespace hz
