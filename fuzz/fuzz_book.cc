// Fuzz target for hz2book: lays fuzzed pages, project file and gaiji files
// out in a private directory, reads the book model from them, checks what
// the model promises its writers, writes the EPWING book and proves it with
// the EB library, and writes the StarDict and Yomitan dictionaries and
// proves them by reading them back. What the model promises: runs that decode, nested styles
// and links that close where they open, no link inside a link, indexes of
// targets, pictures and gaiji that exist, text of UTF-8 characters without
// control characters or private-use characters, every kept target placed
// once, every word UTF-8 and not empty. The proof must find everything.
// Input: a sequence of (file number byte, part) pairs; the number picks one
// of the files below, the part is its content.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "ebcheck/book_check.h"
#include "epwing/epwing_book.h"
#include "fuzz/fuzz_support.h"
#include "model/model_reader.h"
#include "platform/book_system.h"
#include "stardict/stardict_check.h"
#include "stardict/stardict_dictionary.h"
#include "unicode/unicode_book.h"
#include "yomitan/yomitan_check.h"
#include "yomitan/yomitan_dictionary.h"

namespace {

const char* const kFiles[] = {"honbun.html", "kanji.html",   "usage.html", "hanrei.html",
                              "jo.html",     "oku.html",     "harukaze.ebs", "gaiji.tsv",
                              "GaijiMap.xml", "Gaiji.xml",   "font.hex",   "a.jpg"};
constexpr size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

class Quiet : public hz::Report {
 public:
  void Missing(const std::string&) override {}
  void Damaged(const std::string&, const std::string&) override {}
  void UnknownLinkKind(uint32_t) override {}
  void CannotWrite(const std::string&, int) override {}
};

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "model: %s\n", what);
  abort();
}

// UTF-8 characters, none of them a control or private-use character.
void CheckText(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    uint32_t cp;
    const size_t n = hz::ReadUtf8(p, end, &cp);
    Require(cp >= 0x20 && cp != 0x7F, "a control character in the text");
    Require(cp < 0xE000 || cp > 0xF8FF, "a private-use character in the text");
    Require(n > 1 || cp < 0x80, "a byte that is no UTF-8");
    p += n;
  }
}

void CheckContent(const hz::BookModel& m, std::string_view content, std::vector<int>* anchors) {
  std::vector<hz::Run> open;  // styles and links open, innermost last
  bool picture = false;
  hz::ForEachRun(content, [&](const hz::Run& r) {
    switch (r.kind) {
      case hz::Run::kText: CheckText(r.text); break;
      case hz::Run::kStyleOn:
        for (const hz::Run& o : open) Require(o.kind != hz::Run::kStyleOn || o.style != r.style, "a style twice");
        Require(static_cast<int>(r.style) < hz::kStyleCount, "an unknown style");
        Require(!picture, "a style in a caption");
        open.push_back(r);
        break;
      case hz::Run::kLinkOn:
        for (const hz::Run& o : open) Require(o.kind != hz::Run::kLinkOn, "a link inside a link");
        Require(r.index < m.targets.size(), "a link to no target");
        Require(!picture, "a link in a caption");
        open.push_back(r);
        break;
      case hz::Run::kStyleOff:
        Require(!open.empty() && open.back().kind == hz::Run::kStyleOn && open.back().style == r.style,
              "a style closed out of order");
        open.pop_back();
        break;
      case hz::Run::kLinkOff:
        Require(!open.empty() && open.back().kind == hz::Run::kLinkOn, "a link closed out of order");
        open.pop_back();
        break;
      case hz::Run::kAnchor:
        Require(r.index < m.targets.size(), "an anchor of no target");
        ++(*anchors)[r.index];
        break;
      case hz::Run::kImageOn:
        Require(!picture && r.index < m.images.size(), "a picture");
        picture = true;
        break;
      case hz::Run::kImageOff:
        Require(picture, "a picture's end");
        picture = false;
        break;
      case hz::Run::kGaiji: Require(r.index < m.gaiji.size(), "a gaiji"); break;
      case hz::Run::kLineBreak: Require(!picture, "a line break in a caption"); break;
    }
  });
  Require(open.empty() && !picture, "a style, link or picture left open");
}

void CheckModel(const hz::BookModel& m) {
  std::vector<int> anchors(m.targets.size(), 0);
  for (const hz::BookPart& p : m.parts) {
    CheckContent(m, m.Heading(p), &anchors);
    CheckContent(m, m.Body(p), &anchors);
    Require(p.words_begin <= p.words_end && p.words_end <= m.words.size(), "words");
    for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
      Require(!m.Word(m.words[w]).empty(), "an empty word");
      CheckText(m.Word(m.words[w]));
    }
  }
  for (size_t t = 0; t < m.targets.size(); ++t) {
    const hz::BookTarget& target = m.targets[t];
    Require(target.part < m.parts.size(), "a target in no part");
    Require(target.anchor ? anchors[t] == 1 : anchors[t] == 0 && m.parts[target.part].target == t,
          "a target placed other than once");
  }
}

// Writes files under dir.
void WriteFiles(const std::string& dir, const std::vector<hz::BookFile>& files) {
  hz::RemoveTree(dir);
  hz::MakeDirectory(dir);
  for (const hz::BookFile& f : files) {
    const std::string path = dir + "/" + f.path;
    for (size_t s = path.find('/', dir.size() + 1); s != std::string::npos; s = path.find('/', s + 1)) {
      hz::MakeDirectory(path.substr(0, s));
    }
    if (hz::WriteWholeFile(path, f.bytes) != 0) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = hzfuzz::ScratchDir();
  for (const char* f : kFiles) unlink((dir + "/" + f).c_str());
  hzfuzz::Parts parts(data, size);
  while (parts.More()) {
    const char* name = kFiles[parts.Byte() % kFileCount];
    const std::string content = parts.Next();
    hzfuzz::WriteScratch(name, reinterpret_cast<const uint8_t*>(content.data()), content.size());
  }
  Quiet quiet;
  hz::ModelSources sources;
  sources.pages_dir = dir + "/";
  sources.font = dir + "/font.hex";
  sources.report = &quiet;
  hz::BookModel model;
  std::string error;
  // A page that is missing cannot be read: no book, as in hz2book.
  if (!hz::ReadBookModel(sources, &model, &error)) return 0;
  CheckModel(model);
  if (model.entry_count == 0) return 0;
  hz::EpwingBook book;
  if (!hz::WriteEpwingBook(model, &book, &error)) return 0;
  WriteFiles(dir + "/book", book.files);
  const hz::CheckResult r = hz::CheckEpwingBook(
      dir + "/book", model, [](const char*, int64_t, int64_t) {}, [] { return false; });
  if (!r.error.empty() || !r.misses.empty()) {
    std::fprintf(stderr, "check: %s%s\n", r.error.c_str(), r.misses.empty() ? "" : r.misses[0].c_str());
    abort();
  }
  const hz::UnicodeBook unicode(model);
  const auto proved = [](const char* what, const hz::ExportCheck& c) {
    if (c.error.empty() && c.misses.empty()) return;
    std::fprintf(stderr, "%s: %s%s\n", what, c.error.c_str(), c.misses.empty() ? "" : c.misses[0].c_str());
    abort();
  };
  hz::StarDictDictionary dict;
  if (!hz::WriteStarDict(unicode, "fuzz", &dict, &error)) abort();
  WriteFiles(dir + "/stardict", dict.files);
  proved("stardict", hz::CheckStarDict(dir + "/stardict", unicode));
  hz::YomitanCounts counts;
  if (!hz::WriteYomitan(unicode, hz::YomitanInfo(), dir + "/harukaze.zip", &counts, &error)) abort();
  proved("yomitan", hz::CheckYomitan(dir + "/harukaze.zip", unicode));
  return 0;
}
