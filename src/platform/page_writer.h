// The buffered page writer. Every page and the project file are written
// through one of these. Pages are text files of the dictionary's home
// platform: each line feed written is stored as CR LF, whatever the byte
// came from (markup, entry text or a key). The writer translates as it
// copies into a large buffer, and checks every write to the file; after the
// first failure it writes nothing more and keeps the error.
#ifndef HZ2HTML_PLATFORM_PAGE_WRITER_H_
#define HZ2HTML_PLATFORM_PAGE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace hz {

class PageWriter {
 public:
  static constexpr size_t kBufferSize = size_t{1} << 18;

  // file: an open output file (a file descriptor on POSIX, a handle on
  // Windows); kNoFile gives a writer that collects everything in memory
  // (tests, and the benchmark of the renderer).
  static constexpr intptr_t kNoFile = -1;
  explicit PageWriter(intptr_t file = kNoFile);
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  // One byte; a line feed is stored as CR LF.
  void Put(char c) {
    if (end_ - pos_ < 2) MakeRoom(2);
    if (c == '\n') *pos_++ = '\r';
    *pos_++ = c;
  }
  // n bytes, each line feed stored as CR LF.
  void Write(const char* p, size_t n) {
    if (static_cast<size_t>(end_ - pos_) < 2 * n) {
      WriteLong(p, n);
      return;
    }
    char* o = pos_;
    for (const char* e = p + n; p != e; ++p) {
      if (*p == '\n') *o++ = '\r';
      *o++ = *p;
    }
    pos_ = o;
  }
  // n bytes that hold no line feed, copied as they are.
  void WriteRaw(const char* p, size_t n) {
    if (static_cast<size_t>(end_ - pos_) < n) {
      WriteLong(p, n);
      return;
    }
    std::memcpy(pos_, p, n);
    pos_ += n;
  }
  // A zero-terminated string.
  void Str(const char* s) { Write(s, std::strlen(s)); }
  // A string literal: its length is known when the program is built.
  template <size_t N>
  void Lit(const char (&s)[N]) {
    Write(s, N - 1);
  }
  // A signed 32-bit number, decimal, zero-padded to at least four
  // characters including the sign ("0012", "-001").
  void Dec4(int32_t v) {
    if (v >= 0 && v <= 9999 && end_ - pos_ >= 4) {
      pos_[0] = static_cast<char>('0' + v / 1000);
      pos_[1] = static_cast<char>('0' + v / 100 % 10);
      pos_[2] = static_cast<char>('0' + v / 10 % 10);
      pos_[3] = static_cast<char>('0' + v % 10);
      pos_ += 4;
      return;
    }
    Dec4Long(v);
  }
  // Room for n more bytes (at most 64), which the caller fills in at once:
  // they hold no line feed. Valid until the next write.
  char* Reserve(size_t n) {
    if (static_cast<size_t>(end_ - pos_) < n) MakeRoom(n);
    char* at = pos_;
    pos_ += n;
    return at;
  }

  // Writes the buffer to the file; false once any write has failed.
  bool Flush();
  int error() const { return error_; }
  // Everything written so far (memory writers only: tests, the fuzz targets
  // and the benchmark of the renderer).
  std::string str() const { return std::string(buf_.get(), pos_); }
  const char* data() const { return buf_.get(); }
  size_t size() const { return static_cast<size_t>(pos_ - buf_.get()); }
  void Clear() { pos_ = buf_.get(); }

 private:
  // Makes room for at least n more bytes: drains a file writer, grows a
  // memory writer.
  void MakeRoom(size_t n);
  void Dec4Long(int32_t v);
  void WriteLong(const char* p, size_t n);
  void Drain();

  intptr_t file_;
  int error_ = 0;
  size_t capacity_;
  std::unique_ptr<char[]> buf_;
  char* pos_;
  char* end_;
};

// Writes all n bytes at p to the open output file; false, with the system's
// error code in *error, when that failed. (One side per platform.)
bool WriteToFile(intptr_t file, const char* p, size_t n, int* error);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_PAGE_WRITER_H_
