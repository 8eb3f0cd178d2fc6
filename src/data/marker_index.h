// CMarkerIndex: the marker lists of a page merged into one index sorted by
// entry position.
//
// Each marker list is a list file (read as an entry list) that stands for
// one marker code: list\dCCCC00.lst holds the positions of code CCCC. A
// position's offset 0xFFFFFFFF means the record's first byte and is kept as
// 0. The sorted view orders the markers by record, then offset, both as
// unsigned 32-bit numbers, which is the order in which the page writers walk
// their entries; markers at one position keep the order in which they were
// added (ascending code, as the lists are added). The entries themselves stay
// in the order of addition.
#ifndef HZ2HTML_DATA_MARKER_INDEX_H_
#define HZ2HTML_DATA_MARKER_INDEX_H_

#include <cstdint>
#include <cstddef>
#include <string>
#include <vector>

#include "data/dict_file.h"
#include "data/records.h"

namespace hz {

// Used only by tests: the sort orders as a stable sort with this comparison.
int CompareMarkers(const MarkerEntry* const* a, const MarkerEntry* const* b);

// True when marker m lies before the position (record, offset), both
// compared as unsigned 32-bit numbers.
inline bool MarkerBefore(const MarkerEntry& m, int32_t record, int32_t offset) {
  uint32_t mr = static_cast<uint32_t>(m.record), r = static_cast<uint32_t>(record);
  return mr < r || (mr == r && static_cast<uint32_t>(m.offset) < static_cast<uint32_t>(offset));
}

class CMarkerIndex {
 public:
  CMarkerIndex() = default;
  CMarkerIndex(const CMarkerIndex&) = delete;
  CMarkerIndex& operator=(const CMarkerIndex&) = delete;
  virtual ~CMarkerIndex() = default;

  // Appends every entry of the list file name with code; returns the new
  // count.
  int32_t AddList(const DictFile& name, int32_t code);
  int32_t Sort();
  const MarkerEntry* const* GetSorted() const { return sorted_.empty() ? nullptr : sorted_.data(); }
  int32_t GetCount() const { return static_cast<int32_t>(entries_.size()); }
  // Used only by tests.
  const MarkerEntry& GetEntry(int32_t i) const { return entries_[static_cast<size_t>(i)]; }

 private:
  std::vector<MarkerEntry> entries_;
  // The entries again, in sorted order, so that the pages walk them
  // through memory in order; the sorted view points into this copy.
  std::vector<MarkerEntry> in_order_;
  std::vector<const MarkerEntry*> sorted_;
};

// Adds the marker lists of codes, in that order, from the dictionary, and
// sorts the index.
void LoadMarkerLists(CMarkerIndex* index, const Dictionary& dict, const int32_t* codes,
                     size_t count);

}  // namespace hz

#endif  // HZ2HTML_DATA_MARKER_INDEX_H_
