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

}  // namespace hz
