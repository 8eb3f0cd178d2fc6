// Hexadecimal digits as the converter reads them: in character references
// ("&#xF040;"), gaiji codes ("F040"), code points ("U+9AD9") and font files.
#ifndef HZ2HTML_CORE_HEX_H_
#define HZ2HTML_CORE_HEX_H_

#include <cstddef>
#include <cstdint>

namespace hz {

// The value of one hexadecimal digit (either case), or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of the n hexadecimal digits at s (n at most 8); false when there
// are none or one is not a digit.
inline bool ParseHexDigits(const char* s, size_t n, uint32_t* value) {
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) {
    const int d = HexDigitValue(s[i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *value = v;
  return n > 0 && n <= 8;
}

}  // namespace hz

#endif  // HZ2HTML_CORE_HEX_H_
