#include "platform/code_page.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

bool AppendShiftJisAsUtf8(const char* sjis, size_t n, std::string* utf8) {
  std::wstring wide;
  if (!WideFromShiftJis(sjis, n, &wide)) return false;
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  const int need = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (need <= 0) return false;
  std::string converted(static_cast<size_t>(need), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &converted[0], need, nullptr, nullptr) != need) {
    return false;
  }
  *utf8 += converted;
  return true;
}

void ShiftJisCodePoints(const uint32_t* codes, size_t n, uint32_t* points) {
  for (size_t i = 0; i < n; ++i) {
    points[i] = 0;
    char in[2];
    int in_len = 0;
    if (codes[i] > 0xFF) in[in_len++] = static_cast<char>(codes[i] >> 8);
    in[in_len++] = static_cast<char>(codes[i] & 0xFF);
    wchar_t wide[2];
    const int got = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, in, in_len, wide, 2);
    if (got == 1) points[i] = static_cast<uint32_t>(wide[0]);
  }
}

bool Utf8AsShiftJis(const std::string& utf8, std::string* sjis) {
  sjis->clear();
  if (utf8.empty()) return true;
  const int size = static_cast<int>(utf8.size());
  const int need = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (need <= 0) return false;
  std::wstring wide(static_cast<size_t>(need), L'\0');
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &wide[0], need) != need) {
    return false;
  }
  return ShiftJisFromWide(wide, sjis);
}

bool PathInShiftJis(const std::string& path, std::string* sjis) {
  *sjis = path;
  return true;
}

}  // namespace hz
