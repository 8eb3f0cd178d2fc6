// Shared pieces of the fuzz targets: a private scratch directory and a
// simple way to cut an input into parts.
#ifndef HZ2HTML_FUZZ_FUZZ_SUPPORT_H_
#define HZ2HTML_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace hzfuzz {

// A directory private to this process, created on first use.
const std::string& ScratchDir();

// Writes bytes to a file under the scratch directory; returns its path.
std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size);

// Reads an input as a sequence of parts: each part is a 2-byte
// little-endian length and that many bytes (cut short at the end).
class Parts {
 public:
  Parts(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool More() const { return p_ < end_; }
  std::string Next();
  uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  uint32_t Word();

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

// Appends a part in the form Parts reads (seed corpora).
void AppendPart(std::string* out, const std::string& part);

}  // namespace hzfuzz

#endif  // HZ2HTML_FUZZ_FUZZ_SUPPORT_H_
