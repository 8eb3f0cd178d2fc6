#include "platform/input_file.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

InputFile::InputFile(const std::string& fs_path) {
  std::wstring path;
  if (!WidePath(fs_path, &path)) {
    missing_ = true;
    open_error_ = SystemMessage(ERROR_FILE_NOT_FOUND);
    return;
  }
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    missing_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    open_error_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                      ? "not a regular file"
                      : SystemMessage(error);
    return;
  }
  LARGE_INTEGER size;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
    open_error_ = "not a regular file";
    CloseHandle(h);
    return;
  }
  file_ = reinterpret_cast<intptr_t>(h);
  size_ = static_cast<uint64_t>(size.QuadPart);
}

InputFile::~InputFile() {
  if (is_open()) CloseHandle(reinterpret_cast<HANDLE>(file_));
}

size_t InputFile::ReadDirect(uint64_t offset, char* p, size_t n) const {
  size_t done = 0;
  while (done < n) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD want = n - done > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(n - done);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file_), p + done, want, &got, &at) || got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace hz
