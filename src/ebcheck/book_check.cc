#include "ebcheck/book_check.h"

#include <eb/defs.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/hex.h"
#include "core/utf8.h"
#include "ebcheck/eb_session.h"
#include "platform/book_system.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

// How much of a target's text a reference must land on.
constexpr size_t kSnippetCharacters = 12;
// The most characters the library takes in a search word.
constexpr size_t kMaxSearchCharacters = (EB_MAX_WORD_LENGTH - 1) / 2;
// One word in this many (by its text) is also searched backward.
constexpr uint64_t kBackwardSearchSample = 16;
// The percentage of the words the second process searches (this one also
// walks the entries).
constexpr int kSecondProcessShare = 56;

void PutJis(uint16_t jis, std::string* out) {
  *out += static_cast<char>(jis >> 8 | 0x80);
  *out += static_cast<char>((jis & 0xFF) | 0x80);
}

// The length of the marked item (a character or a mark) at s[i].
size_t ItemLength(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c == eb_mark::kGaijiMark) {
    const size_t end = s.find(eb_mark::kGaijiEnd, i);
    return end == std::string_view::npos ? s.size() - i : end + 1 - i;
  }
  if (c == eb_mark::kStyleOn || c == eb_mark::kStyleOff) return i + 1 < s.size() ? 2 : 1;
  if (c >= 0x80) return i + 1 < s.size() ? 2 : 1;
  return 1;
}

// The first n characters of plain canonical text (and the line ends among
// them).
std::string FirstCharacters(const std::string& plain, size_t n) {
  size_t i = 0;
  for (size_t chars = 0; i < plain.size() && chars < n; ++chars) i += ItemLength(plain, i);
  return plain.substr(0, i);
}

// The items (characters and marks) of canonical text.
std::vector<std::string> Items(const std::string& canonical) {
  std::vector<std::string> items;
  for (size_t i = 0; i < canonical.size();) {
    size_t len = ItemLength(canonical, i);
    if (canonical[i] == '\x1B' && i + 1 < canonical.size()) len = 2;  // a change of styles
    items.push_back(canonical.substr(i, len));
    i += len;
  }
  return items;
}

// An item for a message: a character in UTF-8, a gaiji as {gaiji HASH}, a line
// end as \n, a change of styles as [styles N], keywords as [keyword].
std::string ShownItem(const std::string& item) {
  const unsigned char c = static_cast<unsigned char>(item[0]);
  if (c >= 0x80 && item.size() == 2) {
    const uint32_t cp = UnicodeOfShiftJis(
        ShiftJisOfJis(static_cast<uint16_t>((c & 0x7F) << 8 | (static_cast<unsigned char>(item[1]) & 0x7F))));
    return cp != 0 ? Utf8Of(cp) : "?";
  }
  if (c == static_cast<unsigned char>(eb_mark::kGaijiMark)) {
    // A gaiji by a short hash of its glyph: two glyphs that differ show so.
    uint32_t h = 2166136261u;
    for (char b : item) h = (h ^ static_cast<unsigned char>(b)) * 16777619u;
    return "{gaiji " + Hex4(h & 0xFFFF) + "}";
  }
  if (c == '\n') return "\\n";
  if (c == 0x1B) return "[styles " + std::to_string(item.size() > 1 ? item[1] - '@' : 0) + "]";
  if (c < 0x20) return "[keyword]";
  return item;
}

std::string Shown(const std::vector<std::string>& items, size_t from, size_t n) {
  std::string out;
  for (size_t i = from; i < items.size() && i < from + n; ++i) out += ShownItem(items[i]);
  return out;
}

// "reads "...", not "..."" around where two canonical texts first differ.
std::string Difference(const std::string& got, const std::string& want) {
  const std::vector<std::string> g = Items(got), w = Items(want);
  size_t at = 0;
  while (at < g.size() && at < w.size() && g[at] == w[at]) ++at;
  const size_t from = at > 6 ? at - 6 : 0;
  return "reads \"" + Shown(g, from, 16) + "\", not \"" + Shown(w, from, 16) + "\"";
}

}  // namespace

// --- What the model should read as.

void ExpectedText::Glyph(const Glyph16& g, std::string* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  *out += eb_mark::kGaijiMark;
  *out += g.width == 8 ? 'n' : 'w';
  for (uint16_t row : g.rows) {
    // A narrow glyph holds only its middle eight columns.
    const uint16_t r = g.width == 8 ? static_cast<uint16_t>(row & 0x0FF0) : row;
    for (int shift = 12; shift >= 0; shift -= 4) *out += kDigits[r >> shift & 0xF];
  }
  *out += eb_mark::kGaijiEnd;
}

void ExpectedText::Character(uint32_t cp, uint32_t next, bool* both, std::string* out) {
  *both = false;
  if (cp >= 0x20 && cp < 0x7F) {
    *out += static_cast<char>(cp);
    return;
  }
  uint16_t jis = JisOfUnicode(cp);
  if (jis == 0) jis = JisOfHalfWidthKana(cp, next, both);
  if (jis != 0) {
    PutJis(jis, out);
    return;
  }
  const auto g = model_.glyphs.find(cp);
  Glyph(g != model_.glyphs.end() ? g->second : PlaceholderGlyph(cp), out);
}

void ExpectedText::Text(std::string_view text, std::string* out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    uint32_t cp, next = 0;
    p += ReadUtf8(p, end, &cp);
    const size_t n = p < end ? ReadUtf8(p, end, &next) : 0;
    bool both;
    Character(cp, next, &both, out);
    if (both) p += n;
  }
}

void ExpectedText::Runs(std::string_view content, std::string* out) {
  bool picture = false;
  size_t caption_from = 0;
  ForEachRun(content, [&](const Run& r) {
    switch (r.kind) {
      case Run::kText: Text(r.text, out); break;
      case Run::kGaiji: {
        const BookGaiji& g = model_.gaiji[r.index];
        bool both;
        if (g.character != 0 && (g.character < 0x80 || JisOfUnicode(g.character) != 0)) {
          Character(g.character, 0, &both, out);
        } else {
          Glyph(g.glyph, out);
        }
        break;
      }
      case Run::kStyleOn:
      case Run::kStyleOff:
        *out += r.kind == Run::kStyleOn ? eb_mark::kStyleOn : eb_mark::kStyleOff;
        *out += "bisu"[static_cast<int>(r.style)];
        break;
      case Run::kLineBreak: *out += '\n'; break;
      case Run::kLinkOn:
        *out += eb_mark::kLinkOn;
        links.push_back(r.index);
        break;
      case Run::kLinkOff: *out += eb_mark::kLinkOff; break;
      case Run::kAnchor: anchors.emplace_back(r.index, out->size()); break;
      case Run::kImageOn: {
        const ImageFormat f = model_.images[r.index].format;
        picture = f == ImageFormat::kJpeg || f == ImageFormat::kBmp;
        if (picture) {
          *out += eb_mark::kImageOn;
          pictures.push_back(r.index);
          caption_from = out->size();
        } else {
          PutJis(JisOfUnicode(0x3014), out);  // 〔, the caption of a picture the book lacks
        }
        break;
      }
      case Run::kImageOff:
        if (!picture) {
          PutJis(JisOfUnicode(0x3015), out);  // 〕
        } else {
          if (out->size() == caption_from) PutJis(JisOfUnicode(0x56F3), out);  // 図, for no caption
          *out += eb_mark::kImageOff;
        }
        break;
    }
  });
}

void ExpectedText::Entry(const BookPart& part, std::string* out) {
  links.clear();
  pictures.clear();
  anchors.clear();
  out->assign(1, eb_mark::kKeywordOn);
  Runs(model_.Heading(part), out);
  *out += eb_mark::kKeywordOff;
  *out += '\n';
  Runs(model_.Body(part), out);
  // An entry needs a character to end where the next begins.
  bool any = false;
  for (size_t i = 0; i < out->size() && !any; i += ItemLength(*out, i)) {
    const unsigned char c = static_cast<unsigned char>((*out)[i]);
    any = c >= 0x20 || c == static_cast<unsigned char>(eb_mark::kGaijiMark);
  }
  if (!any) PutJis(0x2121, out);
}

std::string Canonical(const std::string& marked, bool plain) {
  std::string out;
  CanonicalInto(marked, plain, &out);
  return out;
}

void CanonicalInto(std::string_view marked, bool plain, std::string* canonical) {
  std::string& out = *canonical;
  out.clear();
  out.reserve(marked.size());
  int styles[4] = {0, 0, 0, 0};
  int links = 0, pictures = 0;
  int last = 0;
  for (size_t i = 0; i < marked.size();) {
    const size_t len = ItemLength(marked, i);
    const char c = marked[i];
    switch (c) {
      case eb_mark::kKeywordOn:
      case eb_mark::kKeywordOff:
        if (!plain) out += c;
        break;
      case eb_mark::kStyleOn:
      case eb_mark::kStyleOff: {
        const char* s = len == 2 ? std::strchr("bisu", marked[i + 1]) : nullptr;
        if (s) styles[s - "bisu"] += c == eb_mark::kStyleOn ? 1 : -1;
        break;
      }
      case eb_mark::kLinkOn: ++links; break;
      case eb_mark::kLinkOff: --links; break;
      case eb_mark::kImageOn: ++pictures; break;
      case eb_mark::kImageOff: --pictures; break;
      case '\n': out += '\n'; break;
      default: {
        if (static_cast<unsigned char>(c) < 0x20 && c != eb_mark::kGaijiMark) break;
        int state = 0;
        for (int k = 0; k < 4; ++k) state |= styles[k] > 0 ? 1 << k : 0;
        state |= (links > 0 ? 16 : 0) | (pictures > 0 ? 32 : 0);
        if (!plain && state != last) {
          out += '\x1B';
          out += static_cast<char>('@' + state);
          last = state;
        }
        out.append(marked.data() + i, len);
        break;
      }
    }
    i += len;
  }

}

namespace {

// --- The checks.

class Checker {
 public:
  Checker(const BookModel& m, const CheckProgress& progress, const std::function<bool()>& stop)
      : m_(m), progress_(progress), stop_(stop), expected_(m) {}

  bool Open(const std::string& dir) {
    book_dir_ = dir;
    return eb_.Open(dir, &result_.error);
  }

  void Miss(const std::string& what) { result_.misses.push_back(what); }
  CheckResult& result() { return result_; }

  std::string Name(uint32_t part) const {
    return "entry " + std::to_string(part + 1) + " (" + m_.PlainHeading(m_.parts[part]) + ")";
  }

  // Compares what the book reads as with what the model says, and notes
  // what its references and pictures point at; where names the text (made
  // only for a miss).
  template <typename Where>
  void Compare(const Where& where, const std::string& expected, const Reading& r) {
    // The same marks in the same order read the same; only texts that
    // differ are reduced to what a reader shows and compared again.
    if (expected != r.text) {
      CanonicalInto(expected, false, &want_);
      CanonicalInto(r.text, false, &got_);
      if (want_ != got_) Miss(where() + ": " + Difference(got_, want_));
    }
    if (r.references.size() != expected_.links.size()) {
      Miss(where() + ": " + std::to_string(r.references.size()) + " references, not " +
           std::to_string(expected_.links.size()));
    } else {
      for (size_t k = 0; k < r.references.size(); ++k) landings_.emplace_back(r.references[k].linear(), expected_.links[k]);
      result_.references += static_cast<int64_t>(r.references.size());
    }
    if (r.pictures.size() != expected_.pictures.size()) {
      Miss(where() + ": " + std::to_string(r.pictures.size()) + " pictures, not " +
           std::to_string(expected_.pictures.size()));
    } else {
      for (size_t k = 0; k < r.pictures.size(); ++k) pictures_.emplace(r.pictures[k].linear(), expected_.pictures[k]);
    }
    const std::string& got = r.text;
    for (size_t i = got.find(eb_mark::kGaijiMark); i != std::string::npos; i = got.find(eb_mark::kGaijiMark, i + 1)) {
      const std::string_view mark(got.data() + i, ItemLength(got, i));
      if (gaiji_.find(mark) == gaiji_.end()) gaiji_.emplace(mark);
    }
  }

  // What the text after each anchor, or at each entry's start, begins with.
  void NoteSnippets(const std::string& expected, uint32_t entry_target) {
    if (entry_target == kNone && expected_.anchors.empty()) return;
    if (entry_target != kNone) {
      CanonicalInto(expected, true, &plain_);
      snippets_[entry_target] = FirstCharacters(plain_, kSnippetCharacters);
    }
    for (const auto& a : expected_.anchors) {
      CanonicalInto(std::string_view(expected).substr(a.second), true, &plain_);
      snippets_[a.first] = FirstCharacters(plain_, kSnippetCharacters);
    }
  }

  // The entries, in order.
  void Walk() {
    EbPosition pos;
    if (!eb_.TextStart(&pos) || !eb_.Seek(pos)) {
      Miss("the book has no text");
      return;
    }
    starts_.reserve(m_.entry_count);
    for (uint32_t i = 0; i < m_.entry_count && !stop_(); ++i) {
      const BookPart& part = m_.parts[i];
      starts_.push_back(eb_.Tell().linear());
      reading_.text.clear();
      reading_.references.clear();
      reading_.pictures.clear();
      if (!eb_.ReadOn(&reading_)) {
        Miss(Name(i) + ": cannot be read");
        return;
      }
      expected_.Entry(part, &expected_text_);
      Compare([this, i] { return Name(i); }, expected_text_, reading_);
      NoteSnippets(expected_text_, part.target);
      ++result_.entries;
      if (i % 4096 == 0) progress_("entries", result_.entries, m_.entry_count);
      if (i + 1 < m_.entry_count && !eb_.Forward()) {
        Miss("the book ends after " + std::to_string(i + 1) + " of " + std::to_string(m_.entry_count) + " entries");
        return;
      }
    }
    starts_.push_back(INT64_MAX);
  }

  // The menu: an item for each menu page, leading to the page; and the
  // copyright notice.
  void MenuAndCopyright() {
    std::vector<const BookPart*> pages;
    const BookPart* copyright = nullptr;
    for (const BookPart& p : m_.parts) {
      if (p.kind == PartKind::kMenuPage) pages.push_back(&p);
      if (p.kind == PartKind::kCopyright) copyright = &p;
    }
    EbPosition pos;
    Reading menu;
    if (!eb_.MenuStart(&pos) || !eb_.Seek(pos) || !eb_.ReadOn(&menu)) {
      Miss("the book has no menu");
    } else {
      std::string expected;
      for (const BookPart* p : pages) {
        expected += eb_mark::kLinkOn;
        expected_.links.clear();
        expected_.Runs(m_.Heading(*p), &expected);
        expected += eb_mark::kLinkOff;
        expected += '\n';
      }
      const std::string want = Canonical(expected), got = Canonical(menu.text);
      if (want != got) Miss("the menu: " + Difference(got, want));
      for (size_t i = 0; i < pages.size() && i < menu.references.size(); ++i) {
        Page("menu page " + std::to_string(i + 1), *pages[i], menu.references[i]);
      }
      result_.references += static_cast<int64_t>(std::min(pages.size(), menu.references.size()));
    }
    if (!copyright || !eb_.CopyrightStart(&pos)) {
      Miss("the book has no copyright notice");
    } else {
      Page("the copyright notice", *copyright, pos);
    }
  }

  void Page(const std::string& where, const BookPart& part, const EbPosition& at) {
    Reading r;
    expected_.links.clear();
    expected_.pictures.clear();
    expected_.anchors.clear();
    std::string expected;
    expected_.Runs(m_.Body(part), &expected);
    if (!eb_.Seek(at) || !eb_.ReadOn(&r)) {
      Miss(where + ": cannot be read");
      return;
    }
    Compare([&where] { return where; }, expected, r);
    NoteSnippets(expected, kNone);
  }

  // Every reference lands where its target's text begins.
  void Landings() {
    std::sort(landings_.begin(), landings_.end());
    landings_.erase(std::unique(landings_.begin(), landings_.end()), landings_.end());
    int64_t done = 0;
    for (const auto& l : landings_) {
      if (stop_()) return;
      if (++done % 4096 == 0) progress_("references", done, static_cast<int64_t>(landings_.size()));
      const BookTarget& t = m_.targets[l.second];
      // An entry's start, where the walk stood before reading it.
      if (!t.anchor && t.part < m_.entry_count && t.part < starts_.size() && starts_[t.part] == l.first) continue;
      const auto snippet = snippets_.find(l.second);
      const std::string name = "the reference to " + t.id;
      if (snippet == snippets_.end()) {
        Miss(name + ": its target is not in the book");
        continue;
      }
      Reading r;
      const EbPosition pos{static_cast<int>(l.first / 2048), static_cast<int>(l.first % 2048)};
      if (!eb_.Seek(pos) || !eb_.ReadOn(&r, 1024)) {
        Miss(name + ": lands nowhere");
        continue;
      }
      const std::string got = Canonical(r.text, true);
      if (got.compare(0, snippet->second.size(), snippet->second) != 0) {
        Miss(name + " lands on text that " + Difference(FirstCharacters(got, kSnippetCharacters), snippet->second));
      }
    }
  }

  void Pictures() {
    for (const auto& p : pictures_) {
      const EbPosition pos{static_cast<int>(p.first / 2048), static_cast<int>(p.first % 2048)};
      if (eb_.Picture(pos) != m_.images[p.second].data) Miss("the picture " + m_.images[p.second].src + ": not its file");
    }
  }

  // The entry whose text holds the position.
  uint32_t EntryAt(const EbPosition& p) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), p.linear());
    return after == starts_.begin() ? kNone : static_cast<uint32_t>(after - starts_.begin() - 1);
  }

  // The entries hits stand in (text and heading both in the entry), sorted.
  std::vector<uint32_t> EntriesOf(const std::vector<EbHit>& hits) const {
    std::vector<uint32_t> entries;
    for (const EbHit& h : hits) {
      const uint32_t e = EntryAt(h.text);
      if (e == kNone) continue;
      const int64_t heading = h.heading.linear();
      if (heading >= starts_[e] && (e + 1 == starts_.size() || heading < starts_[e + 1])) entries.push_back(e);
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
  }

  // A search word or a marker as the library is asked for it: EUC-JP, the
  // first 127 characters JIS X 0208 holds.
  struct Query {
    uint64_t hash;    // of the marker flag and the EUC-JP word
    uint32_t at;      // the EUC-JP word in the pool
    uint32_t size;
    uint32_t entry;
    uint32_t word;    // in the model's words or markers
    bool marker;
  };
  struct Queries {
    std::string pool;
    std::vector<Query> list;
    std::string_view Word(const Query& q) const { return {pool.data() + q.at, q.size}; }
  };

  // The searches of the queries: a word that several entries share is
  // searched once for all of them. A word's exact search must find its
  // entries, and so must a marker's keyword search. A word search must
  // begin with the same hits as the exact search (a word comes before the
  // longer words it begins), and so must a backward search for one word in
  // kBackwardSearchSample (the backward index is the forward one's code on
  // reversed keys).
  void Searches(const Queries& queries) {
    static const char* const kNames[] = {"exact search", "word search", "backward search", "keyword search"};
    const std::vector<Query>& list = queries.list;
    const int64_t total = static_cast<int64_t>(list.size());
    for (size_t k = 0, next; k < list.size() && !stop_(); k = next) {
      const Query& q = list[k];
      const std::string word(queries.Word(q));
      next = k + 1;
      while (next < list.size() && list[next].hash == q.hash && queries.Word(list[next]) == word) ++next;
      const EbSearch first = q.marker ? EbSearch::kKeyword : EbSearch::kExact;
      const std::vector<EbHit> hits = eb_.Search(first, word) ? eb_.Hits() : std::vector<EbHit>();
      const std::vector<uint32_t> found = EntriesOf(hits);
      for (size_t w = k; w < next; ++w) {
        if (std::binary_search(found.begin(), found.end(), list[w].entry)) continue;
        Miss(Name(list[w].entry) + ": " + (q.marker ? "marker" : "search word") + " \"" + Shown(list[w]) +
             "\" not found by " + kNames[static_cast<int>(first)]);
      }
      for (EbSearch how : {EbSearch::kWord, EbSearch::kEndWord}) {
        if (q.marker || hits.empty() || (how == EbSearch::kEndWord && (q.hash >> 32) % kBackwardSearchSample != 0)) {
          break;
        }
        const std::vector<EbHit> more = eb_.Search(how, word) ? eb_.Hits(hits.size()) : std::vector<EbHit>();
        if (EntriesOf(more) != found) {
          Miss(Name(q.entry) + ": search word \"" + Shown(q) + "\" not found by " + kNames[static_cast<int>(how)]);
        }
      }
      result_.keys += static_cast<int64_t>(next - k);
      if ((k / 8192) != (next / 8192)) progress_("search words", result_.keys, total);
    }
  }

  std::string Shown(const Query& q) const {
    return std::string(m_.Word(q.marker ? m_.markers[q.word] : m_.words[q.word]));
  }

  // The search words and markers of the entries whose share (a number
  // from 0 to 99 that a word's text gives) is in [from, to), grouped: the
  // same word together.
  Queries QueriesOf(int from, int to) const {
    Queries q;
    std::vector<uint16_t> jis;
    const auto add = [&](const std::vector<BookWord>& words, uint32_t i, bool marker) {
      const std::string_view text = m_.Word(words[i]);
      uint64_t share = 0xCBF29CE484222325u;
      for (char c : text) share = (share ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
      if (static_cast<int>(share % 100) < from || static_cast<int>(share % 100) >= to) return;
      JisOfText(text, kMaxSearchCharacters, &jis);
      if (std::all_of(jis.begin(), jis.end(), [](uint16_t c) { return c == 0x2121; })) return;
      Query query;
      query.at = static_cast<uint32_t>(q.pool.size());
      for (uint16_t c : jis) PutJis(c, &q.pool);
      query.size = static_cast<uint32_t>(q.pool.size() - query.at);
      query.hash = marker ? 1 : 0;
      for (size_t k = query.at; k < q.pool.size(); ++k) {
        query.hash = (query.hash ^ static_cast<unsigned char>(q.pool[k])) * 0x100000001B3u;
      }
      query.entry = words[i].part;
      query.word = i;
      query.marker = marker;
      q.list.push_back(query);
    };
    for (uint32_t i = 0; i < m_.words.size(); ++i) add(m_.words, i, false);
    for (uint32_t i = 0; i < m_.markers.size(); ++i) add(m_.markers, i, true);
    std::sort(q.list.begin(), q.list.end(), [](const Query& a, const Query& b) {
      return a.hash != b.hash ? a.hash < b.hash : a.entry < b.entry;
    });
    return q;
  }

  // Where each entry begins, stepping from entry to entry without reading
  // the text (a second process's own, while the first walks).
  bool Starts() {
    EbPosition pos;
    if (!eb_.TextStart(&pos) || !eb_.Seek(pos)) return false;
    starts_.reserve(m_.entry_count + 1);
    for (uint32_t i = 0; i < m_.entry_count && !stop_(); ++i) {
      starts_.push_back(eb_.Tell().linear());
      if (i + 1 < m_.entry_count && !eb_.Forward()) return false;
    }
    starts_.push_back(INT64_MAX);
    return true;
  }

  int64_t gaiji() const { return static_cast<int64_t>(gaiji_.size()); }

 private:
  const BookModel& m_;
  const CheckProgress& progress_;
  const std::function<bool()>& stop_;
  std::string book_dir_;
  EbSession eb_;
  ExpectedText expected_;
  CheckResult result_;
  std::vector<int64_t> starts_;  // where the walk began each entry
  std::vector<std::pair<int64_t, uint32_t>> landings_;  // reference position, target
  Reading reading_;
  std::string expected_text_, want_, got_, plain_;
  std::map<int64_t, uint32_t> pictures_;         // picture position, image
  std::unordered_map<uint32_t, std::string> snippets_;  // by target
  std::set<std::string, std::less<>> gaiji_;
};

}  // namespace

CheckResult CheckEpwingBook(const std::string& book_dir, const BookModel& model, const CheckProgress& progress,
                            const std::function<bool()>& interrupted) {
  Checker checker(model, progress, interrupted);
  // Two processes, each with the book opened on its own: a second one
  // steps through the entries for where they begin and searches most of
  // the words; this one walks the entries, reading them, and searches the
  // other words, then checks the menu, the references and the pictures.
  const int split = kSecondProcessShare;
  std::string other;
  const bool other_done = RunBeside(
      [&] {
        const CheckProgress quiet = [](const char*, int64_t, int64_t) {};
        Checker second(model, quiet, interrupted);
        if (!second.Open(book_dir)) return second.result().error + "\n";
        if (!second.Starts()) return std::string("the book's entries cannot be stepped through\n");
        const Checker::Queries queries = second.QueriesOf(0, split);
        second.Searches(queries);
        std::string said = std::to_string(second.result().keys) + "\n";
        for (const std::string& miss : second.result().misses) said += miss + "\n";
        return said;
      },
      [&] {
        // Opened here, after the second process began: each process reads
        // the book through files of its own.
        if (!checker.Open(book_dir)) return;
        checker.Walk();
        const Checker::Queries queries = checker.QueriesOf(split, 100);
        checker.Searches(queries);
        checker.MenuAndCopyright();
        checker.Landings();
        checker.Pictures();
      },
      &other);
  // A second process that ended otherwise (an interruption aside) has not
  // checked its words: that is no proof.
  CheckResult& r = checker.result();
  if (!r.error.empty()) return r;
  const size_t first_line = other.find('\n');
  if (!other_done || first_line == std::string::npos) {
    if (!interrupted()) checker.Miss("the search words of the second process: it ended before its end");
  } else {
    r.keys += std::stoll(other.substr(0, first_line));
    for (size_t a = first_line + 1, b; (b = other.find('\n', a)) != std::string::npos; a = b + 1) {
      checker.Miss(other.substr(a, b - a));
    }
  }
  r.gaiji = checker.gaiji();
  return r;
}

}  // namespace hz
