#include "stardict/stardict_dictionary.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/in_shares.h"
#include "platform/mapped_file.h"
#include "stardict/dictzip.h"

namespace hz {

namespace {

void PutBe32(uint32_t v, std::string* out) {
  for (int shift = 24; shift >= 0; shift -= 8) *out += static_cast<char>(v >> shift & 0xFF);
}

unsigned char AsciiLower(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// Text with the characters HTML reserves escaped; in an attribute's value
// also the double quote.
void AppendEscaped(std::string_view text, bool attribute, std::string* out) {
  size_t from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = attribute ? "&quot;" : nullptr; break;
      default: break;
    }
    if (!entity) continue;
    out->append(text.data() + from, i - from);
    *out += entity;
    from = i + 1;
  }
  out->append(text.data() + from, text.size() - from);
}

}  // namespace

StarDictArticles::StarDictArticles(const UnicodeBook& book) : book_(book) {
  const BookModel& m = book.model();
  gaiji_.resize(m.gaiji.size());
  for (uint32_t i = 0; i < m.gaiji.size(); ++i) {
    const UnicodeGaiji& g = book.Gaiji(i);
    if (g.picture.empty()) {
      AppendEscaped(g.text, false, &gaiji_[i]);
    } else {
      gaiji_[i] = "<img src=\"" + g.picture + "\" alt=\"" + g.code + "\" style=\"height:1em;vertical-align:text-bottom\">";
    }
  }
  links_.resize(m.targets.size());
  for (uint32_t t = 0; t < m.targets.size(); ++t) {
    const uint32_t part = book.PartOfTarget(t);
    if (part == kNone) continue;
    links_[t] = "<a href=\"bword://";
    AppendEscaped(book.Headword(part), true, &links_[t]);
    links_[t] += "\">";
  }
}

namespace {

// Runs as an article's HTML.
class ArticleHtml {
 public:
  ArticleHtml(const UnicodeBook& book, const std::vector<std::string>& gaiji, const std::vector<std::string>& links,
              std::string* out)
      : gaiji_(gaiji), links_(links), out_(*out), picture_(book) {}

  void Append(std::string_view content) {
    ForEachRun(content, [this](const Run& r) { One(r); });
  }

 private:
  void One(const Run& r) {
    if (picture_.Keep(r)) return;
    static const char* const kOpen[] = {"<b>", "<i>", "<sub>", "<sup>"};
    static const char* const kClose[] = {"</b>", "</i>", "</sub>", "</sup>"};
    switch (r.kind) {
      case Run::kText: AppendEscaped(r.text, false, &out_); break;
      case Run::kGaiji: out_ += gaiji_[r.index]; break;
      case Run::kStyleOn: out_ += kOpen[static_cast<int>(r.style)]; break;
      case Run::kStyleOff: out_ += kClose[static_cast<int>(r.style)]; break;
      case Run::kLineBreak: out_ += "<br>"; break;
      case Run::kLinkOn:
        linked_ = !links_[r.index].empty();
        out_ += links_[r.index];
        break;
      case Run::kLinkOff:
        if (linked_) out_ += "</a>";
        linked_ = false;
        break;
      case Run::kAnchor: break;
      case Run::kImageOn:
        if (!picture_.Begin(r.index)) out_ += PictureRuns::kOpen;
        break;
      case Run::kImageOff: ImageOff(); break;
    }
  }

  void ImageOff() {
    const std::string& path = picture_.End();
    if (path.empty()) {
      out_ += PictureRuns::kClose;
      return;
    }
    out_ += "<img src=\"";
    AppendEscaped(path, true, &out_);
    out_ += "\" alt=\"";
    AppendEscaped(picture_.caption(), true, &out_);
    out_ += "\">";
  }

  const std::vector<std::string>& gaiji_;
  const std::vector<std::string>& links_;
  std::string& out_;
  PictureRuns picture_;
  bool linked_ = false;
};

// The .ifo's value: one line.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) line += c == '\r' || c == '\n' ? ' ' : c;
  return line;
}

// A synonym: a word in the pool, the .idx index of its part's headword.
struct Synonym {
  uint32_t at, size, index;
};

}  // namespace

int StarDictCompare(std::string_view a, std::string_view b) {
  // The first byte that differs without case decides; without one, the
  // shorter word comes first; then the first byte that differs at all
  // (strcmp's order), which is the first that differs only in case.
  const size_t n = std::min(a.size(), b.size());
  int by_case = 0;
  size_t i = 0;
  for (;;) {
    while (i + 8 <= n && std::memcmp(a.data() + i, b.data() + i, 8) == 0) i += 8;
    while (i < n && a[i] == b[i]) ++i;
    if (i == n) break;
    const unsigned char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (by_case == 0) by_case = static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
    ++i;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return by_case;
}

void StarDictArticles::Append(uint32_t part, std::string* out) const {
  const BookModel& m = book_.model();
  const BookPart& p = m.parts[part];
  ArticleHtml html(book_, gaiji_, links_, out);
  *out += "<b>";
  html.Append(m.Heading(p));
  *out += "</b><br>";
  html.Append(m.Body(p));
}

namespace {

// Every part's article, in order, in two pieces (each half of the parts
// rendered on a thread of its own); where each begins (and the end) in
// *offsets.
void Articles(const UnicodeBook& book, std::string halves[2], std::vector<uint64_t>* offsets) {
  const size_t n = book.model().parts.size();
  const StarDictArticles html(book);
  offsets->assign(n + 1, 0);
  size_t second_begin = n;
  for (int h = 0; h < 2; ++h) ReserveLarge(&halves[h], book.model().content.size() * 3 / 8);
  InShares(n, std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
    std::string* out = &halves[begin == 0 ? 0 : 1];
    if (begin > 0) second_begin = begin;
    for (size_t i = begin; i < end; ++i) {
      (*offsets)[i] = out->size();
      html.Append(static_cast<uint32_t>(i), out);
    }
  });
  for (size_t i = second_begin; i < n; ++i) (*offsets)[i] += halves[0].size();
  (*offsets)[n] = halves[0].size() + halves[1].size();
}

// .idx: the headwords in StarDict's order (two parts with one headword in
// the order of the book); each part's place in it in *index_of.
std::string Idx(const UnicodeBook& book, const std::vector<uint64_t>& offsets, std::vector<uint32_t>* index_of) {
  const uint32_t n = static_cast<uint32_t>(book.model().parts.size());
  std::vector<uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const int c = StarDictCompare(book.Headword(a), book.Headword(b));
    return c != 0 ? c < 0 : a < b;
  });
  index_of->assign(n, 0);
  std::string idx;
  for (uint32_t k = 0; k < n; ++k) {
    const uint32_t part = order[k];
    (*index_of)[part] = k;
    idx += book.Headword(part);
    idx += '\0';
    PutBe32(static_cast<uint32_t>(offsets[part]), &idx);
    PutBe32(static_cast<uint32_t>(offsets[part + 1] - offsets[part]), &idx);
  }
  return idx;
}

// .syn: a part's other search words, each once, in StarDict's order; their
// count in *count.
std::string Syn(const UnicodeBook& book, const std::vector<uint32_t>& index_of, size_t* count) {
  const BookModel& m = book.model();
  std::string pool;
  std::vector<Synonym> synonyms;
  const auto text = [&pool](const Synonym& s) { return std::string_view(pool.data() + s.at, s.size); };
  for (uint32_t part = 0; part < m.parts.size(); ++part) {
    const BookPart& p = m.parts[part];
    const size_t first = synonyms.size();
    for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
      const std::string word = ExportWord(m.Word(m.words[w]));
      const bool again = std::any_of(synonyms.begin() + static_cast<ptrdiff_t>(first), synonyms.end(),
                                     [&](const Synonym& s) { return text(s) == word; });
      if (word.empty() || word == book.Headword(part) || again) continue;
      synonyms.push_back({static_cast<uint32_t>(pool.size()), static_cast<uint32_t>(word.size()), index_of[part]});
      pool += word;
    }
  }
  std::sort(synonyms.begin(), synonyms.end(), [&](const Synonym& a, const Synonym& b) {
    const int c = StarDictCompare(text(a), text(b));
    return c != 0 ? c < 0 : a.index < b.index;
  });
  std::string syn;
  for (const Synonym& s : synonyms) {
    syn += text(s);
    syn += '\0';
    PutBe32(s.index, &syn);
  }
  *count = synonyms.size();
  return syn;
}

std::string Ifo(const BookModel& m, size_t words, size_t synonyms, size_t idx_size, const std::string& description) {
  std::string ifo = "StarDict's dict ifo file\nversion=3.0.0\n";
  ifo += "bookname=" + OneLine(m.title.empty() ? kStarDictName : m.title) + "\n";
  ifo += "wordcount=" + std::to_string(words) + "\n";
  if (synonyms > 0) ifo += "synwordcount=" + std::to_string(synonyms) + "\n";
  ifo += "idxfilesize=" + std::to_string(idx_size) + "\n";
  ifo += "sametypesequence=h\n";
  ifo += "description=" + OneLine(description) + "\n";
  return ifo;
}

}  // namespace

bool WriteStarDict(const UnicodeBook& book, const std::string& description, StarDictDictionary* dict,
                   std::string* error) {
  const BookModel& m = book.model();
  std::string articles[2];
  std::vector<uint64_t> offsets;
  Articles(book, articles, &offsets);
  if (offsets.back() > UINT32_MAX) {
    *error = std::to_string(offsets.back()) + " bytes of articles, more than StarDict's 4 GiB";
    return false;
  }
  std::vector<uint32_t> index_of;
  std::string idx = Idx(book, offsets, &index_of);
  size_t synonyms = 0;
  std::string syn = Syn(book, index_of, &synonyms);
  std::string dz;
  if (!Dictzip({articles[0], articles[1]}, WorkThreads(), &dz, error)) return false;
  for (std::string& half : articles) std::string().swap(half);
  const std::string name = kStarDictName;
  dict->files.clear();
  dict->files.push_back({name + ".ifo", Ifo(m, m.parts.size(), synonyms, idx.size(), description)});
  dict->files.push_back({name + ".idx", std::move(idx)});
  if (synonyms > 0) dict->files.push_back({name + ".syn", std::move(syn)});
  dict->files.push_back({name + ".dict.dz", std::move(dz)});
  dict->articles = static_cast<int64_t>(m.parts.size());
  dict->synonyms = static_cast<int64_t>(synonyms);
  dict->pictures = 0;
  for (uint32_t i = 0; i < m.images.size(); ++i) {
    if (book.PicturePath(i).empty()) continue;
    dict->files.push_back({"res/" + book.PicturePath(i), m.images[i].data});
    ++dict->pictures;
  }
  for (const BookFile& f : book.pictures()) {
    dict->files.push_back({"res/" + f.path, f.bytes});
    ++dict->pictures;
  }
  return true;
}

}  // namespace hz
