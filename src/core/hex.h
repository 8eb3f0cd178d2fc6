// Hexadecimal digits as the converter reads and writes them: in character references
// ("&#xF040;"), gaiji codes ("F040"), code points ("U+9AD9") and font files.
#ifndef HZ2HTML_CORE_HEX_H_
#define HZ2HTML_CORE_HEX_H_

#include <cstddef>
#include <cstdint>
#include <string>

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

// Formats the four upper-case hexadecimal digits of a 16-bit code ("F040")
// into the four bytes at hex.
inline void FormatHex4(uint32_t code, char* hex) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  hex[0] = kDigits[(code >> 12) & 15];
  hex[1] = kDigits[(code >> 8) & 15];
  hex[2] = kDigits[(code >> 4) & 15];
  hex[3] = kDigits[code & 15];
}

// The four digits of FormatHex4 as a string.
inline std::string Hex4(uint32_t code) {
  char hex[4];
  FormatHex4(code, hex);
  return std::string(hex, 4);
}

}  // namespace hz

#endif  // HZ2HTML_CORE_HEX_H_
