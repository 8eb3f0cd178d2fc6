// Little-endian fields of the dictionary's files. Every integer the readers
// take from a file is decoded here, byte by byte, lowest offset least
// significant; fields stand at any alignment.
#ifndef HZ2HTML_DATA_BYTES_H_
#define HZ2HTML_DATA_BYTES_H_

#include <cstdint>

namespace hz {

inline uint32_t LoadU32LE(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The two's-complement reading of a 32-bit pattern.
inline int32_t ToSigned32(uint32_t u) {
  return u <= 0x7FFFFFFFu ? static_cast<int32_t>(u)
                          : -static_cast<int32_t>(~u) - 1;
}

inline int32_t LoadI32LE(const unsigned char* p) { return ToSigned32(LoadU32LE(p)); }

}  // namespace hz

#endif  // HZ2HTML_DATA_BYTES_H_
