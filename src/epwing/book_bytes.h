// The fields of the EPWING book's files: integers big-endian, text
// positions (a page from 1 and an offset in it) binary in the indexes and
// BCD in the text's references and pictures. Every field the writer stores
// goes through here.
#ifndef HZ2HTML_EPWING_BOOK_BYTES_H_
#define HZ2HTML_EPWING_BOOK_BYTES_H_

#include <cstdint>
#include <string>

namespace hz {

constexpr uint64_t kBookPageSize = 2048;

inline void StoreBE16(uint32_t v, char* at) {
  at[0] = static_cast<char>(v >> 8 & 0xFF);
  at[1] = static_cast<char>(v & 0xFF);
}

inline void StoreBE32(uint32_t v, char* at) {
  StoreBE16(v >> 16, at);
  StoreBE16(v & 0xFFFF, at + 2);
}

inline void AppendBE16(uint32_t v, std::string* out) {
  char b[2];
  StoreBE16(v, b);
  out->append(b, 2);
}

inline void AppendBE32(uint32_t v, std::string* out) {
  char b[4];
  StoreBE32(v, b);
  out->append(b, 4);
}

// The page (from 1) and the offset in it of a byte offset of a file.
inline uint32_t PageOf(uint64_t position) { return static_cast<uint32_t>(position / kBookPageSize + 1); }
inline uint32_t OffsetOf(uint64_t position) { return static_cast<uint32_t>(position % kBookPageSize); }

// A position in binary: page (4 bytes) and offset (2 bytes).
inline void AppendPosition(uint64_t position, std::string* out) {
  AppendBE32(PageOf(position), out);
  AppendBE16(OffsetOf(position), out);
}

// n decimal digits of v in BCD, two a byte, at at (n / 2 bytes).
inline void StoreBcd(uint32_t v, int digits, char* at) {
  for (int i = digits / 2 - 1; i >= 0; --i) {
    const uint32_t low = v % 10, high = v / 10 % 10;
    at[i] = static_cast<char>(high << 4 | low);
    v /= 100;
  }
}

// A position in BCD: page (8 digits) and offset (4 digits), 6 bytes.
inline void StoreBcdPosition(uint64_t position, char* at) {
  StoreBcd(PageOf(position), 8, at);
  StoreBcd(OffsetOf(position), 4, at + 4);
}

// Pads the file with zero bytes to a whole number of pages.
inline void PadToPage(std::string* file) {
  const uint64_t rest = file->size() % kBookPageSize;
  if (rest != 0) file->append(kBookPageSize - rest, '\0');
}

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_BYTES_H_
