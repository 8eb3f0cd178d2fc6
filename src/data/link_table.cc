#include "data/link_table.h"

#include <limits>
#include <string>

namespace hz {

CLinkTable::CLinkTable(const DictFile& name) : file_(name.fs_path) {
  if (!CheckOpened(file_, name)) return;
  Load();
  if (const uint64_t extra = file_.size() % sizeof(LinkName)) {
    name.Damaged("size " + std::to_string(file_.size()) + " is not a whole number of " +
                 std::to_string(sizeof(LinkName)) + "-byte entries (" + std::to_string(count_) +
                 " entries and " + std::to_string(extra) + " bytes)");
  }
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
