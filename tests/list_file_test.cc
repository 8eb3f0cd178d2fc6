// List files in both modes, whole and damaged.
#include <gtest/gtest.h>

#include "data/bytes.h"
#include "data/list_file.h"
#include "tests/test_support.h"
#include "tools/dict_builder.h"

using hzt::TempDir;
using hzt::WriteFile;

namespace {

std::string List(const std::vector<hzb::ListRow>& rows) { return hzb::DictBuilder::ListBytes(rows); }

TEST(CListFile, RecordNumbersOffsetsAndRuns) {
  TempDir dir;
  WriteFile(dir / "a.lst", List({{1, 0, 7, "k1"},
                                 {0x00010000, 0, 0, ""},
                                 {0xFFFFFFFF, 7, 0xFFFFFFFF, ""},
                                 {5, 0, 0, ""},
                                 {5, 0, 1, ""},
                                 {6, 0, 0, ""},
                                 {5, 0, 0, ""}}));
  hz::CListFile list(dir / "a.lst", 0);
  ASSERT_EQ(list.GetCount(), 7);
  EXPECT_EQ(list.GetEntry(0)->record, 1);
  EXPECT_EQ(list.GetEntry(0)->offset, 7);
  EXPECT_EQ(list.GetEntry(1)->record, 65536);
  EXPECT_EQ(list.GetEntry(2)->record, 7);
  EXPECT_EQ(list.GetEntry(2)->offset, -1);
  int runs[] = {1, 1, 1, 1, 2, 1, 1};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(list.GetEntry(i)->entryNo, runs[i]) << i;
  EXPECT_EQ(list.GetEntry(-1), nullptr);
  EXPECT_EQ(list.GetEntry(7), nullptr);
  EXPECT_EQ(list.GetKeyEntry(0), nullptr);
}

TEST(CListFile, KeyMode) {
  TempDir dir;
  std::string full(42, 'K');
  WriteFile(dir / "k.lst", List({{3, 0, 0, full}, {3, 0, 5, "ab"}}));
  hz::CListFile list(dir / "k.lst", 1);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(std::string(list.GetKeyEntry(0)->key, 42), full);
  EXPECT_EQ(std::string(list.GetKeyEntry(1)->key, 3), std::string("ab\0", 3));
  EXPECT_EQ(list.GetKeyEntry(1)->entryNo, 2);
  EXPECT_EQ(list.GetKeyEntry(1)->offset, 5);
  EXPECT_EQ(list.GetEntry(0), nullptr);
  EXPECT_EQ(list.GetKeyEntry(2), nullptr);
}

TEST(CListFile, DamagedLists) {
  TempDir dir;
  std::string good = List({{1, 0, 0, "a"}, {2, 0, 0, "b"}, {3, 0, 0, "c"}});
  EXPECT_EQ(hz::CListFile(dir / "none.lst", 0).GetCount(), 0);
  // Zero announced, whatever follows.
  std::string zero = good;
  hzt::PutU32LE(reinterpret_cast<unsigned char*>(&zero[42]), 0);
  WriteFile(dir / "z.lst", zero);
  EXPECT_EQ(hz::CListFile(dir / "z.lst", 0).GetCount(), 0);
  // Negative and huge counts.
  for (uint32_t announced : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 1000u}) {
    std::string bad = good;
    hzt::PutU32LE(reinterpret_cast<unsigned char*>(&bad[42]), announced);
    WriteFile(dir / "b.lst", bad);
    int expected = announced >= 0x80000000u ? 0 : 3;
    EXPECT_EQ(hz::CListFile(dir / "b.lst", 0).GetCount(), expected) << announced;
    EXPECT_EQ(hz::CListFile(dir / "b.lst", 1).GetCount(), expected) << announced;
  }
  // Truncated at every length: the whole records are kept.
  for (size_t n = 0; n <= good.size(); ++n) {
    WriteFile(dir / "t.lst", good.substr(0, n));
    hz::CListFile t(dir / "t.lst", n % 2);
    int expected = n < 54 ? 0 : static_cast<int>((n - 54) / 54);
    ASSERT_EQ(t.GetCount(), expected) << n;
    for (int i = 0; i < expected; ++i) {
      if (n % 2) {
        ASSERT_EQ(t.GetKeyEntry(i)->record, i + 1);
      } else {
        ASSERT_EQ(t.GetEntry(i)->record, i + 1);
      }
    }
  }
}

}  // namespace
