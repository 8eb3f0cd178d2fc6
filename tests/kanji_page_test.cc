// The kanji page: records in order with kana keys, KAKU and MUL markers.
#include <gtest/gtest.h>

#include <cstring>

#include "html/kanji_page.h"
#include "core/book_pages.h"
#include "html/main_text_page.h"
#include "tests/test_support.h"

using hzt::Crlf;
using hzt::ReadFile;
using hzt::S;
using hzt::TempDir;

namespace {

const char kRecords[] =
    "@records DATA/KX02\n"
    "@record\nK1\\rone\n"
    "@record\nK2\\rtwo\\r\\rignored\n"
    "@record\nK3\n";

std::string Page(const std::string& source) {
  return hzt::PageBody(source, hz::WriteKanjiPage, hz::kBookTitle);
}

std::string Kana(const std::string& key) {
  return "<key type=\"\x82\xA9\x82\xC8\">" + key + "</key>\r\n";
}

TEST(KanjiPage, KeysAndMarkersPerRecord) {
  std::string body = Page(std::string(kRecords) +
                          "@list LIST/d300000.lst\n2:0 b1\n1:0 a1\n2:9 b2\n9:0 never\n0:0 never\n"
                          "@list LIST/d310000.lst\n1:0 13\n3:0 9\n"
                          "@list LIST/d900300.lst\n1:-1\n2:4\n0:0\n7:0\n"
                          "@list LIST/d900500.lst\n1:0\n3:0\n");
  EXPECT_EQ(body,
            Crlf("<dl>\n<dt id=\"0001-0001\">K1</dt>\n<dd>one") + Kana("a1") +
                Crlf("<!-- {KAKU13} -->\n<!-- {MUL9003} -->\n<!-- {MUL9005} -->\n</dd>\n") +
                Crlf("<dt id=\"0002-0002\">K2</dt>\n<dd>two</dd>\n\n") + Kana("b1") + Kana("b2") +
                Crlf("</dd>\n") + Crlf("<dt id=\"0003-0003\">K3") +
                Crlf("<!-- {KAKU9} -->\n<!-- {MUL9005} -->\n</dd>\n</dl>\n"));
}

TEST(KanjiPage, KeyCutting) {
  char key[42];
  auto cut = [&key](const std::string& bytes) {
    std::memset(key, 0, sizeof key);
    std::memcpy(key, bytes.data(), std::min<size_t>(bytes.size(), 42));
    return hz::CutKeyLength(key);
  };
  EXPECT_EQ(cut(S("あい　う")), 4u);
  EXPECT_EQ(cut(S("あいう")), 6u);
  EXPECT_EQ(cut(std::string(42, 'x')), 42u);
  // The pair is looked for at every byte: a second byte 0x81 followed by
  // 0x40 cuts there.
  EXPECT_EQ(cut("\x88\x81\x40z"), 1u);
  EXPECT_EQ(cut(std::string(40, 'x') + "\x81\x40"), 40u);
  EXPECT_EQ(cut(std::string(41, 'x') + "\x81"), 42u);
  // On the page: the cut key, a 42-byte key whole.
  std::string full = S("こうこうこうこうこうこうこうこうこうこうこ");
  ASSERT_EQ(full.size(), 42u);
  std::string body = Page(std::string(kRecords) + "@list LIST/d300000.lst\n3:0 " +
                          "あい　う\n3:0 こうこうこうこうこうこうこうこうこうこうこ\n");
  EXPECT_NE(body.find(Kana(S("あい")) + Kana(full) + Crlf("</dd>\n</dl>\n")), std::string::npos);
}

TEST(KanjiPage, EmptyRecordFile) {
  EXPECT_EQ(Page("@dir DATA\n@list LIST/d300000.lst\n1:0 a\n"), Crlf("<dl>\n</dl>\n"));
}

}  // namespace
