#include "stardict/stardict_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/in_shares.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "stardict/dictzip.h"
#include "stardict/stardict_dictionary.h"

namespace hz {

namespace {

constexpr uint64_t kMaxFileBytes = uint64_t{4} << 30;

uint32_t Be32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

// .idx or .syn as read: a word and two numbers (.idx: the article's offset
// and size; .syn: the index of a word of .idx).
struct Item {
  std::string_view word;
  uint32_t first = 0, second = 0;
};

bool ParseList(std::string_view file, bool idx, std::vector<Item>* items, std::string* error) {
  const size_t numbers = idx ? 8 : 4;
  for (size_t at = 0; at < file.size();) {
    const size_t nul = file.find('\0', at);
    if (nul == std::string_view::npos || nul + 1 + numbers > file.size()) {
      *error = "ends inside a word's entry";
      return false;
    }
    Item it;
    it.word = file.substr(at, nul - at);
    it.first = Be32(file, nul + 1);
    if (idx) it.second = Be32(file, nul + 5);
    items->push_back(it);
    at = nul + 1 + numbers;
  }
  return true;
}

// The items whose word is word, by binary search in StarDict's order.
std::pair<size_t, size_t> Lookup(const std::vector<Item>& items, std::string_view word) {
  const auto first = std::lower_bound(items.begin(), items.end(), word,
                                      [](const Item& i, std::string_view w) { return StarDictCompare(i.word, w) < 0; });
  auto last = first;
  while (last != items.end() && last->word == word) ++last;
  return {static_cast<size_t>(first - items.begin()), static_cast<size_t>(last - items.begin())};
}

std::string Unescaped(std::string_view value) {
  static const std::pair<const char*, char> kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    bool done = false;
    for (const auto& e : kEntities) {
      const size_t n = std::char_traits<char>::length(e.first);
      if (!done && value.compare(i, n, e.first) == 0) {
        out += e.second;
        i += n - 1;
        done = true;
      }
    }
    if (!done) out += value[i];
  }
  return out;
}

// What the articles a thread read hold: their links' words, their
// pictures' paths, and whether any holds a character no reader should be
// given.
struct Scan {
  std::vector<std::string> links, misses;
  std::set<std::string> pictures;
  bool strange = false;

  void Article(std::string_view a) {
    static constexpr std::string_view kLink = "<a href=\"bword://", kPicture = "<img src=\"";
    strange = strange || !AllExportable(a);
    for (size_t at = a.find(kLink); at != std::string_view::npos; at = a.find(kLink, at + 1)) {
      const size_t from = at + kLink.size(), end = a.find('"', from);
      if (end == std::string_view::npos) break;
      links.push_back(Unescaped(a.substr(from, end - from)));
    }
    for (size_t at = a.find(kPicture); at != std::string_view::npos; at = a.find(kPicture, at + 1)) {
      const size_t from = at + kPicture.size(), end = a.find('"', from);
      if (end == std::string_view::npos) break;
      pictures.insert(Unescaped(a.substr(from, end - from)));
    }
  }
};

class StarDictChecker {
 public:
  StarDictChecker(const std::string& dir, const UnicodeBook& book) : dir_(dir), book_(book), m_(book.model()) {}

  ExportCheck Check() {
    if (!Read() || !Ifo() || !Lists()) return r_;
    Order(idx_, ".idx");
    Order(syn_, ".syn");
    Articles();
    Synonyms();
    LinksAndPictures();
    return r_;
  }

 private:
  void Miss(const std::string& what) { r_.misses.push_back(what); }

  std::string Name(uint32_t part) const { return book_.PartName(part); }

  bool ReadFile(const std::string& name, std::string* bytes, bool optional = false) {
    std::string reason;
    if (ReadWholeFile(ToFileSystemPath(dir_ + "/" + name), kMaxFileBytes, bytes, &reason)) return true;
    if (optional && reason == "missing") return false;
    r_.error = dir_ + "/" + name + ": " + reason;
    return false;
  }

  bool Read() {
    const std::string name = kStarDictName;
    std::string dz;
    if (!ReadFile(name + ".ifo", &ifo_) || !ReadFile(name + ".idx", &idx_file_) || !ReadFile(name + ".dict.dz", &dz)) {
      return false;
    }
    has_syn_ = ReadFile(name + ".syn", &syn_file_, true);
    if (!r_.error.empty()) return false;
    std::string why;
    if (!ReadDictzip(dz, &dict_, &why)) {
      r_.error = dir_ + "/" + name + ".dict.dz: " + why;
      return false;
    }
    return true;
  }

  // The .ifo: its magic line and the values a reader relies on.
  bool Ifo() {
    std::map<std::string, std::string> values;
    size_t at = ifo_.find('\n');
    if (ifo_.compare(0, at, "StarDict's dict ifo file") != 0) {
      r_.error = dir_ + "/" + kStarDictName + ".ifo: not a StarDict .ifo file";
      return false;
    }
    while (at != std::string::npos && at + 1 < ifo_.size()) {
      const size_t end = ifo_.find('\n', at + 1);
      const std::string line = ifo_.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
      const size_t eq = line.find('=');
      if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
      at = end;
    }
    const auto expect = [&](const std::string& key, const std::string& want) {
      if (values[key] != want) Miss(std::string(kStarDictName) + ".ifo: " + key + " is \"" + values[key] + "\", not \"" + want + "\"");
    };
    expect("version", "3.0.0");
    expect("sametypesequence", "h");
    expect("idxfilesize", std::to_string(idx_file_.size()));
    if (values["bookname"].empty()) Miss(std::string(kStarDictName) + ".ifo: no bookname");
    word_count_ = values["wordcount"];
    syn_count_ = values.count("synwordcount") ? values["synwordcount"] : "0";
    if (has_syn_ == !values.count("synwordcount")) Miss(std::string(kStarDictName) + ".ifo: synwordcount and the .syn file disagree");
    return true;
  }

  bool Lists() {
    std::string why;
    if (!ParseList(idx_file_, true, &idx_, &why) || !ParseList(syn_file_, false, &syn_, &why)) {
      r_.error = dir_ + "/" + kStarDictName + ": " + why;
      return false;
    }
    if (word_count_ != std::to_string(idx_.size())) Miss(".idx: " + std::to_string(idx_.size()) + " words, the .ifo says " + word_count_);
    if (syn_count_ != std::to_string(syn_.size())) Miss(".syn: " + std::to_string(syn_.size()) + " words, the .ifo says " + syn_count_);
    for (const Item& i : idx_) {
      if (uint64_t{i.first} + i.second > dict_.size()) {
        r_.error = dir_ + ": the article of \"" + std::string(i.word) + "\" lies past the end of the articles";
        return false;
      }
    }
    for (const Item& s : syn_) {
      if (s.first >= idx_.size()) {
        r_.error = dir_ + ": the synonym \"" + std::string(s.word) + "\" points past the end of .idx";
        return false;
      }
    }
    return true;
  }

  void Order(const std::vector<Item>& items, const char* file) {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].word.size() >= 256 || items[i].word.empty() || !AllExportable(items[i].word)) {
        Miss(std::string(file) + ": the word \"" + std::string(CutUtf8(items[i].word, 64)) + "\" is no word StarDict reads");
      }
      if (i > 0 && StarDictCompare(items[i - 1].word, items[i].word) > 0) {
        Miss(std::string(file) + ": \"" + std::string(items[i].word) + "\" is out of StarDict's order");
      }
    }
  }

  // Every part's headword finds its article, as the book renders it; each
  // article of .idx is some part's.
  void Articles() {
    const size_t n = m_.parts.size();
    found_.assign(n, UINT32_MAX);
    Scan halves[2];
    const StarDictArticles html(book_);
    InShares(n, std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
      Scan& mine = halves[begin == 0 ? 0 : 1];
      std::string want;
      for (size_t part = begin; part < end; ++part) {
        want.clear();
        html.Append(static_cast<uint32_t>(part), &want);
        const std::pair<size_t, size_t> range = Lookup(idx_, book_.Headword(static_cast<uint32_t>(part)));
        for (size_t k = range.first; k < range.second && found_[part] == UINT32_MAX; ++k) {
          if (Article(k) == want) found_[part] = static_cast<uint32_t>(k);
        }
        if (found_[part] == UINT32_MAX) {
          mine.misses.push_back(Name(static_cast<uint32_t>(part)) + ": its headword does not find its article");
        } else {
          mine.Article(Article(found_[part]));
        }
      }
    });
    for (Scan& half : halves) {
      r_.misses.insert(r_.misses.end(), half.misses.begin(), half.misses.end());
      links_.insert(links_.end(), half.links.begin(), half.links.end());
      pictures_.insert(half.pictures.begin(), half.pictures.end());
      strange_ = strange_ || half.strange;
    }
    // Two parts alike in headword and article find the same one first; the
    // other takes the next.
    std::vector<char> claimed(idx_.size(), 0);
    for (size_t part = 0; part < n; ++part) {
      uint32_t& k = found_[part];
      if (k == UINT32_MAX || !claimed[k]) {
        if (k != UINT32_MAX) claimed[k] = 1;
        continue;
      }
      const std::string_view same = Article(k);
      while (k + 1 < idx_.size() && idx_[k + 1].word == idx_[k].word && (claimed[k] || Article(k) != same)) ++k;
      if (claimed[k]) Miss(Name(static_cast<uint32_t>(part)) + ": its headword does not find its article");
      claimed[k] = 1;
    }
    r_.articles = static_cast<int64_t>(n);
    r_.words += static_cast<int64_t>(n);
  }

  std::string_view Article(size_t k) const { return std::string_view(dict_).substr(idx_[k].first, idx_[k].second); }

  // Every other search word finds the part's article through .syn.
  void Synonyms() {
    std::vector<std::string> misses[2];
    int64_t words[2] = {0, 0};
    InShares(m_.parts.size(), std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
      const int half = begin == 0 ? 0 : 1;
      for (size_t part = begin; part < end; ++part) {
        const BookPart& p = m_.parts[part];
        if (found_[part] == UINT32_MAX) continue;
        for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
          const std::string word = ExportWord(m_.Word(m_.words[w]));
          if (word.empty() || word == book_.Headword(static_cast<uint32_t>(part))) continue;
          ++words[half];
          const std::pair<size_t, size_t> range = Lookup(syn_, word);
          bool found = false;
          for (size_t k = range.first; k < range.second && !found; ++k) found = syn_[k].first == found_[part];
          if (!found) misses[half].push_back(Name(static_cast<uint32_t>(part)) + ": search word \"" + word + "\" not found");
        }
      }
    });
    for (int half = 0; half < 2; ++half) {
      r_.misses.insert(r_.misses.end(), misses[half].begin(), misses[half].end());
      r_.words += words[half];
    }
  }

  // Every link of the articles finds a word, every picture is in res/, and
  // no article holds a character no reader should be given.
  void LinksAndPictures() {
    if (strange_) Miss("the articles hold a character no reader should be given");
    r_.links = static_cast<int64_t>(links_.size());
    std::sort(links_.begin(), links_.end());
    links_.erase(std::unique(links_.begin(), links_.end()), links_.end());
    for (const std::string& word : links_) {
      const std::pair<size_t, size_t> a = Lookup(idx_, word), b = Lookup(syn_, word);
      if (a.first == a.second && b.first == b.second) Miss("the link to \"" + word + "\": no such word");
    }
    for (const std::string& path : pictures_) {
      bool directory = false;
      if (path.find("..") != std::string::npos ||
          !QueryFileStatus(ToFileSystemPath(dir_ + "/res/" + path), &directory) || directory) {
        Miss("the picture res/" + path + ": missing");
      }
    }
    r_.pictures = static_cast<int64_t>(pictures_.size());
  }

  const std::string dir_;
  const UnicodeBook& book_;
  const BookModel& m_;
  ExportCheck r_;
  std::string ifo_, idx_file_, syn_file_, dict_, word_count_, syn_count_;
  bool has_syn_ = false;
  std::vector<Item> idx_, syn_;
  std::vector<uint32_t> found_;  // each part's article's index in .idx
  std::vector<std::string> links_;
  std::set<std::string> pictures_;
  bool strange_ = false;
};

}  // namespace

ExportCheck CheckStarDict(const std::string& dir, const UnicodeBook& book) {
  return StarDictChecker(dir, book).Check();
}

}  // namespace hz
