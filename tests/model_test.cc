// The book model as it is read from the pages: entries and their words,
// characters and gaiji, links, anchors and pictures, styles made to nest,
// pages edited by hand, the sections, and the files beside the pages.
#include <gtest/gtest.h>

#include "data/bitmap_font.h"
#include "model/model_reader.h"
#include "pages/page_tokens.h"
#include "tests/book_support.h"
#include "tests/test_support.h"

using hzt::S;
using hzt::Shown;
using hzt::Words;

namespace {

TEST(Model, EntriesHeadingsAndSearchWords) {
  hzt::TestPages pages;
  pages.ebs = S("kanaSep1=【\r\nkanaSep2=】\r\nStopWord=a the\r\ndelChars=△×＝（）\r\n");
  pages.honbun = S("<dt id=\"0001-0001\">あい【愛】</dt>\r\n<dd>名詞。</dd>\r\n\r\n"
                   "<key type=\"表記\">愛</key>\r\n<key type=\"表記\">AT&amp;T</key>\r\n<!-- {MUL2001} -->\r\n"
                   "<dt id=\"0001-0002\">the【（あ）】【】</dt>\r\n<dd>x</dd>\r\n\r\n"
                   "<dt id=\"0001-0003\">・</dt>\r\n<dd>y</dd>\r\n\r\n") +
                 "<dt id=\"0001-0004\">\xB6\xDE\xB7\xDE</dt>\r\n<dd></dd>\r\n\r\n" +
                 S("<dt>か】き【く</dt><dd>z</dd><key type=\"表記\">　 </key>\r\n");
  pages.kanji = S("<dt id=\"0001-0001\">愛</dt>\r\n<dd>アイ<key type=\"かな\">あい</key>\r\n"
                  "<!-- {KAKU13} -->\r\n<!-- {MUL9003} -->\r\n</dd>\r\n");
  const hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.entry_count, 6u);
  // An entry per <dt>: its heading, its definition; its words are the text
  // before 【 (its reading), inside each pair, then its keys, each once;
  // its markers the comments after it.
  EXPECT_EQ(Shown(m, m.parts[0]), ("あい【愛】|名詞。"));
  EXPECT_EQ(Words(m, m.parts[0]), ("あい,愛,AT&T/MUL2001"));
  ASSERT_NE(m.parts[0].reading, hz::kNone);
  EXPECT_EQ(m.Word(m.words[m.parts[0].reading]), ("あい"));
  // StopWord words, delChars, empty pairs and keys of nothing but spaces
  // are no words; a mark is one.
  EXPECT_EQ(Words(m, m.parts[1]), ("あ"));
  EXPECT_EQ(m.parts[1].reading, hz::kNone);
  EXPECT_EQ(Words(m, m.parts[2]), ("・"));
  // Half-width kana stay as they are.
  EXPECT_EQ(Shown(m, m.parts[3]), "\xEF\xBD\xB6\xEF\xBE\x9E\xEF\xBD\xB7\xEF\xBE\x9E|");
  // A kanaSep2 before any kanaSep1 ends the reading.
  EXPECT_EQ(Words(m, m.parts[4]), ("か"));
  EXPECT_EQ(m.parts[0].kind, hz::PartKind::kMainEntry);
  EXPECT_EQ(m.parts[5].kind, hz::PartKind::kKanjiEntry);
  EXPECT_EQ(Shown(m, m.parts[5]), ("愛|アイ"));
  EXPECT_EQ(Words(m, m.parts[5]), ("愛,あい/KAKU13,MUL9003"));
  EXPECT_EQ(m.title, "春風典");
}

TEST(Model, CharactersAndGaiji) {
  hzt::TestPages pages;
  // F040 unnamed, F041 named 高; NEC's ① and ≒; IBM's 髙 as a reference;
  // a pair and a byte that are no characters.
  pages.honbun = S("<dt id=\"0001-0001\">b【x&#xF040;y】【z&#xF041;】</dt>\r\n<dd>") + "\x87\x40\x87\x90" +
                 "&#xFBFC;&#xF0FF;\x85\x40\x80" + S("。&lt;&gt;&amp;&quot;</dd>\r\n");
  std::string told;
  const hz::BookModel m = hzt::ModelOf(pages, &told, {{0xF041, hz::GaijiName{0x9AD8, ""}}});
  ASSERT_EQ(m.entry_count, 1u);
  EXPECT_EQ(Shown(m, m.parts[0]), "b【x{F040}y】【z{F041}】|①≒髙〓〓〓。<>&\"");
  // The words: an unnamed gaiji left out, a named one as its character.
  EXPECT_EQ(Words(m, m.parts[0]), "b,xy,z高");
  ASSERT_EQ(m.gaiji.size(), 2u);
  EXPECT_EQ(m.gaiji[0].code, 0xF040u);
  EXPECT_EQ(m.gaiji[1].character, 0x9AD8u);
  EXPECT_EQ(m.gaiji[0].glyph, hz::PlaceholderGlyph(0xF040));
  // The characters JIS X 0208 lacks have glyphs (placeholders: no font
  // here); ≒ is JIS X 0208's own.
  EXPECT_EQ(m.glyphs.size(), 2u);
  EXPECT_EQ(m.glyphs.count(0x2460), 1u);
  EXPECT_EQ(m.glyphs.count(0x9AD9), 1u);
  // What is no character is told with its line.
  EXPECT_EQ(told,
            "honbun.html: line 8: bytes F0 FF are no character (shown as 〓)\n"
            "honbun.html: line 8: bytes 85 40 are no character (shown as 〓)\n"
            "honbun.html: line 8: byte 80 is no character (shown as 〓)\n");
}

TEST(Model, LinksAnchorsAndPictures) {
  hzt::TestPages pages;
  pages.honbun = S("<dt id=\"0001-0001\">a</dt>\r\n<dd>b<a name=\"0001-ab01\"></a>中<a name=\"0001-zz01\"></a>の語<br />\r\n"
                   "<img src=\"FRACTAL/f1.jpg\" alt=\"図<a name=\"0001-cp01\"></a>1\"><img src=\"USE/u.jpg\" alt=\"\"></dd>\r\n\r\n"
                   "<dt id=\"0001-0002\">c</dt>\r\n<dd><a href=\"#0001-ab01\">→中</a> "
                   "<a href=\"#0009-none\">x</a> <a href=\"honbun.html#0001-0001\">→a</a> "
                   "<a href=\"#0001-cp01\">図</a><a href=\"nowhere.html#0001-0001\">?</a></dd>\r\n\r\n");
  pages.kanji = S("<dt id=\"0001-0001\">k</dt>\r\n<dd><a href=\"honbun.html#0001-0002\">→c</a>"
                  "<a href=\"#0001-0001\">→k</a></dd>\r\n");
  const hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.entry_count, 3u);
  // The targets links point at and the pages define; an anchor nobody
  // links to and a link to nothing leave their text only.
  EXPECT_EQ(Shown(m, m.parts[0]),
            "a|b<@0001-ab01>中の語<br><img FRACTAL/f1.jpg>図<@0001-cp01>1</img><img USE/u.jpg></img>");
  EXPECT_EQ(Shown(m, m.parts[1]), ("c|<a 0001-ab01>→中</a> x <a 0001-0001>→a</a> <a 0001-cp01>図</a>?"));
  EXPECT_EQ(Shown(m, m.parts[2]), ("k|<a 0001-0002>→c</a><a 0001-0001>→k</a>"));
  ASSERT_EQ(m.targets.size(), 5u);
  for (const hz::BookTarget& t : m.targets) {
    const bool kanji = t.page == 5;
    EXPECT_EQ(t.part, t.id == "0001-0002" ? 1u : kanji ? 2u : 0u) << t.id;
    EXPECT_EQ(t.anchor, t.id.substr(5, 2) != "00") << t.id;
  }
  EXPECT_EQ(m.targets[m.parts[2].target].page, 5);  // kanji.html's own 0001-0001
  ASSERT_EQ(m.images.size(), 2u);
  EXPECT_FALSE(m.images[0].found());
}

TEST(Model, StylesAndLinksNest) {
  hzt::TestPages pages;
  // Overlapping styles, a style opened twice, a second link before the
  // first closed, and what the definition leaves open.
  pages.honbun = "<dt id=\"0001-0001\">h<b>1</dt>\r\n<dd><b>x<i>y</b>z</i> <sub>p<sub>q</sub>r</sub>"
                 "<a href=\"#0001-0001\">a<a href=\"#0001-0002\">b</a>c</a><i>s<br />\r\nt</dd>\r\n\r\n"
                 "<dt id=\"0001-0002\">2</dt>\r\n<dd><sup>u</dd>v</dd>\r\n\r\n";
  const hz::BookModel m = hzt::ModelOf(pages);
  EXPECT_EQ(Shown(m, m.parts[0]),
            "h<b>1</b>|<b>x<i>y</i></b><i>z</i> <sub>pqr</sub><a 0001-0001>a</a><a 0001-0002>b</a>c<i>s<br>t</i>");
  EXPECT_EQ(Shown(m, m.parts[1]), "2|<sup>u</sup>v");
}

// Pages edited by hand: upper-case elements, markup in a key, a line break
// in a heading, a heading cut short, what follows a list.
TEST(Model, PagesEditedByHand) {
  hzt::TestPages pages;
  pages.honbun = S("<dt id=\"0001-0001\">a<br />b</dt>\r\n<dd><key type=\"表記\">k<a name=\"0001-ab01\"></a></key>"
                   "<a href=\"#0001-ab01\">x</a> <a href=\"#0001-cd01\">y</a></dd>\r\n"
                   "<DT>c<a name=\"0001-cd01\"></a><body>d</dd>\r\n</dl><b>e<img src=\"x.jpg\" alt=\"");
  pages.sections["usage.html"] = hzt::Page("U", "<h1>U</h1>\r\n<p></p>\r\n<dt>no entry<br />\r\n<i>open");
  const hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.entry_count, 2u);
  // The heading is one line; markup inside a key is the key's text (and
  // defines nothing); a heading cut short by a second <body> keeps its
  // anchor; nothing after the list belongs to an entry.
  EXPECT_EQ(Shown(m, m.parts[0]), "ab|x <a 0001-cd01>y</a>");
  EXPECT_EQ(Words(m, m.parts[0]), "ab,k<a name=\"0001-ab01\"></a>");
  EXPECT_EQ(Shown(m, m.parts[1]), "c<@0001-cd01>|");
  // A section page knows no entries; what it leaves open is closed.
  EXPECT_EQ(m.parts[2].kind, hz::PartKind::kMenuPage);
  EXPECT_EQ(Shown(m, m.parts[2]), "U|<b>U</b><br>no entry<br><i>open</i>");
}

TEST(Model, MenuPagesAndCopyright) {
  hzt::TestPages pages;
  pages.honbun = "<dt>x</dt><dd>y</dd>\r\n";
  const hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.parts.size(), 5u);
  const char* const names[] = {"usage.html", "hanrei.html", "jo.html", "oku.html"};
  for (int i = 0; i < 4; ++i) {
    const hz::BookPart& p = m.parts[1 + i];
    EXPECT_EQ(p.kind, i < 3 ? hz::PartKind::kMenuPage : hz::PartKind::kCopyright);
    EXPECT_EQ(Shown(m, p), std::string(names[i]) + "|<b>" + names[i] + "</b><br>text of " + names[i] + "<br>");
  }
}

// Every page hz2html writes reads back with the entries, words and links it
// wrote: the sample dictionary, converted.
TEST(Model, ReadsBackWhatTheConverterWrites) {
  hzt::TempDir dir;
  ASSERT_EQ(hzt::RunHz({"--gaiji", hzt::SampleDict(), dir.path()}).status, 0);
  hzt::Told told;
  const hz::ModelSources sources = hzt::SourcesIn(dir.path(), &told);
  hz::BookModel m;
  std::string error;
  ASSERT_TRUE(hz::ReadBookModel(sources, &m, &error)) << error;
  ASSERT_EQ(m.entry_count, 10u);
  const std::vector<std::string> expected = {
      ("あい【愛】|<b>名</b>いつくしみ、大切に思う心。<i>lit.</i> 《love》<br><@0001-ab01>例：愛は春風のように。"
        "<a 0001-0002>→あいする</a>"),
      ("あいする【愛する】【ab愛】|<b>動</b>大切に思う。<a 0001-ab01>上の例</a>を見よ。《英 love・仏 amour》"),
      ("びたみんえー【ビタミンA】|栄養素の一つ。H<sub>2</sub>O とは別。<br>A < B & C > D, \"quoted\" text."),
      ("アイ・ビー・エム|<img FRACTAL/fig001.jpg>図</img>米国の会社。<br><img USE/use02.jpg>\"挿絵\"</img><br>"
        "{F040}は外字。【外字括弧】《AT&T{F041}》"),
      ("あ（亜）|{F7DB}動画と{F7DD}漢字。<br><a 0001-ab01>愛の例へ</a>と数字でない見出し。<br>未知の種類"),
      ("えい【英】【英語】|英語のこと。"),
      ("るびー【ルビー】【紅玉】【】|赤い宝石。"),
      ("愛|<b>音</b>アイ<br><b>訓</b>いつくしむ"),
      ("哀|<b>音</b>アイ<br><b>訓</b>あわれ"),
      ("紅|<b>音</b>コウ<br>")};
  const std::vector<std::string> words = {
      ("あい,愛,love/MUL2000,MUL4000"), ("あいする,愛する,ab愛,love,amour"), ("びたみんえー,ビタミンA/MUL4000"),
      ("アイ・ビー・エム,AT&T,アイビーエム図/MUL2000,MUL4000,MUL9005"), ("あ亜,あ"), ("えい,英,英語"),
      ("るびー,ルビー,紅玉/MUL9005"), ("愛,あい,いつくしむ/KAKU13,MUL9003"), ("哀,あい,あわれ/KAKU9,MUL9005"),
      ("紅,こうこうこうこうこうこうこうこうこうこうこ/KAKU9,MUL9005")};
  for (uint32_t i = 0; i < m.entry_count; ++i) {
    EXPECT_EQ(Shown(m, m.parts[i]), expected[i]) << i;
    EXPECT_EQ(Words(m, m.parts[i]), words[i]) << i;
  }
  EXPECT_EQ(Shown(m, m.parts[10]),
            ("春風典の使い方|<b>春風典の使い方</b><br><b>春風典の使い方</b><br>この辞典は見出し語を五十音順に並べています。<br>"
              "詳しくは<a 0002-ex01>検索の説明</a>を見てください。<br><@0002-ex01>検索には<i>かな</i>と<i>表記</i>が使えます。<br>"));
  EXPECT_EQ(m.parts[13].kind, hz::PartKind::kCopyright);
  // The gaiji the pages name, with Gaiji.xml's glyphs; the converter's
  // pages hold no byte that is no character.
  ASSERT_EQ(m.gaiji.size(), 4u);
  EXPECT_EQ(m.gaiji[0].glyph, hz::PlaceholderGlyph(0xF040));
  EXPECT_EQ(told.told, "");
}

TEST(Model, FilesThatCannotBeReadAreNamed) {
  hzt::TempDir dir;
  ASSERT_EQ(hzt::RunHz({"--gaiji", hzt::SampleDict(), dir.path()}).status, 0);
  hzt::Told told;
  const hz::ModelSources sources = hzt::SourcesIn(dir.path(), &told);
  hz::BookModel m;
  std::string error;
  ASSERT_TRUE(hzt::Remove(dir / "harukaze.ebs"));
  ASSERT_TRUE(hzt::Remove(dir / "Gaiji.xml"));
  hzt::WriteFile(dir / "gaiji.tsv", "code\tunicode\nF040\tU+9AD9\n");
  ASSERT_TRUE(hz::ReadBookModel(sources, &m, &error)) << error;
  EXPECT_EQ(told.told, std::string("harukaze.ebs: missing, so the search settings are the defaults (kanaSep1 【, kanaSep2 】, "
                         "no delChars, no StopWord)\n") +
                           dir / "no-font.hex" + ": missing, so 1 characters of the book keep placeholder glyphs\n" +
                           "Gaiji.xml: missing, so the 4 private-area characters keep placeholder glyphs\n");
  // Without a page there is no book.
  ASSERT_TRUE(hzt::Remove(dir / "jo.html"));
  EXPECT_FALSE(hz::ReadBookModel(sources, &m, &error));
  EXPECT_EQ(error, dir.path() + "/jo.html: missing");
}

TEST(Model, PageTokens) {
  // A headword key is taken whole, '<' and all; an image's caption runs to
  // its '">', an anchor's markup inside it; names in any case.
  const std::string page = "<key type=\"t\">a<b</key><img src=\"s.jpg\" alt=\"x<A name=\"n\"></a>y\">z<!-- {MUL2001} -->";
  hz::PageTokens tokens(page);
  std::vector<std::string> seen;
  for (hz::PageToken t = tokens.Next(); t.kind != hz::PageToken::kEnd; t = tokens.Next()) {
    seen.push_back(std::to_string(t.kind) + ":" + t.name + ":" + std::string(t.text));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"1::a<b", "3::s.jpg", "0::x", "5:a:", "5:a:", "0::y", "4::", "0::z",
                                            "2:: {MUL2001} "}));
  bool present = false;
  EXPECT_EQ(hz::AttributeValue(" id=\"x\" xid=\"y\"", "id", &present), "x");
  EXPECT_TRUE(present);
  EXPECT_EQ(hz::AttributeValue(" xid=\"y\"", "id", &present), "");
  EXPECT_FALSE(present);
}

}  // namespace
