// Record files and layout files, whole and damaged.
#include <gtest/gtest.h>

#include "data/bytes.h"
#include "data/dat_file.h"
#include "data/inf_file.h"
#include "tests/test_support.h"
#include "tools/dict_builder.h"

using hzt::ReadFile;
using hzt::TempDir;
using hzt::WriteFile;

namespace {

std::vector<hzb::Record> FourRecords() {
  std::vector<hzb::Record> r(4);
  r[0].text = "first\rline";
  r[1].text = "";
  r[2].text = "third";
  r[3].text = "fourth";
  r[2].styles = {{0, 2, 4}, {2, 1, 5}};
  r[2].links = {{1, 2, 1, 0, "ab01"}};
  r[2].anchors = {{"cd", 3}};
  return r;
}

void Put32(std::string* bytes, size_t at, uint32_t v) {
  hzt::PutU32LE(reinterpret_cast<unsigned char*>(&(*bytes)[at]), v);
}

TEST(CDatFile, LoadsRecordsByNumber) {
  TempDir dir;
  WriteFile(dir / "a.DAT", hzb::DictBuilder::DatBytes(FourRecords()));
  hz::CDatFile dat(dir / "a.DAT");
  ASSERT_EQ(dat.GetCount(), 4);
  EXPECT_EQ(dat.GetText(), nullptr);
  const char* third = dat.LoadRecord(3);
  ASSERT_NE(third, nullptr);
  EXPECT_STREQ(third, "third");
  EXPECT_EQ(dat.LoadRecord(3), third);
  EXPECT_STREQ(dat.LoadRecord(4), "fourth");
  EXPECT_STREQ(dat.LoadRecord(1), "first\rline");
  EXPECT_EQ(dat.GetLength(), 10u);
  EXPECT_STREQ(dat.LoadRecord(2), "");
  EXPECT_EQ(dat.LoadRecord(0), nullptr);
  EXPECT_EQ(dat.LoadRecord(5), nullptr);
  EXPECT_EQ(dat.LoadRecord(-1), nullptr);
  EXPECT_EQ(dat.GetText(), nullptr);
  EXPECT_STREQ(dat.LoadRecord(3), "third");
}

TEST(CDatFile, CachedRecordIsNotReadAgain) {
  TempDir dir;
  WriteFile(dir / "a.DAT", hzb::DictBuilder::DatBytes(FourRecords()));
  hz::CDatFile dat(dir / "a.DAT");
  const char* third = dat.LoadRecord(3);
  ASSERT_STREQ(third, "third");
  // Changing the record under the reader shows that the second load of the
  // same record reads nothing: the same buffer, the same text.
  std::string bytes = ReadFile(dir / "a.DAT");
  bytes.replace(bytes.find("third"), 5, "THIRD");
  WriteFile(dir / "a.DAT", bytes);
  EXPECT_EQ(dat.LoadRecord(3), third);
  EXPECT_STREQ(dat.LoadRecord(3), "third");
  EXPECT_STREQ(dat.LoadRecord(4), "fourth");
}

TEST(CDatFile, DamagedFiles) {
  TempDir dir;
  std::string good = hzb::DictBuilder::DatBytes(FourRecords());
  // Missing and empty files, a negative count, a count larger than the
  // index the file can hold.
  EXPECT_EQ(hz::CDatFile(dir / "missing.DAT").GetCount(), 0);
  WriteFile(dir / "e.DAT", "");
  EXPECT_EQ(hz::CDatFile(dir / "e.DAT").GetCount(), 0);
  std::string bad = good;
  Put32(&bad, 0, 0xFFFFFFFF);
  WriteFile(dir / "n.DAT", bad);
  EXPECT_EQ(hz::CDatFile(dir / "n.DAT").GetCount(), 0);
  bad = good;
  Put32(&bad, 0, 0x7FFFFFFF);
  WriteFile(dir / "big.DAT", bad);
  EXPECT_EQ(hz::CDatFile(dir / "big.DAT").GetCount(), static_cast<int>((good.size() - 4) / 8));
  // A record past the end of the file is loaded with the bytes present.
  bad = good.substr(0, good.size() - 3);
  WriteFile(dir / "t.DAT", bad);
  hz::CDatFile t(dir / "t.DAT");
  EXPECT_STREQ(t.LoadRecord(4), "fou");
  // A record whose offset lies past the end is empty; a huge length is cut.
  bad = good;
  Put32(&bad, 4 + 8 * 2, 0xFFFFFF00);
  Put32(&bad, 4 + 8 * 3 + 4, 0xFFFFFFFF);
  WriteFile(dir / "o.DAT", bad);
  hz::CDatFile o(dir / "o.DAT");
  EXPECT_STREQ(o.LoadRecord(3), "");
  EXPECT_STREQ(o.LoadRecord(4), "fourth");
  // Truncated at every length: never more records than whole index
  // entries, and every record loads within the file.
  for (size_t n = 0; n <= good.size(); ++n) {
    WriteFile(dir / "c.DAT", good.substr(0, n));
    hz::CDatFile c(dir / "c.DAT");
    int expected = n < 4 ? 0 : static_cast<int>(std::min<size_t>(4, (n - 4) / 8));
    ASSERT_EQ(c.GetCount(), expected) << n;
    for (int r = 1; r <= c.GetCount(); ++r) ASSERT_NE(c.LoadRecord(r), nullptr);
  }
}

TEST(CDatFile, CountWithoutWholeIndexEntry_null_copy) {
  // Count 3, but not one whole index entry: an empty reader, and no copy
  // into a buffer that does not exist.
  TempDir dir;
  WriteFile(dir / "a.DAT", std::string("\x03\x03\x00\x00\x00\x1c", 6));
  hz::CDatFile dat(dir / "a.DAT");
  EXPECT_EQ(dat.GetCount(), 0);
  EXPECT_EQ(dat.LoadRecord(1), nullptr);
}

TEST(CInfFile, LocatesTheThreeTables) {
  TempDir dir;
  WriteFile(dir / "a.INF", hzb::DictBuilder::InfBytes(FourRecords()));
  hz::CInfFile inf(dir / "a.INF");
  hz::TableView<hz::StyleSpan> styles;
  hz::TableView<hz::LinkSpan> links;
  hz::TableView<hz::AnchorEntry> anchors;
  inf.GetStyleSpans(&styles);
  EXPECT_EQ(styles.base, nullptr);
  EXPECT_EQ(styles.count, 0u);
  ASSERT_NE(inf.LoadRecord(3), nullptr);
  inf.GetStyleSpans(&styles);
  inf.GetLinkSpans(&links);
  inf.GetAnchors(&anchors);
  ASSERT_EQ(styles.count, 2u);
  EXPECT_EQ(styles[1].offset, 2u);
  EXPECT_EQ(styles[1].style, 5);
  ASSERT_EQ(links.count, 1u);
  EXPECT_EQ(links[0].kind, 1);
  EXPECT_EQ(std::string(links[0].label, 4), "ab01");
  ASSERT_EQ(anchors.count, 1u);
  EXPECT_EQ(anchors[0].offset, 3u);
  EXPECT_EQ(std::string(anchors[0].name, 2), "cd");
  ASSERT_NE(inf.LoadRecord(1), nullptr);
  inf.GetStyleSpans(&styles);
  EXPECT_EQ(styles.count, 0u);
  EXPECT_EQ(inf.LoadRecord(9), nullptr);
  inf.GetLinkSpans(&links);
  EXPECT_EQ(links.count, 0u);
}

TEST(CInfFile, SecondHeaderWordIsNotUsed) {
  TempDir dir;
  std::string bytes = hzb::DictBuilder::InfBytes(FourRecords());
  Put32(&bytes, 4, 0xDEADBEEF);
  WriteFile(dir / "a.INF", bytes);
  hz::CInfFile inf(dir / "a.INF");
  ASSERT_NE(inf.LoadRecord(3), nullptr);
  hz::TableView<hz::StyleSpan> styles;
  inf.GetStyleSpans(&styles);
  EXPECT_EQ(styles.count, 2u);
}

// A layout file of one record whose header places the tables as given.
std::string OneLayout(uint32_t style_rel, uint32_t style_size, uint32_t link_rel,
                      uint32_t link_size, size_t record_size) {
  std::string bytes(16 + record_size, '\0');
  Put32(&bytes, 0, 1);
  Put32(&bytes, 8, 16);
  Put32(&bytes, 12, static_cast<uint32_t>(record_size));
  Put32(&bytes, 16 + 8, 16 + style_rel);
  Put32(&bytes, 16 + 12, style_size);
  Put32(&bytes, 16 + 16, 16 + link_rel);
  Put32(&bytes, 16 + 20, link_size);
  return bytes;
}

TEST(CInfFile, TableSizesAndClipping) {
  TempDir dir;
  auto counts = [&](const std::string& bytes, uint32_t* styles, uint32_t* links,
                    ptrdiff_t* link_at = nullptr) {
    WriteFile(dir / "x.INF", bytes);
    hz::CInfFile inf(dir / "x.INF");
    const unsigned char* record = inf.LoadRecord(1);
    hz::TableView<hz::StyleSpan> s;
    hz::TableView<hz::LinkSpan> l;
    inf.GetStyleSpans(&s);
    inf.GetLinkSpans(&l);
    *styles = s.count;
    *links = l.count;
    if (link_at) *link_at = l.base && record ? l.base - record : -1;
  };
  uint32_t s, l;
  ptrdiff_t link_at;
  counts(OneLayout(48, 25, 100, 20, 200), &s, &l, &link_at);
  EXPECT_EQ(s, 2u);
  EXPECT_EQ(l, 1u);
  EXPECT_EQ(link_at, 100);
  counts(OneLayout(48, 11, 48, 0, 200), &s, &l);
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(l, 0u);
  // Clipped to the whole entries inside the record.
  counts(OneLayout(48, 1200, 180, 40, 200), &s, &l);
  EXPECT_EQ(s, 12u);
  EXPECT_EQ(l, 1u);
  // Starting outside the record (after it, or before it) gives nothing.
  counts(OneLayout(200, 12, 0xFFFFFFF0u - 16, 20, 200), &s, &l);
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(l, 0u);
  // A record shorter than its header has three empty tables.
  std::string shortrec = OneLayout(0, 12, 0, 20, 47);
  counts(shortrec, &s, &l);
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(l, 0u);
  // Missing file.
  hz::CInfFile missing(dir / "none.INF");
  EXPECT_EQ(missing.LoadRecord(1), nullptr);
}

TEST(CInfFile, CursorMatchesALinearSkip) {
  // Offsets out of order: the cursor for a start position is the first
  // entry at or past it, as the skip from the table's start would find.
  TempDir dir;
  std::vector<hzb::Record> r(1);
  r[0].text = std::string(40, 'x');
  uint32_t offsets[] = {5, 2, 9, 9, 3, 20, 15, 30};
  for (uint32_t o : offsets) r[0].styles.push_back({o, 1, 4});
  WriteFile(dir / "c.INF", hzb::DictBuilder::InfBytes(r));
  hz::CInfFile inf(dir / "c.INF");
  ASSERT_NE(inf.LoadRecord(1), nullptr);
  for (uint32_t pos = 0; pos < 40; ++pos) {
    uint32_t linear = 0;
    while (linear < 8 && offsets[linear] < pos) ++linear;
    EXPECT_EQ(inf.StyleCursor(pos), linear) << pos;
  }
  // Asked again from the end down, as entries out of order ask.
  for (uint32_t pos = 40; pos-- > 0;) {
    uint32_t linear = 0;
    while (linear < 8 && offsets[linear] < pos) ++linear;
    EXPECT_EQ(inf.StyleCursor(pos), linear) << pos;
  }
}

}  // namespace
