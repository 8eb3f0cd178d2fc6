// Search keys: the worked examples of headword keys and captured keys.
#include <gtest/gtest.h>

#include "html/keys.h"
#include "platform/page_writer.h"
#include "tests/test_support.h"

using hzt::S;

namespace {

// A tally for the key writers (it counts; nothing here reads it).
hz::PageTally& Tally() {
  static hz::PageTally tally("", nullptr, nullptr);
  return tally;
}

std::string Key(const std::string& text) {
  return std::string("<key type=\"\x95\x5C\x8B\x4C\">") + text + "</key>\r\n";
}

// The headword keys of a first line (UTF-8, given here without its CR; a
// CR and a second line follow it in the text).
std::string Headword(const std::string& sjis_line) {
  std::string text = sjis_line + "\rsecond line";
  hz::PageWriter out;
  hz::WriteHeadwordKeys(text.c_str(), out, Tally());
  return out.str();
}

std::string Captured(const std::string& sjis) {
  hz::PageWriter out;
  hz::WriteCapturedKeys(sjis.c_str(), out, Tally());
  return out.str();
}

TEST(HeadwordKeys, WorkedExamples) {
  EXPECT_EQ(Headword(S("あい【愛】")), "");
  EXPECT_EQ(Headword(S("あい【愛】【哀】")), Key(S("哀")));
  EXPECT_EQ(Headword(S("あい【愛】【哀】【埃】")), Key(S("哀")) + Key(S("埃")));
  EXPECT_EQ(Headword(S("えーびーしー【ABC】")), "");
  EXPECT_EQ(Headword(S("びたみんえー【ビタミンA】")), Key("A"));
  EXPECT_EQ(Headword(S("びたみんえー【ビタミンA群】")), Key(S("A群")));
  EXPECT_EQ(Headword(S("あい【愛】【ab愛】")), Key(S("ab愛")));
  EXPECT_EQ(Headword(S("あい【愛】【】")), Key(""));
  EXPECT_EQ(Headword(S("あい【愛】【") + "\xF0\x40" + S("】")), Key("&#xF040;"));
  EXPECT_EQ(Headword(S("あい【愛")), "");
  EXPECT_EQ(Headword(S("アイ・ビー・エム")), Key(S("アイビーエム") + "\r"));
  EXPECT_EQ(Headword(S("あ（亜）")), Key(S("あ") + "\r"));
  EXPECT_EQ(Headword(S("あ（亜")), Key(S("あ")));
  EXPECT_EQ(Headword(S("あい")), "");
}

TEST(HeadwordKeys, PrivateBracketsCountAsBrackets) {
  const std::string open = "\xF4\xAE", close = "\xF4\xAF";
  EXPECT_EQ(Headword(S("あい") + open + S("愛") + close + open + S("哀") + close), Key(S("哀")));
  EXPECT_EQ(Headword(S("あい【愛") + close + open + S("ab") + S("】")), Key("ab"));
}

TEST(HeadwordKeys, BracketEdgeCases) {
  // A mixed content starting double-byte yields a key in the first pair;
  // one starting at 0xF7E1 or above keeps its whole text.
  EXPECT_EQ(Headword(S("x【ビタミンB2】")), Key("B2"));
  EXPECT_EQ(Headword(S("x【") + "\xF7\xE1" + S("ビA】")), Key("&#xF7E1;" + S("ビA")));
  // The run stops at a code below the full-width space too.
  EXPECT_EQ(Headword(S("x【ビ") + "\x81\x3F" + S("ビA】")), Key("\x81\x3F" + S("ビA")));
  // A second pair ending with 【: the key ends with it; the search goes on
  // after that pair's 】, so y】 alone yields nothing.
  EXPECT_EQ(Headword(S("あ【愛】【x【】y】")), Key(S("x【")));
  // 0xFF is no single-byte character for the flag, but is written.
  EXPECT_EQ(Headword(S("あ【愛") + "\xFF" + S("】")), "");
  EXPECT_EQ(Headword(S("あ【愛】【愛") + "\xFF" + S("】")), Key(S("愛") + "\xFF"));
  // <, > and & stay unescaped.
  EXPECT_EQ(Headword(S("あ【愛】【<&>】")), Key("<&>"));
  // The key never holds its closing bracket; a pair on the second line
  // does not count.
  std::string two_lines = S("あい") + "\r" + S("【愛】【哀】");
  hz::PageWriter out;
  hz::WriteHeadwordKeys(two_lines.c_str(), out, Tally());
  EXPECT_EQ(out.str(), "");
  // Half-width katakana are single-byte characters.
  EXPECT_EQ(Headword(S("x【ア") + "\xB1" + S("】")), Key("\xB1"));
}

TEST(HeadwordKeys, FallbackEdgeCases) {
  // Parentheses do not nest; middle dots and parentheses are left out.
  EXPECT_EQ(Headword(S("あ（い（う）え）お・か")), Key(S("あえお") + S("か") + "\r"));
  // A zero byte ends the line like a CR, and is never written.
  std::string text = S("ア・イ");
  hz::PageWriter out;
  hz::WriteHeadwordKeys(text.c_str(), out, Tally());
  EXPECT_EQ(out.str(), Key(S("アイ")));
  // A lead byte before the end is no character; the key is closed.
  std::string lone = S("ア・イ") + "\x82";
  hz::PageWriter out2;
  hz::WriteHeadwordKeys(lone.c_str(), out2, Tally());
  EXPECT_EQ(out2.str(), Key(S("アイ")));
  // Private-area characters become references; a lone ） writes nothing.
  EXPECT_EQ(Headword(S("・") + "\xF0\x40" + S("）")), Key("&#xF040;\r"));
  // An empty text yields no key.
  hz::PageWriter out3;
  hz::WriteHeadwordKeys("", out3, Tally());
  EXPECT_EQ(out3.str(), "");
}

TEST(CapturedKeys, WorkedExamples) {
  EXPECT_EQ(Captured(S("love》")), Key("love"));
  EXPECT_EQ(Captured(S("英 love・仏 amour》")), Key(" love") + Key(" amour"));
  EXPECT_EQ(Captured(S("ＡＢＣ》")), "");
  EXPECT_EQ(Captured("AT&amp;T" + S("》")), Key("AT&amp;T"));
  EXPECT_EQ(Captured(""), "");
}

TEST(CapturedKeys, RunsAndReferences) {
  // A raw code below 0xF874 ends a key; from 0xF874 on it is a reference
  // inside the key but never starts one.
  EXPECT_EQ(Captured("ab\xF0\x40" "cd"), Key("ab") + Key("cd"));
  EXPECT_EQ(Captured("ab\xF8\x74" "cd"), Key("ab&#xF874;cd"));
  EXPECT_EQ(Captured("\xF8\x74" "cd"), Key("cd"));
  // 0xFF does not start a key but is written inside one.
  EXPECT_EQ(Captured("\xFF" "a\xFF"), Key("a\xFF"));
  // Spaces stay; the end of the text ends the key; a lone lead byte too.
  EXPECT_EQ(Captured(" a "), Key(" a "));
  EXPECT_EQ(Captured("ab\x82"), Key("ab"));
}

}  // namespace
