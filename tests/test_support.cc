#include "tests/test_support.h"

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "driver/run.h"
#include "driver/run_report.h"
#include "html/render_entry.h"
#include "platform/page_file.h"
#include "tools/dict_source.h"

namespace fs = std::filesystem;

namespace hzt {

namespace {

// A name as the file system takes it.
fs::path Native(const std::string& name) {
#ifdef _WIN32
  const int n = MultiByteToWideChar(932, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, name.data(), static_cast<int>(name.size()), &wide[0], n);
  return fs::path(wide);
#else
  return fs::path(name);
#endif
}

std::string FromNative(const fs::path& path) {
#ifdef _WIN32
  const std::wstring wide = path.wstring();
  const int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string name(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), &name[0], n, nullptr,
                      nullptr);
  return name;
#else
  return path.string();
#endif
}

// A path given at build time as the build machine spells it, as the
// converter takes it here (under wine, "/src/x" is "Z:\src\x").
std::string BuildPath(const char* path) {
#ifdef _WIN32
  return FromNative(fs::absolute(Native(path)));
#else
  return path;
#endif
}

std::string UniqueName(const char* prefix) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  return prefix + std::to_string(random()) + "-" + std::to_string(counter++);
}

}  // namespace

TempDir::TempDir() {
  std::error_code error;
  for (int tries = 0; tries < 100; ++tries) {
    const fs::path dir = fs::temp_directory_path() / UniqueName("hz2html-test-");
    if (fs::create_directory(dir, error)) {
      path_ = FromNative(dir);
      return;
    }
  }
  ADD_FAILURE() << "no temporary directory";
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(Native(path_), error);
}

std::string S(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(hzb::ToShiftJis(utf8, &out)) << utf8;
  return out;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void Build(const std::string& source, const std::string& dir) {
  std::string error;
  ASSERT_TRUE(hzb::BuildDictionary(source, dir, &error)) << error;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(Native(path), error);
}

bool IsDir(const std::string& path) {
  std::error_code error;
  return fs::is_directory(Native(path), error);
}

bool MakeDir(const std::string& path) {
  std::error_code error;
  return fs::create_directory(Native(path), error);
}

bool Remove(const std::string& path) {
  std::error_code error;
  return fs::remove(Native(path), error);
}

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& e : fs::directory_iterator(Native(path), error)) {
    names.push_back(FromNative(e.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

InDirectory::InDirectory(const std::string& dir) : saved_(FromNative(fs::current_path())) {
  fs::current_path(Native(dir));
}

InDirectory::~InDirectory() { fs::current_path(Native(saved_)); }

#ifdef _WIN32
const int kNotADirectory = ERROR_PATH_NOT_FOUND;
const int kIsADirectory = ERROR_ACCESS_DENIED;
#else
const int kNotADirectory = ENOTDIR;
const int kIsADirectory = EISDIR;
#endif

std::string CannotWrite(const std::string& path, int error) {
  return "hz2html: cannot write " + path + ": " + hz::SystemErrorText(error) + "\n";
}

std::string SourceDir() { return BuildPath(HZ_SOURCE_DIR); }
std::string SampleDict() { return BuildPath(HZ_SAMPLE_DICT); }

std::string Render(const std::string& source, bool list_mode, int record, int offset,
                   int entry_no, const hz::RunOptions& options) {
  TempDir dir;
  Build(source, dir.path());
  hz::RecordFiles files(dir / "DATA/KX01.DAT", dir / "DATA/KX01.INF");
  const hz::LinkTables links(dir / "DATA/KXLINK01.TBL", dir / "DATA/KXLINK02.TBL",
                             dir / "DATA/KXLINK03.TBL", dir / "DATA/KXLINK04.TBL");
  hz::PageWriter out;
  // The run's own report: unknown link kinds are named on stdout.
  hz::RunReport report(false);
  hz::PageTally tally("", &report, nullptr);
  hz::RenderEntry(hz::RenderContext{out, files, links, options, tally}, list_mode,
                  hz::EntryRef{record, offset, entry_no});
  return out.str();
}

namespace {

// Sends a standard stream to a file while it lives; the file is opened in
// binary mode, so what is captured are the bytes the run wrote (on Windows
// the console adds its CR to each line end).
class Capture {
 public:
  explicit Capture(int fd) : fd_(fd), name_(fs::temp_directory_path() / UniqueName("hz2html-capture-")) {
    std::fflush(nullptr);
#ifdef _WIN32
    file_ = _wfopen(name_.c_str(), L"w+b");
#else
    file_ = std::fopen(name_.c_str(), "w+b");
#endif
    saved_ = dup(fd_);
    dup2(fileno(file_), fd_);
  }
  std::string Finish() {
    std::fflush(nullptr);
    dup2(saved_, fd_);
    close(saved_);
    std::fclose(file_);
    std::ifstream in(name_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::error_code error;
    fs::remove(name_, error);
    return text.str();
  }

 private:
  int fd_;
  fs::path name_;
  FILE* file_;
  int saved_;
};

}  // namespace

RunResult RunHz(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"hz2html"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  Capture out(1), err(2);
  int status = hz::RunConverter(static_cast<int>(argv.size() - 1), argv.data());
  std::string e = err.Finish();
  std::string o = out.Finish();
  return {status, o, e};
}

std::string WithoutEmptiedPages(const std::string& err) {
  std::string kept;
  for (size_t start = 0, end; (end = err.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = err.substr(start, end + 1 - start);
    if (line.find(" has no entries\n") == std::string::npos) kept += line;
  }
  return kept;
}

std::string PageBody(const std::string& source, PageWriterFunction writer, const std::string& title) {
  TempDir dir;
  Build(source, dir.path());
  std::string page = dir / "page.html";
  hz::PageTally tally("", nullptr, nullptr);
  EXPECT_TRUE(writer(dir.path() + "/", page, hz::RunOptions(), tally));
  std::string bytes = ReadFile(page);
  std::string head = PageHead(title);
  std::string tail = kPageTail;
  if (bytes.size() < head.size() + tail.size() || bytes.compare(0, head.size(), head) != 0 ||
      bytes.compare(bytes.size() - tail.size(), tail.size(), tail) != 0) {
    ADD_FAILURE() << "page frame missing";
    return bytes;
  }
  return bytes.substr(head.size(), bytes.size() - head.size() - tail.size());
}

std::string PageHead(const std::string& title) {
  return Crlf("<html>\n<head>\n<title>" + title + "</title>\n</head>\n<body>\n");
}

const char kPageTail[] = "</body>\r\n</html>\r\n";

}  // namespace hzt
