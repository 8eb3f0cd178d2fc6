#include "platform/mapped_file.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

MappedFile::~MappedFile() {
  if (data_) UnmapViewOfFile(data_);
  if (mapping_) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
}

bool MappedFile::Open(const std::string& fs_path, uint64_t max_bytes, std::string* reason) {
  std::wstring wide;
  if (!WidePath(fs_path, &wide)) {
    *reason = "missing";  // a name with no UTF-16 form names nothing
    return false;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    *reason = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? "missing" : "cannot be read: " + SystemMessage(e);
    return false;
  }
  LARGE_INTEGER size;
  bool ok = false;
  if (!GetFileSizeEx(file, &size)) {
    *reason = "cannot be read: " + SystemMessage(GetLastError());
  } else if (static_cast<uint64_t>(size.QuadPart) > max_bytes) {
    *reason = std::to_string(size.QuadPart) + " bytes, more than the " + std::to_string(max_bytes >> 20) + " MiB read";
  } else if (size.QuadPart == 0) {
    ok = true;
  } else {
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* p = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!p) {
      *reason = "cannot be read: " + SystemMessage(GetLastError());
      if (mapping) CloseHandle(mapping);
    } else {
      data_ = p;
      size_ = static_cast<size_t>(size.QuadPart);
      mapping_ = reinterpret_cast<intptr_t>(mapping);
      ok = true;
    }
  }
  CloseHandle(file);
  return ok;
}

void PreferLargePages(void*, size_t) {}

}  // namespace hz
