#include "model/model_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <set>
#include <utility>
#include <vector>

#include "core/utf8.h"
#include "data/dict_file.h"
#include "data/gaiji_table.h"
#include "model/gaiji_xml.h"
#include "model/model_text.h"
#include "pages/page_tokens.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/mapped_file.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

// An identifier of a page: the page's index and the identifier, a view of
// the page's bytes.
struct PageId {
  uint8_t page;
  std::string_view id;
  bool operator==(const PageId& o) const { return page == o.page && id == o.id; }
};

// An identifier as the pages met it: defined by a <dt id> or an anchor,
// referenced by a link, or both.
struct Identifier {
  PageId where;
  uint32_t part = kNone;
  bool anchor = false;
  bool referenced = false;
};

// The identifiers met, found by their page and name: an open-addressing
// table of hashes, with short names kept in the table itself (the pages hold
// hundreds of thousands of identifiers, met in no order, and a lookup should
// touch one place in memory).
class IdentifierTable {
 public:
  // The index of the identifier, made when it is new.
  uint32_t Find(const PageId& id) {
    if (2 * (ids_.size() + 1) > slots_.size()) Grow();
    const uint64_t h = Hash(id);
    const bool inline_name = id.id.size() <= sizeof(Slot::name);
    for (size_t i = h & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      Slot& s = slots_[i];
      if (s.index == 0) {
        s.hash = h;
        s.index = static_cast<uint32_t>(ids_.size() + 1);
        s.size = static_cast<uint8_t>(inline_name ? id.id.size() : 0xFF);
        s.page = id.page;
        if (inline_name) std::memcpy(s.name, id.id.data(), id.id.size());
        Identifier ident;
        ident.where = id;
        ids_.push_back(ident);
        return s.index - 1;
      }
      if (s.hash != h) continue;
      if (inline_name ? s.size == id.id.size() && s.page == id.page && std::memcmp(s.name, id.id.data(), s.size) == 0
                      : ids_[s.index - 1].where == id) {
        return s.index - 1;
      }
    }
  }
  Identifier& operator[](uint32_t i) { return ids_[i]; }
  const std::vector<Identifier>& all() const { return ids_; }

 private:
  struct Slot {
    uint64_t hash;   // of the page and the name
    uint32_t index;  // the identifier's index + 1; 0 for an empty slot
    uint8_t size;    // the name's length, 0xFF when it is not kept here
    uint8_t page;
    char name[10];
  };
  static uint64_t Hash(const PageId& id) {
    uint64_t h = 0xCBF29CE484222325u ^ id.page;
    for (char c : id.id) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return h ^ (h >> 29);
  }
  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2, Slot{0, 0, 0, 0, {}});
    old.swap(slots_);
    for (const Slot& s : old) {
      if (s.index == 0) continue;
      size_t i = s.hash & (slots_.size() - 1);
      while (slots_[i].index != 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;
  std::vector<Identifier> ids_;
};

void PutIndex(char code, uint32_t index, std::string* out) {
  const char bytes[5] = {code, static_cast<char>(index & 0xFF), static_cast<char>(index >> 8 & 0xFF),
                         static_cast<char>(index >> 16 & 0xFF), static_cast<char>(index >> 24)};
  out->append(bytes, 5);
}

void PutIndexAt(char* at, uint32_t index) {
  at[0] = static_cast<char>(index & 0xFF);
  at[1] = static_cast<char>(index >> 8 & 0xFF);
  at[2] = static_cast<char>(index >> 16 & 0xFF);
  at[3] = static_cast<char>(index >> 24);
}

// The length in bytes of the stored run at c[r]: a text run up to the next
// run of another kind, or to end.
size_t RunLength(const std::string& c, size_t r, size_t end) {
  switch (c[r]) {
    case run_code::kStyleOn:
    case run_code::kStyleOff: return 2;
    case run_code::kLinkOn:
    case run_code::kAnchor:
    case run_code::kImageOn:
    case run_code::kGaiji: return 5;
    case run_code::kLinkOff:
    case run_code::kImageOff:
    case run_code::kLineBreak: return 1;
    default: break;
  }
  size_t e = r + 1;
  while (e < end && static_cast<unsigned char>(c[e]) >= 0x20) ++e;
  return e - r;
}

uint32_t IndexAt(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(u[0]) | static_cast<uint32_t>(u[1]) << 8 | static_cast<uint32_t>(u[2]) << 16 |
         static_cast<uint32_t>(u[3]) << 24;
}

int PageIndex(std::string_view file_name) {
  for (size_t i = 0; i < std::size(kBookPages); ++i) {
    if (file_name == kBookPages[i].file_name) return static_cast<int>(i);
  }
  return -1;
}

// The styles and the link open in the heading or body being read, kept
// nested: what is closed out of order closes and reopens what was opened
// after it.
class OpenRuns {
 public:
  explicit OpenRuns(std::string* content) : content_(content) {}

  void Style(Style s, bool on) {
    const int k = static_cast<int>(s);
    if (on) {
      if (IsOpen(Item{false, s, 0})) {
        ++ignored_[k];  // the same style again: nothing until it closes again
        return;
      }
      Open(Item{false, s, 0});
    } else if (ignored_[k] > 0) {
      --ignored_[k];
    } else {
      Close([s](const Item& i) { return !i.link && i.style == s; });
    }
  }
  void LinkOn(uint32_t target) {
    LinkOff();  // a second link replaces the first
    Open(Item{true, Style::kBold, target});
  }
  void LinkOff() {
    Close([](const Item& i) { return i.link; });
  }
  void CloseAll() {
    while (!open_.empty()) {
      Put(open_.back(), false);
      open_.pop_back();
    }
    std::fill(std::begin(ignored_), std::end(ignored_), 0);
  }

 private:
  struct Item {
    bool link;
    hz::Style style;
    uint32_t target;
  };
  bool IsOpen(const Item& item) const {
    return std::any_of(open_.begin(), open_.end(),
                       [&item](const Item& i) { return i.link == item.link && (i.link || i.style == item.style); });
  }
  void Put(const Item& i, bool on) {
    if (i.link) {
      if (on) {
        PutIndex(run_code::kLinkOn, i.target, content_);
      } else {
        *content_ += run_code::kLinkOff;
      }
    } else {
      *content_ += on ? run_code::kStyleOn : run_code::kStyleOff;
      *content_ += static_cast<char>(i.style);
    }
  }
  void Open(const Item& i) {
    open_.push_back(i);
    Put(i, true);
  }
  template <typename Match>
  void Close(Match match) {
    size_t at = open_.size();
    while (at > 0 && !match(open_[at - 1])) --at;
    if (at == 0) return;
    const std::vector<Item> above(open_.begin() + static_cast<std::ptrdiff_t>(at), open_.end());
    for (size_t i = open_.size(); i >= at; --i) Put(open_[i - 1], false);
    open_.resize(at - 1);
    for (const Item& i : above) Open(i);
  }

  std::string* content_;
  std::vector<Item> open_;
  int ignored_[kStyleCount] = {};
};

class PageReader {
 public:
  PageReader(BookModel* model, ModelText* text, const SearchSettings& settings)
      : m_(model), text_(text), settings_(settings), open_(&model->content) {}

  void ReadPage(uint8_t page, std::string_view bytes) {
    page_ = page;
    const BookPage& p = kBookPages[page];
    entries_ = p.kind != PageKind::kSection;
    place_ = Place::kHead;
    in_alt_ = false;
    in_title_ = false;
    title_.clear();
    a_kinds_.clear();
    text_->BeginPage(p.file_name, bytes);
    if (!entries_) BeginSection();
    PageTokens tokens(bytes);
    for (PageToken t = tokens.Next(); t.kind != PageToken::kEnd; t = tokens.Next()) Token(t);
    if (place_ == Place::kTerm) FinishHeading();
    FinishPart();
  }

  void Finish();
  void Compact(const std::vector<uint32_t>& kept);
  void CompactRange(const std::vector<uint32_t>& kept, uint64_t from, uint64_t size, size_t* w);

 private:
  enum class Place { kHead, kOut, kTerm, kDefinition, kPage };

  // --- Parts.

  void BeginPart(PartKind kind) {
    FinishPart();
    BookPart part;
    part.kind = kind;
    part.page = page_;
    part.heading_at = m_->content.size();
    part.words_begin = part.words_end = static_cast<uint32_t>(m_->words.size());
    part.markers_begin = part.markers_end = static_cast<uint32_t>(m_->markers.size());
    m_->parts.push_back(part);
    in_part_ = true;
    in_heading_ = true;
    term_.clear();
    words_.clear();
    markers_.clear();
    reading_ = -1;
  }

  // A section page: oku is the copyright notice, the others make the menu.
  void BeginSection() {
    const bool copyright = std::strcmp(kBookPages[page_].file_name, "oku.html") == 0;
    BeginPart(copyright ? PartKind::kCopyright : PartKind::kMenuPage);
    // The heading is the page's title, stored when the page is read.
    EndHeading();
  }

  BookPart& part() { return m_->parts.back(); }

  // A picture whose caption a heading or body leaves open (its '">' never
  // came) ends with it.
  void EndPicture() {
    if (in_alt_) m_->content += run_code::kImageOff;
    in_alt_ = false;
  }

  // The heading is complete: what it left open is closed, the body begins.
  void EndHeading() {
    if (!in_heading_) return;
    EndPicture();
    open_.CloseAll();
    part().heading_size = static_cast<uint32_t>(m_->content.size() - part().heading_at);
    part().body_at = m_->content.size();
    in_heading_ = false;
  }

  void FinishHeading() {
    EndHeading();
    HeadingWords();
    place_ = Place::kDefinition;
  }

  void FinishPart() {
    if (!in_part_) return;
    in_part_ = false;
    EndHeading();
    EndPicture();
    open_.CloseAll();
    BookPart& p = part();
    p.body_size = m_->content.size() - p.body_at;
    if (!entries_) SectionTitle(&p);
    const uint32_t index = static_cast<uint32_t>(m_->parts.size() - 1);
    for (size_t i = 0; i < words_.size(); ++i) {
      if (static_cast<int>(i) == reading_) p.reading = static_cast<uint32_t>(m_->words.size());
      AddWord(words_[i], index, &m_->words);
    }
    p.words_end = static_cast<uint32_t>(m_->words.size());
    for (const std::string& w : markers_) AddWord(w, index, &m_->markers);
    p.markers_end = static_cast<uint32_t>(m_->markers.size());
  }

  // A section's heading is its page's title, kept apart from the body: its
  // runs are stored after the body.
  void SectionTitle(BookPart* p) {
    p->heading_at = m_->content.size();
    text_->AppendContent(title_, &m_->content);
    p->heading_size = static_cast<uint32_t>(m_->content.size() - p->heading_at);
  }

  void AddWord(const std::string& w, uint32_t part, std::vector<BookWord>* to) {
    BookWord word;
    word.at = static_cast<uint32_t>(m_->word_text.size());
    word.size = static_cast<uint32_t>(w.size());
    word.part = part;
    m_->word_text += w;
    to->push_back(word);
  }

  // --- Words.

  // A search word of the entry: delChars left out, spaces trimmed; a
  // StopWord, an empty word or one the entry has already is none.
  int Word(std::string_view sjis, std::vector<std::string>* list) {
    std::string w = text_->Word(sjis);
    if (w.empty()) return -1;
    std::string lower = w;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (settings_.stop_words.count(lower)) return -1;
    const auto found = std::find(list->begin(), list->end(), w);
    if (found != list->end()) return static_cast<int>(found - list->begin());
    list->push_back(std::move(w));
    return static_cast<int>(list->size() - 1);
  }

  // The heading's words: the text before kanaSep1 (the reading), and the
  // text between each kanaSep1 and the kanaSep2 after it. A kanaSep2 before
  // any kanaSep1 ends the text before.
  void HeadingWords() {
    std::string before, inside;
    std::vector<std::string> pairs;
    int state = 0;  // 0 before the first kanaSep1, 1 inside a pair, 2 after one
    const std::string& sep1 = settings_.kana_sep1;
    const std::string& sep2 = settings_.kana_sep2;
    for (size_t i = 0; i < term_.size();) {
      const unsigned char c = static_cast<unsigned char>(term_[i]);
      const size_t n = IsLeadByte(c) && i + 1 < term_.size() ? 2 : 1;
      if (term_.compare(i, sep1.size(), sep1) == 0) {
        state = 1;
        inside.clear();
        i += sep1.size();
        continue;
      }
      if (term_.compare(i, sep2.size(), sep2) == 0) {
        if (state == 1) pairs.push_back(inside);
        state = 2;
        i += sep2.size();
        continue;
      }
      if (state == 0) before.append(term_, i, n);
      if (state == 1) inside.append(term_, i, n);
      i += n;
    }
    reading_ = Word(before, &words_);
    for (const std::string& w : pairs) Word(w, &words_);
  }

  // --- Identifiers.

  uint32_t IdentifierOf(uint8_t page, std::string_view id) { return identifiers_.Find(PageId{page, id}); }

  // An identifier defined here: true when this is its first definition.
  bool Define(std::string_view id, bool anchor, uint32_t* index) {
    *index = IdentifierOf(page_, id);
    Identifier& ident = identifiers_[*index];
    if (ident.part != kNone) return false;
    ident.part = static_cast<uint32_t>(m_->parts.size() - 1);
    ident.anchor = anchor;
    return true;
  }

  // The identifier a link's href points at: "#ID" on this page, "PAGE#ID"
  // on another of the six; false for anything else.
  bool LinkTarget(std::string_view href, uint32_t* index) {
    const size_t hash = href.find('#');
    if (hash == std::string_view::npos) return false;
    const int page = hash == 0 ? page_ : PageIndex(href.substr(0, hash));
    if (page < 0) return false;
    *index = IdentifierOf(static_cast<uint8_t>(page), href.substr(hash + 1));
    identifiers_[*index].referenced = true;
    return true;
  }

  // --- Tokens.

  bool InText() const { return place_ == Place::kTerm || place_ == Place::kDefinition || place_ == Place::kPage; }
  bool InEntry() const { return entries_ && in_part_ && place_ != Place::kOut && place_ != Place::kHead; }

  void Text(std::string_view t) {
    if (in_title_) title_ += t;
    if (!InText()) return;
    if (place_ == Place::kTerm && !in_alt_) term_ += t;
    text_->AppendContent(t, &m_->content);
  }

  void Anchor(std::string_view attributes) {
    bool has_name = false;
    const std::string_view name = AttributeValue(attributes, "name", &has_name);
    bool has_href = false;
    const std::string_view href = AttributeValue(attributes, "href", &has_href);
    uint32_t target;
    if (has_name && !name.empty()) {
      a_kinds_.push_back(false);
      if (InText() && Define(name, true, &target)) PutIndex(run_code::kAnchor, target, &m_->content);
    } else if (has_href && !in_alt_ && InText() && LinkTarget(href, &target)) {
      a_kinds_.push_back(true);
      open_.LinkOn(target);
    } else {
      a_kinds_.push_back(false);
    }
  }

  void EndAnchor() {
    if (a_kinds_.empty()) return;
    const bool link = a_kinds_.back();
    a_kinds_.pop_back();
    if (link && InText()) open_.LinkOff();
  }

  void Markup(const PageToken& t) {
    static const struct {
      const char* name;
      Style style;
    } kStyles[] = {{"b", Style::kBold}, {"i", Style::kItalic}, {"sub", Style::kSubscript}, {"sup", Style::kSuperscript}};
    for (const auto& s : kStyles) {
      if (t.Is(s.name)) {
        if (InText()) open_.Style(s.style, !t.closing);
        return;
      }
    }
    if (t.Is("br")) {
      // The heading is one line: a break in it is passed over.
      if (place_ == Place::kDefinition || place_ == Place::kPage) m_->content += run_code::kLineBreak;
    } else if (t.Is("a")) {
      t.closing ? EndAnchor() : Anchor(t.attributes);
    } else if (t.Is("h1") && place_ == Place::kPage) {
      open_.Style(Style::kBold, !t.closing);
      if (t.closing) m_->content += run_code::kLineBreak;
    }
  }

  void BeginEntry(const PageToken& t) {
    if (place_ == Place::kTerm) FinishHeading();
    BeginPart(page_ == static_cast<uint8_t>(&PageOf(PageKind::kKanji) - kBookPages) ? PartKind::kKanjiEntry
                                                                                     : PartKind::kMainEntry);
    place_ = Place::kTerm;
    a_kinds_.clear();
    bool has_id = false;
    const std::string_view id = AttributeValue(t.attributes, "id", &has_id);
    uint32_t target;
    if (has_id && Define(id, false, &target)) part().target = target;
  }

  void Element(const PageToken& t) {
    if (in_alt_) {
      // Inside an image's caption only anchors count.
      if (t.Is("a")) t.closing ? EndAnchor() : Anchor(t.attributes);
      return;
    }
    if (t.Is("title")) {
      in_title_ = !t.closing && place_ == Place::kHead;
    } else if (t.Is("body")) {
      if (t.closing) return;
      // A heading cut short by a second <body> is still complete.
      if (place_ == Place::kTerm) FinishHeading();
      place_ = entries_ ? Place::kOut : Place::kPage;
    } else if (place_ == Place::kHead) {
      // The page head holds no text of the book.
    } else if (entries_ && t.Is("dt") && !t.closing) {
      BeginEntry(t);
    } else if (place_ == Place::kTerm && t.closing && (t.Is("dt") || t.Is("dd") || t.Is("dl"))) {
      FinishHeading();
      if (t.Is("dl")) EndList();
    } else if (entries_ && t.Is("dd") && t.closing) {
      open_.CloseAll();
    } else if (entries_ && t.Is("dl") && t.closing) {
      EndList();
    } else {
      Markup(t);
    }
  }

  void EndList() {
    FinishPart();
    place_ = Place::kOut;
  }

  void Comment(std::string_view text) {
    // " {MUL2001} " and " {KAKU12} ": the entry's markers.
    if (!InEntry()) return;
    const size_t open = text.find('{'), close = text.rfind('}');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
      Word(text.substr(open + 1, close - open - 1), &markers_);
    }
  }

  void Image(std::string_view src) {
    if (!InText()) return;
    const std::string key(src);
    auto found = images_.find(key);
    if (found == images_.end()) {
      found = images_.emplace(key, static_cast<uint32_t>(m_->images.size())).first;
      BookImage image;
      image.src = key;
      m_->images.push_back(std::move(image));
    }
    PutIndex(run_code::kImageOn, found->second, &m_->content);
    in_alt_ = true;
  }

  void Token(const PageToken& t) {
    switch (t.kind) {
      case PageToken::kText: Text(t.text); break;
      case PageToken::kKey:
        if (InEntry()) Word(t.text, &words_);
        break;
      case PageToken::kComment: Comment(t.text); break;
      case PageToken::kImage: Image(t.text); break;
      case PageToken::kAltEnd:
        if (in_alt_) m_->content += run_code::kImageOff;
        in_alt_ = false;
        break;
      case PageToken::kElement: Element(t); break;
      case PageToken::kEnd: break;
    }
  }

  BookModel* m_;
  ModelText* text_;
  const SearchSettings& settings_;
  OpenRuns open_;

  uint8_t page_ = 0;
  bool entries_ = false;
  Place place_ = Place::kHead;
  bool in_part_ = false, in_heading_ = false, in_alt_ = false, in_title_ = false;
  std::vector<bool> a_kinds_;  // the open <a>: a link or not
  std::string title_;          // the page's <title> (Shift-JIS)
  std::string term_;           // the heading's text (Shift-JIS)
  std::vector<std::string> words_, markers_;
  int reading_ = -1;

  IdentifierTable identifiers_;
  std::unordered_map<std::string, uint32_t> images_;
};

// The linked targets stay, numbered anew; the runs of the others go, the
// text of their links staying. Content only shrinks, so it is compacted in
// place, part by part in the order it was stored.
void PageReader::Finish() {
  const std::vector<Identifier>& all = identifiers_.all();
  std::vector<uint32_t> kept(all.size(), kNone);
  for (size_t i = 0; i < all.size(); ++i) {
    const Identifier& ident = all[i];
    if (!ident.referenced || ident.part == kNone) continue;
    kept[i] = static_cast<uint32_t>(m_->targets.size());
    BookTarget t;
    t.page = ident.where.page;
    t.id = std::string(ident.where.id);
    t.part = ident.part;
    t.anchor = ident.anchor;
    m_->targets.push_back(std::move(t));
  }
  Compact(kept);
  for (BookPart& p : m_->parts) {
    if (p.target != kNone) p.target = kept[p.target];
  }
  m_->entry_count = static_cast<uint32_t>(
      std::count_if(m_->parts.begin(), m_->parts.end(),
                    [](const BookPart& p) { return p.kind == PartKind::kMainEntry || p.kind == PartKind::kKanjiEntry; }));
}

// Moves the runs of [from, from + size) of the content to *w, leaving out
// the links and anchors of targets not kept (a link's text stays).
void PageReader::CompactRange(const std::vector<uint32_t>& kept, uint64_t from, uint64_t size, size_t* w) {
  std::string& c = m_->content;
  bool dropped_link = false;
  for (size_t r = from; r < from + size;) {
    const char code = c[r];
    if (code == run_code::kLinkOn || code == run_code::kAnchor) {
      const uint32_t target = kept[IndexAt(&c[r + 1])];
      if (target == kNone) {
        dropped_link = code == run_code::kLinkOn;
      } else {
        c[*w] = code;
        PutIndexAt(&c[*w + 1], target);
        *w += 5;
      }
      r += 5;
    } else if (code == run_code::kLinkOff && dropped_link) {
      dropped_link = false;
      ++r;
    } else {
      const size_t n = RunLength(c, r, from + size);
      std::memmove(&c[*w], &c[r], n);
      *w += n;
      r += n;
    }
  }
}

// The headings and bodies compacted in the order they were stored (a
// section's title follows its body).
void PageReader::Compact(const std::vector<uint32_t>& kept) {
  std::vector<std::pair<uint64_t, std::pair<BookPart*, bool>>> ranges;
  for (BookPart& p : m_->parts) {
    ranges.push_back({p.heading_at, {&p, true}});
    ranges.push_back({p.body_at, {&p, false}});
  }
  std::stable_sort(ranges.begin(), ranges.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  size_t w = 0;
  for (const auto& range : ranges) {
    BookPart* p = range.second.first;
    const size_t at = w;
    if (range.second.second) {
      CompactRange(kept, p->heading_at, p->heading_size, &w);
      p->heading_at = at;
      p->heading_size = static_cast<uint32_t>(w - at);
    } else {
      CompactRange(kept, p->body_at, p->body_size, &w);
      p->body_at = at;
      p->body_size = w - at;
    }
  }
  m_->content.resize(w);
}

// A Shift-JIS text without references (the title of the book) in UTF-8.
std::string PlainUtf8(const std::string& sjis) {
  std::string out;
  for (size_t i = 0; i < sjis.size();) {
    const unsigned char c = static_cast<unsigned char>(sjis[i]);
    const bool pair = IsLeadByte(c) && i + 1 < sjis.size();
    const uint32_t cp = UnicodeOfShiftJis(pair ? static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(sjis[i + 1]) : c);
    if (cp != 0) AppendUtf8(cp, &out);
    i += pair ? 2 : 1;
  }
  return out;
}

constexpr uint64_t kMaxPageBytes = uint64_t{2} << 30;
constexpr uint64_t kMaxSettingsBytes = uint64_t{1} << 20;
constexpr uint64_t kMaxImageBytes = uint64_t{32} << 20;

// The project file's settings; its defaults, told, when it cannot be read.
SearchSettings ReadSettings(const ModelSources& s) {
  std::string ebs, reason;
  if (!ReadWholeFile(ToFileSystemPath(s.pages_dir + "harukaze.ebs"), kMaxSettingsBytes, &ebs, &reason)) {
    s.report->Damaged("harukaze.ebs", reason +
                                          ", so the search settings are the defaults (kanaSep1 \xE3\x80\x90, "
                                          "kanaSep2 \xE3\x80\x91, no delChars, no StopWord)");
    return SearchSettings();
  }
  return ReadSearchSettings(ebs);
}

std::map<uint32_t, GaijiName> ReadGaijiNames(const ModelSources& s) {
  const DictFile table(ToFileSystemPath(s.pages_dir + "gaiji.tsv"), "gaiji.tsv", s.report);
  std::map<uint32_t, GaijiName> names;
  for (const GaijiTableRow& row : ReadGaijiTable(table)) {
    if (row.code == 0 || !row.named()) continue;
    GaijiName& n = names[row.code];
    n.character = row.character;
    n.alt = PlainUtf8(row.alt);
  }
  return names;
}

// A gaiji file the pages' private-area characters need; "" and a warning
// when it cannot be read.
std::string ReadGaijiFile(const ModelSources& s, const char* name, size_t characters) {
  std::string bytes, reason;
  if (!ReadWholeFile(ToFileSystemPath(s.pages_dir + name), kMaxGaijiFileSize, &bytes, &reason)) {
    s.report->Damaged(name, reason + ", so the " + std::to_string(characters) +
                                " private-area characters keep placeholder glyphs");
  }
  return bytes;
}

// The glyphs of the characters outside JIS X 0208 and of the named gaiji's
// characters, from the font; placeholders stay where it has none.
void LoadGlyphs(const ModelSources& s, BookModel* m) {
  std::set<uint32_t> wanted;
  for (const auto& g : m->glyphs) wanted.insert(g.first);
  for (const BookGaiji& g : m->gaiji) {
    if (g.character != 0) wanted.insert(g.character);
  }
  if (wanted.empty()) return;
  std::map<uint32_t, Glyph16> found;
  std::string error;
  if (!LoadFontGlyphs(ToFileSystemPath(s.font), wanted, &found, &error)) {
    s.report->Damaged(s.font, error + ", so " + std::to_string(wanted.size()) +
                                  " characters of the book keep placeholder glyphs");
  }
  for (const auto& g : found) {
    if (m->glyphs.count(g.first)) m->glyphs[g.first] = g.second;
  }
  // A private-area character is drawn by Gaiji.xml, unless that still holds
  // the placeholder of a character gaiji.tsv names: the font draws it then.
  std::map<uint32_t, std::string> ebcodes;
  std::map<std::string, Glyph16> drawings;
  if (!m->gaiji.empty()) {
    ebcodes = ParseGaijiMap(ReadGaijiFile(s, "GaijiMap.xml", m->gaiji.size()));
    drawings = ParseGaijiFont(ReadGaijiFile(s, "Gaiji.xml", m->gaiji.size()));
  }
  for (BookGaiji& g : m->gaiji) {
    const auto ebcode = ebcodes.find(g.code);
    const auto drawn = ebcode == ebcodes.end() ? drawings.end() : drawings.find(ebcode->second);
    const auto font = found.find(g.character);
    if (drawn != drawings.end() && !(g.character != 0 && drawn->second == PlaceholderGlyph(g.code))) {
      g.glyph = drawn->second;
    } else if (g.character != 0 && font != found.end()) {
      g.glyph = font->second;
    }
  }
}

// The pictures the pages name, read from beside the pages; one that is
// missing or of no format the book knows is not found.
void LoadImages(const ModelSources& s, BookModel* m) {
  for (BookImage& image : m->images) {
    if (std::any_of(image.src.begin(), image.src.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
      continue;
    }
    std::string reason;
    if (!ReadWholeFile(ToFileSystemPath(s.pages_dir + image.src), kMaxImageBytes, &image.data, &reason)) continue;
    const std::string& d = image.data;
    if (d.compare(0, 2, "\xFF\xD8") == 0) {
      image.format = ImageFormat::kJpeg;
    } else if (d.compare(0, 2, "BM") == 0) {
      image.format = ImageFormat::kBmp;
    } else if (d.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0) {
      image.format = ImageFormat::kPng;
    } else if (d.compare(0, 4, "GIF8") == 0) {
      image.format = ImageFormat::kGif;
    } else {
      image.data.clear();
    }
  }
}

}  // namespace

void ReadModelPages(const ModelPages& pages, const SearchSettings& settings,
                    const std::map<uint32_t, GaijiName>& names, Report* report, BookModel* model) {
  *model = BookModel();
  model->title = PlainUtf8(settings.title);
  ModelText text(settings, report);
  for (const auto& n : names) text.NameGaiji(n.first, n.second.character);
  size_t total = 0;
  for (std::string_view p : pages.bytes) total += p.size();
  // Room as the pages' text will need: an entry for every few hundred
  // bytes, a word for every hundred.
  model->content.reserve(total * 3 / 4);
  PreferLargePages(model->content.data(), model->content.capacity());
  model->parts.reserve(total / 256);
  model->words.reserve(total / 96);
  model->markers.reserve(total / 256);
  model->word_text.reserve(total / 8);
  PageReader reader(model, &text, settings);
  // The entries first, then the section pages.
  std::vector<size_t> order;
  for (size_t i = 0; i < std::size(kBookPages); ++i) {
    if (kBookPages[i].kind != PageKind::kSection) order.push_back(i);
  }
  for (size_t i = 0; i < std::size(kBookPages); ++i) {
    if (kBookPages[i].kind == PageKind::kSection) order.push_back(i);
  }
  for (size_t i : order) reader.ReadPage(static_cast<uint8_t>(i), pages.bytes[i]);
  reader.Finish();
  for (uint32_t code : text.gaiji_codes()) {
    BookGaiji g;
    g.code = code;
    const auto n = names.find(code);
    if (n != names.end()) {
      g.character = n->second.character;
      g.alt = n->second.alt;
    }
    g.glyph = PlaceholderGlyph(code);
    if (g.character >= 0x80 && JisOfUnicode(g.character) == 0) model->glyphs[g.character] = PlaceholderGlyph(g.character);
    model->gaiji.push_back(std::move(g));
  }
  for (uint32_t cp : text.CharactersOutsideJis()) model->glyphs[cp] = PlaceholderGlyph(cp);
}

bool ReadBookModel(const ModelSources& sources, BookModel* model, std::string* error) {
  const SearchSettings settings = ReadSettings(sources);
  const std::map<uint32_t, GaijiName> names = ReadGaijiNames(sources);
  {
    MappedFile files[std::size(kBookPages)];
    ModelPages pages;
    for (size_t i = 0; i < std::size(kBookPages); ++i) {
      const std::string path = sources.pages_dir + kBookPages[i].file_name;
      std::string reason;
      if (!files[i].Open(ToFileSystemPath(path), kMaxPageBytes, &reason)) {
        *error = path + ": " + reason;
        return false;
      }
      pages.bytes[i] = files[i].bytes();
    }
    ReadModelPages(pages, settings, names, sources.report, model);
  }
  LoadGlyphs(sources, model);
  LoadImages(sources, model);
  return true;
}

}  // namespace hz
