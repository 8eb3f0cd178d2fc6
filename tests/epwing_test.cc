// The EPWING book the writer makes, read through the EB library: the index
// where it can break (a word beginning the next page's first word on every
// level, a word over many pages, long words, a single word, no marker, the
// last word), the gaiji fonts at a chunk's edge, what the search
// normalises, the reader maps, and a checker that finds what is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "ebcheck/book_check.h"
#include "ebcheck/book_file_reads.h"
#include "ebcheck/eb_session.h"
#include "epwing/epwing_book.h"
#include "tests/book_support.h"
#include "tests/test_support.h"

using hzt::S;

namespace {

uint32_t Be(const std::string& s, size_t at, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

// An index of HONMON as its pages hold it.
struct IndexPage {
  uint8_t flags = 0;
  size_t entry_length = 0;
  std::vector<std::string> keys;
  std::vector<uint32_t> children;  // upper pages
};
struct Index {
  uint32_t first = 0, pages = 0;
  std::map<uint32_t, IndexPage> page;  // by page number
  // The leaf pages' first and last keys, in order.
  std::vector<uint32_t> leaves;
};

Index IndexOf(const std::string& honmon, uint8_t id) {
  Index x;
  for (uint32_t i = 0; i < Be(honmon, 0, 2); ++i) {
    const size_t e = 16 * (i + 1);
    if (static_cast<uint8_t>(honmon[e]) != id) continue;
    x.first = Be(honmon, e + 2, 4);
    x.pages = Be(honmon, e + 6, 4);
  }
  for (uint32_t p = x.first; p < x.first + x.pages; ++p) {
    const size_t at = (p - 1) * 2048;
    IndexPage page;
    page.flags = static_cast<uint8_t>(honmon[at]);
    page.entry_length = static_cast<unsigned char>(honmon[at + 1]);
    const uint32_t count = Be(honmon, at + 2, 2);
    size_t q = at + 4;
    for (uint32_t k = 0; k < count; ++k) {
      if (page.flags & 0x80) {
        const size_t n = static_cast<unsigned char>(honmon[q]);
        page.keys.push_back(honmon.substr(q + 1, n));
        q += 1 + n + 12;
      } else {
        std::string key = honmon.substr(q, page.entry_length);
        key.erase(key.find_last_not_of('\0') + 1);
        page.keys.push_back(key);
        page.children.push_back(Be(honmon, q + page.entry_length, 4));
        q += page.entry_length + 4;
      }
    }
    if (page.flags & 0x80) x.leaves.push_back(p);
    x.page[p] = page;
  }
  return x;
}

bool ProperPrefix(const std::string& a, const std::string& b) { return a.size() < b.size() && b.compare(0, a.size(), a) == 0; }

// The levels of the tree, from the root: each a list of pages.
std::vector<std::vector<uint32_t>> Levels(const Index& x) {
  std::vector<std::vector<uint32_t>> levels{{x.first}};
  while (!(x.page.at(levels.back()[0]).flags & 0x80)) {
    std::vector<uint32_t> next;
    for (uint32_t p : levels.back()) {
      const auto& c = x.page.at(p).children;
      next.insert(next.end(), c.begin(), c.end());
    }
    levels.push_back(next);
  }
  return levels;
}

// The book of a model in dir, proved by the checker.
void Prove(const hz::BookModel& m, const std::string& dir) {
  const hz::CheckResult r = hz::CheckEpwingBook(dir, m, [](const char*, int64_t, int64_t) {}, [] { return false; });
  EXPECT_EQ(r.error, "");
  EXPECT_TRUE(r.misses.empty()) << r.misses.size() << " misses, the first: " << r.misses[0];
  EXPECT_EQ(r.entries, m.entry_count);
}

std::string Honmon(const hz::EpwingBook& book) {
  for (const hz::BookFile& f : book.files) {
    if (f.path == "HARUKAZE/DATA/HONMON") return f.bytes;
  }
  return "";
}

// An entry with a heading and its words as keys (Shift-JIS).
std::string Entry(int n, const std::string& heading, const std::vector<std::string>& keys) {
  std::string e = "<dt id=\"0001-" + std::to_string(1000 + n) + "\">" + heading + "</dt>\r\n<dd>" + S("本文") +
                  "</dd>\r\n\r\n";
  for (const std::string& k : keys) e += S("<key type=\"表記\">") + k + "</key>\r\n";
  return e;
}

// Chains of words each beginning the next (か, かあ, かああ, ...), long
// enough that pages end between a word and a longer word it begins.
TEST(Epwing, WordsThatBeginTheNextPagesFirstWord) {
  hzt::TestPages pages;
  const char* const bases[] = {"か", "き", "く", "け", "こ", "さ", "し", "す", "せ", "そ"};
  int n = 0;
  for (const char* base : bases) {
    // Words that grow at their end (for the forward index) and at their
    // start (for the backward one).
    std::string forward = S(base), backward = S(base);
    for (int k = 0; k < 110; ++k) {
      forward += S(k % 2 ? "い" : "あ");
      backward = S(k % 2 ? "う" : "え") + backward;
      pages.honbun += Entry(n++, S("見出し"), {forward, backward});
    }
  }
  const hz::BookModel m = hzt::ModelOf(pages);
  hzt::TempDir dir;
  const hz::EpwingBook book = hzt::BookOf(m, dir / "book");
  const std::string honmon = Honmon(book);
  for (const uint8_t id : {0x91, 0x71}) {
    const Index x = IndexOf(honmon, id);
    const std::vector<std::vector<uint32_t>> levels = Levels(x);
    ASSERT_GE(levels.size(), 3u) << "the index should have two levels above its leaves";
    // Every upper page leaves a NUL after its longest key, and its keys
    // order its children.
    for (const auto& page : x.page) {
      if (page.second.flags & 0x80) continue;
      for (const std::string& key : page.second.keys) EXPECT_LT(key.size(), page.second.entry_length);
      EXPECT_TRUE(std::is_sorted(page.second.keys.begin(), page.second.keys.end()));
    }
    // On every level, a page ends in a word that begins the next page's
    // first word.
    for (size_t l = 0; l < levels.size(); ++l) {
      if (levels[l].size() < 2) continue;
      int prefix_boundaries = 0;
      for (size_t i = 0; i + 1 < levels[l].size(); ++i) {
        // The last and first leaf keys below each page.
        uint32_t a = levels[l][i], b = levels[l][i + 1];
        while (!(x.page.at(a).flags & 0x80)) a = x.page.at(a).children.back();
        while (!(x.page.at(b).flags & 0x80)) b = x.page.at(b).children.front();
        if (ProperPrefix(x.page.at(a).keys.back(), x.page.at(b).keys.front())) ++prefix_boundaries;
      }
      EXPECT_GT(prefix_boundaries, 0) << "level " << l << " of index " << int(id);
    }
  }
  Prove(m, dir / "book");
}

// One word in 300 entries: over several leaf pages, found whole by each
// search.
TEST(Epwing, TheSameWordOverSeveralPages) {
  hzt::TestPages pages;
  for (int n = 0; n < 300; ++n) pages.honbun += Entry(n, S("見") + std::to_string(n), {S("同じ"), S("ほか") + std::to_string(n)});
  const hz::BookModel m = hzt::ModelOf(pages);
  hzt::TempDir dir;
  const hz::EpwingBook book = hzt::BookOf(m, dir / "book");
  const Index x = IndexOf(Honmon(book), 0x91);
  std::string key;
  ASSERT_TRUE(hz::IndexKeyOf("同じ", &key));
  int holding = 0;
  for (uint32_t leaf : x.leaves) {
    const auto& keys = x.page.at(leaf).keys;
    if (std::count(keys.begin(), keys.end(), key) > 0) ++holding;
  }
  EXPECT_GE(holding, 2);
  hz::EbSession eb;
  std::string error;
  ASSERT_TRUE(eb.Open(dir / "book", &error)) << error;
  for (hz::EbSearch how : {hz::EbSearch::kExact, hz::EbSearch::kWord, hz::EbSearch::kEndWord}) {
    ASSERT_TRUE(eb.Search(how, "\xC6\xB1\xA4\xB8"));  // 同じ in EUC-JP
    EXPECT_EQ(eb.Hits().size(), 300u);
  }
  Prove(m, dir / "book");
}

TEST(Epwing, LongWordsASingleWordAndNoMarker) {
  hzt::TempDir dir;
  {
    // 127 characters (254 bytes, the most a key holds), 128 and 300: a
    // word is its first 127 characters.
    hzt::TestPages pages;
    std::string w127, w300;
    for (int i = 0; i < 127; ++i) w127 += S("語");
    for (int i = 0; i < 300; ++i) w300 += S(i < 127 ? "文" : "字");
    pages.honbun = Entry(0, "a", {w127}) + Entry(1, "b", {w127 + S("字")}) + Entry(2, "c", {w300});
    const hz::BookModel m = hzt::ModelOf(pages);
    hzt::BookOf(m, dir / "long");
    Prove(m, dir / "long");
    hz::EbSession eb;
    std::string error;
    ASSERT_TRUE(eb.Open(dir / "long", &error)) << error;
    std::string query;
    for (int i = 0; i < 127; ++i) query += "\xB8\xEC";  // 語
    ASSERT_TRUE(eb.Search(hz::EbSearch::kExact, query));
    EXPECT_EQ(eb.Hits().size(), 2u);
    EXPECT_FALSE(eb.Search(hz::EbSearch::kExact, query + "\xBB\xFA"));  // 128 characters: too long to ask
  }
  {
    // A single entry with a single word, and no marker: no keyword index.
    hzt::TestPages pages;
    pages.honbun = "<dt>x</dt><dd>y</dd>\r\n";
    const hz::BookModel m = hzt::ModelOf(pages);
    const hz::EpwingBook book = hzt::BookOf(m, dir / "single");
    const Index words = IndexOf(Honmon(book), 0x91);
    EXPECT_EQ(words.pages, 1u);
    EXPECT_EQ(words.page.at(words.first).flags, 0xE0);
    EXPECT_EQ(IndexOf(Honmon(book), 0x80).pages, 0u);
    Prove(m, dir / "single");
    hz::EbSession eb;
    std::string error;
    ASSERT_TRUE(eb.Open(dir / "single", &error));
    EXPECT_FALSE(eb.Search(hz::EbSearch::kKeyword, "X"));
    ASSERT_TRUE(eb.Search(hz::EbSearch::kExact, "x"));
    EXPECT_EQ(eb.Hits().size(), 1u);
  }
}

// The index's last word, and words as the library normalises a search: a
// katakana word found in hiragana, letters in either width and case, the
// marks and spaces left out; a word JIS X 0208 cannot hold at all is none.
TEST(Epwing, WhatASearchNormalises) {
  hzt::TestPages pages;
  pages.honbun = Entry(0, "a", {S("カナ"), "AbC", S("あ・い う"), "\x87\x40"}) + Entry(1, "b", {S("んんん")});
  pages.kanji = S("<dt>字</dt><dd>x<!-- {MUL2001} --></dd>\r\n");
  const hz::BookModel m = hzt::ModelOf(pages);
  hzt::TempDir dir;
  hzt::BookOf(m, dir / "book");
  Prove(m, dir / "book");
  hz::EbSession eb;
  std::string error;
  ASSERT_TRUE(eb.Open(dir / "book", &error));
  const struct {
    const char* euc;
    size_t hits;
  } searches[] = {{"\xA4\xAB\xA4\xCA", 1},      // かな
                  {"\xA3\xE1\xA3\xE2\xA3\xE3", 1},  // ａｂｃ
                  {"abc", 1},
                  {"\xA4\xA2\xA4\xA4\xA4\xA6", 1},  // あいう
                  {"\xA4\xF3\xA4\xF3\xA4\xF3", 1},  // んんん, the last word
                  {"\xA4\xF3\xA4\xF3\xA4\xF3\xA4\xF3", 0}};
  for (const auto& s : searches) {
    ASSERT_TRUE(eb.Search(hz::EbSearch::kExact, s.euc)) << s.euc;
    EXPECT_EQ(eb.Hits().size(), s.hits) << s.euc;
  }
  ASSERT_TRUE(eb.Search(hz::EbSearch::kKeyword, "MUL2001"));
  EXPECT_EQ(eb.Hits().size(), 1u);
  std::string key;
  EXPECT_FALSE(hz::IndexKeyOf("①", &key));
  EXPECT_TRUE(hz::IndexKeyOf("・", &key));
  EXPECT_EQ(key, "");
}

// A distinct glyph for n: its number's bits in a narrow or wide cell.
hz::Glyph16 GlyphOf(int n, bool narrow) {
  hz::Glyph16 g;
  g.width = narrow ? 8 : 16;
  for (int y = 0; y < 16; ++y) g.rows[y] = static_cast<uint16_t>(((n * 37 + y * 11) & (narrow ? 0xFF : 0xFFFF)) << (narrow ? 4 : 0));
  g.rows[0] = static_cast<uint16_t>(narrow ? (n & 0xFF) << 4 : n);
  return g;
}

// 40 wide and 70 narrow gaiji: the fonts' first chunk of 1024 bytes holds
// 32 wide or 64 narrow glyphs, so the 32nd and 33rd (and 64th and 65th)
// stand on either side of its edge.
TEST(Epwing, GlyphsOnBothSidesOfAFontChunksEdge) {
  hzt::TestPages pages;
  std::string body;
  for (int code = 0xF040, i = 0; i < 110; ++code) {
    if ((code & 0xFF) == 0x7F) continue;  // no trail byte
    char ref[16];
    std::snprintf(ref, sizeof ref, "&#x%04X;", code);
    body += ref;
    ++i;
  }
  pages.honbun = "<dt>g</dt><dd>" + body + "</dd>\r\n";
  hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.gaiji.size(), 110u);
  for (int i = 0; i < 110; ++i) m.gaiji[i].glyph = GlyphOf(i, i >= 40);
  hzt::TempDir dir;
  hzt::BookOf(m, dir / "book");
  Prove(m, dir / "book");
  hz::EbSession eb;
  std::string error;
  ASSERT_TRUE(eb.Open(dir / "book", &error));
  // The gaiji are numbered from A121 in each font, in the order the text
  // meets them: A140 and A141 are the wide 32nd and 33rd, A160 and A161 the
  // narrow 64th and 65th.
  const auto mark = [&m](uint32_t index) {
    const char content[5] = {'\x08', static_cast<char>(index), 0, 0, 0};
    hz::ExpectedText expected(m);
    std::string out;
    expected.Runs(std::string_view(content, 5), &out);
    return out;
  };
  EXPECT_EQ(eb.WideGlyph(0xA140), mark(31));
  EXPECT_EQ(eb.WideGlyph(0xA141), mark(32));
  EXPECT_EQ(eb.WideGlyph(0xA148), mark(39));
  EXPECT_EQ(eb.WideGlyph(0xA149), "");
  EXPECT_EQ(eb.NarrowGlyph(0xA160), mark(40 + 63));
  EXPECT_EQ(eb.NarrowGlyph(0xA161), mark(40 + 64));
  EXPECT_EQ(eb.NarrowGlyph(0xA167), "");
}

// What readers show for the book's gaiji: HARUKAZE.map (EBWin, EBPocket)
// and afonts_0 (GoldenDict, qolibri), for the gaiji whose character or
// replacement text is known.
TEST(Epwing, ReaderMaps) {
  hzt::TestPages pages;
  // F040 named 髙 (wide), F041 named é (narrow), F042 with an alt text
  // only, F043 unnamed, F044 named 高 (JIS X 0208: no gaiji); ① of NEC.
  pages.honbun = "<dt>g</dt><dd>&#xF040;&#xF041;&#xF042;&#xF043;&#xF044;\x87\x40</dd>\r\n";
  hz::BookModel m = hzt::ModelOf(pages, nullptr,
                                 {{0xF040, {0x9AD9, ""}}, {0xF041, {0xE9, ""}}, {0xF042, {0, "x y"}}, {0xF044, {0x9AD8, ""}}});
  ASSERT_EQ(m.gaiji.size(), 5u);
  m.gaiji[1].glyph = GlyphOf(1, true);
  m.gaiji[2].alt = "alt";
  hzt::TempDir dir;
  const hz::EpwingBook book = hzt::BookOf(m, dir / "book");
  Prove(m, dir / "book");
  EXPECT_EQ(hzt::ReadFile(dir / "book/HARUKAZE.map"),
            "zA121\tu9AD9\t\r\nzA122\t-\talt\r\nzA124\tu2460\t\r\nhA121\tu00E9\t\r\n");
  EXPECT_EQ(hzt::ReadFile(dir / "book/afonts_0"), "wa121 髙\nwa122 alt\nwa124 ①\nna121 é\n");
  EXPECT_EQ(book.gaiji, 5);
}

// The checker against books that lack what the model holds.
TEST(Epwing, TheCheckerFindsWhatIsWrong) {
  hzt::TempDir dir;
  ASSERT_EQ(hzt::RunHz({"--gaiji", hzt::SampleDict(), dir.path()}).status, 0);
  ASSERT_TRUE(hzt::MakeDir(dir / "FRACTAL"));
  hzt::WriteFile(dir / "FRACTAL/fig001.jpg", "\xFF\xD8\xFF\xE0 a picture of sorts");
  hzt::Told told;
  const hz::ModelSources sources = hzt::SourcesIn(dir.path(), &told);
  hz::BookModel m;
  std::string error;
  ASSERT_TRUE(hz::ReadBookModel(sources, &m, &error)) << error;
  const hz::EpwingBook book = hzt::BookOf(m, dir / "book");
  Prove(m, dir / "book");
  const auto misses = [&](const hz::BookModel& model) {
    return hz::CheckEpwingBook(dir / "book", model, [](const char*, int64_t, int64_t) {}, [] { return false; }).misses;
  };
  // A word the book lacks; a reference that lands on another entry; a
  // glyph drawn otherwise; a picture that is not its file.
  {
    hz::BookModel other = m;
    other.word_text.replace(other.words[0].at, 3, "\xE3\x81\x86");  // あい as うい
    // 0001-0002 is the second entry's; the model now says the third's.
    std::swap(other.parts[1].target, other.parts[2].target);
    other.targets[other.parts[2].target].part = 2;
    other.gaiji[0].glyph.rows[3] ^= 0x0100;
    other.images[0].data += "x";
    std::vector<std::string> found = misses(other);
    std::sort(found.begin(), found.end());
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0], "entry 1 (あい【愛】): search word \"うい\" not found by exact search");
    EXPECT_EQ(found[1].find("entry 4 (アイ・ビー・エム): reads \"\"挿絵\"〕\\n{gaiji "), 0u) << found[1];
    EXPECT_EQ(found[2], "the picture FRACTAL/fig001.jpg: not its file");
    EXPECT_EQ(found[3], "the reference to 0001-0002 lands on text that reads \"あいする【愛する】【ab\", not "
                        "\"びたみんえー【ビタミンA\"");
  }
  // A character of the text changed in the book.
  std::string honmon = Honmon(book);
  const size_t at = honmon.find("\x24\x22\x24\x24", 2048);  // あい of the first entry
  ASSERT_NE(at, std::string::npos);
  honmon[at + 3] = 0x26;  // あう
  hzt::WriteFile(dir / "book/HARUKAZE/DATA/HONMON", honmon);
  const std::vector<std::string> found = misses(m);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], "entry 1 (あい【愛】): reads \"[keyword]あう【愛】[keyword]\\n[styles 1]名[styles 0]いつくしみ\", "
                      "not \"[keyword]あい【愛】[keyword]\\n[styles 1]名[styles 0]いつくしみ\"");
}

// The book's files reach the EB library from memory, read and positioned as
// the system would; other files and other directories go to the system.
TEST(Epwing, BookFilesReadFromMemory) {
  hzt::TempDir dir, other;
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7);
  hzt::WriteFile(dir / "HONMON", bytes);
  hzt::WriteFile(other / "HONMON", bytes);
  const auto read_at = [](int fd, off_t at, int whence, size_t n, std::string* got) {
    const off_t p = lseek(fd, at, whence);
    got->assign(n, '\0');
    const ssize_t k = read(fd, got->data(), n);
    got->resize(k < 0 ? 0 : static_cast<size_t>(k));
    return p;
  };
  const int before = hz::BookFileReads::ServedCount();
  {
    hz::BookFileReads reads(dir.path());
    const int fd = open((dir / "HONMON").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(hz::BookFileReads::ServedCount(), before + 1);
    const int fd2 = open((dir / "HONMON").c_str(), O_RDONLY);  // the same mapping, its own position
    const int outside = open((other / "HONMON").c_str(), O_RDONLY);
    EXPECT_EQ(hz::BookFileReads::ServedCount(), before + 2);
    std::string got;
    EXPECT_EQ(read_at(fd, 2048, SEEK_SET, 100, &got), 2048);
    EXPECT_EQ(got, bytes.substr(2048, 100));
    EXPECT_EQ(read_at(fd, 10, SEEK_CUR, 50, &got), 2158);
    EXPECT_EQ(got, bytes.substr(2158, 50));
    EXPECT_EQ(read_at(fd2, -8, SEEK_END, 100, &got), 4992);  // a read cut at the end
    EXPECT_EQ(got, bytes.substr(4992));
    EXPECT_EQ(read_at(fd2, 100, SEEK_END, 10, &got), 5100);  // past the end: nothing
    EXPECT_EQ(got, "");
    EXPECT_EQ(lseek(fd, -1, SEEK_SET), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(read_at(outside, 4000, SEEK_SET, 2000, &got), 4000);
    EXPECT_EQ(got, bytes.substr(4000));
    EXPECT_EQ(close(fd), 0);
    EXPECT_EQ(read_at(fd2, 0, SEEK_SET, 3, &got), 0);  // still served after the other closed
    EXPECT_EQ(got, bytes.substr(0, 3));
    EXPECT_EQ(close(fd2), 0);
    EXPECT_EQ(close(outside), 0);
  }
  // Served no longer once the object is gone.
  const int fd = open((dir / "HONMON").c_str(), O_RDONLY);
  EXPECT_EQ(hz::BookFileReads::ServedCount(), before + 2);
  close(fd);
  // A check opens the book's text, catalogs and fonts from memory.
  hzt::TestPages pages;
  pages.honbun = "<dt>x</dt><dd>y</dd>\r\n";
  hzt::BookOf(hzt::ModelOf(pages), dir / "book");
  hz::EbSession session;
  std::string error;
  ASSERT_TRUE(session.Open(dir / "book", &error)) << error;
  EXPECT_GE(hz::BookFileReads::ServedCount(), before + 4);
  ASSERT_TRUE(session.Search(hz::EbSearch::kExact, "x"));
  EXPECT_EQ(session.Hits().size(), 1u);
}

}  // namespace
