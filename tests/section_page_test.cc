// Section pages: heading, empty paragraph, every record as running text.
#include <gtest/gtest.h>

#include "html/section_page.h"
#include "tests/test_support.h"

using hzt::Crlf;
using hzt::S;

namespace {

std::string Section(const std::string& source) {
  return hzt::PageBody(
      source,
      [](const std::string& in, const std::string& page, const hz::RunOptions& options,
         hz::PageTally& tally) {
        return hz::WriteSectionPage(in, page, "KX05", "\x8F\x98", options, tally);
      },
      "\x8F\x98");
}

TEST(SectionPage, EveryRecordAsRunningText) {
  EXPECT_EQ(Section("@records DATA/KX05\n@record\n{b:A}\\rB\\r\n@record\n{#x1}C<\\r\n"),
            Crlf("<h1>" + S("序") + "</h1>\n<p></p>\n<b>A</b><br />\nB<br />\n"
                 "<a name=\"0002-x1\"></a>C&lt;<br />\n"));
}

TEST(SectionPage, RecordsTheLayoutFileDoesNotHold) {
  // The layout file holds only the first record: the second is rendered
  // with empty tables, never with the first one's.
  hzt::TempDir dir;
  hzt::Build("@records DATA/KX05\n@record\n{b:A}\n@record\nBC\n", dir / "full");
  hzt::Build("@records DATA/KX05\n@record\n{i:A}\n", dir / "short");
  hzt::WriteFile(dir / "full/DATA/KX05.INF", hzt::ReadFile(dir / "short/DATA/KX05.INF"));
  std::string page = dir / "p.html";
  hz::PageTally tally("", nullptr, nullptr);
  ASSERT_TRUE(hz::WriteSectionPage(dir / "full/", page, "KX05", "t", hz::RunOptions(), tally));
  EXPECT_EQ(hzt::ReadFile(page), hzt::PageHead("t") + Crlf("<h1>t</h1>\n<p></p>\n<i>A</i>BC") +
                                     hzt::kPageTail);
  // No layout file at all: the text without markup.
  ASSERT_TRUE(hzt::Remove(dir / "full/DATA/KX05.INF"));
  ASSERT_TRUE(hz::WriteSectionPage(dir / "full/", page, "KX05", "t", hz::RunOptions(), tally));
  EXPECT_EQ(hzt::ReadFile(page), hzt::PageHead("t") + Crlf("<h1>t</h1>\n<p></p>\nABC") +
                                     hzt::kPageTail);
}

TEST(SectionPage, MissingRecordFile) {
  EXPECT_EQ(Section("@dir DATA\n"), Crlf("<h1>" + S("序") + "</h1>\n<p></p>\n"));
}

}  // namespace
