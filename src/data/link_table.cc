#include "data/link_table.h"

#include <limits>

namespace hz {

CLinkTable::CLinkTable(const std::string& fs_path) : file_(fs_path) {
  if (file_.is_open()) Load();
}

void CLinkTable::Load() {
  uint64_t n = file_.size() / sizeof(LinkName);
  if (n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    n = std::numeric_limits<int32_t>::max();
  }
  entries_.resize(static_cast<size_t>(n));
  size_t got = file_.ReadAt(0, entries_.data(), entries_.size() * sizeof(LinkName));
  entries_.resize(got / sizeof(LinkName));
  count_ = static_cast<int32_t>(entries_.size());
}

}  // namespace hz
