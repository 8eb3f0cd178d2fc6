#include "platform/page_file.h"

#include <windows.h>

#include "platform/win_text.h"

namespace hz {

namespace {

// The temporary file being written, for the console handler, which runs on
// a thread of its own. The run writes one page at a time, so one slot
// serves.
const wchar_t* volatile g_temp_path = nullptr;

// Ctrl-C, Ctrl-Break, the console's closing: the temporary file goes (it is
// open with FILE_SHARE_DELETE, so it goes when the process ends), and the
// system's own handling ends the process.
BOOL WINAPI RemoveTemporaryOnConsoleEvent(DWORD) {
  RemoveTemporaryFileNow();
  return FALSE;
}

// A move that another program's open file holds up is tried again for
// about a second.
constexpr int kMoveTries = 20;
constexpr DWORD kMovePauseMs = 50;

bool HeldByAnotherProgram(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

// The temporary name beside the page: ".honbun.html." and six characters.
std::wstring TemporaryName(const std::wstring& page, unsigned n) {
  const size_t base = page.find_last_of(L"\\/") + 1;
  static const wchar_t kChars[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  unsigned long long seed = GetTickCount64() * 1000003ULL + GetCurrentProcessId() * 7919ULL + n;
  std::wstring suffix;
  for (int i = 0; i < 6; ++i, seed /= 36) suffix += kChars[seed % 36];
  return page.substr(0, base) + L"." + page.substr(base) + L"." + suffix;
}

}  // namespace

void RemoveTemporaryFileNow() {
  if (const wchar_t* p = g_temp_path) DeleteFileW(p);
}

void RemoveTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(RemoveTemporaryOnConsoleEvent, TRUE); }

namespace page_file {

const int kNotCreated = ERROR_INVALID_HANDLE;

void Watch(const NativePath* temp) { g_temp_path = temp ? temp->c_str() : nullptr; }

bool FinalName(const std::string& path, NativePath* final, int* error) {
  if (WidePath(path, final)) return true;
  *error = ERROR_PATH_NOT_FOUND;
  return false;
}

// Hidden by its name and its attribute; open for deletion too, so that an
// interruption can remove it while it is open.
intptr_t CreateTemporary(const NativePath& final, NativePath* temp, int* error) {
  for (unsigned n = 0; n < 100; ++n) {
    *temp = TemporaryName(final, n);
    HANDLE h = CreateFileW(temp->c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h != INVALID_HANDLE_VALUE) return reinterpret_cast<intptr_t>(h);
    *error = static_cast<int>(GetLastError());
    if (*error != ERROR_FILE_EXISTS) break;
  }
  return PageWriter::kNoFile;
}

// The page itself is not hidden.
bool Finish(intptr_t file, const NativePath& temp, int* error) {
  if (!CloseHandle(reinterpret_cast<HANDLE>(file)) ||
      !SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL)) {
    *error = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

bool MoveIntoPlace(const NativePath& temp, const NativePath& final, int* error) {
  for (int tries = 1;; ++tries) {
    if (MoveFileExW(temp.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD e = GetLastError();
    if (!HeldByAnotherProgram(e) || tries == kMoveTries) {
      *error = static_cast<int>(e);
      return false;
    }
    Sleep(kMovePauseMs);
  }
}

void Discard(intptr_t file, const NativePath& temp) {
  if (file != PageWriter::kNoFile) CloseHandle(reinterpret_cast<HANDLE>(file));
  if (!temp.empty()) DeleteFileW(temp.c_str());
}

}  // namespace page_file

bool WriteToFile(intptr_t file, const char* p, size_t n, int* error) {
  while (n > 0) {
    const DWORD want = n > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(n);
    DWORD written = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(file), p, want, &written, nullptr) || written == 0) {
      const DWORD e = GetLastError();
      *error = static_cast<int>(e != 0 ? e : ERROR_WRITE_FAULT);
      return false;
    }
    p += written;
    n -= written;
  }
  return true;
}

std::string SystemErrorText(int error) {
  return SystemMessage(error != 0 ? static_cast<DWORD>(error) : ERROR_WRITE_FAULT);
}

}  // namespace hz
