// The command line: options, positional arguments and path normalisation.
#include <gtest/gtest.h>

#include "driver/command_line.h"
#include "platform/file_system.h"
#include "tests/test_support.h"

namespace {

using hz::CommandLineResult;

struct Parsed {
  CommandLineResult result;
  hz::RunOptions options;
  std::vector<std::string> ignored;
};

Parsed Parse(std::vector<std::string> args) {
  std::vector<const char*> argv{"hz2html"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  Parsed p;
  p.result = hz::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), &p.options, &p.ignored);
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
  EXPECT_STREQ(p.options.image_ext, "bmp");
  EXPECT_STREQ(p.options.movie_ext, "avi");
  EXPECT_STREQ(Parse({"-f=jpeg2", "in"}).options.image_ext, "jpeg");
  EXPECT_STREQ(Parse({"-fbmp", "in"}).options.image_ext, "jpg");
  EXPECT_STREQ(Parse({"-f", "in"}).options.image_ext, "jpg");
  EXPECT_STREQ(Parse({"-f=", "in"}).options.image_ext, "");
  EXPECT_STREQ(Parse({"in"}).options.movie_ext, "mpg");
  // Unknown options, a lone '-' and /? are ignored, and named.
  Parsed q = Parse({"-x", "--strcit", "-", "-fbmp", "in"});
  EXPECT_EQ(q.result, CommandLineResult::kRun);
  EXPECT_EQ(q.options.in_path, "in\\");
  EXPECT_FALSE(q.options.strict);
  EXPECT_EQ(q.ignored, (std::vector<std::string>{"unknown option \"-x\" ignored",
                                                 "unknown option \"--strcit\" ignored",
                                                 "unknown option \"-\" ignored",
                                                 "unknown option \"-fbmp\" ignored"}));
  EXPECT_TRUE(Parse({"-f=bmp", "/m=avi", "-o", "o", "--gaiji", "in"}).ignored.empty());
}

TEST(CommandLine, PositionalArgumentsAndOutput) {
  Parsed p = Parse({"in", "out", "third"});
  EXPECT_EQ(p.options.in_path, "in\\");
  EXPECT_EQ(p.options.out_path, "out\\");
  EXPECT_EQ(p.ignored, std::vector<std::string>{"\"third\" ignored: only two paths are taken"});
  EXPECT_EQ(Parse({"in"}).options.out_path, ".\\");
  // -o and the second positional argument: the later wins.
  EXPECT_EQ(Parse({"-o", "out", "in", "dir2"}).options.out_path, "dir2\\");
  EXPECT_EQ(Parse({"in", "dir2", "-o", "out"}).options.out_path, "out\\");
  EXPECT_EQ(Parse({"in", "/o", "x"}).options.out_path, "x\\");
  EXPECT_EQ(Parse({"in", "-out", "-f=bmp"}).options.out_path, "-f=bmp\\");
  EXPECT_STREQ(Parse({"in", "-out", "-f=bmp"}).options.image_ext, "jpg");
}

TEST(CommandLine, PathNormalisation) {
  EXPECT_EQ(Parse({"in/"}).options.in_path, "in/");
  EXPECT_EQ(Parse({"in\\"}).options.in_path, "in\\");
  EXPECT_EQ(Parse({""}).options.in_path, ".\\");
  EXPECT_EQ(Parse({"in", ""}).options.out_path, ".\\");
  // A Shift-JIS path ends in 表 (0x95 0x5C), whose second byte is no
  // separator; a valid UTF-8 path's last 0x5C is one.
  EXPECT_EQ(Parse({"in", "\x95\x5C"}).options.out_path, "\x95\x5C\\");
  EXPECT_EQ(Parse({"\x95\x5C"}).options.in_path, "\x95\x5C\\");
  EXPECT_EQ(Parse({"in", "\x95\x5C\\"}).options.out_path, "\x95\x5C\\");
  EXPECT_EQ(Parse({"in", "\x82\xA0\x95\x5C"}).options.out_path, "\x82\xA0\x95\x5C\\");
  EXPECT_EQ(Parse({"in", "\xE8\xA1\xA8\\"}).options.out_path, "\xE8\xA1\xA8\\");
  // No fixed length limit.
  std::string longer(400, 'a');
  EXPECT_EQ(Parse({longer}).options.in_path, longer + "\\");
}

#ifndef _WIN32
// An argument that begins with '/' may be a path on POSIX only.
TEST(CommandLine, AbsolutePaths) {
  hzt::TempDir dir;
  Parsed p = Parse({dir.path(), dir / "out/deeper"});
  ASSERT_EQ(p.result, CommandLineResult::kRun);
  EXPECT_EQ(p.options.in_path, dir.path() + "\\");
  EXPECT_EQ(p.options.out_path, dir / "out/deeper\\");
  // An argument naming an existing entry at the root is a path.
  EXPECT_TRUE(hz::IsPathArgument("/tmp"));
  EXPECT_TRUE(hz::IsPathArgument("/no-such-entry/x"));
  // Options keep their meaning; so do a lone '/' and names that do not exist.
  EXPECT_FALSE(hz::IsPathArgument("/"));
  EXPECT_FALSE(hz::IsPathArgument("/o"));
  EXPECT_FALSE(hz::IsPathArgument("/f=bmp"));
  EXPECT_FALSE(hz::IsPathArgument("-/x"));
  Parsed q = Parse({"/f=bmp", "/", "in", "/o", "/tmp"});
  EXPECT_STREQ(q.options.image_ext, "bmp");
  EXPECT_EQ(q.options.out_path, "/tmp\\");
  EXPECT_EQ(Parse({"/", "/o"}).result, CommandLineResult::kUsage);
  // A new directory at the root, written without a second '/', is no path:
  // the run says so.
  Parsed r = Parse({"in", "/zzbook-no-such"});
  EXPECT_EQ(r.options.out_path, ".\\");
  EXPECT_EQ(r.ignored, std::vector<std::string>{
                           "\"/zzbook-no-such\" is neither an option nor an existing path: ignored "
                           "(write \"/zzbook-no-such/\" for a new directory)"});
}
#endif  // _WIN32

TEST(CommandLine, ManualPageAndHelpNameEveryOption) {
  std::string page = hzt::ReadFile(hzt::SourceDir() + "/doc/hz2html.1");
  ASSERT_FALSE(page.empty());
  // roff writes a minus sign as "\-"; plain text is what a reader sees.
  std::string plain;
  for (size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\\' && i + 1 < page.size() && page[i + 1] == '-') continue;
    plain.push_back(page[i]);
  }
  const std::string help = hz::HelpText();
  for (const hz::OptionInfo& o : hz::kOptions) {
    EXPECT_NE(plain.find(o.name), std::string::npos) << o.name << " is not in the manual page";
    EXPECT_NE(help.find(std::string("  ") + o.name + o.argument), std::string::npos) << o.name;
    EXPECT_NE(help.find(o.help), std::string::npos) << o.name;
  }
  EXPECT_NE(plain.find("/f=bmp"), std::string::npos);
}

TEST(CommandLine, HelpText) {
  const std::string help = hz::HelpText();
  // The usage line first, an option a line, then the exit statuses.
  EXPECT_EQ(help.rfind(hz::kUsageLine, 0), 0u);
  EXPECT_NE(help.find("\n  -f=EXT            image files' extension (default jpg"), std::string::npos) << help;
  EXPECT_NE(help.find("\n  -o OUTPATH        write into OUTPATH, as the second path does"), std::string::npos);
  EXPECT_NE(help.find("\n  --gaiji-font FILE --gaiji, drawing"), std::string::npos) << help;
  EXPECT_NE(help.find("\n  --version         print the version banner"), std::string::npos) << help;
  EXPECT_NE(help.find("Exit status: 0 all written; 255 (-1) usage error"), std::string::npos);
  EXPECT_NE(help.find("\n3 all written, but with --strict"), std::string::npos);
  // Every line fits a terminal of 80 columns.
  size_t start = 0;
  for (size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
  }
  EXPECT_EQ(help.back(), '\n');
}

}  // namespace
