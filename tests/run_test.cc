// Whole runs: messages, exit statuses, progress lines and failing output.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "driver/command_line.h"
#include "driver/run.h"
#include "core/book_pages.h"
#include "platform/framework.h"
#include "platform/page_file.h"
#include "tests/test_support.h"

using hzt::Exists;
using hzt::ListDir;
using hzt::ReadFile;
using hzt::RunHz;
using hzt::S;
using hzt::TempDir;

namespace {

const char kUsage[] = "Usage: hz2html [-m={avi|mpg}][-f={jpg|bmp}] <inpath> [<outpath>]\n";

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string Progress(const std::string& out) {
  return "HARUKAZE Toolkit ver1.04\n->" + out + "usage.html\n->" + out + "hanrei.html\n->" + out +
         "jo.html\n->" + out + "oku.html\n->" + out + "honbun.html\n->" + out + "kanji.html\n";
}

const std::vector<std::string> kAllFiles = {"hanrei.html", "harukaze.ebs", "honbun.html",
                                            "jo.html",     "kanji.html",   "oku.html",
                                            "usage.html"};

TEST(Run, UsageAndInformation) {
  TempDir dir;
  hzt::RunResult r = RunHz({});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.err, kUsage);
  EXPECT_EQ(r.out, "");
  r = RunHz({"-f=bmp", "-o", dir / "never"});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.err, kUsage);
  r = RunHz({dir.path(), "-o"});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.err, kUsage);
  EXPECT_FALSE(Exists(dir / "never"));
  r = RunHz({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, hz::HelpText());
  EXPECT_EQ(r.out.rfind(kUsage, 0), 0u);
  r = RunHz({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "HARUKAZE Toolkit ver1.04\n");
}

bool FailingStartup() { return false; }

TEST(Run, FrameworkFailure) {
  hz::FrameworkStartup previous = hz::SetFrameworkStartup(FailingStartup);
  hzt::RunResult r = RunHz({"in", "out"});
  hz::SetFrameworkStartup(previous);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Fatal Error: MFC initialization failed\n");
  EXPECT_EQ(r.out, "");
}

TEST(Run, InputDirectoryChecks) {
  TempDir dir;
  std::string in = dir.path() + "/";
  hzt::RunResult r = RunHz({in, dir / "out"});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.out, in + "DATA not found\n");
  EXPECT_FALSE(Exists(dir / "out"));
  hzt::WriteFile(dir / "DATA", "a file");
  r = RunHz({dir.path(), dir / "out"});
  EXPECT_EQ(r.out, dir.path() + "\\DATA is not directory\n");
  EXPECT_EQ(r.status, -1);
  ASSERT_TRUE(hzt::Remove(dir / "DATA"));
  ASSERT_TRUE(hzt::MakeDir(dir / "data"));
  r = RunHz({in, dir / "out"});
  EXPECT_EQ(r.out, in + "LIST not found\n");
  hzt::WriteFile(dir / "List", "");
  r = RunHz({in, dir / "out"});
  EXPECT_EQ(r.out, in + "LIST is not directory\n");
  EXPECT_FALSE(Exists(dir / "out"));
}

TEST(Run, CompleteRunOverAnEmptyDictionary) {
  TempDir dir;
  ASSERT_TRUE(hzt::MakeDir(dir / "data"));
  ASSERT_TRUE(hzt::MakeDir(dir / "list"));
  std::string out = dir.path() + "/a/b\\c";
  hzt::RunResult r = RunHz({dir.path() + "/", out});
  EXPECT_EQ(r.status, 0);
  // Every page it leaves empty is named, with the file it lacks.
  std::string emptied;
  for (const char* file_and_page :
       {"DATA\\KX03.DAT: missing, so usage.html", "DATA\\KX04.DAT: missing, so hanrei.html",
        "DATA\\KX05.DAT: missing, so jo.html", "DATA\\KX06.DAT: missing, so oku.html",
        "DATA\\KX01.DAT: missing, so honbun.html", "LIST\\d100000.lst: missing, so honbun.html",
        "DATA\\KX02.DAT: missing, so kanji.html"}) {
    emptied += "hz2html: warning: " + dir.path() + "/" + file_and_page + " has no entries\n";
  }
  EXPECT_EQ(r.err, emptied);
  EXPECT_EQ(r.out, Progress(out + "\\"));
  EXPECT_EQ(ListDir(dir / "a/b/c"), kAllFiles);
  // They count for --strict.
  EXPECT_EQ(RunHz({"--strict", dir.path() + "/", out}).status, 3);
  // A section page without records: frame, heading and empty paragraph.
  EXPECT_EQ(ReadFile(dir / "a/b/c/jo.html"),
            hzt::PageHead(S("序")) + "<h1>" + S("序") + "</h1>\r\n<p></p>\r\n" + hzt::kPageTail);
  EXPECT_EQ(ReadFile(dir / "a/b/c/honbun.html"),
            hzt::PageHead(hz::kBookTitle) + "<dl>\r\n</dl>\r\n" + hzt::kPageTail);
}

TEST(Run, DefaultOutputPath) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "in");
  hzt::RunResult r;
  {
    hzt::InDirectory in(dir.path());
    r = RunHz({"in"});
  }
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Progress(".\\"));
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{
                                     "hanrei.html", "harukaze.ebs", "honbun.html", "in", "jo.html",
                                     "kanji.html", "oku.html", "usage.html"}));
}

TEST(Run, PathsEndingInACharacterWithSecondByte5C) {
  // 表 is 0x95 0x5C in Shift-JIS: its second byte is no separator, so the
  // pages go inside the directory 表, and an input path ending in it is
  // looked in for DATA. In UTF-8 (E8 A1 A8) the same name works alike.
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "in");
  for (const char* hyou_bytes : {"\x95\x5C", "\xE8\xA1\xA8"}) {
    const std::string hyou = hyou_bytes;
    const std::string out = dir.path() + "/x\\" + hyou;
    hzt::RunResult r = RunHz({dir / "in", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Progress(out + "\\"));
    EXPECT_EQ(ListDir(dir / "x/" + hyou), kAllFiles);
    // The project file holds the path in Shift-JIS, whichever form it had
    // (on Windows every name is Shift-JIS already).
#ifdef _WIN32
    const std::string in_sjis = out + "\\";
#else
    const std::string in_sjis = dir.path() + "/x\\\x95\x5C\\";
#endif
    EXPECT_EQ(ReadFile(dir / "x/" + hyou + "/harukaze.ebs").substr(0, 7 + in_sjis.size() + 2),
              "InPath=" + in_sjis + "\r\n");
    r = RunHz({dir / hyou, dir / "y"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out, dir / hyou + "\\DATA not found\n");
  }
}

TEST(Run, AbsolutePathsSeveralLevels) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "cd/rom");
  std::string out = dir / "home/me/book";
  hzt::RunResult r = RunHz({dir / "cd/rom", out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Progress(out + "\\"));
  EXPECT_EQ(ListDir(out), kAllFiles);
}

TEST(Run, PageThatCannotBeWritten) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "in");
  std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  hzt::WriteFile(out + "/honbun.html", "earlier");
  // jo.html as a directory: the run stops there.
  ASSERT_TRUE(hzt::MakeDir(out + "/jo.html"));
  hzt::RunResult r = RunHz({dir / "in", out});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(EndsWith(r.err, hzt::CannotWrite(out + "\\jo.html", hzt::kIsADirectory))) << r.err;
  EXPECT_EQ(ListDir(out), (std::vector<std::string>{"hanrei.html", "honbun.html", "jo.html",
                                                    "usage.html"}));
  EXPECT_EQ(ReadFile(out + "/honbun.html"), "earlier");
  EXPECT_EQ(ReadFile(out + "/hanrei.html").substr(ReadFile(out + "/hanrei.html").size() - 18),
            hzt::kPageTail);
}

TEST(Run, ProjectFileThatCannotBeWritten) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "in");
  std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  ASSERT_TRUE(hzt::MakeDir(out + "/harukaze.ebs"));
  hzt::RunResult r = RunHz({dir / "in", out});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(EndsWith(r.err, hzt::CannotWrite(out + "\\harukaze.ebs", hzt::kIsADirectory))) << r.err;
  EXPECT_EQ(ListDir(out), kAllFiles);
}

TEST(Run, OutputInsideARegularFile) {
  TempDir dir;
  hzt::Build("@dir DATA\n@dir LIST\n", dir / "in");
  hzt::WriteFile(dir / "file", "x");
  hzt::RunResult r = RunHz({dir / "in", dir / "file/out"});
  // The level that cannot be made is named after the banner, before any
  // page, with the real reason.
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "HARUKAZE Toolkit ver1.04\n");
  EXPECT_EQ(r.err, "hz2html: cannot create directory " + dir.path() + "/file/out: " +
                       hz::SystemErrorText(hzt::kNotADirectory) + "\n");
  EXPECT_EQ(ReadFile(dir / "file"), "x");
}

#ifndef _WIN32
TEST(Run, PageThatCannotBeWrittenWhole) {
  // The file-size limit makes the writes of the large main-text page fail
  // (EFBIG): the run stops with status 2, the pages before it are whole,
  // the earlier main-text page stays, and no temporary file remains.
  TempDir dir;
  std::string out = dir / "out";
  ASSERT_TRUE(hzt::MakeDir(out));
  hzt::WriteFile(out + "/honbun.html", "earlier");
  std::string err = dir / "stderr";
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {1200, 1200};
    setrlimit(RLIMIT_FSIZE, &limit);
    int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    dup2(fd, 2);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    const char* argv[] = {"hz2html", HZ_SAMPLE_DICT, out.c_str(), nullptr};
    _exit(hz::RunConverter(3, argv));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(ReadFile(err), "hz2html: cannot write " + out + "\\honbun.html: File too large\n");
  EXPECT_EQ(ListDir(out), (std::vector<std::string>{"hanrei.html", "honbun.html", "jo.html",
                                                    "oku.html", "usage.html"}));
  EXPECT_EQ(ReadFile(out + "/honbun.html"), "earlier");
  EXPECT_EQ(ReadFile(out + "/usage.html"), ReadFile(hzt::SourceDir() + "/tests/golden/sample/usage.html"));
}
#endif  // _WIN32

}  // namespace
