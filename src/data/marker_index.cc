#include "data/marker_index.h"

#include <algorithm>
#include <cstdio>

#include "core/book_pages.h"
#include "data/list_file.h"

namespace hz {

int CompareMarkers(const MarkerEntry* const* a, const MarkerEntry* const* b) {
  uint32_t ar = static_cast<uint32_t>((*a)->record), br = static_cast<uint32_t>((*b)->record);
  if (ar != br) return ar < br ? -1 : 1;
  uint32_t ao = static_cast<uint32_t>((*a)->offset), bo = static_cast<uint32_t>((*b)->offset);
  if (ao != bo) return ao < bo ? -1 : 1;
  return 0;
}

int32_t CMarkerIndex::AddList(const DictFile& name, int32_t code) {
  CListFile list(name, 0);
  int32_t n = list.GetCount();
  // Grow once per list; geometrically, so that adding many lists does not
  // copy the entries again and again.
  size_t need = entries_.size() + static_cast<size_t>(n);
  if (need > entries_.capacity()) entries_.reserve(std::max(need, 2 * entries_.capacity()));
  for (int32_t i = 0; i < n; ++i) {
    const ListEntry* e = list.GetEntry(i);
    entries_.push_back({e->record, e->offset == -1 ? 0 : e->offset, code});
  }
  return GetCount();
}

namespace {

struct SortKey {
  uint64_t position;  // record << 32 | offset, both unsigned
  uint32_t index;     // order of addition
};

// Sorts by position with a least-significant-digit radix sort, which is
// stable: markers at one position keep their order of addition, exactly as
// a stable sort with CompareMarkers orders them. Digits that are the same
// in every key are skipped.
void RadixSort(std::vector<SortKey>* keys) {
  std::vector<SortKey> other(keys->size());
  std::vector<uint32_t> count(1 << 16);
  for (int shift = 0; shift < 64; shift += 16) {
    std::fill(count.begin(), count.end(), 0);
    for (const SortKey& k : *keys) ++count[(k.position >> shift) & 0xFFFF];
    if (!keys->empty() && count[((*keys)[0].position >> shift) & 0xFFFF] == keys->size()) continue;
    uint32_t sum = 0;
    for (uint32_t& c : count) {
      uint32_t here = c;
      c = sum;
      sum += here;
    }
    for (const SortKey& k : *keys) other[count[(k.position >> shift) & 0xFFFF]++] = k;
    keys->swap(other);
  }
}

}  // namespace

int32_t CMarkerIndex::Sort() {
  std::vector<SortKey> keys;
  keys.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    const MarkerEntry& e = entries_[i];
    keys.push_back({uint64_t{static_cast<uint32_t>(e.record)} << 32 | static_cast<uint32_t>(e.offset),
                    static_cast<uint32_t>(i)});
  }
  RadixSort(&keys);
  in_order_.clear();
  in_order_.reserve(keys.size());
  for (const SortKey& k : keys) in_order_.push_back(entries_[k.index]);
  sorted_.clear();
  sorted_.reserve(in_order_.size());
  for (const MarkerEntry& e : in_order_) sorted_.push_back(&e);
  return GetCount();
}

void LoadMarkerLists(CMarkerIndex* index, const Dictionary& dict, const int32_t* codes,
                     size_t count) {
  for (size_t i = 0; i < count; ++i) index->AddList(dict.File(MarkerListName(codes[i])), codes[i]);
  index->Sort();
}

}  // namespace hz
