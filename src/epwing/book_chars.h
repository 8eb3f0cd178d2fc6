// The pages' characters as the book holds them. The pages are code page 932
// with the entities of the converter (&lt; &gt; &amp; and "&#xF040;"); the
// book takes EUC-JP bytes of JIS X 0208, its own gaiji, and ASCII.
//
// A converted text is a sequence of pieces: runs of EUC-JP/ASCII bytes and
// gaiji (by their index in the plan). Search words are converted apart:
// a gaiji that has no text is left out, full-width letters become ASCII
// (FreePWING's word normaliser mangles full-width capitals and cannot find
// full-width small letters), and delChars are removed.
#ifndef HZ2HTML_EPWING_BOOK_CHARS_H_
#define HZ2HTML_EPWING_BOOK_CHARS_H_

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "epwing/book_plan.h"

namespace hz {

// The search settings of harukaze.ebs.
struct SearchSettings {
  std::string kana_sep1 = "\x81\x79";  // 【
  std::string kana_sep2 = "\x81\x7A";  // 】
  std::string del_chars;               // Shift-JIS
  std::set<std::string> stop_words;    // ASCII, lower case
};

// Reads kanaSep1, kanaSep2, delChars and StopWord from the project file's
// bytes; what it lacks keeps the defaults.
SearchSettings ReadSearchSettings(const std::string& ebs);

// A converted text: bytes, with each gaiji as the byte 0x00 followed by two
// bytes of its index (high byte first). Neither EUC-JP nor ASCII text holds
// a zero byte.
using BookString = std::string;

class BookChars {
 public:
  BookChars(const BookPlan& plan, const SearchSettings& settings);

  // Text as the book shows it.
  BookString Display(std::string_view sjis) const { return Convert(sjis, false); }
  // Text as a search word: no gaiji, delChars and control bytes removed.
  std::string Word(std::string_view sjis) const;

 private:
  // What a character becomes: text, or a gaiji (text empty, gaiji >= 0).
  struct Form {
    std::string text;
    int32_t gaiji = -1;
  };
  BookString Convert(std::string_view sjis, bool word) const;
  void Put(const Form& f, bool word, BookString* out) const;

  std::vector<Form> double_byte_;        // by code - 0x8000
  std::vector<Form> word_double_byte_;   // the same, for words
  std::vector<Form> private_;            // references, by code - 0xF000
  std::string del_single_;               // single-byte delChars
};

// Calls piece(text) for each run of text and gaiji(index) for each gaiji
// of a converted string, in order.
template <typename Text, typename Gaiji>
void ForEachPiece(const BookString& s, Text text, Gaiji gaiji) {
  size_t start = 0;
  for (size_t i = 0; i < s.size();) {
    if (s[i] != '\0') {
      ++i;
      continue;
    }
    if (i > start) text(s.substr(start, i - start));
    if (i + 2 < s.size()) {
      gaiji(static_cast<size_t>(static_cast<unsigned char>(s[i + 1])) << 8 |
            static_cast<unsigned char>(s[i + 2]));
    }
    i += 3;
    start = i;
  }
  if (start < s.size()) text(s.substr(start));
}

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_CHARS_H_
