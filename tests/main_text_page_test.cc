// The main-text page: headword-list order and the marker merge.
#include <gtest/gtest.h>

#include "core/book_pages.h"
#include "html/main_text_page.h"
#include "tests/test_support.h"

using hzt::Crlf;
using hzt::ReadFile;
using hzt::TempDir;

namespace {

// Two records of two entries each; marks a1, a2, b1, b2.
const char kText[] =
    "@records DATA/KX01\n"
    "@record\n"
    "{@a1}A1\\rx\\r\\r{@a2}A2\\ry\\r\\r\n"
    "@record\n"
    "{@b1}B1\\rz\\r\\r{@b2}B2\\rw\n";

std::string Page(const std::string& source) {
  return hzt::PageBody(source, hz::WriteMainTextPage, hz::kBookTitle);
}

std::string Item(const char* id, const char* term, const char* def) {
  return Crlf(std::string("<dt id=\"") + id + "\">" + term + "</dt>\n<dd>" + def + "</dd>\n\n");
}

TEST(MainTextPage, EntriesInListOrderWithMarkers) {
  std::string body = Page(std::string(kText) +
                          "@list LIST/d100000.lst\na1\na2\nb1\nb2\n"
                          "@list LIST/d200000.lst\n1:0\na2\nb2\n"
                          "@list LIST/d201400.lst\na2\n"
                          "@list LIST/d900500.lst\n-1/2:-1\n"
                          "@list LIST/d900300.lst\nb1\n");
  EXPECT_EQ(body, Crlf("<dl>\n") + Item("0001-0001", "A1", "x") + Crlf("<!-- {MUL2000} -->\n") +
                      Item("0001-0002", "A2", "y") +
                      Crlf("<!-- {MUL2000} -->\n<!-- {MUL2014} -->\n") + Item("0002-0001", "B1", "z") +
                      Crlf("<!-- {MUL9005} -->\n") + Crlf("<dt id=\"0002-0002\">B2</dt>\n<dd>w") +
                      Crlf("<!-- {MUL2000} -->\n</dl>\n"));
}

TEST(MainTextPage, MarkerMergeEdgeCases) {
  // Markers before the first entry and between positions are never
  // written; a repeated position gets its markers once; after the cursor
  // has passed a position, a later entry there gets none.
  std::string body = Page(std::string(kText) +
                          "@list LIST/d100000.lst\na2\na2\nb1\na1\n"
                          "@list LIST/d200000.lst\na1\na1+1\na2\nb1\n");
  EXPECT_EQ(body, Crlf("<dl>\n") + Item("0001-0001", "A2", "y") + Crlf("<!-- {MUL2000} -->\n") +
                      Item("0001-0002", "A2", "y") + Item("0002-0001", "B1", "z") +
                      Crlf("<!-- {MUL2000} -->\n") + Item("0001-0001", "A1", "x") +
                      Crlf("</dl>\n"));
}

TEST(MainTextPage, EntriesOutsideTheTextAreSkipped) {
  // Record 3 does not exist and offset 99 lies past record 1's text: both
  // are skipped and their markers passed over. Offset 12 is the end of
  // record 1's text: an empty entry, which takes its markers.
  std::string body = Page(std::string(kText) +
                          "@list LIST/d100000.lst\na1\n1:12\n1:99\nb1\n3:0\n"
                          "@list LIST/d200000.lst\n1:99\n1:12\n3:0\nb1\n");
  EXPECT_EQ(body, Crlf("<dl>\n") + Item("0001-0001", "A1", "x") + "<dt id=\"0001-0002\">" +
                      Crlf("<!-- {MUL2000} -->\n") + Item("0002-0001", "B1", "z") +
                      Crlf("<!-- {MUL2000} -->\n</dl>\n"));
}

TEST(MainTextPage, HugeRecordNumbersDoNotStopTheCursor) {
  // A marker of record 2^31 sorts after every real record.
  std::string body = Page(std::string(kText) +
                          "@list LIST/d100000.lst\na1\nb1\n"
                          "@list LIST/d200000.lst\n0x80000000:0\nb1\n");
  EXPECT_EQ(body, Crlf("<dl>\n") + Item("0001-0001", "A1", "x") + Item("0002-0001", "B1", "z") +
                      Crlf("<!-- {MUL2000} -->\n</dl>\n"));
}

TEST(MainTextPage, MissingFiles) {
  EXPECT_EQ(Page("@dir DATA\n@dir LIST\n"), Crlf("<dl>\n</dl>\n"));
  // Entries without a record file are all skipped.
  EXPECT_EQ(Page("@list LIST/d100000.lst\n1:0\n"), Crlf("<dl>\n</dl>\n"));
}

}  // namespace
