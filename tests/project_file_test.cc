// The book compiler's project file.
#include <gtest/gtest.h>

#include "book/project_file.h"
#include "driver/run_report.h"
#include "platform/code_page.h"
#include "tests/test_support.h"

using hzt::Crlf;
using hzt::ReadFile;
using hzt::S;
using hzt::TempDir;

namespace {

hz::Report& Report() {
  static hz::RunReport report(false);
  return report;
}

std::string Expected(const std::string& out_path) {
  return Crlf("InPath=" + out_path + "\nOutPath=" + out_path +
              "\nIndexFile=\n"
              "Copyright=$(BASE)\\Copyright.txt\n"
              "GaijiFile=$(BASE)\\Gaiji.xml\n"
              "GaijiMapFile=$(BASE)\\GaijiMap.xml\n"
              "EBType=0\nWordSearchHyoki=1\nWordSearchKana=1\nEndWordSearchHyoki=1\n"
              "EndWordSearchKana=1\nKeywordSearch=1\nComplexSearch=1\n" +
              S("kanaSep1=【\nkanaSep2=】\n") + "makeFig=1\nStopWord=a the\n" +
              S("delChars=△×＝（）\n") + "titleOrder=1\n" +
              "Size=10000;10000;4000;2000000;4000;50000;50000;500;500;10000;2000\n" +
              S("Book=春風典;harukaze;一般書物;_;$(BASE)\\complex.xml;GAI16H00;GAI16F00;_;_;_;_;_;_;\n"
                "Source=$(BASE)\\usage.html;春風典の使い方;_;HTML;\n"
                "Source=$(BASE)\\hanrei.html;凡例;_;HTML;\n"
                "Source=$(BASE)\\jo.html;序;_;HTML;\n"
                "Source=$(BASE)\\oku.html;奥付;_;HTML;\n"
                "Source=$(BASE)\\honbun.html;春風典;_;HTML;\n"
                "Source=$(BASE)\\kanji.html;漢字;_;HTML;\n"));
}

TEST(ProjectFile, AllLinesByteForByte) {
  TempDir dir;
  std::string out = dir.path() + "/";
  ASSERT_TRUE(hz::WriteBookProjectFile(out, Report()));
  std::string bytes = ReadFile(out + "harukaze.ebs");
  EXPECT_EQ(bytes, Expected(out));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 27);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  // A second run replaces the file with the same bytes.
  hzt::WriteFile(out + "harukaze.ebs", "old");
  ASSERT_TRUE(hz::WriteBookProjectFile(out, Report()));
  EXPECT_EQ(ReadFile(out + "harukaze.ebs"), bytes);
}

TEST(ProjectFile, DefaultOutputPathIsWrittenAsHeld) {
  TempDir dir;
  bool ok;
  std::string bytes;
  {
    hzt::InDirectory in(dir.path());
    ok = hz::WriteBookProjectFile(".\\", Report());
    bytes = ReadFile("harukaze.ebs");
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(bytes.substr(0, 22), "InPath=.\\\r\nOutPath=.\\\r");
}

#ifndef _WIN32
// The file is Shift-JIS throughout: a UTF-8 output path is written in
// Shift-JIS, as on Windows; one that Shift-JIS cannot hold stays as given,
// with a warning. Progress lines keep the path as given.
TEST(ProjectFile, Utf8OutputPathIsWrittenInShiftJis) {
  TempDir dir;
  const std::string out = dir / "\xE5\x87\xBA\xE5\x8A\x9B/\xE6\x9C\xAC";  // 出力/本
  hzt::RunResult r = hzt::RunHz({hzt::SampleDict(), out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(out + "/harukaze.ebs").substr(0, 40),
            Expected(dir.path() + S("/出力/本\\")).substr(0, 40));
  EXPECT_NE(r.out.find("->" + out + "\\usage.html\n"), std::string::npos);
  EXPECT_EQ(r.err, "");
  const std::string umlaut = dir / "\xC3\xBC";  // ü
  r = hzt::RunHz({hzt::SampleDict(), umlaut});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(umlaut + "/harukaze.ebs").substr(0, 9 + umlaut.size()), "InPath=" + umlaut + "\\\r");
  EXPECT_EQ(r.err, "hz2html: warning: " + umlaut + "\\harukaze.ebs: the output path holds a character "
                   "that Shift-JIS cannot represent; InPath= and OutPath= carry it as given\n");
  // No "best fit": a yen sign never becomes a backslash, a separator.
  std::string sjis;
  EXPECT_FALSE(hz::Utf8AsShiftJis("a\xC2\xA5" "b", &sjis));
  EXPECT_TRUE(hz::Utf8AsShiftJis("\xE3\x80\x9C", &sjis));  // the wave dash 〜
  EXPECT_EQ(sjis, "\x81\x60");
}
#endif  // _WIN32

}  // namespace
