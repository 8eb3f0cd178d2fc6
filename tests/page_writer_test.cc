// The page writer and honest page files.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "core/hex.h"
#include "pages/page_grammar.h"
#include "platform/page_file.h"
#include "platform/page_writer.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;

namespace {

TEST(PageWriter, LineFeedsBecomeCrLf) {
  hz::PageWriter w;
  w.Str("a\nb");
  w.Put('\n');
  w.Put('\r');
  w.Write("\n\nc", 3);
  EXPECT_EQ(w.str(), "a\r\nb\r\n\r\r\n\r\nc");
}

TEST(PageWriter, Numbers) {
  hz::PageWriter w;
  hz::FormatCharRef(0xF040, w.Reserve(hz::kCharRefLength));
  hz::FormatCharRef(0x00AB, w.Reserve(hz::kCharRefLength));
  EXPECT_EQ(w.str(), "&#xF040;&#x00AB;");
  uint32_t code = 0;
  EXPECT_TRUE(hz::ParseCharRef("&#xf7dd;x", 9, &code));
  EXPECT_EQ(code, 0xF7DDu);
  EXPECT_FALSE(hz::ParseCharRef("&#xF7D;", 7, &code));
  EXPECT_FALSE(hz::ParseCharRef("&#xF7DG;", 8, &code));
  EXPECT_EQ(hz::Hex4(0xF7DD), "F7DD");
  // Signed numbers from the files: "%04d" pads after the sign.
  w.Clear();
  w.Dec4(-1);
  w.Put(' ');
  w.Dec4(12);
  w.Put(' ');
  w.Dec4(-2147483647 - 1);
  w.Put(' ');
  w.Dec4(123456);
  EXPECT_EQ(w.str(), "-001 0012 -2147483648 123456");
}

TEST(PageWriter, MemoryWriterGrows) {
  // Past its first buffer, by single bytes, long writes and references.
  hz::PageWriter w;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    w.Put('a');
    w.Write("b\n", 2);
    hz::FormatCharRef(0xF040, w.Reserve(hz::kCharRefLength));
    expected += "ab\r\n&#xF040;";
  }
  const std::string line(20000, 'x');
  w.Write(line.data(), line.size());
  w.WriteRaw(line.data(), line.size());
  expected += line + line;
  EXPECT_EQ(w.size(), expected.size());
  EXPECT_EQ(w.str(), expected);
}

#ifndef _WIN32
TEST(PageWriter, LargeOutputThroughAFile) {
  TempDir dir;
  std::string path = dir / "big";
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  ASSERT_GE(fd, 0);
  std::string expected;
  {
    hz::PageWriter w(fd);
    for (int i = 0; i < 100000; ++i) {
      std::string line = "line " + std::to_string(i) + "\n";
      w.Write(line.data(), line.size());
      expected += "line " + std::to_string(i) + "\r\n";
    }
    EXPECT_TRUE(w.Flush());
  }
  close(fd);
  EXPECT_EQ(ReadFile(path), expected);
}
#endif  // _WIN32

#ifndef _WIN32
TEST(PageWriter, FullDeviceIsAnError) {
  int fd = open("/dev/full", O_WRONLY);
  if (fd < 0) GTEST_SKIP() << "no /dev/full";
  hz::PageWriter w(fd);
  w.Str("some text\n");
  EXPECT_FALSE(w.Flush());
  EXPECT_EQ(w.error(), ENOSPC);
  close(fd);
}
#endif  // _WIN32

TEST(PageFile, CommitPutsThePageInPlace) {
  TempDir dir;
  std::string page = dir / "p.html";
#ifndef _WIN32
  mode_t old = umask(022);
#endif
  hz::PageFile f;
  ASSERT_TRUE(f.Create(page));
  f.out().Str("x\n");
  EXPECT_FALSE(hzt::Exists(page));
  // Meanwhile the page is a hidden temporary file beside it.
  std::vector<std::string> names = hzt::ListDir(dir.path());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].substr(0, 8), ".p.html.");
  EXPECT_EQ(names[0].size(), 14u);
  ASSERT_TRUE(f.Commit());
  EXPECT_EQ(ReadFile(page), "x\r\n");
#ifndef _WIN32
  umask(old);
  struct stat st;
  ASSERT_EQ(stat(page.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
  // Nothing else is left in the directory.
  EXPECT_EQ(hzt::ListDir(dir.path()), std::vector<std::string>{"p.html"});
}

TEST(PageFile, FailureLeavesTheEarlierFile) {
  TempDir dir;
  std::string page = dir / "p.html";
  hzt::WriteFile(page, "earlier");
  {
    hz::PageFile f;
    ASSERT_TRUE(f.Create(page));
    f.out().Str("new");
    f.Abandon();
  }
  EXPECT_EQ(ReadFile(page), "earlier");
  // A page whose directory is a regular file cannot be created.
  hz::PageFile g;
  EXPECT_FALSE(g.Create(page + "/inner.html"));
  EXPECT_EQ(g.error(), hzt::kNotADirectory);
  // A directory in the page's place: the rename fails, the temp file goes.
  ASSERT_TRUE(hzt::MakeDir(dir / "d.html"));
  hz::PageFile h;
  ASSERT_TRUE(h.Create(dir / "d.html"));
  h.out().Str("x");
  EXPECT_FALSE(h.Commit());
  EXPECT_EQ(h.error(), hzt::kIsADirectory);
  EXPECT_EQ(hzt::ListDir(dir.path()), (std::vector<std::string>{"d.html", "p.html"}));
}

#ifndef _WIN32
TEST(PageFile, InterruptedWriteLeavesNoTemporaryFile) {
  TempDir dir;
  std::string page = dir / "p.html";
  hzt::WriteFile(page, "earlier");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    hz::RemoveTemporaryFileOnInterrupt();
    hz::PageFile f;
    if (!f.Create(page)) _exit(3);
    f.out().Str("half a page");
    f.out().Flush();
    raise(SIGTERM);
    _exit(4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_EQ(hzt::ListDir(dir.path()), std::vector<std::string>{"p.html"});
  EXPECT_EQ(ReadFile(page), "earlier");
}
#endif  // _WIN32

}  // namespace
