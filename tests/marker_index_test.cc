// The marker index: merged lists sorted by position.
#include <gtest/gtest.h>

#include "data/marker_index.h"
#include "tests/test_support.h"
#include "tools/dict_builder.h"

using hzt::TempDir;
using hzt::WriteFile;

namespace {

std::vector<std::tuple<int, int, int>> Sorted(const hz::CMarkerIndex& index) {
  std::vector<std::tuple<int, int, int>> out;
  const hz::MarkerEntry* const* sorted = index.GetSorted();
  for (int i = 0; i < index.GetCount(); ++i) {
    out.emplace_back(sorted[i]->record, sorted[i]->offset, sorted[i]->code);
  }
  return out;
}

TEST(CMarkerIndex, SortsByPositionAndKeepsAdditionOrder) {
  TempDir dir;
  WriteFile(dir / "a.lst", hzb::DictBuilder::ListBytes(
                               {{3, 0, 10, ""}, {2, 0, 50, ""}, {3, 0, 5, ""}, {12, 0, 0xFFFFFFFF, ""}}));
  WriteFile(dir / "b.lst", hzb::DictBuilder::ListBytes({{3, 0, 10, ""}, {12, 0, 0, ""}}));
  hz::CMarkerIndex index;
  EXPECT_EQ(index.AddList(dir / "a.lst", 2000), 4);
  EXPECT_EQ(index.AddList(dir / "missing.lst", 2001), 4);
  EXPECT_EQ(index.AddList(dir / "b.lst", 4000), 6);
  EXPECT_EQ(index.Sort(), 6);
  using T = std::tuple<int, int, int>;
  EXPECT_EQ(Sorted(index), (std::vector<T>{T{2, 50, 2000}, T{3, 5, 2000}, T{3, 10, 2000},
                                            T{3, 10, 4000}, T{12, 0, 2000}, T{12, 0, 4000}}));
  // The entries keep their order of addition.
  EXPECT_EQ(index.GetEntry(0).offset, 10);
  EXPECT_EQ(index.GetEntry(3).offset, 0);
  EXPECT_EQ(index.GetEntry(4).code, 4000);
}

TEST(CMarkerIndex, UnsignedOrder) {
  // Records and offsets of 2^31 and more sort last, as the page walks them.
  TempDir dir;
  WriteFile(dir / "a.lst", hzb::DictBuilder::ListBytes({{0x80000000u, 0, 0, ""},
                                                        {0xFFFFFFFEu, 0, 0, ""},
                                                        {1, 0, 0x80000000u, ""},
                                                        {1, 0, 3, ""}}));
  hz::CMarkerIndex index;
  index.AddList(dir / "a.lst", 9000);
  index.Sort();
  using T = std::tuple<int, int, int>;
  EXPECT_EQ(Sorted(index),
            (std::vector<T>{T{1, 3, 9000}, T{1, INT32_MIN, 9000}, T{INT32_MIN, 0, 9000},
                            T{-2, 0, 9000}}));
  // The comparison the order follows.
  const hz::MarkerEntry* const* sorted = index.GetSorted();
  for (int i = 1; i < index.GetCount(); ++i) EXPECT_LT(hz::CompareMarkers(&sorted[i - 1], &sorted[i]), 0);
  EXPECT_EQ(hz::CompareMarkers(&sorted[0], &sorted[0]), 0);
  EXPECT_GT(hz::CompareMarkers(&sorted[3], &sorted[0]), 0);
}

TEST(CMarkerIndex, Empty) {
  hz::CMarkerIndex index;
  EXPECT_EQ(index.Sort(), 0);
  EXPECT_EQ(index.GetCount(), 0);
}

}  // namespace
