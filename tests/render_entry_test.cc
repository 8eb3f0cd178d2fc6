// The entry renderer: line structure, escapes, references and captures.
#include <gtest/gtest.h>

#include "html/keys.h"
#include "tests/test_support.h"

using hzt::Crlf;
using hzt::Render;
using hzt::S;

namespace {

// A dictionary whose KX01 holds one record with the given text (one source
// line, so line ends are written \r).
std::string OneRecord(const std::string& text) {
  return "@records DATA/KX01\n@record\n" + text + "\n";
}

std::string Key(const std::string& text) {
  return std::string(hz::kKeyOpen) + hz::kWrittenFormKeyType + hz::kTagEnd + text + "</key>\r\n";
}

TEST(RenderEntry, ListModeEntryStructure) {
  // HW CR def CR CR: term, definition, close, keys (none for this line).
  EXPECT_EQ(Render(OneRecord("HW\\rdef\\r\\rnext"), 1, 12, 0, 3),
            "");  // record 12 does not exist: nothing at all
  EXPECT_EQ(Render(OneRecord("HW\\rdef\\r\\rnext"), 1, 1, 0, 3),
            Crlf("<dt id=\"0001-0003\">HW</dt>\n<dd>def</dd>\n\n"));
  EXPECT_EQ(Render(OneRecord("HW\\rl1\\rl2\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd>l1<br />\nl2</dd>\n\n"));
  // An entry from the middle of the record, numbered as given.
  EXPECT_EQ(Render(OneRecord("A\\rB\\r\\rC\\rD\\r\\r"), 1, 1, 5, 2),
            Crlf("<dt id=\"0001-0002\">C</dt>\n<dd>D</dd>\n\n"));
  // The walk reaching the end of the text writes no close.
  EXPECT_EQ(Render(OneRecord("HW\\rdef"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd>def"));
  // A double CR that ends the first line still closes the term.
  EXPECT_EQ(Render(OneRecord("HW\\r\\rnext"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">HW</dt>\n<dd></dd>\n\n"));
  // An empty entry: only the opening, then the (empty) keys.
  EXPECT_EQ(Render(OneRecord("AB"), 1, 1, 2, 7), "<dt id=\"0001-0007\">");
  // An offset past the text renders nothing.
  EXPECT_EQ(Render(OneRecord("AB"), 1, 1, 3, 7), "");
}

TEST(RenderEntry, RunningTextLineBreaks) {
  EXPECT_EQ(Render(OneRecord("A\\r\\r\\rB\\r"), 0, 1, 0, 1), Crlf("A<br />\nB<br />\n"));
  EXPECT_EQ(Render(OneRecord("\\rX\\r"), 0, 1, 0, 1), Crlf("<br />\nX<br />\n"));
  EXPECT_EQ(Render(OneRecord("A\\r\\rB"), 0, 1, 0, 1), Crlf("A<br />\nB"));
  // Running-text mode writes no identifier and no keys.
  EXPECT_EQ(Render(OneRecord("\\x81\\x79x\\x81\\x7A"), 0, 1, 0, 1), "\x81\x79x\x81\x7A");
}

TEST(RenderEntry, EscapesReferencesAndSkippedBytes) {
  EXPECT_EQ(Render(OneRecord("a<b>&c\"d'"), 0, 1, 0, 1), "a&lt;b&gt;&amp;c\"d'");
  EXPECT_EQ(Render(OneRecord("\\g{F040}\\g{F7DD}\\g{F03F}\\g{F4AE}\\g{F4AF}"), 0, 1, 0, 1),
            "&#xF040;&#xF7DD;\xF0\x3F\x81\x79\x81\x7A");
  EXPECT_EQ(Render(OneRecord("\\g{FCFC}\\g{F0A0}"), 0, 1, 0, 1), "&#xFCFC;&#xF0A0;");
  // Tab, line feed and 0xA5 write nothing and do not count as text: the
  // second line holds only them, so its CR writes no break.
  EXPECT_EQ(Render(OneRecord("A\\rB\\t\\r\\t\\n\\xA5\\x7F\\x01\\rC"), 0, 1, 0, 1),
            Crlf("A<br />\nB<br />\nC"));
  // A zero byte inside the text ends the walk.
  EXPECT_EQ(Render(OneRecord("AB\\0CD"), 0, 1, 0, 1), "AB");
  // A lead byte directly before the end is no character.
  EXPECT_EQ(Render(OneRecord("AB\\x82"), 0, 1, 0, 1), "AB");
  // A double-byte character takes its second byte whatever it is.
  EXPECT_EQ(Render(OneRecord("\\x81\\x0DX"), 0, 1, 0, 1), "\x81\x0DX");
}

TEST(RenderEntry, CapturedKeys) {
  EXPECT_EQ(Render(OneRecord("《abc》"), 0, 1, 0, 1), S("《abc》") + Key(S("abc")));
  // The capture holds the escaped form.
  EXPECT_EQ(Render(OneRecord("《a&b》"), 0, 1, 0, 1), S("《a&amp;b》") + Key("a&amp;b"));
  // A capture restarts at every 《.
  EXPECT_EQ(Render(OneRecord("《x《y》"), 0, 1, 0, 1), S("《x《y》") + Key("y"));
  // A private-area character is captured as its reference.
  EXPECT_EQ(Render(OneRecord("《a\\g{F040}》"), 0, 1, 0, 1),
            S("《a") + "&#xF040;" + S("》") + Key("a&#xF040;"));
  // A second 》 hands over the same text again; a 》 before any 《 the
  // empty text (no key).
  EXPECT_EQ(Render(OneRecord("》《ab》c》"), 0, 1, 0, 1),
            S("》《ab》") + Key("ab") + "c" + S("》") + Key("ab"));
  // Markup of the overlays is not captured.
  EXPECT_EQ(Render(OneRecord("《{b:ab}cd》"), 0, 1, 0, 1),
            S("《") + "<b>ab</b>cd" + S("》") + Key("abcd"));
  // A capture runs on across line ends, which it does not take.
  EXPECT_EQ(Render(OneRecord("《ab\\rcd》"), 0, 1, 0, 1),
            S("《ab") + "<br />\r\ncd" + S("》") + Key("abcd"));
  // A capture still running at the end is dropped.
  EXPECT_EQ(Render(OneRecord("《abc"), 0, 1, 0, 1), S("《abc"));
}

TEST(RenderEntry, CaptureKeepsAtMost256Bytes) {
  std::string many(300, 'x');
  EXPECT_EQ(Render(OneRecord("《" + many + "》"), 0, 1, 0, 1),
            S("《") + many + S("》") + Key(std::string(256, 'x')));
  // 255 bytes held: a double-byte character does not fit and is left out,
  // and nothing more is taken (the single byte after it neither).
  std::string text = std::string(255, 'y');
  EXPECT_EQ(Render(OneRecord("《" + text + "あz》"), 0, 1, 0, 1),
            S("《") + text + S("あ") + "z" + S("》") + Key(text));
  // 250 bytes held: a reference of 8 bytes does not fit.
  std::string t250(250, 'q');
  EXPECT_EQ(Render(OneRecord("《" + t250 + "\\g{F040}ab》"), 0, 1, 0, 1),
            S("《") + t250 + "&#xF040;ab" + S("》") + Key(t250));
  // 254 bytes and the closing 》 fill the area exactly; with 255 bytes the
  // 》 is left out and the end of the text ends the key.
  std::string t254(254, 'r');
  EXPECT_EQ(Render(OneRecord("《" + t254 + "》"), 0, 1, 0, 1),
            S("《") + t254 + S("》") + Key(t254));
  std::string t255(255, 's');
  EXPECT_EQ(Render(OneRecord("《" + t255 + "》"), 0, 1, 0, 1),
            S("《") + t255 + S("》") + Key(t255));
}

TEST(RenderEntry, HeadwordKeysFollowTheEntry) {
  EXPECT_EQ(Render(OneRecord("あい【愛】【哀】\\rdef\\r\\r"), 1, 1, 0, 1),
            Crlf("<dt id=\"0001-0001\">" + S("あい【愛】【哀】") + "</dt>\n<dd>def</dd>\n\n") +
                Key(S("哀")));
  // At the end of the text too, and from the entry's own first line.
  EXPECT_EQ(Render(OneRecord("x\\r\\rア・イ\\rdef"), 1, 1, 3, 2),
            Crlf("<dt id=\"0001-0002\">" + S("ア・イ") + "</dt>\n<dd>def") +
                Key(S("アイ") + "\r"));
}
}  // namespace
