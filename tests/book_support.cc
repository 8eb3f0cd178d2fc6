#include "tests/book_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/hex.h"
#include "platform/book_system.h"
#include "tests/test_support.h"

namespace hzt {

std::string Page(const std::string& title, const std::string& body) {
  return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n</head>\r\n<body>\r\n" + body + "</body>\r\n</html>\r\n";
}

hz::ModelSources SourcesIn(const std::string& dir, hz::Report* report) {
  hz::ModelSources sources;
  sources.pages_dir = dir + "/";
  sources.font = dir + "/no-font.hex";
  sources.report = report;
  return sources;
}

hz::BookModel ModelOf(const TestPages& pages, std::string* told, const std::map<uint32_t, hz::GaijiName>& names) {
  std::string bytes[6];
  for (size_t i = 0; i < 6; ++i) {
    const std::string name = hz::kBookPages[i].file_name;
    if (name == "honbun.html") {
      bytes[i] = Page("\x8F\x74\x95\x97\x93\x54", "<dl>\r\n" + pages.honbun + "</dl>\r\n");
    } else if (name == "kanji.html") {
      bytes[i] = Page("\x8A\xBF\x8E\x9A", "<dl>\r\n" + pages.kanji + "</dl>\r\n");
    } else {
      const auto s = pages.sections.find(name);
      bytes[i] = s != pages.sections.end() ? s->second
                                           : Page(name, "<h1>" + name + "</h1>\r\n<p></p>\r\ntext of " + name + "<br />\r\n");
    }
  }
  hz::ModelPages model_pages;
  for (size_t i = 0; i < 6; ++i) model_pages.bytes[i] = bytes[i];
  Told report;
  hz::BookModel m;
  hz::ReadModelPages(model_pages, hz::ReadSearchSettings(pages.ebs), names, &report, &m);
  if (told) *told = report.told;
  return m;
}

std::string Shown(const hz::BookModel& m, std::string_view content) {
  static const char* const kStyles[] = {"b", "i", "sub", "sup"};
  std::string out;
  hz::ForEachRun(content, [&](const hz::Run& r) {
    switch (r.kind) {
      case hz::Run::kText: out += r.text; break;
      case hz::Run::kStyleOn: out += std::string("<") + kStyles[static_cast<int>(r.style)] + ">"; break;
      case hz::Run::kStyleOff: out += std::string("</") + kStyles[static_cast<int>(r.style)] + ">"; break;
      case hz::Run::kLineBreak: out += "<br>"; break;
      case hz::Run::kLinkOn: out += "<a " + m.targets[r.index].id + ">"; break;
      case hz::Run::kLinkOff: out += "</a>"; break;
      case hz::Run::kAnchor: out += "<@" + m.targets[r.index].id + ">"; break;
      case hz::Run::kImageOn: out += "<img " + m.images[r.index].src + ">"; break;
      case hz::Run::kImageOff: out += "</img>"; break;
      case hz::Run::kGaiji: out += "{" + hz::Hex4(m.gaiji[r.index].code) + "}"; break;
    }
  });
  return out;
}

std::string Shown(const hz::BookModel& m, const hz::BookPart& p) {
  return Shown(m, m.Heading(p)) + "|" + Shown(m, m.Body(p));
}

std::string Words(const hz::BookModel& m, const hz::BookPart& p) {
  std::string out;
  for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
    if (w > p.words_begin) out += ",";
    out += m.Word(m.words[w]);
  }
  if (p.markers_end > p.markers_begin) out += "/";
  for (uint32_t k = p.markers_begin; k < p.markers_end; ++k) {
    if (k > p.markers_begin) out += ",";
    out += m.Word(m.markers[k]);
  }
  return out;
}

void WriteBook(const std::string& dir, const hz::EpwingBook& book) {
  hz::RemoveTree(dir);
  ASSERT_EQ(hz::MakeDirectory(dir), 0);
  for (const hz::BookFile& f : book.files) {
    const std::string path = dir + "/" + f.path;
    for (size_t s = path.find('/', dir.size() + 1); s != std::string::npos; s = path.find('/', s + 1)) {
      hz::MakeDirectory(path.substr(0, s));
    }
    ASSERT_EQ(hz::WriteWholeFile(path, f.bytes), 0) << path;
  }
}

hz::EpwingBook BookOf(const hz::BookModel& m, const std::string& dir) {
  hz::EpwingBook book;
  std::string error;
  EXPECT_TRUE(hz::WriteEpwingBook(m, &book, &error)) << error;
  WriteBook(dir, book);
  return book;
}

Spawned Spawn(const std::vector<std::string>& argv, const std::string& input, const std::string& path,
              const std::string& dir, const std::string& stop_when) {
  TempDir io;
  WriteFile(io / "in", input);
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open((io / "in").c_str(), O_RDONLY);
    const int out = open((io / "out").c_str(), O_WRONLY | O_CREAT, 0600);
    const int err = open((io / "err").c_str(), O_WRONLY | O_CREAT, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!path.empty()) setenv("PATH", path.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  for (bool stopped = stop_when.empty();;) {
    if (!stopped) {
      for (const std::string& name : ListDir(dir)) {
        if (name.compare(0, stop_when.size(), stop_when) == 0 && Exists(dir + "/" + name + "/book/catalogs")) {
          kill(pid, SIGTERM);
          stopped = true;
        }
      }
    }
    if (waitpid(pid, &status, stopped ? 0 : WNOHANG) == pid) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Spawned s;
  s.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  s.out = ReadFile(io / "out");
  s.err = ReadFile(io / "err");
  return s;
}

}  // namespace hzt
