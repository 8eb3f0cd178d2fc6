#include "driver/output_dirs.h"

#include "platform/file_system.h"
#include "platform/shift_jis.h"

namespace hz {

bool CreateOutputDirectories(const std::string& path, std::string* failed, int* error) {
  const size_t n = path.size();
  const bool shift_jis = IsShiftJisPath(path);
  // The mapping replaces separators byte for byte, so a prefix of the mapped
  // path is the mapped prefix.
  const std::string fs = ToFileSystemPath(path);
  // The first level that could not be made. The walk goes on past it: a
  // level the system cannot make but that is no directory of its own (the
  // server of a network path) does not stop the levels below it.
  *error = 0;
  size_t i = 0;
  while (i < n) {
    while (i < n && path[i] != '\\' && path[i] != '/') {
      i += (shift_jis && IsLeadByte(static_cast<unsigned char>(path[i]))) ? 2 : 1;
    }
    const size_t end = i < n ? i : n;
    // An empty level (a path that begins with a separator) is the root.
    const std::string level = fs.substr(0, end);
    bool is_directory = false;
    if (!level.empty() && !QueryFileStatus(level, &is_directory)) {
      const int e = CreateDirectoryLevel(level);
      if (e != 0 && *error == 0) {
        *failed = path.substr(0, end);
        *error = e;
      }
    }
    ++i;
  }
  // The path without its trailing separator.
  const size_t last = n > 1 ? n - 1 : n;
  bool is_directory = false;
  if (QueryFileStatus(fs.substr(0, last), &is_directory) && is_directory) return true;
  if (*error == 0) {
    // A file stands where the pages go.
    *failed = path.substr(0, last);
    *error = kNameTaken;
  }
  return false;
}

}  // namespace hz
