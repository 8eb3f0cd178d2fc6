#include "epwing/epwing_book.h"

#include <cstring>

#include "core/hex.h"
#include "core/utf8.h"
#include "epwing/book_bytes.h"
#include "epwing/book_characters.h"
#include "epwing/honmon_text.h"
#include "epwing/word_index.h"
#include "platform/mapped_file.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

// The index table's ids.
constexpr uint8_t kTextId = 0x00, kMenuId = 0x01, kCopyrightId = 0x02, kPicturesId = 0xD2;
constexpr uint8_t kWordId = 0x91, kEndWordId = 0x71, kKeywordId = 0x80;
// Availability 2 (the flags that follow hold), and the flags of the
// indexes: katakana converted (0), small letters converted (0), marks
// deleted (0); long vowels, double consonants, contracted sounds, small
// vowels, voiced consonants and p-sounds as they are (1 each).
constexpr uint32_t kPlainParameter = 0x02000000;
constexpr uint32_t kIndexParameter = 0x02000000 | 1 << 16 | 1 << 14 | 1 << 12 | 1 << 10 | 1 << 8 | 1 << 6;
constexpr size_t kIndexTableEntry = 16;

constexpr size_t kCatalogHeader = 16;
constexpr size_t kCatalogEntry = 164;
constexpr size_t kCatalogTitle = 80;
constexpr uint16_t kBookType = 0x0001;  // a Japanese dictionary, EPWING V1
constexpr size_t kFontHeaderSize = 2048, kFontChunk = 1024;
constexpr char kWideFont[] = "GA16FULL", kNarrowFont[] = "GA16HALF";

constexpr size_t kMaxWordCharacters = kMaxIndexKeyBytes / 2;

struct Region {
  uint8_t id;
  uint32_t first_page, pages;
  uint32_t parameter;
};

// The EB library's normalisation of a search word under the index flags
// above, applied to a JIS X 0208 word.
std::string Normalised(const std::vector<uint16_t>& jis) {
  std::string key;
  for (uint16_t c : jis) {
    uint32_t hi = c >> 8, lo = c & 0xFF;
    if (hi == 0x21 && (lo == 0x21 || lo == 0x26 || lo == 0x3E || lo == 0x47 || lo == 0x5D)) continue;
    if (hi == 0x25 && lo >= 0x21 && lo <= 0x76) hi = 0x24;  // katakana as hiragana
    if (hi == 0x23 && lo >= 0x61 && lo <= 0x7A) lo -= 0x20;  // small letters as capitals
    key += static_cast<char>(hi);
    key += static_cast<char>(lo);
  }
  return key;
}

// A key with its characters in reverse order, as the backward index holds it.
std::string Reversed(const std::string& key) {
  std::string r;
  for (size_t i = key.size(); i >= 2; i -= 2) r.append(key, i - 2, 2);
  return r;
}

void StartPage(std::string* honmon) { PadToPage(honmon); }

// The pages from first_page to the end of what is written (a page begun
// counts).
uint32_t PagesSince(const std::string& honmon, uint32_t first_page) {
  return static_cast<uint32_t>((honmon.size() + kBookPageSize - 1) / kBookPageSize) + 1 - first_page;
}

std::string Catalog(const std::string& title, bool wide, bool narrow) {
  std::string c(kCatalogHeader + kCatalogEntry, '\0');
  StoreBE16(1, &c[0]);  // one subbook
  StoreBE16(1, &c[2]);  // EPWING V1
  char* e = &c[kCatalogHeader];
  StoreBE16(kBookType, e);
  const std::vector<uint16_t> jis = JisOfText(title, kCatalogTitle / 2);
  for (size_t i = 0; i < jis.size(); ++i) StoreBE16(jis[i], e + 2 + 2 * i);
  std::memset(e + 2 + kCatalogTitle, ' ', 8);
  std::memcpy(e + 2 + kCatalogTitle, kSubbookDirectory, std::strlen(kSubbookDirectory));
  StoreBE16(1, e + 94);  // the index table is HONMON's first page
  if (wide) std::memcpy(e + 100, kWideFont, 8);
  if (narrow) std::memcpy(e + 132, kNarrowFont, 8);
  PadToPage(&c);
  return c;
}

// A font of the book's gaiji, each glyph 8 or 16 dots wide and 16 high.
std::string Font(const std::vector<BookGlyph>& glyphs, bool narrow) {
  std::string f(kFontHeaderSize, '\0');
  f[0] = 1;
  f[8] = static_cast<char>(narrow ? 8 : 16);
  f[9] = 16;
  StoreBE16(GaijiNumber(0), &f[10]);
  StoreBE16(static_cast<uint32_t>(glyphs.size()), &f[12]);
  const size_t size = narrow ? 16 : 32;
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const size_t at = kFontHeaderSize + i / (kFontChunk / size) * kFontChunk + i % (kFontChunk / size) * size;
    if (f.size() < at + size) f.resize(at + size, '\0');
    for (size_t y = 0; y < 16; ++y) {
      const uint16_t row = glyphs[i].glyph.rows[y];
      if (narrow) {
        f[at + y] = static_cast<char>(row >> 4 & 0xFF);
      } else {
        StoreBE16(row, &f[at + 2 * y]);
      }
    }
  }
  PadToPage(&f);
  return f;
}

// The reader maps of the gaiji whose character or replacement text is
// known.
void ReaderMaps(const BookCharacters& chars, std::string* ebwin, std::string* afonts) {
  for (const bool narrow : {false, true}) {
    const std::vector<BookGlyph>& glyphs = narrow ? chars.narrow() : chars.wide();
    for (size_t i = 0; i < glyphs.size(); ++i) {
      const BookGlyph& g = glyphs[i];
      if (g.character == 0 && g.alt.empty()) continue;
      const std::string number = Hex4(GaijiNumber(i));
      std::string code = "-";
      if (g.character != 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "u%04X", static_cast<unsigned>(g.character));
        code = hex;
      }
      std::string alt;
      ForEachCodePoint(g.alt, [&alt](uint32_t cp) {
        const uint32_t sjis = ShiftJisOfUnicode(cp);
        if (sjis > 0xFF) alt += static_cast<char>(sjis >> 8);
        if (sjis != 0) alt += static_cast<char>(sjis & 0xFF);
      });
      *ebwin += (narrow ? "h" : "z") + number + "\t" + code + "\t" + alt + "\r\n";
      const std::string shown = g.character != 0 ? Utf8Of(g.character) : g.alt;
      if (shown.find(' ') != std::string::npos) continue;  // the map's fields are split at spaces
      std::string lower = number;
      for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
      *afonts += (narrow ? "n" : "w") + lower + " " + shown + "\n";
    }
  }
}

class BookWriter {
 public:
  BookWriter(const BookModel& model, EpwingBook* book) : m_(model), book_(book), chars_(model), text_(model, &chars_, &honmon_) {}

  bool Write(std::string* error) {
    honmon_.assign(kBookPageSize, '\0');  // the index table, filled in last
    // Room for the text and the three indexes, so that the file is not
    // moved as it grows.
    honmon_.reserve(m_.content.size() + m_.content.size() / 2 + 3 * (m_.word_text.size() * 2 + m_.words.size() * 16) +
                    m_.markers.size() * 48);
    PreferLargePages(honmon_.data(), honmon_.capacity());
    Text();
    Menu();
    Copyright();
    Pictures();
    if (!Indexes(error)) return false;
    IndexTable();
    Files();
    return true;
  }

 private:
  uint32_t BeginRegion() {
    StartPage(&honmon_);
    return static_cast<uint32_t>(honmon_.size() / kBookPageSize) + 1;
  }
  void EndRegion(uint8_t id, uint32_t first, uint32_t parameter = kPlainParameter) {
    regions_.push_back({id, first, PagesSince(honmon_, first), parameter});
  }

  void Text() {
    const uint32_t first = BeginRegion();
    text_.BeginStretch();
    entry_at_.reserve(m_.entry_count);
    for (uint32_t i = 0; i < m_.entry_count; ++i) entry_at_.push_back(text_.Entry(m_.parts[i]));
    text_.EndStretch();
    EndRegion(kTextId, first);
    book_->entries = m_.entry_count;
  }

  // The menu: an item for each menu page, leading to it; then the pages.
  void Menu() {
    std::vector<const BookPart*> pages;
    for (const BookPart& p : m_.parts) {
      if (p.kind == PartKind::kMenuPage) pages.push_back(&p);
    }
    const uint32_t first = BeginRegion();
    text_.BeginStretch();
    std::vector<size_t> item_at;
    for (const BookPart* page : pages) {
      item_at.push_back(text_.ReferenceTo(m_.PlainHeading(*page)));
      text_.LineEnd();
    }
    text_.EndStretch();
    for (size_t i = 0; i < pages.size(); ++i) StoreBcdPosition(text_.Page(*pages[i]), &honmon_[item_at[i]]);
    EndRegion(kMenuId, first);
  }

  void Copyright() {
    const uint32_t first = BeginRegion();
    for (const BookPart& p : m_.parts) {
      if (p.kind == PartKind::kCopyright) text_.Page(p);
    }
    EndRegion(kCopyrightId, first);
  }

  void Pictures() {
    const uint32_t first = BeginRegion();
    const size_t before = honmon_.size();
    text_.FinishReferences();
    book_->references = text_.references();
    if (honmon_.size() > before) EndRegion(kPicturesId, first, 0);
  }

  bool Indexes(std::string* error) {
    WordIndex words, end_words, keywords;
    for (uint32_t i = 0; i < m_.entry_count; ++i) {
      const BookPart& p = m_.parts[i];
      const uint64_t text = entry_at_[i], heading = entry_at_[i] + 4;
      std::string key;
      for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
        if (!IndexKeyOf(m_.Word(m_.words[w]), &key)) continue;
        words.Add(key, text, heading);
        end_words.Add(Reversed(key), text, heading);
      }
      for (uint32_t k = p.markers_begin; k < p.markers_end; ++k) {
        if (IndexKeyOf(m_.Word(m_.markers[k]), &key)) keywords.Add(key, text, heading);
      }
    }
    book_->words = static_cast<int64_t>(words.size());
    book_->keywords = static_cast<int64_t>(keywords.size());
    const struct {
      WordIndex* index;
      uint8_t id;
    } indexes[] = {{&words, kWordId}, {&end_words, kEndWordId}, {&keywords, kKeywordId}};
    for (const auto& x : indexes) {
      // No keyword index without markers: a reader then offers no keyword
      // search.
      if (x.id == kKeywordId && x.index->size() == 0) continue;
      StartPage(&honmon_);
      uint32_t first = 0, pages = 0;
      if (!x.index->Write(&honmon_, &first, &pages)) {
        *error = "the search words make an index deeper than readers descend (" +
                 std::to_string(kMaxIndexDepth) + " levels)";
        return false;
      }
      regions_.push_back({x.id, first, pages, kIndexParameter});
    }
    return true;
  }

  void IndexTable() {
    StoreBE16(static_cast<uint32_t>(regions_.size()), &honmon_[0]);
    for (size_t i = 0; i < regions_.size(); ++i) {
      char* e = &honmon_[kIndexTableEntry * (i + 1)];
      e[0] = static_cast<char>(regions_[i].id);
      StoreBE32(regions_[i].first_page, e + 2);
      StoreBE32(regions_[i].pages, e + 6);
      StoreBE32(regions_[i].parameter, e + 10);
    }
    PadToPage(&honmon_);
  }

  void Files() {
    const std::string dir = kSubbookDirectory;
    const bool wide = !chars_.wide().empty(), narrow = !chars_.narrow().empty();
    book_->files.push_back({"catalogs", Catalog(m_.title, wide, narrow)});
    book_->files.push_back({dir + "/DATA/HONMON", std::move(honmon_)});
    if (wide) book_->files.push_back({dir + "/GAIJI/" + kWideFont, Font(chars_.wide(), false)});
    if (narrow) book_->files.push_back({dir + "/GAIJI/" + kNarrowFont, Font(chars_.narrow(), true)});
    std::string ebwin, afonts;
    ReaderMaps(chars_, &ebwin, &afonts);
    book_->files.push_back({dir + ".map", ebwin});
    book_->files.push_back({"afonts_0", afonts});
    book_->gaiji = static_cast<int64_t>(chars_.wide().size() + chars_.narrow().size());
  }

  const BookModel& m_;
  EpwingBook* book_;
  std::string honmon_;
  BookCharacters chars_;
  HonmonText text_;
  std::vector<uint64_t> entry_at_;
  std::vector<Region> regions_;
};

}  // namespace

bool IndexKeyOf(std::string_view word, std::string* key) {
  static thread_local std::vector<uint16_t> jis;
  JisOfText(word, kMaxWordCharacters, &jis);
  bool any = false;
  for (uint16_t c : jis) any = any || c != 0x2121;
  if (!any) return false;
  *key = Normalised(jis);
  return true;
}

bool WriteEpwingBook(const BookModel& model, EpwingBook* book, std::string* error) {
  *book = EpwingBook();
  BookWriter writer(model, book);
  return writer.Write(error);
}

}  // namespace hz
