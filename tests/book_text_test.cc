// The book's text as hz2book reads it from the pages: characters, entries,
// search words, references, images and modifiers, in the stream the book
// parser replays and in the manifest the checker proves the book against.
#include <gtest/gtest.h>

#include <cstdio>

#include "book/gaiji_files.h"
#include "epwing/book_chars.h"
#include "epwing/book_plan.h"
#include "epwing/book_text.h"
#include "epwing/page_tokens.h"
#include "tests/test_support.h"

using hzt::S;

namespace {

struct Silent : hz::Report {
  void Missing(const std::string&) override {}
  void Damaged(const std::string& path, const std::string& what) override { told += path + ": " + what + "\n"; }
  void UnknownLinkKind(uint32_t) override {}
  void CannotWrite(const std::string&, int) override {}
  std::string told;
};

// EUC-JP bytes of UTF-8 text (the book's characters).
std::string E(const std::string& utf8) {
  std::string euc;
  const std::string sjis = S(utf8);
  for (size_t i = 0; i < sjis.size(); i += 2) {
    euc += hz::ShiftJisToEuc(static_cast<uint32_t>(static_cast<unsigned char>(sjis[i])) << 8 |
                             static_cast<unsigned char>(sjis[i + 1]));
  }
  return euc;
}

// A page as hz2html frames it.
std::string Page(const std::string& title, const std::string& body) {
  return "<html>\n<head>\n<title>" + title + "</title>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

struct Book {
  hz::BookPlan plan;
  hz::Manifest manifest;
  std::string stream;
  std::string told;
};

// The book of a main-text page body (Shift-JIS), the other pages empty,
// with the files of dir beside the pages.
Book Read(const std::string& honbun, const hzt::TempDir& dir) {
  hz::BookPages pages;
  pages["honbun.html"] = Page(S("春風典"), "<dl>\n" + honbun + "</dl>\n");
  pages["kanji.html"] = Page(S("漢字"), "<dl>\n</dl>\n");
  for (const char* name : {"usage.html", "hanrei.html", "jo.html", "oku.html"}) {
    pages[name] = Page(name, std::string("<h1>") + name + "</h1>\n<p></p>\nx<br />\n");
  }
  Silent report;
  Book b;
  hz::MakeBookPlan({dir.path() + "/", dir / "no-font.hex", &report}, pages, &b.plan);
  const hz::SearchSettings settings = hz::ReadSearchSettings(
      S("kanaSep1=【\r\nkanaSep2=】\r\nStopWord=a the\r\ndelChars=△×＝（）\r\n"));
  const hz::BookChars chars(b.plan, settings);
  std::FILE* f = std::tmpfile();
  EXPECT_TRUE(hz::WriteBookText(b.plan, chars, settings, pages, f, &b.manifest));
  std::rewind(f);
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) b.stream.append(buf, n);
  std::fclose(f);
  b.told = report.told;
  return b;
}

// The stream's lines from the entry's "E" to the next one.
std::string EntryLines(const Book& b, int n) {
  size_t at = 0;
  for (int i = 0; i <= n; ++i) at = b.stream.find("\nE\n", at) + 1;
  const size_t end = std::min(b.stream.find("\nE\n", at), b.stream.find("\nO", at));
  return b.stream.substr(at, end + 1 - at);
}

TEST(BookText, EntriesHeadingsAndSearchWords) {
  hzt::TempDir dir;
  const Book b = Read(S("<dt id=\"0001-0001\">あい【愛】</dt>\n<dd>名詞。</dd>\n\n"
                        "<key type=\"表記\">愛</key>\n<key type=\"表記\">AT&amp;T</key>\n"
                        "<!-- {MUL2001} -->\n"
                        "<dt id=\"0001-0002\">the【（あ）】【】</dt>\n<dd>x</dd>\n\n"
                        "<dt id=\"0001-0003\">・</dt>\n<dd>y</dd>\n\n") +
                          "<dt id=\"0001-0004\">\xB6\xDE\xB7\xDE</dt>\n<dd></dd>\n\n",
                      dir);
  ASSERT_EQ(b.manifest.entries.size(), 4u);
  // The heading opens the entry's text as its keyword; its words are the
  // text before 【 and inside each pair, then the keys; doubles once.
  EXPECT_EQ(EntryLines(b, 0), "E\nH" + E("あい【愛】") + "\n[\nT" + E("あい【愛】") + "\n]\nN\nT" +
                                  E("名詞。") + "\nW" + E("愛") + "\nW" + E("あい") +
                                  "\nWAT&T\nKMUL2001\n");
  EXPECT_EQ(b.manifest.entries[0].name, E("あい【愛】"));
  // StopWord words, delChars, empty pairs and words FreePWING would empty.
  EXPECT_EQ(b.manifest.entries[1].words, std::vector<std::string>{E("あ")});
  EXPECT_TRUE(b.manifest.entries[2].words.empty());
  // Half-width kana become full-width, a voicing mark joining its kana.
  EXPECT_EQ(b.manifest.entries[3].name, E("ガギ"));
  EXPECT_EQ(b.manifest.markers, 1);
}

TEST(BookText, CharactersOutsideJisX0208) {
  hzt::TempDir dir;
  // GaijiMap.xml gives F040 the glyph B121; gaiji.tsv names F041 as 高,
  // which JIS X 0208 holds.
  hzt::WriteFile(dir / "GaijiMap.xml", "<gaijiSet><gaijiMap unicode=\"#xF040\" ebcode=\"B121\"/></gaijiSet>");
  hzt::WriteFile(dir / "gaiji.tsv", "code\tunicode\nF041\tU+9AD8\n");
  const Book b = Read(S("<dt id=\"0001-0001\">b【x&#xF040;y】【z&#xF041;】</dt>\n<dd>") +
                          "\x87\x40\x87\x90" + S("。</dd>\n\n"),
                      dir);
  // ① is a gaiji (its font is missing here: a placeholder, and the font is
  // named); ≒ is JIS X 0208's own ≒; F041 is 高; F040 stays a gaiji, left
  // out of the words.
  ASSERT_EQ(b.plan.gaiji.size(), 2u);
  EXPECT_EQ(b.plan.gaiji[0].name, "u2460");
  EXPECT_EQ(b.plan.gaiji[0].character, 0x2460u);
  EXPECT_EQ(b.plan.gaiji[0].glyph.rows, hz::PlaceholderGlyph(0x8740).rows);
  EXPECT_EQ(b.plan.gaiji[1].name, "B121");
  EXPECT_NE(b.told.find("no-font.hex: missing"), std::string::npos) << b.told;
  EXPECT_EQ(b.manifest.entries[0].name, "b" + E("【") + "x{B121}y" + E("】【") + "z" + E("高】"));
  EXPECT_NE(EntryLines(b, 0).find("\nGu2460\nT" + E("≒。") + "\n"), std::string::npos);
  EXPECT_EQ(b.manifest.entries[0].words, (std::vector<std::string>{"xy", "z" + E("高"), "b"}));
  EXPECT_EQ(b.manifest.entries[0].gaiji, (std::vector<std::string>{"B121", "u2460"}));
}

TEST(BookText, ReferencesTargetsAndImages) {
  hzt::TempDir dir;
  ASSERT_TRUE(hzt::MakeDir(dir / "FRACTAL"));
  hzt::WriteFile(dir / "FRACTAL/f1.jpg", "\xFF\xD8\xFF\xE0 not much of a picture");
  hzt::WriteFile(dir / "FRACTAL/f2.jpg", "a text file with the wrong name");
  const Book b = Read(S("<dt id=\"0001-0001\">a</dt>\n<dd>b<a name=\"0001-ab01\"></a>中の語<br />\n"
                        "<img src=\"FRACTAL/f1.jpg\" alt=\"図1\"><img src=\"FRACTAL/f2.jpg\" alt=\"図2\">"
                        "<img src=\"USE/u.jpg\" alt=\"\"></dd>\n\n"
                        "<dt id=\"0001-0002\">c</dt>\n<dd><a href=\"#0001-ab01\">→中</a> "
                        "<a href=\"#0009-none\">x</a> <a href=\"honbun.html#0001-0001\">→a</a></dd>\n\n"),
                      dir);
  // A target in the middle of an entry, and the entry start: each a tag
  // the references lead to; a link to nothing is plain text.
  ASSERT_EQ(b.plan.targets.size(), 2u);
  EXPECT_NE(EntryLines(b, 0).find("Tb\n#t1\nT" + E("中の語") + "\n"), std::string::npos);
  EXPECT_EQ(EntryLines(b, 0).substr(0, 6), "E\n@t2\n");
  EXPECT_EQ(EntryLines(b, 1), "E\nHc\n[\nTc\n]\nN\nr\nT" + E("→中") + "\nRt1\nT \nTx\nT \nr\nT" +
                                  E("→") + "a\nRt2\nWc\n");
  EXPECT_EQ(b.manifest.snippets.at("t1").substr(0, 7), E("中の語") + "\n");
  EXPECT_EQ(b.manifest.entries[1].refs, (std::vector<std::string>{"t1", "t2"}));
  // Only a picture that is what its name says goes into the book; the
  // others show their alt text in 〔〕.
  ASSERT_EQ(b.plan.images.size(), 1u) << EntryLines(b, 0);
  EXPECT_NE(EntryLines(b, 0).find("jimg1\nT" + E("図") + "1\nJ\nT" + E("〔図") + "2" + E("〕") +
                                   "\nT" + E("〔〕") + "\n"),
            std::string::npos)
      << EntryLines(b, 0);
}

TEST(BookText, ModifiersNestAndCloseAtLineEnds) {
  hzt::TempDir dir;
  // Overlapping styles, a style opened twice, and a style still open at a
  // line end and at the entry's end.
  const Book b = Read("<dt id=\"0001-0001\">h</dt>\n<dd><b>x<i>y</b>z</i> <sub>p<sub>q</sub>r</sub>"
                      "<i>s<br />\nt</dd>\n\n",
                      dir);
  EXPECT_EQ(EntryLines(b, 0),
            "E\nHh\n[\nTh\n]\nN\nb\nTx\ni\nTy\nI\nB\ni\nTz\nI\nT \ns\nTp\nTq\nTr\nS\ni\nTs\nI\nN\n"
            "i\nTt\nI\nWh\n");
}

// Pages edited by hand: the plan and the text agree on every entry and
// anchor, and the stream stays what FreePWING can take.
TEST(BookText, PagesEditedByHand) {
  hzt::TempDir dir;
  const Book b = Read(S("<dt id=\"0001-0001\">a<br />b</dt>\n<dd><key type=\"表記\">k<a name=\"0001-ab01\"></a></key>"
                        "<a href=\"#0001-ab01\">x</a> <a href=\"#0001-cd01\">y</a></dd>\n"
                        "<DT>c<a name=\"0001-cd01\"></a><body>d</dd>\n</dl><b>"),
                      dir);
  // A line break in a heading is passed over; an anchor inside a key is
  // key text, so the link to it is plain text; a heading cut short by a
  // second <body> keeps its anchor.
  EXPECT_EQ(EntryLines(b, 0).substr(0, 18), "E\nHab\n[\nTa\nTb\n]\nN\n");
  ASSERT_EQ(b.plan.targets.size(), 1u);
  EXPECT_EQ(b.plan.targets[0].id, "0001-cd01");
  EXPECT_NE(EntryLines(b, 0).find("Tx\nT \nr\nTy\nRt1\n"), std::string::npos) << EntryLines(b, 0);
  EXPECT_NE(EntryLines(b, 1).find("#t1\n"), std::string::npos) << EntryLines(b, 1);
  EXPECT_EQ(b.plan.entries, 2);
  // A style left open after the list does not reach the menu.
  EXPECT_NE(b.stream.find("Omenu\nC\n@menu-top\nr\nTusage.html\nRmenu-0\n"), std::string::npos);
}

TEST(BookText, TheMenuAndTheCopyrightNotice) {
  hzt::TempDir dir;
  const Book b = Read("", dir);
  EXPECT_NE(b.stream.find("Omenu\nC\n@menu-top\nr\nTusage.html\nRmenu-0\nN\nr\nThanrei.html\n"),
            std::string::npos);
  EXPECT_EQ(b.manifest.contexts.at("menu").refs,
            (std::vector<std::string>{"menu-0", "menu-1", "menu-2"}));
  EXPECT_NE(b.stream.find("Ocopyright\nb\nToku.html\nB\nN\nTx\nN\n"), std::string::npos);
  EXPECT_EQ(b.manifest.snippets.at("copyright"), "oku.html\nx\n");
}

TEST(BookText, PageTokens) {
  // A headword key is taken whole, '<' and all; an image's alt text runs
  // to its '">', an anchor's markup inside it.
  const std::string page = "<key type=\"t\">a<b</key><img src=\"s.jpg\" alt=\"x<a name=\"n\"></a>y\">z<!-- {MUL2001} -->";
  hz::PageTokens tokens(page);
  std::vector<std::string> seen;
  for (hz::PageToken t = tokens.Next(); t.kind != hz::PageToken::kEnd; t = tokens.Next()) {
    seen.push_back(std::to_string(t.kind) + ":" + t.name + ":" + std::string(t.text));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1:t:a<b", "3::s.jpg", "0::x", "5:a:", "5:a:", "0::y",
                                            "4::", "0::z", "2:: {MUL2001} "}));
  EXPECT_EQ(hz::AttributeValue(" id=\"x\" xid=\"y\"", "id"), "x");
}

}  // namespace
