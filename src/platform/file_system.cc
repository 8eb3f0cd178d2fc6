#include "platform/file_system.h"

namespace hz {

bool IsValidUtf8(const std::string& s) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
  size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    size_t extra;
    unsigned min;
    unsigned cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1; min = 0x80; cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2; min = 0x800; cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3; min = 0x10000; cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace hz
