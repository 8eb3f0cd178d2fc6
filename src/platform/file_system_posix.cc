#include "platform/file_system.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>

#include "platform/shift_jis.h"

namespace hz {

bool IsShiftJisPath(const std::string& path) { return !IsValidUtf8(path); }

bool IsPathArgument(const char* arg) {
  if (arg[0] != '/' || arg[1] == '\0') return false;
  if (std::strchr(arg + 1, '/')) return true;
  struct stat st;
  return stat(arg, &st) == 0;
}

bool SlashMayBeginPath() { return true; }

std::string DefaultGaijiFont() { return "/usr/share/unifont/unifont_jp.hex"; }

std::string ToFileSystemPath(const std::string& name) {
  std::string out = name;
  if (IsValidUtf8(name)) {
    for (char& c : out) {
      if (c == '\\') c = '/';
    }
    return out;
  }
  for (size_t i = 0; i < out.size();) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      i += 2;
    } else {
      if (c == '\\') out[i] = '/';
      ++i;
    }
  }
  return out;
}

namespace {

bool SameIgnoringAsciiCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] && i < b.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return a[i] == '\0' && i == b.size();
}

// The spelling under which component exists in dir: the exact one first,
// else the first case-insensitive match in byte order; the component itself
// when nothing matches (the open then fails as it should).
std::string MatchComponent(const std::string& dir, const std::string& component) {
  struct stat st;
  std::string exact = dir + component;
  if (stat(exact.c_str(), &st) == 0) return component;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return component;
  std::string best;
  bool found = false;
  while (struct dirent* e = readdir(d)) {
    if (SameIgnoringAsciiCase(e->d_name, component) &&
        (!found || std::strcmp(e->d_name, best.c_str()) < 0)) {
      best = e->d_name;
      found = true;
    }
  }
  closedir(d);
  return found ? best : component;
}

}  // namespace

std::string ResolveDictionaryName(const std::string& base, const std::string& rel) {
  std::string path = ToFileSystemPath(base);
  size_t start = 0;
  if (!path.empty() && path.back() != '/') {
    // A base that does not end in a separator (its last byte is the second
    // byte of a double-byte character) is glued to the first component.
    size_t end = rel.find('\\');
    if (end == std::string::npos) return path + rel;
    path += rel.substr(0, end) + '/';
    start = end + 1;
  }
  while (start <= rel.size()) {
    size_t end = rel.find('\\', start);
    if (end == std::string::npos) end = rel.size();
    std::string component = rel.substr(start, end - start);
    path += MatchComponent(path, component);
    if (end == rel.size()) break;
    path += '/';
    start = end + 1;
  }
  return path;
}

bool QueryFileStatus(const std::string& fs_path, bool* is_directory) {
  struct stat st;
  if (fs_path.empty() || stat(fs_path.c_str(), &st) != 0) return false;
  *is_directory = S_ISDIR(st.st_mode);
  return true;
}

const int kNameTaken = EEXIST;

int CreateDirectoryLevel(const std::string& fs_path) {
  if (mkdir(fs_path.c_str(), 0777) == 0) return 0;
  const int error = errno;
  // Made meanwhile by someone else: there it is.
  bool is_directory = false;
  if (error == EEXIST && QueryFileStatus(fs_path, &is_directory) && is_directory) return 0;
  return error;
}

}  // namespace hz
