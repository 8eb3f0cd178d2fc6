#include "platform/win_text.h"

#include <windows.h>

namespace hz {

namespace {
constexpr UINT kShiftJis = 932;
}

bool WideFromShiftJis(const char* sjis, size_t n, std::wstring* wide) {
  wide->clear();
  if (n == 0) return true;
  const int size = static_cast<int>(n);
  const int need = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, sjis, size, nullptr, 0);
  if (need <= 0) return false;
  wide->resize(static_cast<size_t>(need));
  return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, sjis, size, &(*wide)[0], need) == need;
}

bool ShiftJisFromWide(const std::wstring& wide, std::string* sjis) {
  sjis->clear();
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  const int need = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                       0, nullptr, &used_default);
  if (need <= 0 || used_default) return false;
  sjis->resize(static_cast<size_t>(need));
  return WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), size, &(*sjis)[0], need,
                             nullptr, &used_default) == need &&
         !used_default;
}

bool WidePath(const std::string& name, std::wstring* path) {
  std::wstring wide;
  if (name.empty() || !WideFromShiftJis(name.data(), name.size(), &wide)) return false;
  const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) return false;
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), need, &full[0], nullptr);
  if (got == 0 || got >= need) return false;
  full.resize(got);
  if (full.compare(0, 4, L"\\\\?\\") == 0) {
    *path = full;
  } else if (full.compare(0, 2, L"\\\\") == 0) {
    *path = L"\\\\?\\UNC\\" + full.substr(2);
  } else {
    *path = L"\\\\?\\" + full;
  }
  return true;
}

std::string SystemMessage(unsigned long error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = n > 0 && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) {
    wide.pop_back();
  }
  std::string sjis;
  if (wide.empty() || !ShiftJisFromWide(wide, &sjis)) return "error " + std::to_string(error);
  return sjis;
}

}  // namespace hz
