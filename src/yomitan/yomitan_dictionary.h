// The dictionary for Yomitan, the browser's pop-up dictionary (format 3),
// as its term-bank v3, kanji-bank v3 and index schemas describe it: one zip
// (libzip) of
//
//   index.json          title, revision, format 3, sequenced, author,
//                       description, attribution, sourceLanguage and
//                       targetLanguage "ja"
//   term_bank_N.json    rows of at most kBankRows, N from 1: a row per
//                       search word of a part (a part with none: one for its
//                       headword), [term, reading, "", "", 0, [{"type":
//                       "structured-content", "content": ...}], sequence,
//                       ""], the sequence the part's number (from 1), the
//                       reading the heading's kana when the term is another
//                       form of it, else ""
//   kanji_bank_N.json   kanji.html's entries of one character: [kanji,
//                       katakana readings (onyomi), hiragana readings
//                       (kunyomi), "", the body's lines, {}]
//   pictures            the pages' own at their paths and the gaiji's
//                       ("gaiji/F040.png"), stored as they are
//
// The content: the heading in a bold div, then the body; styles as spans
// (fontWeight bold, fontStyle italic, verticalAlign sub and super), line
// breaks as br, references as a with href "?query=WORD&wildcards=off" (the
// target's headword, or its first search word when a search for the
// headword would not find it), pictures as img with their caption as alt,
// a gaiji without text as its picture one line high, drawn in the text's
// colour. JSON is written with RapidJSON, each part's content once and
// placed in each of its rows; the banks are deflated on two threads and
// handed to libzip compressed.
#ifndef HZ2HTML_YOMITAN_YOMITAN_DICTIONARY_H_
#define HZ2HTML_YOMITAN_YOMITAN_DICTIONARY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "unicode/unicode_book.h"

namespace hz {

constexpr char kYomitanFile[] = "harukaze.zip";
constexpr size_t kBankRows = 10000;

struct YomitanInfo {
  std::string revision;     // "hz2book 1.4.0"
  std::string description;  // what the dictionary is and where it comes from
};

struct YomitanCounts {
  int64_t rows = 0, kanji = 0, banks = 0, pictures = 0;
};

// What each link target's links search for (by target).
std::vector<std::string> YomitanQueries(const UnicodeBook& book);
// The structured content of a part (a JSON array), as its rows hold it.
std::string YomitanContent(const UnicodeBook& book, const std::vector<std::string>& queries, uint32_t part);
// The terms of a part's rows, and the reading they give it.
std::vector<std::string> YomitanTerms(const UnicodeBook& book, uint32_t part);
std::string YomitanReading(const UnicodeBook& book, uint32_t part);

// Whether a Yomitan search for text, as the search page makes it, finds
// the part numbered sequence: the search finds the rows whose term or
// reading is the text or a beginning of it (longest first); has(word,
// sequence) says whether a row of the word has the sequence.
template <typename Has>
bool SearchFinds(std::string_view text, uint32_t sequence, Has has);

// Writes the zip at fs_path; false, with the reason in *error, when libzip
// cannot.
bool WriteYomitan(const UnicodeBook& book, const YomitanInfo& info, const std::string& fs_path,
                  YomitanCounts* counts, std::string* error);

// --- Template definitions.

template <typename Has>
bool SearchFinds(std::string_view text, uint32_t sequence, Has has) {
  // Every beginning of the text, longest first, by whole characters.
  size_t n = text.size();
  while (n > 0) {
    if (has(text.substr(0, n), sequence)) return true;
    do --n;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80);
  }
  return false;
}

}  // namespace hz

#endif  // HZ2HTML_YOMITAN_YOMITAN_DICTIONARY_H_
