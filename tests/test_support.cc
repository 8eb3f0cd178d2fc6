#include "tests/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "driver/run.h"
#include "html/render_entry.h"
#include "platform/file_system.h"
#include "tools/dict_source.h"

namespace hzt {

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/hz2html-test-XXXXXX";
  std::vector<char> name(templ.begin(), templ.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) ADD_FAILURE() << "mkdtemp failed";
  path_ = name.data();
}

TempDir::~TempDir() {
  nftw(path_.c_str(),
       [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
       FTW_DEPTH | FTW_PHYS);
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
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (struct dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Render(const std::string& source, bool list_mode, int record, int offset,
                   int entry_no, const hz::RunOptions& options) {
  TempDir dir;
  Build(source, dir.path());
  hz::CDatFile dat(dir / "DATA/KX01.DAT");
  hz::CInfFile inf(dir / "DATA/KX01.INF");
  hz::CLinkTable t1(dir / "DATA/KXLINK01.TBL"), t2(dir / "DATA/KXLINK02.TBL"),
      t3(dir / "DATA/KXLINK03.TBL"), t4(dir / "DATA/KXLINK04.TBL");
  hz::PageWriter out;
  hz::RenderEntry(out, list_mode, hz::EntryRef{record, offset, entry_no}, dat, inf, t1, t2, t3,
                  t4, options);
  return out.str();
}

namespace {

// Sends a standard stream to a temporary file while it lives.
class Capture {
 public:
  explicit Capture(int fd) : fd_(fd) {
    fflush(nullptr);
    char name[] = "/tmp/hz2html-capture-XXXXXX";
    file_ = mkstemp(name);
    unlink(name);
    saved_ = dup(fd_);
    dup2(file_, fd_);
  }
  std::string Finish() {
    fflush(nullptr);
    dup2(saved_, fd_);
    close(saved_);
    std::string text;
    lseek(file_, 0, SEEK_SET);
    char buf[4096];
    ssize_t n;
    while ((n = read(file_, buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
    close(file_);
    return text;
  }

 private:
  int fd_;
  int file_;
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

std::string PageBody(const std::string& source, PageWriterFunction writer, const std::string& title) {
  TempDir dir;
  Build(source, dir.path());
  std::string page = dir / "page.html";
  EXPECT_TRUE(writer(dir.path() + "/", page, hz::RunOptions(), nullptr));
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
