#include "data/marker_index.h"

#include <algorithm>

#include "data/list_file.h"

namespace hz {

int CompareMarkers(const MarkerEntry* const* a, const MarkerEntry* const* b) {
  uint32_t ar = static_cast<uint32_t>((*a)->record), br = static_cast<uint32_t>((*b)->record);
  if (ar != br) return ar < br ? -1 : 1;
  uint32_t ao = static_cast<uint32_t>((*a)->offset), bo = static_cast<uint32_t>((*b)->offset);
  if (ao != bo) return ao < bo ? -1 : 1;
  return 0;
}

int32_t CMarkerIndex::AddList(const std::string& fs_path, int32_t code) {
  CListFile list(fs_path, 0);
  int32_t n = list.GetCount();
  entries_.reserve(entries_.size() + static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const ListEntry* e = list.GetEntry(i);
    entries_.push_back({e->record, e->offset == -1 ? 0 : e->offset, code});
  }
  return GetCount();
}

int32_t CMarkerIndex::Sort() {
  sorted_.clear();
  sorted_.reserve(entries_.size());
  for (const MarkerEntry& e : entries_) sorted_.push_back(&e);
  std::stable_sort(sorted_.begin(), sorted_.end(),
                   [](const MarkerEntry* a, const MarkerEntry* b) { return CompareMarkers(&a, &b) < 0; });
  return GetCount();
}

}  // namespace hz
