#include "driver/output_dirs.h"

#include "platform/file_system.h"
#include "platform/lead_byte.h"

namespace hz {

void CreateOutputDirectories(const std::string& path) {
  const size_t n = path.size();
  if (n == 0) return;
  const bool shift_jis = IsShiftJisPath(path);
  // The mapping replaces separators byte for byte, so a prefix of the mapped
  // path is the mapped prefix.
  const std::string fs = ToFileSystemPath(path);
  size_t i = 0;
  while (i < n) {
    while (i < n && path[i] != '\\' && path[i] != '/') {
      i += (shift_jis && IsLeadByte(static_cast<unsigned char>(path[i]))) ? 2 : 1;
    }
    std::string level = fs.substr(0, i < n ? i : n);
    bool is_directory;
    if (!QueryFileStatus(level, &is_directory)) CreateDirectoryLevel(level);
    ++i;
  }
}

}  // namespace hz
