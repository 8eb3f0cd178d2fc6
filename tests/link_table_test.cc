// Link-name tables.
#include <gtest/gtest.h>

#include "data/link_table.h"
#include "tests/test_support.h"
#include "tools/dict_builder.h"

using hzt::TempDir;
using hzt::WriteFile;

namespace {

TEST(CLinkTable, EntriesAndBounds) {
  TempDir dir;
  std::string bytes = hzb::DictBuilder::TableBytes({"abc", "abcdefgh"});
  WriteFile(dir / "t.TBL", bytes + "12345678");  // 40 bytes: 2 entries
  hz::CLinkTable t(dir / "t.TBL");
  ASSERT_EQ(t.GetCount(), 2);
  EXPECT_EQ(t.GetEntry(-1), nullptr);
  EXPECT_EQ(t.GetEntry(2), nullptr);
  ASSERT_NE(t.GetEntry(1), nullptr);
  EXPECT_EQ(std::string(t.GetEntry(1)->stem, 8), "abcdefgh");
  EXPECT_STREQ(t.GetEntry(0)->stem, "abc");
  EXPECT_EQ(t.GetEntry(int64_t{-2147483648LL} - 1), nullptr);
}

TEST(CLinkTable, MissingShortAndOddFiles) {
  TempDir dir;
  EXPECT_EQ(hz::CLinkTable(dir / "none.TBL").GetCount(), 0);
  WriteFile(dir / "s.TBL", "fifteen bytes..");
  EXPECT_EQ(hz::CLinkTable(dir / "s.TBL").GetCount(), 0);
  // A directory in a table's place is not opened.
  EXPECT_EQ(hz::CLinkTable(dir.path()).GetCount(), 0);
}

}  // namespace
