// Fuzz target for hz2book's reading of the pages: lays fuzzed pages, project
// file and gaiji files out in a private directory, plans the book and
// writes its text stream, then checks the stream as FreePWING needs it:
// known operations only, text of EUC-JP (JIS X 0208) and printable ASCII,
// gaiji and references that the plan defines, modifiers that nest, never
// repeat a kind and are closed before every line end and entry end,
// references to tags placed in the text, the end marked, and as many
// entries as the plan counted, each in the manifest.
// Input: a sequence of (file number byte, part) pairs; the number picks one
// of the files below, the part is its content.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "epwing/book_chars.h"
#include "epwing/book_plan.h"
#include "epwing/book_text.h"
#include "fuzz/fuzz_support.h"

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

bool IsBookText(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7F) continue;
    if (c < 0xA1 || c > 0xF4 || i + 1 == s.size()) return false;
    const unsigned char t = static_cast<unsigned char>(s[++i]);
    if (t < 0xA1 || t > 0xFE) return false;
  }
  return true;
}

void Check(bool ok, const char* what, const std::string& line) {
  if (ok) return;
  std::fprintf(stderr, "stream: %s: \"%s\"\n", what, line.c_str());
  abort();
}

// Checks the stream the book parser replays.
void CheckStream(const std::string& stream, const hz::BookPlan& plan, int64_t* entries) {
  std::set<std::string> gaiji, tags, placed, referenced;
  for (const hz::BookGaiji& g : plan.gaiji) gaiji.insert(g.name);
  for (const hz::BookTarget& t : plan.targets) tags.insert(t.tag);
  std::string open;  // the kinds of the open modifiers, innermost last
  bool keyword = false, ended = false;
  size_t a = 0;
  for (size_t b; (b = stream.find('\n', a)) != std::string::npos; a = b + 1) {
    const std::string line = stream.substr(a, b - a);
    Check(!line.empty(), "empty line", line);
    const char op = line[0];
    const std::string arg = line.substr(1);
    switch (op) {
      case 'T': case 'H': case 'W': case 'K':
        Check(!arg.empty() && IsBookText(arg), "text", line);
        break;
      case 'G': case 'h':
        Check(gaiji.count(arg) == 1, "undefined gaiji", line);
        break;
      case 'b': case 'i': case 's': case 'u': case 'r':
        Check(open.find(op) == std::string::npos, "a modifier opened twice", line);
        open += op;
        break;
      case 'B': case 'I': case 'S': case 'U': case 'R':
        Check(!open.empty() && open.back() == op - 'A' + 'a', "a modifier closed out of order", line);
        open.pop_back();
        if (op == 'R') {
          Check(tags.count(arg) == 1 || arg.compare(0, 5, "menu-") == 0, "undefined reference", line);
          referenced.insert(arg);
        }
        break;
      case '[':
        Check(!keyword && open.empty(), "keyword", line);
        keyword = true;
        break;
      case ']':
        Check(keyword && open.empty(), "keyword", line);
        keyword = false;
        break;
      case 'E': case 'C': case 'O': case 'N':
        Check(open.empty() && !keyword, "a modifier or keyword open at a line or entry end", line);
        if (op == 'E') ++*entries;
        break;
      case '@': case '#':
        Check(placed.insert(arg).second, "a tag placed twice", line);
        break;
      case 'j': case 'm':
        Check(!arg.empty(), "a name", line);
        break;
      case 'J': case 'M': case 'P':
        break;
      case 'Z':
        Check(b + 1 == stream.size(), "the end before the end", line);
        ended = true;
        break;
      default:
        Check(false, "unknown operation", line);
    }
  }
  Check(a == stream.size(), "the stream's last line is not ended", stream.substr(a));
  Check(open.empty() && !keyword, "a modifier open at the end", "");
  Check(ended, "no end", "");
  for (const std::string& tag : referenced) Check(placed.count(tag) == 1, "a reference to a tag never placed", tag);
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
  hz::BookPages pages;
  std::string error;
  // A page that is missing cannot be read: no book, as in hz2book.
  if (!hz::ReadBookPages(dir + "/", &pages, &error)) return 0;
  hz::BookPlan plan;
  hz::MakeBookPlan(hz::PlanInputs{dir + "/", dir + "/font.hex", &quiet}, pages, &plan);
  std::string ebs;
  hz::ReadPage(dir + "/harukaze.ebs", &ebs, &error);
  const hz::SearchSettings settings = hz::ReadSearchSettings(ebs);
  const hz::BookChars chars(plan, settings);
  char* text = nullptr;
  size_t length = 0;
  std::FILE* out = open_memstream(&text, &length);
  if (!out) abort();
  hz::Manifest manifest;
  if (!hz::WriteBookText(plan, chars, settings, pages, out, &manifest)) abort();
  std::fclose(out);
  const std::string stream(text, length);
  std::free(text);
  int64_t entries = 0;
  CheckStream(stream, plan, &entries);
  if (manifest.entries.size() != static_cast<size_t>(entries) || entries != plan.entries) {
    std::fprintf(stderr, "entries: %lld planned, %lld in the stream, %zu in the manifest\n",
                 static_cast<long long>(plan.entries), static_cast<long long>(entries), manifest.entries.size());
    abort();
  }
  return 0;
}
