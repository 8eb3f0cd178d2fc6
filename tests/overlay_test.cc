// The markup overlays: styles, links, media and anchors over the entry text.
#include <gtest/gtest.h>

#include "tests/test_support.h"

using hzt::Crlf;
using hzt::Render;
using hzt::S;

namespace {

const char kTables[] =
    "@table DATA/KXLINK01.TBL\nabc\n"
    "@table DATA/KXLINK02.TBL\nm01\n"
    "@table DATA/KXLINK03.TBL\nk01\n"
    "@table DATA/KXLINK04.TBL\nu01\nu02\n";

// KX01 with one record: its text on one source line, then table directives.
std::string Rec(const std::string& text, const std::string& directives = "") {
  return std::string(kTables) + "@records DATA/KX01\n@record\n" + text + "\n" + directives;
}

// The text of record 12: eleven empty records come first.
std::string Rec12(const std::string& text) {
  std::string s = std::string(kTables) + "@records DATA/KX01\n";
  for (int i = 0; i < 11; ++i) s += "@record\n";
  return s + "@record\n" + text + "\n";
}

TEST(Overlay, LinksToAnchors) {
  EXPECT_EQ(Render(Rec12("{a1:ab01:see}"), 0, 12, 0, 12), "<a href=\"#0012-ab01\">see</a>");
  EXPECT_EQ(Render(Rec12("{a2:7:ab01:see}"), 0, 12, 0, 12), "<a href=\"#0007-ab01\">see</a>");
  EXPECT_EQ(Render(Rec("{a10001:12:0001:see}"), 0, 1, 0, 1),
            "<a href=\"honbun.html#0012-0001\">see</a>");
  // A main-text link without a digit label is dropped, text kept.
  EXPECT_EQ(Render(Rec("x{a10001:12:a001:see}y"), 0, 1, 0, 1), "xseey");
  // Two-character labels and names.
  EXPECT_EQ(Render(Rec("{a1:ab:x}{#cd}y"), 0, 1, 0, 1),
            "<a href=\"#0001-ab\">x</a><a name=\"0001-cd\"></a>y");
  // Negative targets are written signed.
  EXPECT_EQ(Render(Rec("{a2:-1:ab:x}"), 0, 1, 0, 1), "<a href=\"#-001-ab\">x</a>");
}

TEST(Overlay, Anchors) {
  EXPECT_EQ(Render("@records DATA/KX01\n@record\n@record\n@record\n{#ab01}x\n", 0, 3, 0, 3),
            "<a name=\"0003-ab01\"></a>x");
  // A name that does not begin with a letter writes nothing.
  EXPECT_EQ(Render(Rec("{#0001}x"), 0, 1, 0, 1), "x");
  // Four characters fill the name without a terminator.
  EXPECT_EQ(Render(Rec("x", "@anchor wxyz 0\n"), 0, 1, 0, 1), "<a name=\"0001-wxyz\"></a>x");
}

TEST(Overlay, StylesReplaceAndClose) {
  // The italic close is lost when the bold span replaces it.
  EXPECT_EQ(Render(Rec("abcdefg", "@style 0 5 4\n@style 2 2 5\n"), 0, 1, 0, 1),
            "<i>ab<b>cd</b>efg");
  // Two spans at one offset: only the first in table order applies.
  EXPECT_EQ(Render(Rec("abcd", "@style 1 1 4\n@style 1 2 5\n"), 0, 1, 0, 1), "a<i>b</i>cd");
  // A span on the second byte of a double-byte character never opens.
  EXPECT_EQ(Render(Rec("あb", "@style 1 2 5\n"), 0, 1, 0, 1), S("あ") + "b");
  // Subscript codes 100 and 102; other codes write nothing.
  EXPECT_EQ(Render(Rec("abc", "@style 0 1 100\n@style 1 1 102\n@style 2 1 7\n"), 0, 1, 0, 1),
            "<sub>a</sub><sub>b</sub>c");
  // Closes come before opens, styles before links.
  EXPECT_EQ(Render(Rec("abc", "@style 0 1 4\n@style 1 1 5\n@link 0 1 1 0 x\n@link 1 1 1 0 y\n"),
                   0, 1, 0, 1),
            "<i><a href=\"#0001-x\">a</i></a><b><a href=\"#0001-y\">b</b></a>c");
}

TEST(Overlay, PendingSpansCloseAtTheEnd) {
  // Running text: closed at the end of the walk, style first.
  EXPECT_EQ(Render(Rec("ab", "@style 0 9 4\n@link 1 9 1 0 x\n"), 0, 1, 0, 1),
            "<i>a<a href=\"#0001-x\">b</i></a>");
  // List mode, double CR: term closed, then the pending closes, then </dd>.
  EXPECT_EQ(Render(Rec("ab\\r\\r", "@style 1 9 5\n"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">a<b>b</dt>\n<dd></b></dd>\n\n"));
  EXPECT_EQ(Render(Rec("a\\rbc\\r\\r", "@link 3 9 2 4 q\n"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">a</dt>\n<dd>b<a href=\"#0004-q\">c</a></dd>\n\n"));
  // A span that ends inside a double-byte character is closed at the end.
  EXPECT_EQ(Render(Rec("あい", "@style 0 3 4\n"), 0, 1, 0, 1), S("<i>あい</i>"));
  // An end that wraps to 0 never closes, not at the end either.
  EXPECT_EQ(Render(Rec("ab", "@style 1 0xFFFFFFFF 4\n"), 0, 1, 0, 1), "a<i>b");
  // A zero length ends at its own offset, which has been passed: closed at
  // the end of the walk; at offset 0 the end is 0, which never closes.
  EXPECT_EQ(Render(Rec("ab", "@style 1 0 5\n"), 0, 1, 0, 1), "a<b>b</b>");
  EXPECT_EQ(Render(Rec("ab", "@style 0 0 5\n"), 0, 1, 0, 1), "<b>ab");
}

TEST(Overlay, ImagesAndTheFirstLineBreak) {
  // List mode: the image on the first line opens the definition; its CR
  // writes no break.
  EXPECT_EQ(Render(Rec("HW{img:1:pic}\\rmore\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd><img src=\"FRACTAL/abc.jpg\" alt=\"pic\">"
                 "more</dd>\n\n"));
  // Kind 20003 stays inside the term.
  EXPECT_EQ(Render(Rec("HW{use:1:pic}\\rmore\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW<img src=\"USE/u01.jpg\" alt=\"pic\"></dt>\n<dd>"
                 "more</dd>\n\n"));
  // Running text: the image starts the next line.
  EXPECT_EQ(Render(Rec("HW{img:1:pic}\\rx"), 0, 1, 0, 1),
            Crlf("HW<br />\n<img src=\"FRACTAL/abc.jpg\" alt=\"pic\"><br />\nx"));
  // A double quote in the alt text stays as it is; extensions from the
  // options.
  hz::RunOptions options;
  std::snprintf(options.image_ext, sizeof options.image_ext, "bmp");
  EXPECT_EQ(Render(Rec("a\\r{use:2:\"q\"}"), 0, 1, 0, 1, options),
            Crlf("a<br />\n<img src=\"USE/u02.bmp\" alt=\"\"q\"\">"));
}

TEST(Overlay, MediaObjects) {
  EXPECT_EQ(Render(Rec("a\\r{obj:1:\\g{F7DB}xy}z"), 0, 1, 0, 1),
            Crlf("a<br />\n<object data=\"MOVIE/m01.mpg\" >&#xF7DB;xy</object>z"));
  hz::RunOptions options;
  std::snprintf(options.movie_ext, sizeof options.movie_ext, "avi");
  EXPECT_EQ(Render(Rec("a\\r{obj:1:\\g{F7DC}}{obj:1:\\g{F7DD}}"), 0, 1, 0, 1, options),
            Crlf("a<br />\n<object data=\"MOVIE/m01.avi\" >&#xF7DC;</object>"
                 "<object data=\"KNJ/k01.avi\" >&#xF7DD;</object>"));
  // Any other character: no object, no close; the due break is written.
  EXPECT_EQ(Render(Rec("HW{obj:1:x}y\\rz\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd>xyz</dd>\n\n"));
}

TEST(Overlay, MediaWithoutAName) {
  // Target 0, past the table, or no table: the break that is due, then the
  // text as plain text.
  EXPECT_EQ(Render(Rec("HW{img:0:pic}\\rx\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd>picx</dd>\n\n"));
  EXPECT_EQ(Render(Rec("a{use:3:pic}b"), 0, 1, 0, 1), "apicb");
  EXPECT_EQ(Render(Rec("a{img:-2147483648:p}b"), 0, 1, 0, 1), "a<br />\r\npb");
  EXPECT_EQ(Render("@records DATA/KX01\n@record\na{obj:1:\\g{F7DD}}\n", 0, 1, 0, 1),
            "a<br />\r\n&#xF7DD;");
}

TEST(Overlay, TableCursorsOnlyMoveForward) {
  // An entry lower than the one before it is passed over.
  EXPECT_EQ(Render(Rec("abcd", "@style 2 1 4\n@style 1 1 5\n"), 0, 1, 0, 1), "ab<i>c</i>d");
  // A high entry in front stops the cursor until the walk passes it.
  EXPECT_EQ(Render(Rec("abcdef", "@style 4 1 4\n@style 1 1 5\n@style 5 1 5\n"), 0, 1, 0, 1),
            "abcd<i>e</i><b>f</b>");
  // From the middle of a record, entries before the start never apply and
  // the cursor stands where a walk from the table's start would.
  EXPECT_EQ(Render(Rec("ab\\r\\rcdef\\r\\r", "@style 0 1 4\n@style 5 1 5\n@style 4 1 4\n"
                                          "@style 6 1 4\n"),
                   1, 1, 4, 1),
            Crlf("<dt id=\"0001-0001\">c<b>d</b><i>e</i>f</dt>\n<dd></dd>\n\n"));
}

TEST(Overlay, UnknownLinkKinds) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(Render(Rec("a{link:7:0:x:bc}d"), 0, 1, 0, 1), "abcd");
  EXPECT_EQ(Render(Rec("{link:65535:0:x:b}"), 0, 1, 0, 1), "b");
  EXPECT_EQ(Render(Rec("{link:-1:0:x:b}"), 0, 1, 0, 1), "b");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "unknown link type 0007\nunknown link type ffff\nunknown link type ffffffff\n");
}

TEST(Overlay, ReplacedLinkLosesItsClose) {
  EXPECT_EQ(Render(Rec("abcd", "@link 0 3 1 0 x\n@link 1 1 2 5 y\n"), 0, 1, 0, 1),
            "<a href=\"#0001-x\">a<a href=\"#0005-y\">b</a>cd");
  // A dropped link clears the pending one with its close.
  EXPECT_EQ(Render(Rec("abcd", "@link 0 3 1 0 x\n@link 1 1 10001 5 y\n"), 0, 1, 0, 1),
            "<a href=\"#0001-x\">abcd");
}

}  // namespace
