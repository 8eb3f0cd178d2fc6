// The gaiji inventory and the book's gaiji files (--gaiji).
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "book/gaiji_files.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;

namespace {

const char* const kPages[] = {"usage.html", "hanrei.html", "jo.html",
                              "oku.html",   "honbun.html", "kanji.html"};

// The references of each code in the six pages, as a search would count
// them.
std::map<std::string, int> ReferencesIn(const std::string& out) {
  std::map<std::string, int> refs;
  for (const char* page : kPages) {
    const std::string bytes = ReadFile(out + "/" + page);
    for (size_t at = 0; (at = bytes.find("&#x", at)) != std::string::npos; at += 8) {
      ++refs[bytes.substr(at + 3, 4)];
    }
  }
  return refs;
}

// The rows of gaiji.tsv after its header, split at tabs.
std::vector<std::vector<std::string>> Rows(const std::string& tsv) {
  std::vector<std::vector<std::string>> rows;
  size_t start = tsv.find("\r\n") + 2;
  for (size_t end; (end = tsv.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::vector<std::string> row;
    const std::string line = tsv.substr(start, end - start);
    for (size_t a = 0, b;; a = b + 1) {
      b = line.find('\t', a);
      row.push_back(line.substr(a, b == std::string::npos ? b : b - a));
      if (b == std::string::npos) break;
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(Gaiji, SampleInventoryAndUnchangedPages) {
  TempDir dir;
  const std::string in = hzt::SampleDict() + "/";
  const hzt::RunResult plain = hzt::RunHz({in, dir / "plain"});
  const hzt::RunResult r = hzt::RunHz({"--gaiji", in, dir / "gaiji"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Three more progress lines; the six pages and the project file as
  // without --gaiji.
  const std::string g = dir / "gaiji";
  const std::string more = "->" + g + "\\gaiji.tsv\n->" + g + "\\GaijiMap.xml\n->" + g +
                           "\\Gaiji.xml\n->" + g + "\\HARUKAZE.map\n";
  ASSERT_GT(r.out.size(), more.size());
  EXPECT_EQ(r.out.substr(r.out.size() - more.size()), more);
  std::string expected = plain.out;
  for (size_t at; (at = expected.find(dir / "plain")) != std::string::npos;) expected.replace(at, g.size(), g);
  EXPECT_EQ(r.out.substr(0, r.out.size() - more.size()), expected);
  for (const char* page : kPages) EXPECT_EQ(ReadFile(g + "/" + page), ReadFile(dir / "plain/" + page));
  EXPECT_EQ(hzt::ListDir(g).size(), 11u);
  const std::string tsv = ReadFile(g + "/gaiji.tsv");
  EXPECT_EQ(tsv,
            "code\tcount\tfirst\tcontext\tunicode\talt\r\n"
            "F040\t1\thonbun.html#0002-0001\tの会社。 \"挿絵\" [F040]は外字。【外字括弧】\t\t\r\n"
            "F041\t2\thonbun.html#0002-0001\t外字括弧】《AT&T[F041]》\t\t\r\n"
            "F7DB\t1\thonbun.html#0002-0002\tあ（亜） [F7DB]動画と〓漢字。 愛の\t\t\r\n"
            "F7DD\t1\thonbun.html#0002-0002\tあ（亜） 〓動画と[F7DD]漢字。 愛の例へと数\t\t\r\n");
  // Nothing is named yet: the readers' map is empty.
  EXPECT_EQ(ReadFile(g + "/HARUKAZE.map"), "");
  EXPECT_EQ(ReadFile(g + "/GaijiMap.xml"),
            hzt::Crlf(std::string("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n") +
                      hz::kGaijiComment +
                      "<gaijiSet>\n"
                      "  <gaijiMap unicode=\"#xF040\" ebcode=\"B121\"/>\n"
                      "  <gaijiMap unicode=\"#xF041\" ebcode=\"B122\"/>\n"
                      "  <gaijiMap unicode=\"#xF7DB\" ebcode=\"B123\"/>\n"
                      "  <gaijiMap unicode=\"#xF7DD\" ebcode=\"B124\"/>\n"
                      "</gaijiSet>\n"));
}

TEST(Gaiji, CountsAndFirstPlacesMatchThePages) {
  // References in a section page, in entry text, in headword keys (the
  // stand-in 【 inside a second pair is written as a reference there) and
  // in captured keys, and on the kanji page.
  TempDir dir;
  hzt::Build(
      "@records DATA/KX04\n@record\nnote \\g{F141}\\r\n"
      "@records DATA/KX01\n@record\n"
      "{@a}x【y】【z\\g{F040}\\g{F4AE}】\\rdef 《a\\g{F041}b》 \\g{F040}\\r\\r"
      "{@b}w\\rmore \\g{F041}\\r\\r\n"
      "@list LIST/d100000.lst\na\nb\n"
      "@records DATA/KX02\n@record\nk\\g{F9FC}\n",
      dir / "d");
  const hzt::RunResult r = hzt::RunHz({"--gaiji", dir / "d", dir / "out"});
  ASSERT_EQ(r.status, 0);
  const auto rows = Rows(ReadFile(dir / "out/gaiji.tsv"));
  const std::map<std::string, int> refs = ReferencesIn(dir / "out");
  ASSERT_EQ(rows.size(), refs.size());
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(std::to_string(refs.at(row[0])), row[1]) << row[0];
  }
  EXPECT_EQ(rows[0], (std::vector<std::string>{"F040", "3", "honbun.html#0001-0001",
                                                "x【y】【z[F040]【】 def 《a〓", "", ""}));
  EXPECT_EQ(rows[1][0], "F041");
  EXPECT_EQ(rows[1][1], "3");  // text, captured key, second entry
  EXPECT_EQ(rows[2], (std::vector<std::string>{"F141", "1", "hanrei.html", "note [F141] ", "", ""}));
  EXPECT_EQ(rows[3], (std::vector<std::string>{"F4AE", "1", "honbun.html#0001-0001",
                                               "x【y】【z〓[F4AE]】 def 《a〓b", "", ""}));
  EXPECT_EQ(rows[4],
            (std::vector<std::string>{"F9FC", "1", "kanji.html#0001-0001", "k[F9FC]", "", ""}));
}

TEST(Gaiji, GlyphNumbersRunOnAcrossARow) {
  EXPECT_EQ(hz::GaijiEbcode(0), "B121");
  EXPECT_EQ(hz::GaijiEbcode(93), "B17E");
  EXPECT_EQ(hz::GaijiEbcode(94), "B221");
  // 95 codes: the last two glyphs of the map end one row and begin the next.
  std::string text;
  for (int i = 0; i < 95; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "\\g{F0%02X}", 0x40 + i);
    text += code;
  }
  TempDir dir;
  hzt::Build("@dir LIST\n@records DATA/KX03\n@record\n" + text + "\n", dir / "d");
  ASSERT_EQ(hzt::RunHz({"--gaiji", dir / "d", dir / "out"}).status, 0);
  const std::string map = ReadFile(dir / "out/GaijiMap.xml");
  EXPECT_NE(map.find("<gaijiMap unicode=\"#xF09D\" ebcode=\"B17E\"/>\r\n"
                     "  <gaijiMap unicode=\"#xF09E\" ebcode=\"B221\"/>\r\n</gaijiSet>"),
            std::string::npos);
  const std::string font = ReadFile(dir / "out/Gaiji.xml");
  EXPECT_NE(font.find("<fontData ebcode=\"B221\">\r\n################\r\n"), std::string::npos);
}

TEST(Gaiji, PlaceholderGlyphsShowTheirCode) {
  // A box of 16 x 16 with the four digits two over two. Each digit reads
  // the same in all four places, and differs from every other digit in at
  // least two pixels.
  std::vector<std::string> digits(16);
  for (uint32_t d = 0; d < 16; ++d) {
    const auto glyph = hz::GlyphLines(hz::PlaceholderGlyph(d * 0x1111));
    ASSERT_EQ(glyph.size(), 16u);
    EXPECT_EQ(glyph[0], std::string(16, '#'));
    EXPECT_EQ(glyph[15], std::string(16, '#'));
    std::string cells[4];
    for (size_t y = 0; y < 16; ++y) {
      ASSERT_EQ(glyph[y].size(), 16u);
      EXPECT_EQ(glyph[y].find_first_not_of("# "), std::string::npos);
      EXPECT_TRUE(glyph[y][0] == '#' && glyph[y][15] == '#');
      for (int c = 0; c < 4 && y >= 2 && y < 14; ++c) {
        const size_t top = c < 2 ? 2 : 9, left = c % 2 ? 9 : 3;
        if (y >= top && y < top + 5) cells[c] += glyph[y].substr(left, 4);
      }
    }
    for (int c = 1; c < 4; ++c) EXPECT_EQ(cells[c], cells[0]) << d;
    EXPECT_NE(cells[0].find('#'), std::string::npos) << d;
    digits[d] = cells[0];
  }
  for (size_t a = 0; a < 16; ++a) {
    for (size_t b = a + 1; b < 16; ++b) {
      int differ = 0;
      for (size_t i = 0; i < digits[a].size(); ++i) differ += digits[a][i] != digits[b][i];
      EXPECT_GE(differ, 2) << std::hex << a << " and " << b;
    }
  }
}

TEST(Gaiji, TheUsersOwnFilesAreKept) {
  TempDir dir;
  hzt::Build("@dir LIST\n@records DATA/KX03\n@record\n\\g{F040}\n", dir / "d");
  const std::string out = dir / "out";
  ASSERT_EQ(hzt::RunHz({"--gaiji", dir / "d", out}).status, 0);
  const std::string own_font = ReadFile(out + "/Gaiji.xml");
  // A map the user made is kept; a font the converter wrote is rewritten.
  hzt::WriteFile(out + "/GaijiMap.xml", "<gaijiSet>mine</gaijiSet>");
  hzt::WriteFile(out + "/Gaiji.xml", own_font + "<!-- an older run -->");
  hzt::WriteFile(out + "/gaiji.tsv", "code\tcount\tfirst\tcontext\n");  // an older run's
  const hzt::RunResult r = hzt::RunHz({"--gaiji", dir / "d", out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(hzt::WithoutEmptiedPages(r.err), "hz2html: GaijiMap.xml: kept (not written by hz2html)\n");
  EXPECT_EQ(r.out.find("GaijiMap.xml"), std::string::npos);
  EXPECT_EQ(ReadFile(out + "/GaijiMap.xml"), "<gaijiSet>mine</gaijiSet>");
  EXPECT_EQ(ReadFile(out + "/Gaiji.xml"), own_font);
  EXPECT_EQ(ReadFile(out + "/gaiji.tsv").substr(0, 38), "code\tcount\tfirst\tcontext\tunicode\talt\r\n");
}

TEST(Gaiji, NoPrivateAreaCharacters) {
  TempDir dir;
  hzt::Build("@dir LIST\n@records DATA/KX03\n@record\nplain\n", dir / "d");
  ASSERT_EQ(hzt::RunHz({"--gaiji", dir / "d", dir / "out"}).status, 0);
  const std::string head =
      std::string("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n") + hz::kGaijiComment;
  EXPECT_EQ(ReadFile(dir / "out/gaiji.tsv"), "code\tcount\tfirst\tcontext\tunicode\talt\r\n");
  EXPECT_EQ(ReadFile(dir / "out/GaijiMap.xml"), hzt::Crlf(head + "<gaijiSet>\n</gaijiSet>\n"));
  EXPECT_EQ(ReadFile(dir / "out/Gaiji.xml"),
            hzt::Crlf(head + "<gaijiData xml:space=\"preserve\">\n</gaijiData>\n"));
  // Without --gaiji, none of the three.
  ASSERT_EQ(hzt::RunHz({dir / "d", dir / "plain"}).status, 0);
  EXPECT_EQ(hzt::ListDir(dir / "plain").size(), 7u);
  // One that cannot be written stops the run as a page does.
  ASSERT_TRUE(hzt::MakeDir(dir / "plain/gaiji.tsv"));
  const hzt::RunResult r = hzt::RunHz({"--gaiji", dir / "d", dir / "plain"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(hzt::WithoutEmptiedPages(r.err),
            "hz2html: warning: gaiji.tsv: cannot be read: not a regular file\n" +
                hzt::CannotWrite(dir / "plain" + "\\gaiji.tsv", hzt::kIsADirectory));
}

// Naming the gaiji: the user fills in gaiji.tsv's two columns and runs again.

// Three codes, each in a headword key and in the text.
const char kNamedSource[] =
    "@records DATA/KX01\n@record\n"
    "{@a}a【x】【\\g{F040}y】\\r\\g{F040}\\r\\r{@b}b【x】【\\g{F041}】\\r\\g{F042}\\r\\r\n"
    "@list LIST/d100000.lst\na\nb\n@dir LIST\n";

// A 16 x 16 glyph for 9AD9 (a frame with a bar) and an 8 x 16 one for 2460.
const char kHexFont[] =
    "0041:0000000018242442427E424242420000\n"
    "2460:0000183C66C3C3C3C3C3C3663C180000\n"
    "9AD9:FFFF80018001BFFD8001800180018001800180018001800180018001FFFF0000\n";

// The lines of a glyph in Gaiji.xml, as the file holds them.
std::string GlyphInFile(const hz::Glyph16& glyph) {
  std::string lines;
  for (const std::string& line : hz::GlyphLines(glyph)) lines += line + "\r\n";
  return lines;
}

hz::Glyph16 FontGlyph(const std::string& font, uint32_t code) {
  std::map<uint32_t, hz::Glyph16> glyphs;
  std::string error;
  EXPECT_TRUE(hz::ParseFontGlyphs(font, {code}, &glyphs, &error)) << error;
  return glyphs[code];
}

TEST(GaijiNames, RoundTripKeepsTheColumnsAndDrawsTheFontsGlyphs) {
  TempDir dir;
  hzt::Build(kNamedSource, dir / "d");
  const std::string out = dir / "out";
  hzt::WriteFile(dir / "font.hex", kHexFont);
  ASSERT_EQ(hzt::RunHz({"--gaiji", dir / "d", out}).status, 0);
  const std::string before = ReadFile(out + "/honbun.html");
  // The user names F040 as 髙 (with the replacement text 高) and F041 as ①,
  // given as the character itself; F042 stays unnamed.
  std::string tsv = ReadFile(out + "/gaiji.tsv");
  tsv.replace(tsv.find("\t\t\r\n"), 4, "\tU+9AD9\t高\r\n");
  tsv.replace(tsv.find("\t\t\r\n"), 4, "\t①\t\r\n");
  hzt::WriteFile(out + "/gaiji.tsv", tsv);
  const hzt::RunResult r = hzt::RunHz({"--gaiji-font", dir / "font.hex", dir / "d", out});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(hzt::WithoutEmptiedPages(r.err), "");
  EXPECT_EQ(ReadFile(out + "/gaiji.tsv"), tsv);
  EXPECT_EQ(ReadFile(out + "/honbun.html"), before);
  const std::string font = ReadFile(out + "/Gaiji.xml");
  EXPECT_NE(font.find("<fontData ebcode=\"B121\">\r\n" + GlyphInFile(FontGlyph(kHexFont, 0x9AD9))),
            std::string::npos);
  // An 8-dot glyph stands in the middle of the cell.
  const hz::Glyph16 circled = FontGlyph(kHexFont, 0x2460);
  EXPECT_EQ(circled.rows[3], 0x3C << 4);
  EXPECT_NE(font.find("<fontData ebcode=\"B122\">\r\n" + GlyphInFile(circled)), std::string::npos);
  EXPECT_NE(font.find("<fontData ebcode=\"B123\">\r\n" + GlyphInFile(hz::PlaceholderGlyph(0xF042))),
            std::string::npos);
  EXPECT_NE(ReadFile(out + "/GaijiMap.xml")
                .find("<gaijiMap unicode=\"#xF040\" ebcode=\"B121\" alt=\"" + hzt::S("高") + "\"/>\r\n"
                      "  <gaijiMap unicode=\"#xF041\" ebcode=\"B122\"/>"),
            std::string::npos);
  EXPECT_EQ(ReadFile(out + "/HARUKAZE.map"), "zB121\tu9AD9\t" + hzt::S("高") + "\r\nzB122\tu2460\t\r\n");
}

TEST(GaijiNames, ValuesThatCannotBeReadAreToldAndKept) {
  TempDir dir;
  hzt::Build(kNamedSource, dir / "d");
  const std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  // Written by a spreadsheet: a byte-order mark, LF line ends, a quoted
  // field; columns found by name.
  const std::string table =
      "\xEF\xBB\xBF" "code\tcount\tunicode\talt\n"
      "F040\t1\tU+ZZ\t\n"
      "F041\t1\t\tあいうえおかきくけ\n"
      "F0FF\t4\tU+4E00\t\"one\"\n"
      "F041\t1\tU+4E01\t\n"
      "XYZ\t1\t\t\n"
      "F042\t1\t\tok\n";
  hzt::WriteFile(out + "/gaiji.tsv", table);
  hzt::WriteFile(dir / "font.hex", kHexFont);
  const hzt::RunResult r = hzt::RunHz({"--strict", "--gaiji-font", dir / "font.hex", dir / "d", out});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(hzt::WithoutEmptiedPages(r.err),
            "hz2html: warning: gaiji.tsv: line 2: unicode \"U+ZZ\" is neither U+ and 4 to 6 "
            "hexadecimal digits nor one character\n"
            "hz2html: warning: gaiji.tsv: line 3: alt \"あいうえおかきくけ\" is 18 bytes in "
            "Shift-JIS, more than 16\n"
            "hz2html: warning: gaiji.tsv: line 5: code F041 again (its first row is line 3); this "
            "row names nothing\n"
            "hz2html: warning: gaiji.tsv: line 6: code \"XYZ\" is not a private-area code (F040 to "
            "F9FC)\n");
  // Every row is kept as written; a code the pages no longer reference
  // keeps its row at the end with count 0.
  const auto rows = Rows(ReadFile(out + "/gaiji.tsv"));
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0][4], "U+ZZ");
  EXPECT_EQ(rows[1][5], "あいうえおかきくけ");
  EXPECT_EQ(rows[2][0], "F042");
  EXPECT_EQ((std::vector<std::string>{rows[3][0], rows[3][1], rows[3][4], rows[3][5]}),
            (std::vector<std::string>{"F0FF", "0", "U+4E00", "one"}));
  EXPECT_EQ(rows[4][0], "F041");
  EXPECT_EQ(rows[5][0], "XYZ");
  // Only the readable names reach the map.
  EXPECT_EQ(ReadFile(out + "/HARUKAZE.map"), "zB123\t-\tok\r\n");
}

TEST(GaijiNames, BdfFontsAndFontsThatCannotBeRead) {
  // A BDF glyph of 4 x 3 dots, 2 dots right of the origin and 1 above the
  // baseline, in a font whose baseline is 14 dots from the top.
  const std::string bdf =
      "STARTFONT 2.1\nFONT -x-y\nSIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\n"
      "STARTPROPERTIES 3\nFONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"ISO10646\"\n"
      "ENDPROPERTIES\nCHARS 1\nSTARTCHAR u9AD9\nENCODING 39641\nSWIDTH 1000 0\nDWIDTH 16 0\n"
      "BBX 4 3 2 1\nBITMAP\nF0\n90\nF0\nENDCHAR\nENDFONT\n";
  const hz::Glyph16 g = FontGlyph(bdf, 0x9AD9);
  hz::Glyph16 expected;
  expected.rows[10] = expected.rows[12] = 0x3C00;
  expected.rows[11] = 0x2400;
  EXPECT_EQ(g.rows, expected.rows);
  std::map<uint32_t, hz::Glyph16> glyphs;
  std::string error;
  EXPECT_FALSE(hz::ParseFontGlyphs("STARTFONT 2.1\nCHARSET_REGISTRY \"JISX0208.1983\"\n", {0x3021},
                                   &glyphs, &error));
  EXPECT_EQ(error, "not a Unicode font (its CHARSET_REGISTRY is not ISO10646)");
  // A registry met after the glyphs unmakes them too.
  EXPECT_FALSE(hz::ParseFontGlyphs(bdf + "CHARSET_REGISTRY \"JISX0208.1983\"\n", {0x9AD9}, &glyphs, &error));
  EXPECT_TRUE(glyphs.empty());
  // Figures far outside any cell: the glyph is missing, and nothing
  // overflows on the way.
  EXPECT_TRUE(hz::ParseFontGlyphs("STARTFONT 2.1\nFONT_ASCENT 99999999999999999999\nSTARTCHAR x\n"
                                  "ENCODING 39641\nBBX 16 16 0 -9223372036854775807\nBITMAP\n0100\n"
                                  "ENDCHAR\n",
                                  {0x9AD9}, &glyphs, &error));
  EXPECT_TRUE(glyphs.empty());
  // A font that cannot be read: named characters keep their placeholders.
  TempDir dir;
  hzt::Build(kNamedSource, dir / "d");
  const std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  hzt::WriteFile(out + "/gaiji.tsv", "code\tunicode\nF040\tU+9AD9\n");
  const hzt::RunResult r = hzt::RunHz({"--gaiji-font", dir / "none.bdf", dir / "d", out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(hzt::WithoutEmptiedPages(r.err), "hz2html: warning: " + dir / "none.bdf" +
                                                  ": missing, so the 1 characters gaiji.tsv names "
                                                  "keep their placeholder glyphs\n");
  EXPECT_NE(ReadFile(out + "/Gaiji.xml").find(GlyphInFile(hz::PlaceholderGlyph(0xF040))),
            std::string::npos);
}

}  // namespace
