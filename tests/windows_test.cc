// The converter on its home platform: arguments read as UTF-16, options
// after '/', names of any length, console lines, page moves held up by
// another program, and the interrupted page.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <thread>

#include "driver/command_line.h"
#include "platform/input_file.h"
#include "platform/page_file.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;

namespace {

// The program, or this test program, beside this one.
std::wstring Beside(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

struct Spawned {
  DWORD status;
  std::string out, err;  // the bytes the program wrote
};

// Runs a program with the command line args (after its name), its standard
// output and error sent to files.
Spawned Spawn(const std::wstring& program, const std::wstring& args, const std::string& dir) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const std::wstring out_name = Beside(L"spawn-out.txt"), err_name = Beside(L"spawn-err.txt");
  HANDLE out = CreateFileW(out_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileW(err_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = out;
  start.hStdError = err;
  start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring line = L"\"" + program + L"\" " + args;
  PROCESS_INFORMATION process{};
  Spawned s{0xDEADBEEF, "", ""};
  std::wstring wide_dir(dir.begin(), dir.end());
  if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                     dir.empty() ? nullptr : wide_dir.c_str(), &start, &process)) {
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &s.status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    ADD_FAILURE() << "cannot start the program: " << GetLastError();
  }
  CloseHandle(out);
  CloseHandle(err);
  auto read = [](const std::wstring& name) {
    std::string bytes;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(h);
    DeleteFileW(name.c_str());
    return bytes;
  };
  s.out = read(out_name);
  s.err = read(err_name);
  return s;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST(Windows, ArgumentsAreReadAsUtf16) {
  // 表 (U+8868) is 0x95 0x5C in Shift-JIS, whatever the system's code page.
  TempDir dir;
  hzt::Build("@dir LIST\n@records DATA/KX03\n@record\ntext\n", dir.path() + "\\\x95\x5C" "in");
  const std::wstring hz = Beside(L"hz2html.exe");
  Spawned s = Spawn(hz, L"\"" + Wide(dir.path()) + L"\\\u8868in\" \"" + Wide(dir.path()) + L"\\\u8868\"", "");
  EXPECT_EQ(s.status, 0u) << s.err;
  EXPECT_EQ(hzt::ListDir(dir.path() + "\\\x95\x5C").size(), 7u);
  EXPECT_NE(ReadFile(dir.path() + "\\\x95\x5C\\usage.html").find("text"), std::string::npos);
  // The console's lines end in CR LF; the progress lines name the pages as
  // the Shift-JIS paths they are.
  EXPECT_EQ(s.out.substr(0, 26), "HARUKAZE Toolkit ver1.04\r\n");
  EXPECT_NE(s.out.find("->" + dir.path() + "\\\x95\x5C\\usage.html\r\n"), std::string::npos);
  // ¥ (U+00A5) has no Shift-JIS form (a best fit would make it '\'): a
  // usage error, nothing created.
  s = Spawn(hz, L"\"" + Wide(dir.path()) + L"\\\u8868in\" \"" + Wide(dir.path()) + L"\\out\u00A5\"", "");
  EXPECT_EQ(s.status, 0xFFFFFFFFu);
  EXPECT_EQ(s.err, "hz2html: argument 2 holds a character that Shift-JIS cannot represent\r\n");
  EXPECT_EQ(s.out, "");
  EXPECT_EQ(hzt::ListDir(dir.path()).size(), 2u);
  s = Spawn(hz, L"--version", "");
  EXPECT_EQ(s.status, 0u);
  EXPECT_EQ(s.out, "HARUKAZE Toolkit ver1.04\r\n");
}

TEST(Windows, SlashStartsAnOption) {
  const char* argv[] = {"hz2html", "/f=bmp", "/m=avi", "/work", "C:\\in", "/o", "D:\\out"};
  hz::RunOptions options;
  std::vector<std::string> ignored;
  ASSERT_EQ(hz::ParseCommandLine(7, argv, &options, &ignored), hz::CommandLineResult::kRun);
  EXPECT_STREQ(options.image_ext, "bmp");
  EXPECT_STREQ(options.movie_ext, "avi");
  EXPECT_EQ(options.in_path, "C:\\in\\");
  EXPECT_EQ(options.out_path, "D:\\out\\");
  // "/work" is an option here, one the converter does not know.
  EXPECT_EQ(ignored, std::vector<std::string>{"unknown option \"/work\" ignored"});
  const char* only_options[] = {"hz2html", "/tmp", "/data"};
  EXPECT_EQ(hz::ParseCommandLine(3, only_options, &options, &ignored), hz::CommandLineResult::kUsage);
}

TEST(Windows, NamesOfAnyLengthAndLetterCase) {
  TempDir dir;
  hzt::Build("@dir list\n@records data/kx03\n@record\ntext\n", dir / "in");
  std::string out = dir.path();
  while (out.size() < 300) out += "\\abcdefghijklmnopqrstuvwxyz";
  const hzt::RunResult r = hzt::RunHz({dir / "in", out});
  ASSERT_EQ(r.status, 0) << r.err;
  hz::InputFile page(out + "\\usage.html");
  ASSERT_TRUE(page.is_open());
  std::string bytes(static_cast<size_t>(page.size()), '\0');
  page.ReadAt(0, &bytes[0], bytes.size());
  EXPECT_NE(bytes.find("text"), std::string::npos);  // read from data\kx03.dat
}

TEST(Windows, MoveWaitsForAProgramThatHoldsThePage) {
  TempDir dir;
  const std::string page = dir / "p.html";
  hzt::WriteFile(page, "earlier");
  const std::wstring wide_page = Wide(page);
  // Held open, with no sharing, for a moment: the move is tried again.
  HANDLE held = CreateFileW(wide_page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread release([held] {
    Sleep(300);
    CloseHandle(held);
  });
  hz::PageFile f;
  ASSERT_TRUE(f.Create(page));
  f.out().Str("new\n");
  EXPECT_TRUE(f.Commit()) << hz::SystemErrorText(f.error());
  release.join();
  EXPECT_EQ(ReadFile(page), "new\r\n");
  // Held for longer than the retries last: the page fails, the earlier one
  // stays, and no temporary file is left.
  held = CreateFileW(wide_page.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  hz::PageFile g;
  ASSERT_TRUE(g.Create(page));
  g.out().Str("newer\n");
  EXPECT_FALSE(g.Commit());
  CloseHandle(held);
  EXPECT_NE(g.error(), 0);
  EXPECT_EQ(ReadFile(page), "new\r\n");
  EXPECT_EQ(hzt::ListDir(dir.path()), std::vector<std::string>{"p.html"});
}

// Run in a child by InterruptedPageLeavesNoTemporaryFile: a page half
// written when the interruption's clean-up runs, then the end the system
// gives an interrupted console program.
TEST(Windows, DISABLED_InterruptedChild) {
  const char* page = std::getenv("HZ2HTML_INTERRUPTED_PAGE");
  ASSERT_NE(page, nullptr);
  hz::RemoveTemporaryFileOnInterrupt();
  hz::PageFile f;
  ASSERT_TRUE(f.Create(page));
  f.out().Str("half a page");
  f.out().Flush();
  hz::RemoveTemporaryFileNow();
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

TEST(Windows, InterruptedPageLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string page = dir / "p.html";
  hzt::WriteFile(page, "earlier");
  SetEnvironmentVariableA("HZ2HTML_INTERRUPTED_PAGE", page.c_str());
  const Spawned s = Spawn(Beside(L"hz2html_tests.exe"),
                          L"--gtest_also_run_disabled_tests --gtest_filter=Windows.DISABLED_InterruptedChild", "");
  SetEnvironmentVariableA("HZ2HTML_INTERRUPTED_PAGE", nullptr);
  EXPECT_EQ(s.status, static_cast<DWORD>(STATUS_CONTROL_C_EXIT)) << s.out;
  EXPECT_EQ(hzt::ListDir(dir.path()), std::vector<std::string>{"p.html"});
  EXPECT_EQ(ReadFile(page), "earlier");
}

}  // namespace
