// The command line: options, positional arguments and path normalisation.
#include <gtest/gtest.h>

#include "driver/command_line.h"
#include "tests/test_support.h"

namespace {

using hz::CommandLineResult;

struct Parsed {
  CommandLineResult result;
  hz::RunOptions options;
};

Parsed Parse(std::vector<std::string> args) {
  std::vector<const char*> argv{"hz2html"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  Parsed p;
  p.result = hz::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &p.options);
  return p;
}

TEST(CommandLine, UsageErrors) {
  EXPECT_EQ(Parse({}).result, CommandLineResult::kUsage);
  EXPECT_EQ(Parse({"-f=bmp", "/m=avi"}).result, CommandLineResult::kUsage);
  // -o as the last argument.
  EXPECT_EQ(Parse({"in", "-o"}).result, CommandLineResult::kUsage);
  EXPECT_EQ(Parse({"--help"}).result, CommandLineResult::kHelp);
  EXPECT_EQ(Parse({"in", "--version"}).result, CommandLineResult::kVersion);
}

TEST(CommandLine, Extensions) {
  Parsed p = Parse({"-f=bmp", "/m=avi", "in"});
  ASSERT_EQ(p.result, CommandLineResult::kRun);
  EXPECT_STREQ(p.options.imageExt, "bmp");
  EXPECT_STREQ(p.options.movieExt, "avi");
  EXPECT_STREQ(Parse({"-f=jpeg2", "in"}).options.imageExt, "jpeg");
  EXPECT_STREQ(Parse({"-fbmp", "in"}).options.imageExt, "jpg");
  EXPECT_STREQ(Parse({"-f", "in"}).options.imageExt, "jpg");
  EXPECT_STREQ(Parse({"-f=", "in"}).options.imageExt, "");
  EXPECT_STREQ(Parse({"in"}).options.movieExt, "mpg");
  // Unknown options, a lone '-' and /? are ignored.
  Parsed q = Parse({"-x", "/?", "-", "in"});
  EXPECT_EQ(q.result, CommandLineResult::kRun);
  EXPECT_EQ(q.options.inPath, "in\\");
}

TEST(CommandLine, PositionalArgumentsAndOutput) {
  Parsed p = Parse({"in", "out", "third"});
  EXPECT_EQ(p.options.inPath, "in\\");
  EXPECT_EQ(p.options.outPath, "out\\");
  EXPECT_EQ(Parse({"in"}).options.outPath, ".\\");
  // -o and the second positional argument: the later wins.
  EXPECT_EQ(Parse({"-o", "out", "in", "dir2"}).options.outPath, "dir2\\");
  EXPECT_EQ(Parse({"in", "dir2", "-o", "out"}).options.outPath, "out\\");
  EXPECT_EQ(Parse({"in", "/o", "x"}).options.outPath, "x\\");
  EXPECT_EQ(Parse({"in", "-out", "-f=bmp"}).options.outPath, "-f=bmp\\");
  EXPECT_STREQ(Parse({"in", "-out", "-f=bmp"}).options.imageExt, "jpg");
}

TEST(CommandLine, PathNormalisation) {
  EXPECT_EQ(Parse({"in/"}).options.inPath, "in/");
  EXPECT_EQ(Parse({"in\\"}).options.inPath, "in\\");
  EXPECT_EQ(Parse({""}).options.inPath, ".\\");
  EXPECT_EQ(Parse({"in", ""}).options.outPath, ".\\");
  // The last byte decides: 表 ends with 0x5C.
  EXPECT_EQ(Parse({"in", "\x95\x5C"}).options.outPath, "\x95\x5C");
  // No fixed length limit.
  std::string longer(400, 'a');
  EXPECT_EQ(Parse({longer}).options.inPath, longer + "\\");
}

TEST(CommandLine, AbsolutePaths) {
  hzt::TempDir dir;
  Parsed p = Parse({dir.path(), dir / "out/deeper"});
  ASSERT_EQ(p.result, CommandLineResult::kRun);
  EXPECT_EQ(p.options.inPath, dir.path() + "\\");
  EXPECT_EQ(p.options.outPath, dir / "out/deeper\\");
  // An argument naming an existing entry at the root is a path.
  EXPECT_TRUE(hz::IsAbsolutePathArgument("/tmp"));
  EXPECT_TRUE(hz::IsAbsolutePathArgument("/no-such-entry/x"));
  // Options keep their meaning; so do a lone '/' and names that do not exist.
  EXPECT_FALSE(hz::IsAbsolutePathArgument("/"));
  EXPECT_FALSE(hz::IsAbsolutePathArgument("/o"));
  EXPECT_FALSE(hz::IsAbsolutePathArgument("/f=bmp"));
  EXPECT_FALSE(hz::IsAbsolutePathArgument("-/x"));
  Parsed q = Parse({"/f=bmp", "/", "in", "/o", "/tmp"});
  EXPECT_STREQ(q.options.imageExt, "bmp");
  EXPECT_EQ(q.options.outPath, "/tmp\\");
  EXPECT_EQ(Parse({"/", "/o"}).result, CommandLineResult::kUsage);
}

TEST(CommandLine, ManualPageNamesEveryOption) {
  std::string page = hzt::ReadFile(std::string(HZ_SOURCE_DIR) + "/doc/hz2html.1");
  ASSERT_FALSE(page.empty());
  // roff writes a minus sign as "\-" and font changes as \fB...; plain text
  // is what a reader sees.
  std::string plain;
  for (size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\\' && i + 1 < page.size() && page[i + 1] == '-') continue;
    plain.push_back(page[i]);
  }
  for (const char* const* o = hz::kKnownOptions; *o; ++o) {
    EXPECT_NE(plain.find(*o), std::string::npos) << *o << " is not in the manual page";
  }
  EXPECT_NE(plain.find("/f=bmp"), std::string::npos);
}

}  // namespace
