#include "platform/code_page.h"

#include <iconv.h>

#include "platform/file_system.h"
#include "core/utf8.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

// Converts n bytes at from with iconv from one encoding to another,
// appending to *to; false, appending nothing, when a byte sequence has no
// form in the other encoding.
bool Convert(const char* to_code, const char* from_code, const char* from, size_t n,
             std::string* to) {
  iconv_t cd = iconv_open(to_code, from_code);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char out[64];
  std::string converted;
  char* in = const_cast<char*>(from);
  size_t in_left = n;
  bool ok = true;
  while (ok && in_left > 0) {
    char* o = out;
    size_t out_left = sizeof out;
    ok = iconv(cd, &in, &in_left, &o, &out_left) != static_cast<size_t>(-1) || out_left < sizeof out;
    converted.append(out, sizeof out - out_left);
  }
  iconv_close(cd);
  if (ok) *to += converted;
  return ok;
}

// The number of characters below 0x80 in text, stepped as Shift-JIS when
// shift_jis is set (so that a trail byte is not counted).
size_t AsciiCharacters(const std::string& text, bool shift_jis) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++n;
    } else if (shift_jis && IsLeadByte(c)) {
      ++i;
    }
  }
  return n;
}

}  // namespace

bool AppendShiftJisAsUtf8(const char* sjis, size_t n, std::string* utf8) {
  return Convert("UTF-8", "CP932", sjis, n, utf8);
}

void ShiftJisCodePoints(const uint32_t* codes, size_t n, uint32_t* points) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  for (size_t i = 0; i < n; ++i) {
    points[i] = 0;
    if (cd == reinterpret_cast<iconv_t>(-1)) continue;
    char in[2];
    size_t in_left = 0;
    if (codes[i] > 0xFF) in[in_left++] = static_cast<char>(codes[i] >> 8);
    in[in_left++] = static_cast<char>(codes[i] & 0xFF);
    char out[8];
    char* ip = in;
    char* op = out;
    size_t out_left = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &in_left, &op, &out_left) == static_cast<size_t>(-1) || in_left != 0) continue;
    const size_t len = sizeof out - out_left;
    uint32_t cp = 0;
    if (len > 0 && ReadUtf8(out, op, &cp) == len) points[i] = cp;
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
}

bool Utf8AsShiftJis(const std::string& utf8, std::string* sjis) {
  sjis->clear();
  if (!IsValidUtf8(utf8) || !Convert("CP932", "UTF-8", utf8.data(), utf8.size(), sjis)) return false;
  // The system's table maps some characters to the "best fit" among ASCII
  // (a yen sign to a backslash, an overline to a tilde): no such thing.
  if (AsciiCharacters(*sjis, true) != AsciiCharacters(utf8, false)) {
    sjis->clear();
    return false;
  }
  return true;
}

bool PathInShiftJis(const std::string& path, std::string* sjis) {
  if (IsValidUtf8(path) && Utf8AsShiftJis(path, sjis)) return true;
  *sjis = path;
  return !IsValidUtf8(path);
}

}  // namespace hz
