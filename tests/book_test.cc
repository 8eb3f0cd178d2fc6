// hz2book end to end: real books written, proved by the checker, read by
// eblook; and the ways a build can fail.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/book_system.h"
#include "platform/file_system.h"
#include "tests/book_support.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::Spawn;
using hzt::Spawned;
using hzt::S;
using hzt::TempDir;

namespace {

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// eblook's answers to commands on the book in dir (UTF-8).
std::string Eblook(const std::string& dir, const std::string& commands) {
  return Spawn({"eblook", "-q", "-e", "utf8", dir}, "select 1\n" + commands).out;
}

TEST(Book, SampleIsBuiltProvedAndRead) {
  TempDir dir;
  const std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  ASSERT_TRUE(hzt::MakeDir(out + "/book"));
  hzt::WriteFile(out + "/book/earlier", "x");
  const Spawned s = Spawn({HZ_BOOK_PROGRAM, hzt::SampleDict(), out});
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_TRUE(EndsWith(s.err, "hz2book: " + out + "/book: 10 entries, 42 keys, 7 references, 4 gaiji: all found\n"))
      << s.err;
  // The converter ran with --gaiji; the proved book replaced the earlier
  // one, and nothing of the work is left.
  EXPECT_NE(s.out.find("->" + out + "\\Gaiji.xml\n"), std::string::npos);
  EXPECT_EQ(hzt::ListDir(out + "/book"), (std::vector<std::string>{"HARUKAZE", "HARUKAZE.map", "afonts_0", "catalogs"}));
  EXPECT_TRUE(hzt::Exists(out + "/book/HARUKAZE/DATA/HONMON"));
  EXPECT_TRUE(hzt::Exists(out + "/book/HARUKAZE/GAIJI/GA16FULL"));
  for (const std::string& name : hzt::ListDir(out)) EXPECT_NE(name.compare(0, 6, ".book-"), 0) << name;
  // A real client: eblook finds a key, follows a reference, shows the menu
  // and the copyright notice.
  const std::string found = Eblook(out + "/book", "search 愛する\n");
  EXPECT_NE(found.find("あいする【愛する】【ab愛】"), std::string::npos) << found;
  const std::string entry = Eblook(out + "/book", "search あい\ncontent 1\n");
  const size_t ref = entry.find("</reference=");
  ASSERT_NE(ref, std::string::npos) << entry;
  const std::string target = entry.substr(ref + 12, entry.find('>', ref) - ref - 12);
  EXPECT_NE(Eblook(out + "/book", "content " + target + "\n").find("あいする【愛する】"), std::string::npos);
  EXPECT_NE(Eblook(out + "/book", "menu\n").find("春風典の使い方"), std::string::npos);
  EXPECT_NE(Eblook(out + "/book", "copyright\n").find("発行：春風典編集部"), std::string::npos);
  EXPECT_NE(Eblook(out + "/book", "subinfo\n").find("search methods: word endword exactword keyword menu"),
            std::string::npos);
}

// One entry for each awkward corner of the book.
const char kCorners[] =
    "@dir DATA\n@dir LIST\n"
    "@table DATA/KXLINK01.TBL\nfig001\n@table DATA/KXLINK04.TBL\nuse01\n"
    "@records DATA/KX01\n@record\n"
    "{@g}がいじ【外\\g{F040}字】\n本文。\n\n"
    "{@m}まる【①】【髙】\n丸数字と異体字。\n\n"
    "{@h}かな【書】【ｶﾞｷﾞ】\n半角の仮名は鍵にだけ残る。\n\n"
    "{@d}（かっこ）【the】\n削られる文字。\n\n"
    "{@e}から【】【】\n空の鍵。\n\n"
    "{@i}え【絵】{img:1:図}\n{use:1:挿絵}がない。\n\n"
    "{@l}りんく【鎖】\n{a1:ab01:中へ}、前の文。{#ab01}中の語。\n\n"
    "{@n}・\n鍵のない項目。\\r\\r\n"
    "@list LIST/d100000.lst\ng\nm\nh\nd\ne\ni\nl\nn\n";

TEST(Book, AwkwardCornersAreBuiltAndProved) {
  TempDir dir;
  hzt::Build(kCorners, dir / "d");
  const std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  ASSERT_TRUE(hzt::MakeDir(out + "/FRACTAL"));
  hzt::WriteFile(out + "/FRACTAL/fig001.jpg", "\xFF\xD8\xFF\xE0 a picture of sorts");
  const Spawned s = Spawn({HZ_BOOK_PROGRAM, "--quiet", "--stardict", "--yomitan", dir / "d", out});
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_EQ(s.err.find("not found"), std::string::npos) << s.err;
  EXPECT_TRUE(hzt::Exists(out + "/stardict/res/FRACTAL/fig001.jpg"));
  EXPECT_TRUE(hzt::Exists(out + "/yomitan/harukaze.zip"));
  // Searching the words: the gaiji left out of its key, the half-width
  // kana as full-width ones, the parentheses removed.
  const std::string words = Eblook(out + "/book", "search 外字\nsearch ガギ\nsearch かっこ\nsearch ・\n");
  EXPECT_NE(words.find("がいじ【外"), std::string::npos) << words;
  EXPECT_NE(words.find("かな【書】【】"), std::string::npos) << words;
  EXPECT_NE(words.find("（かっこ）【the】"), std::string::npos) << words;
  // The picture found beside the pages is in the book; ① and 髙, outside
  // JIS X 0208, are gaiji of the book with their characters in the reader
  // maps.
  EXPECT_NE(Eblook(out + "/book", "search え\ncontent 1\n").find("<img="), std::string::npos);
  const std::string afonts = ReadFile(out + "/book/afonts_0");
  EXPECT_NE(afonts.find(" ①\n"), std::string::npos) << afonts;
  EXPECT_NE(afonts.find(" 髙\n"), std::string::npos) << afonts;
  EXPECT_NE(ReadFile(out + "/book/HARUKAZE.map").find("\tu2460\t\r\n"), std::string::npos);
}

// A damaged dictionary: its warnings pass through, and what can be built is
// built and proved in every format.
TEST(Book, DamagedDictionaryInEveryFormat) {
  TempDir dir;
  hzt::Build(kCorners, dir / "d");
  std::string list = ReadFile(dir / "d/LIST/d100000.lst");
  hzt::WriteFile(dir / "d/LIST/d100000.lst", list.substr(0, list.size() - 20));  // the last entry cut short
  const std::string out = dir / "out";
  Spawned s = Spawn({HZ_BOOK_PROGRAM, "--quiet", "--stardict", "--yomitan", dir / "d", out});
  EXPECT_EQ(s.status, 0) << s.err;
  EXPECT_NE(s.err.find("hz2html: warning: "), std::string::npos) << s.err;
  EXPECT_NE(s.err.find("d100000.lst: "), std::string::npos) << s.err;
  EXPECT_EQ(s.err.find("not found"), std::string::npos) << s.err;
  for (const char* file : {"/book/catalogs", "/stardict/harukaze.ifo", "/yomitan/harukaze.zip"}) {
    EXPECT_TRUE(hzt::Exists(out + file)) << file;
  }
  s = Spawn({HZ_BOOK_PROGRAM, "--quiet", "--strict", "--no-epwing", "--yomitan", dir / "d", out});
  EXPECT_EQ(s.status, 3) << s.err;  // built and proved, with a warning
}

TEST(Book, NamedGaijiBecomeSearchable) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n@records DATA/KX01\n@record\n"
             "{@a}たかぎ【\\g{F040}木】【\\g{F041}木】\n人の名。\\r\\r\n@list LIST/d100000.lst\na\n",
             dir / "d");
  const std::string out = dir / "out";
  ASSERT_EQ(hzt::RunHz({"--gaiji", dir / "d", out}).status, 0);
  // Not named yet: the key that holds the gaiji cannot be found by it.
  std::string tsv = ReadFile(out + "/gaiji.tsv");
  tsv.replace(tsv.find("\t\t\r\n"), 4, "\tU+9AD8\t\r\n");  // F040: 高, in JIS X 0208
  tsv.replace(tsv.find("\t\t\r\n"), 4, "\t髙\t\r\n");       // F041: 髙, outside it
  hzt::WriteFile(out + "/gaiji.tsv", tsv);
  // Built again from the pages, the work directory kept.
  const Spawned s = Spawn({HZ_BOOK_PROGRAM, "--keep-work", "--pages", out});
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_NE(s.err.find("hz2book: the work directory is kept: " + out + "/.book-"), std::string::npos) << s.err;
  int kept = 0;
  for (const std::string& name : hzt::ListDir(out)) kept += name.compare(0, 6, ".book-") == 0;
  EXPECT_EQ(kept, 1);
  EXPECT_NE(Eblook(out + "/book", "search 高木\n").find("たかぎ"), std::string::npos);
  // 髙 stays a gaiji, drawn from the font and named in the maps.
  EXPECT_NE(ReadFile(out + "/book/afonts_0").find("wa121 髙\n"), std::string::npos);
  EXPECT_EQ(ReadFile(out + "/book/HARUKAZE.map"), "zA121\tu9AD9\t\r\n");
}

// --pages takes --strict and --gaiji-font; what cannot be read is named.
TEST(Book, PagesWithStrictAndAFont) {
  TempDir dir;
  const std::string out = dir / "out";
  ASSERT_EQ(hzt::RunHz({"--gaiji", hzt::SampleDict(), out}).status, 0);
  std::string honbun = ReadFile(out + "/honbun.html");
  honbun.insert(honbun.find(S("名詞")) == std::string::npos ? honbun.find(S("いつくしみ")) : 0, "\x85\x40");
  hzt::WriteFile(out + "/honbun.html", honbun);
  hzt::WriteFile(out + "/gaiji.tsv", "code\tunicode\nF040\tU+9AD9\n");
  Spawned s = Spawn({HZ_BOOK_PROGRAM, "--strict", "--gaiji-font", dir / "none.hex", "--pages", out});
  EXPECT_EQ(s.status, 3) << s.err;
  EXPECT_NE(s.err.find("hz2book: warning: honbun.html: line 8: bytes 85 40 are no character (shown as 〓)\n"),
            std::string::npos)
      << s.err;
  EXPECT_NE(s.err.find("hz2book: warning: " + dir / "none.hex" + ": missing, so 1 characters of the book keep "
                       "placeholder glyphs\n"),
            std::string::npos)
      << s.err;
  EXPECT_NE(s.err.find(": all found\n"), std::string::npos) << s.err;
  // Without --strict the same is a success; two paths are a usage error.
  EXPECT_EQ(Spawn({HZ_BOOK_PROGRAM, "--quiet", "--pages", out}).status, 0);
  s = Spawn({HZ_BOOK_PROGRAM, "--pages", out, dir / "other"});
  EXPECT_EQ(s.status, 255);
  EXPECT_EQ(s.err.compare(0, 15, "Usage: hz2book "), 0) << s.err;
}

TEST(Book, FailuresLeaveNothingBehind) {
  TempDir dir;
  // Pages without an entry: no book.
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "empty");
  Spawned s = Spawn({HZ_BOOK_PROGRAM, "--quiet", dir / "empty", dir / "e"});
  EXPECT_EQ(s.status, 1);
  EXPECT_TRUE(EndsWith(s.err, "hz2book: " + dir / "e" +
                                  ": the pages hold no entry (no <dt> in honbun.html or kanji.html): no book\n"))
      << s.err;
  EXPECT_FALSE(hzt::Exists(dir / "e/book"));
  // A page that cannot be read: no book.
  ASSERT_TRUE(hzt::Remove(dir / "e/jo.html"));
  s = Spawn({HZ_BOOK_PROGRAM, "--pages", dir / "e"});
  EXPECT_EQ(s.status, 1);
  EXPECT_TRUE(EndsWith(s.err, "hz2book: " + dir / "e" + "\\jo.html: missing: no book\n")) << s.err;
  // Interrupted while the book is proved: the earlier book stays, the work
  // directory goes, and the process ends by the signal.
  std::string source = "@dir LIST\n@records DATA/KX01\n";
  std::string list = "@list LIST/d100000.lst\n";
  for (int r = 0; r < 200; ++r) {
    source += "@record\n";
    for (int e = 0; e < 100; ++e) {
      const std::string n = std::to_string(r * 100 + e);
      source += "{@e" + n + "}みだし" + n + "【見" + n + "】\n本文" + n + "。\n\n";
      list += "e" + n + "\n";
    }
  }
  hzt::Build(source + list, dir / "big");
  const std::string out = dir / "big-out";
  ASSERT_TRUE(hzt::MakeDir(out));
  ASSERT_TRUE(hzt::MakeDir(out + "/book"));
  hzt::WriteFile(out + "/book/earlier", "x");
  s = Spawn({HZ_BOOK_PROGRAM, "--quiet", dir / "big", out}, "", "", out, ".book-");
  EXPECT_EQ(s.status, 128 + SIGTERM) << s.err;
  EXPECT_EQ(hzt::ListDir(out + "/book"), std::vector<std::string>{"earlier"});
  for (const std::string& name : hzt::ListDir(out)) EXPECT_NE(name.compare(0, 6, ".book-"), 0) << name;
}

// The checker's second process: its result when it ends well, and a
// failure when it does not (its words were then not proved).
TEST(Book, SecondProcesses) {
  std::string result;
  int parent = 0;
  EXPECT_TRUE(hz::RunBeside([] { return std::string("x\ny\n"); }, [&parent] { ++parent; }, &result));
  EXPECT_EQ(result, "x\ny\n");
  EXPECT_FALSE(hz::RunBeside([]() -> std::string { std::_Exit(3); }, [&parent] { ++parent; }, &result));
  EXPECT_EQ(parent, 2);
}

}  // namespace
