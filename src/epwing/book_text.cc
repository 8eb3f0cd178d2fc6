#include "epwing/book_text.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "epwing/page_tokens.h"

namespace hz {

namespace {

// How long a snippet of the text after a reference target is taken.
constexpr size_t kSnippetBytes = 16;
// FreePWING keeps a search word's first 127 characters.
constexpr size_t kMaxWordCharacters = 127;
constexpr int64_t kProgressEvery = 2000;

// Where in a page the reader stands.
enum class Place { kHead, kOut, kTerm, kDefinition, kPage };

// The characters of a Shift-JIS string, a lead byte with its trail.
std::vector<std::string> Characters(const std::string& s) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < s.size() ? 2 : 1;
    chars.push_back(s.substr(i, n));
    i += n;
  }
  return chars;
}

// True when FreePWING's word normaliser leaves nothing of an EUC-JP/ASCII
// word: it drops spaces, apostrophes and hyphens, and the full-width space,
// ’, −, ・ and ‐.
bool NormalisesToNothing(const std::string& w) {
  for (size_t i = 0; i < w.size();) {
    const unsigned char c = static_cast<unsigned char>(w[i]);
    if (c < 0x80) {
      if (c != ' ' && c != '\'' && c != '-') return false;
      ++i;
      continue;
    }
    const unsigned char d = i + 1 < w.size() ? static_cast<unsigned char>(w[i + 1]) : 0;
    if (c != 0xA1 || (d != 0xA1 && d != 0xC7 && d != 0xDD && d != 0xA6 && d != 0xBE)) return false;
    i += 2;
  }
  return true;
}

// At most FreePWING's length, cut between characters.
std::string Shorten(const std::string& w) {
  size_t chars = 0, i = 0;
  while (i < w.size() && chars < kMaxWordCharacters) {
    i += static_cast<unsigned char>(w[i]) < 0x80 ? 1 : 2;
    ++chars;
  }
  return w.substr(0, i < w.size() ? i : w.size());
}

class Writer {
 public:
  Writer(const BookPlan& plan, const BookChars& chars, const SearchSettings& settings,
         std::FILE* out, Manifest* m)
      : plan_(plan), chars_(chars), settings_(settings), out_(out), m_(m) {
    targets_.reserve(plan.targets.size());
    m->entries.reserve(static_cast<size_t>(plan.entries));
    for (size_t i = 0; i < plan.targets.size(); ++i) targets_[{plan.targets[i].page, plan.targets[i].id}] = i;
    tagged_.assign(plan.targets.size(), false);
    for (const BookImage& i : plan.images) images_[i.src] = &i;
  }

  void Entries(const std::string& page_name, const std::string& page) {
    Op('O', "text");
    ReadPage(page_name, page, Place::kOut, true);
  }

  // The top menu: an item for each page, named by the page's title.
  void Menu(const std::vector<std::pair<std::string, std::string>>& titled) {
    Op('O', "menu");
    Op('C');
    Op('@', "menu-top");
    part_ = &m_->contexts["menu"];
    part_->name = "menu";
    for (size_t i = 0; i < titled.size(); ++i) {
      Op('r');
      Emit(chars_.Display(titled[i].second));
      Op('R', "menu-" + std::to_string(i));
      part_->refs.push_back("menu-" + std::to_string(i));
      Op('N');
    }
  }

  // A page of the menu (a context of its own) or the copyright notice.
  void Section(const std::string& page_name, const std::string& page, const std::string& tag,
               bool copyright) {
    if (copyright) {
      Op('O', "copyright");
    } else {
      Op('C');
      Op('@', tag);
    }
    part_ = &m_->contexts[page_name];
    part_->name = page_name;
    snippets_.push_back({tag, ""});
    ReadPage(page_name, page, Place::kPage, false);
  }

  // The stream's last line: what the parser reads before it is sure that
  // nothing was cut off.
  void End() { Op('Z'); }

  // The progress line's figures: every entry done.
  void Progress() { Op('P', ProgressFigures()); }

 private:
  struct Modifier {
    char kind;  // 'b', 'i', 's' (subscript), 'u' (superscript), 'r' (reference)
    std::string tag;
    bool active;
    int64_t id;
  };
  struct Delayed {  // what the term holds, written once the heading is known
    enum { kText, kImage, kMarkup } kind;
    std::string a, b;
    bool closing;
    BookString alt;
  };

  // Entries done and their total (the plan's count, unless more were met).
  std::string ProgressFigures() const {
    return std::to_string(entries_done_) + " " + std::to_string(std::max(plan_.entries, entries_done_));
  }

  void Op(char op, const std::string& arg = "") {
    buffer_ += op;
    buffer_ += arg;
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) Flush();
  }

 public:
  // Writes what the buffer holds; false once a write has failed.
  bool Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
      failed_ = true;
    }
    buffer_.clear();
    return !failed_;
  }

 private:

  // --- Modifiers: those the pages have open, and those open in FreePWING,
  // brought together before each piece of text, so that FreePWING's nest,
  // never repeat, and close before every line end and entry end.

  void SyncModifiers() {
    std::vector<const Modifier*> active;
    for (const Modifier& m : want_) {
      if (m.active) active.push_back(&m);
    }
    size_t same = 0;
    while (same < have_.size() && same < active.size() && have_[same].id == active[same]->id) ++same;
    while (have_.size() > same) ModifierEnd();
    for (size_t i = same; i < active.size(); ++i) {
      have_.push_back(*active[i]);
      Op(active[i]->kind);
    }
  }

  void ModifierEnd() {
    const Modifier m = have_.back();
    have_.pop_back();
    if (m.kind == 'r') {
      Op('R', m.tag);
      part_->refs.push_back(m.tag);
    } else {
      Op(static_cast<char>(m.kind - 'a' + 'A'));
    }
  }

  void CloseModifiers() {
    while (!have_.empty()) ModifierEnd();
  }

  // FreePWING cannot nest a modifier in one of its own kind: a second style
  // of a kind already open changes nothing until it closes again, and a
  // second link replaces the first (the pages lost the first one's close).
  void WantOpen(char kind, const std::string& tag = "") {
    bool open = false;
    for (Modifier& m : want_) {
      if (m.active && m.kind == kind) {
        if (kind == 'r') {
          m.active = false;
        } else {
          open = true;
        }
      }
    }
    want_.push_back({kind, tag, !open, ++modifier_ids_});
  }

  void WantClose(char kind) {
    for (size_t i = want_.size(); i-- > 0;) {
      if (want_[i].kind == kind) {
        want_.erase(want_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
      }
    }
  }

  // --- Text.

  void Snippet(const std::string& t) {
    for (auto& s : snippets_) s.second += t;
    for (size_t i = 0; i < snippets_.size();) {
      if (snippets_[i].second.size() >= kSnippetBytes) {
        m_->snippets.emplace(snippets_[i]);
        snippets_.erase(snippets_.begin() + static_cast<std::ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
  }

  void CloseSnippets() {
    for (const auto& s : snippets_) m_->snippets.emplace(s);
    snippets_.clear();
  }

  void Emit(const BookString& s) {
    ForEachPiece(
        s,
        [this](const std::string& text) {
          SyncModifiers();
          Op('T', text);
          if (!snippets_.empty()) Snippet(text);
        },
        [this](size_t gaiji) {
          SyncModifiers();
          const std::string& name = plan_.gaiji[gaiji].name;
          Op('G', name);
          part_->gaiji.push_back(name);
          if (!snippets_.empty()) Snippet("{" + name + "}");
        });
  }

  void Newline() {
    CloseModifiers();
    Op('N');
    if (!snippets_.empty()) Snippet("\n");
  }

  // The tag of the identifier id of the page, or null.
  const BookTarget* TagOf(std::string_view page, std::string_view id) const {
    const auto t = targets_.find({page, id});
    return t == targets_.end() ? nullptr : &plan_.targets[t->second];
  }

  void PlaceTag(std::string_view id, bool entry_start) {
    const BookTarget* target = TagOf(page_name_, id);
    if (!target) return;
    const size_t index = static_cast<size_t>(target - plan_.targets.data());
    if (tagged_[index]) return;
    tagged_[index] = true;
    Op(entry_start ? '@' : '#', target->tag);
    snippets_.push_back({target->tag, ""});
  }

  // An image: the picture itself when it was found beside the pages, its
  // alt text in 〔〕 otherwise.
  void Image(const std::string& src, const BookString& alt) {
    const auto found = images_.find(src);
    const BookString caption = ImageText(src, alt);
    if (found == images_.end()) {
      Emit(caption);
      return;
    }
    const BookImage& image = *found->second;
    SyncModifiers();
    Op(image.type == "bmp" ? 'm' : 'j', image.name);
    ForEachPiece(
        caption, [this](const std::string& text) { Op('T', text); },
        [this](size_t gaiji) {
          Op('G', plan_.gaiji[gaiji].name);
          part_->gaiji.push_back(plan_.gaiji[gaiji].name);
        });
    if (!snippets_.empty()) Snippet(Shown(caption, plan_));
    Op(image.type == "bmp" ? 'M' : 'J');
  }

  // --- Entries and their words.

  void AddWord(std::string_view sjis, bool marker) {
    std::string w = chars_.Word(sjis);
    std::string trimmed = w;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    for (char& c : trimmed) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (settings_.stop_words.count(trimmed) || NormalisesToNothing(w)) return;
    w = Shorten(w);
    // An entry has a few words: a word twice would be found twice.
    std::vector<std::string>& list = marker ? markers_ : words_;
    if (std::find(list.begin(), list.end(), w) == list.end()) list.push_back(w);
  }

  // The heading's words: the text before kanaSep1, and the text between
  // each kanaSep1 and kanaSep2.
  void HeadingWords(const std::string& term) {
    std::string before, inside;
    int state = 0;  // 0 before the first kanaSep1, 1 inside a pair, 2 after one
    for (const std::string& c : Characters(term)) {
      if (c == settings_.kana_sep1) {
        state = 1;
        inside.clear();
      } else if (c == settings_.kana_sep2) {
        if (state == 1) AddWord(inside, false);
        state = 2;
      } else if (state == 0) {
        before += c;
      } else if (state == 1) {
        inside += c;
      }
    }
    AddWord(before, false);
  }

  void BeginEntry(const std::string_view* id) {
    FinishEntry();
    Op('E');
    m_->entries.emplace_back();
    part_ = &m_->entries.back();
    in_entry_ = true;
    ++entries_done_;
    words_.clear();
    markers_.clear();
    place_ = Place::kTerm;
    term_.clear();
    delayed_.clear();
    if (id) PlaceTag(*id, true);
  }

  // What an image shows: its caption when it is in the book, else its alt
  // text in 〔〕.
  BookString ImageText(const std::string& src, const BookString& alt) const {
    if (images_.count(src) == 0) return "\xA1\xCC" + alt + "\xA1\xCD";
    return alt.empty() ? "\xBF\xDE" : alt;  // 図
  }

  // The heading is complete: into the heading, and into the text as the
  // entry's keyword line. The heading is what the keyword line shows.
  void FinishHeading() {
    BookString heading;
    for (const Delayed& d : delayed_) {
      if (d.kind == Delayed::kText) heading += chars_.Display(d.a);
      if (d.kind == Delayed::kImage) heading += ImageText(d.a, d.alt);
    }
    ForEachPiece(
        heading, [this](const std::string& text) { Op('H', text); },
        [this](size_t gaiji) { Op('h', plan_.gaiji[gaiji].name); });
    part_->name = Shown(heading, plan_);
    Op('[');
    for (const Delayed& d : delayed_) {
      if (d.kind == Delayed::kText) {
        Emit(chars_.Display(d.a));
      } else if (d.kind == Delayed::kImage) {
        Image(d.a, d.alt);
      } else {
        Markup(d.a, d.b, d.closing);
      }
    }
    CloseModifiers();
    Op(']');
    Newline();
    HeadingWords(term_);
    place_ = Place::kDefinition;
  }

  void FinishEntry() {
    if (!in_entry_) return;
    in_entry_ = false;
    CloseModifiers();
    want_.clear();
    CloseSnippets();
    for (const std::string& w : words_) Op('W', w);
    for (const std::string& w : markers_) Op('K', w);
    part_->words = words_;
    m_->markers += static_cast<int64_t>(markers_.size());
    if (entries_done_ % kProgressEvery == 0) {
      Op('P', ProgressFigures());
    }
  }

  // --- The page.

  void Markup(const std::string& name, std::string_view attributes, bool closing) {
    if (name == "b" || name == "i" || name == "sub" || name == "sup") {
      const char kind = name == "sub" ? 's' : name == "sup" ? 'u' : name[0];
      closing ? WantClose(kind) : WantOpen(kind);
    } else if (name == "br") {
      // The heading is one line: a line break in it (in a page edited by
      // hand) is passed over.
      if (place_ != Place::kOut && place_ != Place::kHead && place_ != Place::kTerm) Newline();
    } else if (name == "a" && !closing) {
      const std::string_view anchor = AttributeValue(attributes, "name");
      const std::string_view href = AttributeValue(attributes, "href");
      const size_t hash = href.find('#');
      if (!anchor.empty()) {
        links_.push_back(false);
        PlaceTag(anchor, false);
      } else if (hash != std::string_view::npos) {
        const BookTarget* target =
            TagOf(hash == 0 ? std::string_view(page_name_) : href.substr(0, hash), href.substr(hash + 1));
        links_.push_back(target != nullptr);
        if (target) WantOpen('r', target->tag);
      } else {
        links_.push_back(false);
      }
    } else if (name == "a") {
      if (!links_.empty() && links_.back()) WantClose('r');
      if (!links_.empty()) links_.pop_back();
    }
  }

  void Text(std::string_view t) {
    if (in_alt_) {
      alt_text_ += t;
    } else if (place_ == Place::kTerm) {
      term_ += t;
      delayed_.push_back({Delayed::kText, std::string(t), "", false, ""});
    } else if (place_ != Place::kOut && place_ != Place::kHead) {
      Emit(chars_.Display(t));
    }
  }

  void Element(const PageToken& t) {
    if (in_alt_) {
      // Inside an image's alt text only anchors count.
      if (t.name == "a") Markup(t.name, t.attributes, t.closing);
      return;
    }
    const bool definition_end = t.name == "dt" || t.name == "dd" || t.name == "dl";
    if (t.name == "body" && !t.closing) {
      // A heading cut short by a second <body> (a page edited by hand) is
      // still written, with the anchors it holds.
      if (place_ == Place::kTerm) FinishHeading();
      place_ = body_place_;
    } else if (place_ == Place::kHead) {
      // The page head: its title is no text of the book.
    } else if (entries_ && t.name == "dt" && !t.closing) {
      if (place_ == Place::kTerm) FinishHeading();
      const std::string_view id = AttributeValue(t.attributes, "id");
      BeginEntry(t.attributes.find("id=\"") != std::string_view::npos ? &id : nullptr);
    } else if (place_ == Place::kTerm && definition_end && t.closing) {
      FinishHeading();
      if (t.name == "dl") EndList();
    } else if (place_ == Place::kTerm) {
      delayed_.push_back({Delayed::kMarkup, t.name, std::string(t.attributes), t.closing, ""});
    } else if (t.name == "dd" && t.closing) {
      CloseModifiers();
      want_.clear();
    } else if (t.name == "dl" && t.closing) {
      EndList();
    } else if (t.name == "h1") {
      t.closing ? WantClose('b') : WantOpen('b');
      if (t.closing) Newline();
    } else {
      Markup(t.name, t.attributes, t.closing);
    }
  }

  void EndList() {
    FinishEntry();
    place_ = Place::kOut;
  }

  void Token(const PageToken& t) {
    const bool in_entry = entries_ && place_ != Place::kOut && place_ != Place::kHead;
    switch (t.kind) {
      case PageToken::kText: Text(t.text); break;
      case PageToken::kKey:
        if (in_entry) AddWord(t.text, false);
        break;
      case PageToken::kComment:
        // " {MUL2001} " and " {KAKU12} ": keyword-search words.
        if (in_entry) {
          const size_t open = t.text.find('{'), close = t.text.rfind('}');
          if (open != std::string::npos && close != std::string::npos && close > open) {
            AddWord(t.text.substr(open + 1, close - open - 1), true);
          }
        }
        break;
      case PageToken::kImage:
        in_alt_ = true;
        alt_src_ = t.text;
        alt_text_.clear();
        break;
      case PageToken::kAltEnd:
        in_alt_ = false;
        if (place_ == Place::kTerm) {
          delayed_.push_back({Delayed::kImage, alt_src_, "", false, chars_.Display(alt_text_)});
        } else if (place_ != Place::kOut && place_ != Place::kHead) {
          Image(alt_src_, chars_.Display(alt_text_));
        }
        break;
      case PageToken::kElement: Element(t); break;
      case PageToken::kEnd: break;
    }
  }

  void ReadPage(const std::string& name, const std::string& page, Place body, bool entries) {
    page_name_ = name;
    place_ = Place::kHead;
    body_place_ = body;
    entries_ = entries;
    want_.clear();
    have_.clear();
    links_.clear();
    in_alt_ = false;
    PageTokens tokens(page);
    for (PageToken t = tokens.Next(); t.kind != PageToken::kEnd; t = tokens.Next()) Token(t);
    if (place_ == Place::kTerm) FinishHeading();
    if (entries_) FinishEntry();
    // Nothing the page left open (a style after its list, say) reaches
    // what follows.
    CloseModifiers();
    want_.clear();
    if (!entries_) CloseSnippets();
  }

  const BookPlan& plan_;
  const BookChars& chars_;
  const SearchSettings& settings_;
  static constexpr size_t kFlushAt = size_t{1} << 20;
  std::FILE* out_;
  std::string buffer_;
  bool failed_ = false;
  Manifest* m_;
  std::unordered_map<PageId, size_t, PageIdHash> targets_;  // the plan's targets, by identifier
  std::map<std::string, const BookImage*> images_;  // by src
  std::vector<bool> tagged_;  // by target: its tag is placed

  ManifestPart* part_ = nullptr;
  std::vector<Modifier> want_, have_;
  int64_t modifier_ids_ = 0;
  std::vector<bool> links_;  // open <a>: a reference or not
  std::vector<std::pair<std::string, std::string>> snippets_;

  std::string page_name_;
  Place place_ = Place::kHead, body_place_ = Place::kOut;
  bool entries_ = false, in_entry_ = false, in_alt_ = false;
  std::string alt_src_, alt_text_, term_;
  std::vector<Delayed> delayed_;
  std::vector<std::string> words_, markers_;
  int64_t entries_done_ = 0;
};

}  // namespace

std::string Shown(const BookString& s, const BookPlan& plan) {
  std::string shown;
  ForEachPiece(
      s, [&shown](const std::string& text) { shown += text; },
      [&shown, &plan](size_t gaiji) { shown += "{" + plan.gaiji[gaiji].name + "}"; });
  return shown;
}

bool WriteBookText(const BookPlan& plan, const BookChars& chars, const SearchSettings& settings,
                   const BookPages& pages, std::FILE* out, Manifest* manifest) {
  Writer w(plan, chars, settings, out, manifest);
  const auto load = [&pages](const std::string& name) -> const std::string& {
    static const std::string kNone;
    const auto p = pages.find(name);
    return p == pages.end() ? kNone : p->second;
  };
  w.Entries("honbun.html", load("honbun.html"));
  w.Entries("kanji.html", load("kanji.html"));
  w.Progress();
  const char* const menu[] = {"usage.html", "hanrei.html", "jo.html"};
  std::vector<std::pair<std::string, std::string>> titled;  // name, title
  for (const char* name : menu) {
    const std::string& p = load(name);
    const size_t a = p.find("<title>"), b = p.find("</title>");
    titled.emplace_back(name, a != std::string::npos && b > a ? p.substr(a + 7, b - a - 7) : "");
  }
  w.Menu(titled);
  for (size_t i = 0; i < titled.size(); ++i) {
    w.Section(titled[i].first, load(titled[i].first), "menu-" + std::to_string(i), false);
  }
  w.Section("oku.html", load("oku.html"), "copyright", true);
  w.End();
  return w.Flush() && std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace hz
