#include "epwing/book_check.h"

#include <eb/eb.h>
#include <eb/error.h>
#include <eb/font.h>
#include <eb/text.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "epwing/work_files.h"
#include "platform/book_system.h"
#include "platform/page_writer.h"

namespace hz {

namespace {

// What reading a stretch of the book met besides its text. The hooks put
// the heading (the entry's keyword) between the bytes 0x01 and 0x02 of the
// text, and a gaiji as "{NAME}".
struct Reading {
  const std::map<int, std::string>* names;
  std::vector<EB_Position> refs;
  std::vector<std::string> gaiji;
};

constexpr char kKeywordStart = '\x01';
constexpr char kKeywordEnd = '\x02';

EB_Error_Code OnWideFont(EB_Book* book, EB_Appendix*, void* container, EB_Hook_Code, int,
                         const unsigned int* argv) {
  Reading* r = static_cast<Reading*>(container);
  const auto name = r->names->find(static_cast<int>(argv[0]));
  const std::string shown = name != r->names->end() ? name->second : "?" + Hex4(argv[0]);
  r->gaiji.push_back(shown);
  eb_write_text_string(book, ("{" + shown + "}").c_str());
  return EB_SUCCESS;
}

EB_Error_Code OnEndReference(EB_Book*, EB_Appendix*, void* container, EB_Hook_Code, int,
                             const unsigned int* argv) {
  EB_Position p;
  p.page = static_cast<int>(argv[1]);
  p.offset = static_cast<int>(argv[2]);
  static_cast<Reading*>(container)->refs.push_back(p);
  return EB_SUCCESS;
}

EB_Error_Code OnKeyword(EB_Book* book, EB_Appendix*, void*, EB_Hook_Code code, int,
                        const unsigned int*) {
  eb_write_text_byte1(book, code == EB_HOOK_BEGIN_KEYWORD ? kKeywordStart : kKeywordEnd);
  return EB_SUCCESS;
}

// Text with the JIS X 0208 forms of ASCII characters as ASCII. FreePWING
// writes ASCII as those forms with a half-width mark before them: read from
// a position inside such a run, they come back in their full-width form.
std::string FoldAscii(const std::string& text) {
  static const uint16_t kForms[95] = {
      0xA1A1, 0xA1AA, 0xA1C9, 0xA1F4, 0xA1F0, 0xA1F3, 0xA1F5, 0xA1C7, 0xA1CA, 0xA1CB, 0xA1F6, 0xA1DC,
      0xA1A4, 0xA1DD, 0xA1A5, 0xA1BF, 0xA3B0, 0xA3B1, 0xA3B2, 0xA3B3, 0xA3B4, 0xA3B5, 0xA3B6, 0xA3B7,
      0xA3B8, 0xA3B9, 0xA1A7, 0xA1A8, 0xA1E3, 0xA1E1, 0xA1E4, 0xA1A9, 0xA1F7, 0xA3C1, 0xA3C2, 0xA3C3,
      0xA3C4, 0xA3C5, 0xA3C6, 0xA3C7, 0xA3C8, 0xA3C9, 0xA3CA, 0xA3CB, 0xA3CC, 0xA3CD, 0xA3CE, 0xA3CF,
      0xA3D0, 0xA3D1, 0xA3D2, 0xA3D3, 0xA3D4, 0xA3D5, 0xA3D6, 0xA3D7, 0xA3D8, 0xA3D9, 0xA3DA, 0xA1CE,
      0xA1C0, 0xA1CF, 0xA1B0, 0xA1B2, 0xA1C6, 0xA3E1, 0xA3E2, 0xA3E3, 0xA3E4, 0xA3E5, 0xA3E6, 0xA3E7,
      0xA3E8, 0xA3E9, 0xA3EA, 0xA3EB, 0xA3EC, 0xA3ED, 0xA3EE, 0xA3EF, 0xA3F0, 0xA3F1, 0xA3F2, 0xA3F3,
      0xA3F4, 0xA3F5, 0xA3F6, 0xA3F7, 0xA3F8, 0xA3F9, 0xA3FA, 0xA1D0, 0xA1C3, 0xA1D1, 0xA1B1};
  static const std::map<uint16_t, char> kAscii = [] {
    std::map<uint16_t, char> m;
    for (int i = 0; i < 95; ++i) m[kForms[i]] = static_cast<char>(0x20 + i);
    return m;
  }();
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80 || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const auto a = kAscii.find(static_cast<uint16_t>(c << 8 | static_cast<unsigned char>(text[i + 1])));
    if (a != kAscii.end()) {
      out += a->second;
    } else {
      out.append(text, i, 2);
    }
    ++i;
  }
  return out;
}

class Checker {
 public:
  Checker(const BookPlan& plan, const CheckProgress& progress, const std::function<bool()>& stop)
      : plan_(plan), progress_(progress), stop_(stop) {
    for (size_t i = 0; i < plan.gaiji.size(); ++i) {
      names_[static_cast<int>(BookGaijiNumber(i))] = plan.gaiji[i].name;
    }
    eb_initialize_library();
    eb_initialize_book(&book_);
    eb_initialize_hookset(&hooks_);
    const EB_Hook hooks[] = {{EB_HOOK_WIDE_FONT, OnWideFont},
                             {EB_HOOK_END_REFERENCE, OnEndReference},
                             {EB_HOOK_BEGIN_KEYWORD, OnKeyword},
                             {EB_HOOK_END_KEYWORD, OnKeyword},
                             {EB_HOOK_NULL, nullptr}};
    eb_set_hooks(&hooks_, hooks);
  }
  ~Checker() {
    eb_finalize_hookset(&hooks_);
    eb_finalize_book(&book_);
    eb_finalize_library();
  }

  bool Open(const std::string& dir, std::string* error) {
    EB_Subbook_Code subbooks[EB_MAX_SUBBOOKS];
    int count = 0;
    EB_Error_Code e = eb_bind(&book_, dir.c_str());
    if (e == EB_SUCCESS) e = eb_subbook_list(&book_, subbooks, &count);
    if (e == EB_SUCCESS && count < 1) e = EB_ERR_NO_SUCH_SUB;
    if (e == EB_SUCCESS) e = eb_set_subbook(&book_, subbooks[0]);
    if (e != EB_SUCCESS) *error = dir + ": " + eb_error_message(e);
    return e == EB_SUCCESS;
  }

  // Reads from pos to the end of the stretch (or max bytes), with what the
  // hooks meet in *r. "" with a miss on an error.
  std::string Read(const EB_Position& pos, Reading* r, size_t max = 1 << 20) {
    EB_Position p = pos;
    if (eb_seek_text(&book_, &p) != EB_SUCCESS) return "";
    return ReadOn(r, max);
  }

  std::string ReadOn(Reading* r, size_t max) {
    std::string text;
    char buf[16384];
    ssize_t n = 0;
    while (text.size() < max) {
      if (eb_read_text(&book_, nullptr, &hooks_, r, sizeof buf - 1, buf, &n) != EB_SUCCESS) break;
      text.append(buf, static_cast<size_t>(n));
      if (eb_is_text_stopped(&book_) || n == 0) break;
    }
    return text;
  }

  void Miss(const std::string& what) { result_.misses.push_back(what); }

  // The entries, in order: heading, references and gaiji.
  void WalkText(const Manifest& m) {
    EB_Position pos;
    if (eb_text(&book_, &pos) != EB_SUCCESS || eb_seek_text(&book_, &pos) != EB_SUCCESS) {
      Miss("the book has no text");
      return;
    }
    const int64_t total = static_cast<int64_t>(m.entries.size());
    starts_.reserve(m.entries.size());
    for (size_t i = 0; i < m.entries.size() && !stop_(); ++i) {
      const ManifestPart& entry = m.entries[i];
      EB_Position here;
      starts_.push_back(eb_tell_text(&book_, &here) == EB_SUCCESS ? Linear(here) : -1);
      Reading r{&names_, {}, {}};
      const std::string text = ReadOn(&r, size_t{1} << 24);
      const size_t a = text.find(kKeywordStart), b = text.find(kKeywordEnd);
      const std::string heading = a != std::string::npos && b != std::string::npos && b > a
                                      ? text.substr(a + 1, b - a - 1)
                                      : "";
      if (FoldAscii(heading) != FoldAscii(entry.name)) {
        Miss("entry " + std::to_string(i + 1) + ": heading \"" + heading + "\", not \"" + entry.name + "\"");
      }
      CheckReferences("entry " + std::to_string(i + 1), entry, r);
      if (r.gaiji != entry.gaiji) Miss("entry " + std::to_string(i + 1) + ": its gaiji differ");
      ++result_.entries;
      if (i % 4096 == 0) progress_("entries", result_.entries, total);
      if (i + 1 < m.entries.size() && eb_forward_text(&book_, nullptr) != EB_SUCCESS) {
        Miss("the book ends after " + std::to_string(i + 1) + " of " + std::to_string(total) + " entries");
        return;
      }
    }
  }

  // The references a reading met against the manifest's; each must land
  // where the text its target had follows.
  void CheckReferences(const std::string& where, const ManifestPart& part, const Reading& r) {
    if (r.refs.size() != part.refs.size()) {
      Miss(where + ": " + std::to_string(r.refs.size()) + " references, not " +
           std::to_string(part.refs.size()));
      return;
    }
    for (size_t k = 0; k < r.refs.size(); ++k) {
      targets_.emplace(std::make_pair(r.refs[k].page, r.refs[k].offset), part.refs[k]);
      ++result_.references;
    }
  }

  void CheckTargets(const Manifest& m) {
    int64_t done = 0;
    const int64_t total = static_cast<int64_t>(targets_.size());
    for (const auto& t : targets_) {
      if (stop_()) return;
      if (++done % 4096 == 0) progress_("references", done, total);
      const auto snippet = m.snippets.find(t.second);
      if (snippet == m.snippets.end()) {
        Miss("reference to " + t.second + ": no such target");
        continue;
      }
      EB_Position pos;
      pos.page = t.first.first;
      pos.offset = t.first.second;
      Reading r{&names_, {}, {}};
      std::string text = Read(pos, &r, snippet->second.size() + 64);
      std::string plain;
      for (char c : text) {
        if (c != kKeywordStart && c != kKeywordEnd) plain += c;
      }
      const std::string expected = FoldAscii(snippet->second);
      plain = FoldAscii(plain);
      if (plain.compare(0, expected.size(), expected) != 0) {
        Miss("reference to " + t.second + " lands on \"" + plain.substr(0, expected.size()) +
             "\", not \"" + expected + "\"");
      }
    }
  }

  // The heading at a hit's heading position (read once per position).
  const std::string& HeadingAt(const EB_Position& pos) {
    auto found = headings_.find({pos.page, pos.offset});
    if (found != headings_.end()) return found->second;
    std::string heading;
    EB_Position p = pos;
    char buf[1024];
    ssize_t n = 0;
    Reading r{&names_, {}, {}};
    if (eb_seek_text(&book_, &p) == EB_SUCCESS &&
        eb_read_heading(&book_, nullptr, &hooks_, &r, sizeof buf - 1, buf, &n) == EB_SUCCESS) {
      heading.assign(buf, static_cast<size_t>(n));
    }
    return headings_[{pos.page, pos.offset}] = heading;
  }

  static int64_t Linear(const EB_Position& p) { return int64_t{p.page} * 2048 + p.offset; }

  // The entry the walk met a text position in. An entry's text begins with
  // its keyword: the walk stands after its start code (4 bytes) when it
  // begins an entry, while a search hit points before it.
  size_t EntryAt(const EB_Position& text) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), Linear(text) + 4);
    return after == starts_.begin() ? starts_.size() : static_cast<size_t>(after - starts_.begin() - 1);
  }

  // The hits of the last search, all of them.
  const std::vector<EB_Hit>& Hits() {
    hits_.clear();
    EB_Hit hits[64];
    int count = 0;
    while (eb_hit_list(&book_, 64, hits, &count) == EB_SUCCESS && count > 0) {
      hits_.insert(hits_.end(), hits, hits + count);
      if (count < 64) break;
    }
    return hits_;
  }

  // True when hits hold the entry: a hit in its text, or one whose heading
  // is its heading.
  bool HitsHold(const std::vector<EB_Hit>& hits, size_t entry, const std::string& heading) {
    for (const EB_Hit& hit : hits) {
      if (EntryAt(hit.text) == entry) return true;
    }
    for (const EB_Hit& hit : hits) {
      if (HeadingAt(hit.heading) == heading) return true;
    }
    return false;
  }

  bool Finds(EB_Error_Code (*search)(EB_Book*, const char*), const std::string& key, size_t entry,
             const std::string& heading) {
    return search(&book_, key.c_str()) == EB_SUCCESS && HitsHold(Hits(), entry, heading);
  }

  // The search words words[from, to) (a word and its entry's number), in
  // the order of the index: the pages the searches read follow each other.
  // A word that several entries share is searched once for all of them.
  // share: the part of all words these are (for the progress line).
  void CheckWords(const Manifest& m, const std::vector<std::pair<const std::string*, size_t>>& words,
                  size_t from, size_t to, double share) {
    const int64_t total = static_cast<int64_t>(words.size());
    for (size_t k = from, next; k < to && !stop_(); k = next) {
      const std::string& key = *words[k].first;
      next = k + 1;
      while (next < to && *words[next].first == key) ++next;
      const bool searched = eb_search_exactword(&book_, key.c_str()) == EB_SUCCESS;
      const std::vector<EB_Hit> hits = searched ? Hits() : std::vector<EB_Hit>();
      for (size_t w = k; w < next; ++w) {
        const size_t e = words[w].second;
        const ManifestPart& entry = m.entries[e];
        if (++result_.keys % 8192 == 0) {
          progress_("search words", static_cast<int64_t>(static_cast<double>(result_.keys) / share), total);
        }
        if (HitsHold(hits, e, entry.name)) continue;
        // The library's exact search cannot reach a word whose index page
        // follows one that ends in a prefix of it: a forward and a backward
        // search confirm it.
        if (Finds(eb_search_word, key, e, entry.name) && Finds(eb_search_endword, key, e, entry.name)) continue;
        Miss("entry " + std::to_string(e + 1) + " (" + entry.name + "): search word \"" + key +
             "\" not found");
      }
    }
  }

  void CheckGaiji() {
    if (plan_.gaiji.empty()) return;
    if (eb_set_font(&book_, EB_FONT_16) != EB_SUCCESS) {
      Miss("the book has no 16-dot gaiji");
      return;
    }
    for (size_t i = 0; i < plan_.gaiji.size(); ++i) {
      char bitmap[EB_SIZE_WIDE_FONT_16];
      ++result_.gaiji;
      if (eb_wide_font_character_bitmap(&book_, static_cast<int>(BookGaijiNumber(i)), bitmap) !=
          EB_SUCCESS) {
        Miss("gaiji " + plan_.gaiji[i].name + ": no glyph");
        continue;
      }
      Glyph16 read;
      for (size_t y = 0; y < 16; ++y) {
        read.rows[y] = static_cast<uint16_t>(static_cast<unsigned char>(bitmap[2 * y]) << 8 |
                                             static_cast<unsigned char>(bitmap[2 * y + 1]));
      }
      if (!(read == plan_.gaiji[i].glyph)) Miss("gaiji " + plan_.gaiji[i].name + ": not the glyph put in");
    }
  }

  // The menu: its items lead to the three pages; and the copyright notice.
  void CheckMenuAndCopyright(const Manifest& m) {
    EB_Position pos;
    const auto context = [&m](const std::string& name) {
      const auto c = m.contexts.find(name);
      return c == m.contexts.end() ? ManifestPart() : c->second;
    };
    if (eb_have_menu(&book_) && eb_menu(&book_, &pos) == EB_SUCCESS) {
      Reading top{&names_, {}, {}};
      Read(pos, &top);
      const ManifestPart menu = context("menu");
      CheckReferences("the menu", menu, top);
      const char* const pages[] = {"usage.html", "hanrei.html", "jo.html"};
      for (size_t i = 0; i < top.refs.size() && i < 3; ++i) {
        Reading page{&names_, {}, {}};
        Read(top.refs[i], &page);
        CheckReferences(pages[i], context(pages[i]), page);
      }
    } else {
      Miss("the book has no menu");
    }
    if (eb_have_copyright(&book_) && eb_copyright(&book_, &pos) == EB_SUCCESS) {
      Reading copy{&names_, {}, {}};
      const std::string text = Read(pos, &copy);
      CheckReferences("the copyright notice", context("oku.html"), copy);
      const auto snippet = m.snippets.find("copyright");
      const std::string expected = snippet == m.snippets.end() ? "" : FoldAscii(snippet->second);
      const std::string begins = FoldAscii(text).substr(0, expected.size());
      if (begins != expected) Miss("the copyright notice begins \"" + begins + "\"");
    } else {
      Miss("the book has no copyright notice");
    }
  }

  CheckResult& result() { return result_; }
  // Where another checker's walk began each entry.
  void TakeStarts(const Checker& walked) { starts_ = walked.starts_; }

 private:
  const BookPlan& plan_;
  const CheckProgress& progress_;
  const std::function<bool()>& stop_;
  std::map<int, std::string> names_;  // gaiji by the book's number
  EB_Book book_;
  EB_Hookset hooks_;
  std::map<std::pair<int, int>, std::string> headings_;
  std::vector<EB_Hit> hits_;
  std::vector<int64_t> starts_;  // where the walk began each entry
  std::set<std::pair<std::pair<int, int>, std::string>> targets_;
  CheckResult result_;
};

}  // namespace

CheckResult CheckBook(const std::string& book_dir, const Manifest& m, const BookPlan& plan,
                      const CheckProgress& progress, const std::function<bool()>& interrupted) {
  Checker checker(plan, progress, interrupted);
  if (!checker.Open(book_dir, &checker.result().error)) return checker.result();
  checker.WalkText(m);
  // The search words in the index's order, checked in two processes: a
  // second one, with the book opened on its own, takes the larger share;
  // this one the rest, then the menu, the references and the gaiji.
  std::vector<std::pair<const std::string*, size_t>> words;
  for (size_t i = 0; i < m.entries.size(); ++i) {
    for (const std::string& w : m.entries[i].words) words.emplace_back(&w, i);
  }
  std::sort(words.begin(), words.end(),
            [](const auto& a, const auto& b) { return *a.first < *b.first; });
  const size_t split = words.size() * 23 / 50;
  std::string other_misses;
  const bool other_done = RunBeside(
      [&] {
        const CheckProgress quiet = [](const char*, int64_t, int64_t) {};
        Checker other(plan, quiet, interrupted);
        std::string error, misses;
        if (!other.Open(book_dir, &error)) return error + "\n";
        other.TakeStarts(checker);
        other.CheckWords(m, words, split, words.size(), 0.54);
        for (const std::string& miss : other.result().misses) misses += miss + "\n";
        return misses;
      },
      [&] {
        checker.CheckWords(m, words, 0, split, 0.46);
        checker.CheckMenuAndCopyright(m);
        checker.CheckTargets(m);
        checker.CheckGaiji();
      },
      &other_misses);
  // A second process that ended otherwise (an interruption aside) has not
  // checked its words: that is no proof.
  if (!other_done && !interrupted()) {
    checker.Miss(std::to_string(words.size() - split) +
                 " search words: the process that checked them ended before its end");
  }
  for (size_t a = 0, b; (b = other_misses.find('\n', a)) != std::string::npos; a = b + 1) {
    checker.Miss(other_misses.substr(a, b - a));
  }
  checker.result().keys = static_cast<int64_t>(words.size());
  return checker.result();
}

}  // namespace hz
