#include "platform/file_system.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

bool IsShiftJisPath(const std::string&) { return true; }

// '/' starts an option on Windows; paths begin with a drive or "\\".
bool IsPathArgument(const char*) { return false; }

bool SlashMayBeginPath() { return false; }

std::string DefaultGaijiFont() {
  wchar_t module[32768];
  const DWORD n = GetModuleFileNameW(nullptr, module, sizeof module / sizeof module[0]);
  std::wstring dir(module, n);
  dir.erase(dir.find_last_of(L"\\/") + 1);
  std::string sjis;
  if (n == 0 || !ShiftJisFromWide(dir, &sjis)) sjis.clear();
  return sjis + "unifont_jp.hex";
}

std::string ToFileSystemPath(const std::string& name) { return name; }

// The file system matches names without regard to letter case.
std::string ResolveDictionaryName(const std::string& base, const std::string& rel) {
  return base + rel;
}

bool QueryFileStatus(const std::string& fs_path, bool* is_directory) {
  std::wstring path;
  if (!WidePath(fs_path, &path)) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  *is_directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return true;
}

const int kNameTaken = ERROR_ALREADY_EXISTS;

int CreateDirectoryLevel(const std::string& fs_path) {
  std::wstring path;
  if (!WidePath(fs_path, &path)) return ERROR_INVALID_NAME;
  if (CreateDirectoryW(path.c_str(), nullptr)) return 0;
  const int error = static_cast<int>(GetLastError());
  bool is_directory = false;
  if (error == ERROR_ALREADY_EXISTS && QueryFileStatus(fs_path, &is_directory) && is_directory) {
    return 0;
  }
  return error;
}

}  // namespace hz
