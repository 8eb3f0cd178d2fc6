// Shift-JIS text as the pages see it: the character codes with a role, the
// code a private-area character's reference carries, and stepping through
// text that ends with a zero byte.
#ifndef HZ2HTML_HTML_SJIS_H_
#define HZ2HTML_HTML_SJIS_H_

#include <cstdint>

#include "platform/shift_jis.h"

namespace hz {

// Character codes with a role in the pages.
constexpr uint32_t kLenticularOpen = 0x8179;   // 【
constexpr uint32_t kLenticularClose = 0x817A;  // 】
constexpr uint32_t kPrivateOpen = 0xF4AE;      // private-area stand-in for 【
constexpr uint32_t kPrivateClose = 0xF4AF;     // private-area stand-in for 】
constexpr uint32_t kDoubleAngleOpen = 0x8173;  // 《
constexpr uint32_t kDoubleAngleClose = 0x8174; // 》
constexpr uint32_t kParenOpen = 0x8169;        // （
constexpr uint32_t kParenClose = 0x816A;       // ）
constexpr uint32_t kMiddleDot = 0x8145;        // ・
constexpr uint32_t kFullWidthSpace = 0x8140;
constexpr uint32_t kPrivateAreaStart = 0xF040;
constexpr unsigned char kCR = 0x0D;

// The code whose two bytes a private-area character's reference carries:
// the character's own Shift-JIS code, so the character 0xF040 is written
// "&#xF040;".
inline uint32_t MapGaijiCode(uint32_t code) { return code; }

// Reads the character at p and steps over it. A lead byte and the byte after
// it form one character (lead x 256 + trail); any other byte is a character
// whose code is its value. Returns false, without stepping, at the
// terminating zero byte and at a lead byte directly before it, which is no
// character.
inline bool ReadChar(const unsigned char*& p, uint32_t* code) {
  unsigned char c = p[0];
  if (c == 0) return false;
  if (IsLeadByte(c)) {
    if (p[1] == 0) return false;
    *code = static_cast<uint32_t>(c) << 8 | p[1];
    p += 2;
    return true;
  }
  *code = c;
  p += 1;
  return true;
}

}  // namespace hz

#endif  // HZ2HTML_HTML_SJIS_H_
