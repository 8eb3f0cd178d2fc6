// The dictionary builder's readable source.
#include <gtest/gtest.h>

#include "tools/dict_source.h"

namespace {

hzb::DictBuilder Parse(const std::string& source) {
  hzb::DictBuilder b;
  std::string error;
  EXPECT_TRUE(hzb::ParseDictSource(source, &b, &error)) << error;
  return b;
}

std::string Error(const std::string& source) {
  hzb::DictBuilder b;
  std::string error;
  EXPECT_FALSE(hzb::ParseDictSource(source, &b, &error));
  return error;
}

TEST(DictSource, InlineMarkupComputesOffsets) {
  hzb::DictBuilder b = Parse(
      "@records DATA/KX01\n@record\n"
      "{#ab}{b:x{a1:cd:yz}}\\g{F040}\n"
      "{@m}{img:3:\xE3\x81\x82}\\r\n"
      "@list LIST/a.lst\nm\nm+2 k\\x01\n-1/7:0xFFFFFFFF\n");
  const hzb::Record& r = b.record_files["DATA/KX01"][0];
  EXPECT_EQ(r.text, "xyz\xF0\x40\r\x82\xA0\r");
  ASSERT_EQ(r.styles.size(), 1u);
  EXPECT_EQ(r.styles[0].offset, 0u);
  EXPECT_EQ(r.styles[0].length, 3u);
  EXPECT_EQ(r.styles[0].code, 5);
  ASSERT_EQ(r.links.size(), 2u);
  EXPECT_EQ(r.links[0].offset, 1u);
  EXPECT_EQ(r.links[0].length, 2u);
  EXPECT_EQ(r.links[0].label, "cd");
  EXPECT_EQ(r.links[1].kind, 20001);
  EXPECT_EQ(r.links[1].target, 3);
  EXPECT_EQ(r.links[1].offset, 6u);
  EXPECT_EQ(r.links[1].length, 2u);
  ASSERT_EQ(r.anchors.size(), 1u);
  EXPECT_EQ(r.anchors[0].name, "ab");
  const std::vector<hzb::ListRow>& rows = b.lists["LIST/a.lst"];
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].record, 1u);
  EXPECT_EQ(rows[0].offset, 6u);
  EXPECT_EQ(rows[1].offset, 8u);
  EXPECT_EQ(rows[1].key, "k\x01");
  EXPECT_EQ(rows[2].record, 0xFFFFFFFFu);
  EXPECT_EQ(rows[2].alt_record, 7u);
  EXPECT_EQ(rows[2].offset, 0xFFFFFFFFu);
}

TEST(DictSource, Errors) {
  EXPECT_EQ(Error("@records X\n@record\n{b:open\n"), "line 3: unclosed inline markup in record");
  EXPECT_EQ(Error("text\n"), "line 1: text outside a record, table or list");
  EXPECT_EQ(Error("@records X\n@record\n{q:x}\n"), "line 3: unknown inline markup {q:");
  EXPECT_EQ(Error("@list L\nnomark\n"), "line 2: unknown mark nomark");
  EXPECT_EQ(Error("@bogus\n"), "line 1: unknown directive @bogus");
}

TEST(DictSource, FileBytes) {
  // A list: 54-byte header with the count at byte 42, then the rows.
  std::string list = hzb::DictBuilder::ListBytes({{5, 0, 9, "ab"}});
  ASSERT_EQ(list.size(), 108u);
  EXPECT_EQ(list[42], 1);
  EXPECT_EQ(list.substr(54, 3), std::string("ab\0", 3));
  EXPECT_EQ(list[54 + 42], 5);
  EXPECT_EQ(list[54 + 50], 9);
  // A record file: count, index of (offset, length), texts.
  std::vector<hzb::Record> records(2);
  records[0].text = "ab";
  records[1].text = "c";
  std::string dat = hzb::DictBuilder::DatBytes(records);
  EXPECT_EQ(dat, std::string("\x02\0\0\0\x14\0\0\0\x02\0\0\0\x16\0\0\0\x01\0\0\0abc", 23));
}

}  // namespace
