#include "platform/file_system.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

bool IsShiftJisPath(const std::string&) { return true; }

// '/' starts an option on Windows; paths begin with a drive or "\\".
bool IsPathArgument(const char*) { return false; }

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

void CreateDirectoryLevel(const std::string& fs_path) {
  std::wstring path;
  if (WidePath(fs_path, &path)) CreateDirectoryW(path.c_str(), nullptr);
}

}  // namespace hz
