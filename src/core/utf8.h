// UTF-8, the encoding of the book model and of the readers that take
// Unicode: one character appended, one character read.
#ifndef HZ2HTML_CORE_UTF8_H_
#define HZ2HTML_CORE_UTF8_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace hz {

// Appends the UTF-8 form of the code point cp (at most U+10FFFF).
inline void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | cp >> 6);
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | cp >> 12);
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | cp >> 18);
    *out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

inline std::string Utf8Of(uint32_t cp) {
  std::string s;
  AppendUtf8(cp, &s);
  return s;
}

// Reads the character at p (before end) into *cp and returns its length in
// bytes; a byte that begins no well-formed character is read as itself
// (U+0080 to U+00FF stand for such bytes) with length 1. p < end.
inline size_t ReadUtf8(const char* p, const char* end, uint32_t* cp) {
  const unsigned char c = static_cast<unsigned char>(p[0]);
  if (c < 0x80) {
    *cp = c;
    return 1;
  }
  size_t extra = 0;
  uint32_t v = 0, min = 0;
  if ((c & 0xE0) == 0xC0) {
    extra = 1, v = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2, v = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3, v = c & 0x07, min = 0x10000;
  }
  if (extra == 0 || static_cast<size_t>(end - p) <= extra) {
    *cp = c;
    return 1;
  }
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char d = static_cast<unsigned char>(p[k]);
    if ((d & 0xC0) != 0x80) {
      *cp = c;
      return 1;
    }
    v = v << 6 | (d & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    *cp = c;
    return 1;
  }
  *cp = v;
  return extra + 1;
}

// Calls each(cp) for every character of UTF-8 text.
template <typename Each>
void ForEachCodePoint(const std::string& text, Each each) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    uint32_t cp;
    p += ReadUtf8(p, end, &cp);
    each(cp);
  }
}

}  // namespace hz

#endif  // HZ2HTML_CORE_UTF8_H_
