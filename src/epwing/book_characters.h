// The book's characters. Its text is JIS X 0208, two bytes a character:
//
//  - a character JIS X 0208 holds is its code (code page 932's NEC and IBM
//    duplicates such as ≒ are JIS X 0208 characters too);
//  - ASCII is written in its full-width forms inside a narrow span, which
//    readers show as ASCII; half-width katakana become full-width;
//  - any other character is a gaiji of the book, drawn in a 16-dot font:
//    an 8-dot-wide glyph in the narrow font (inside a narrow span), any
//    other in the wide font. A private-area character of the dictionary
//    that gaiji.tsv names as a character of the forms above is written as
//    that character; otherwise it is a gaiji with its own glyph.
//
// Each font numbers its gaiji from A121 (94 to a row), in the order the
// text meets them.
#ifndef HZ2HTML_EPWING_BOOK_CHARACTERS_H_
#define HZ2HTML_EPWING_BOOK_CHARACTERS_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/book_model.h"

namespace hz {

struct BookCharacter {
  uint16_t code = 0;    // JIS X 0208, or the gaiji's number
  bool narrow = false;  // inside a narrow span
  bool gaiji = false;
};

// A gaiji of the book: its glyph, and what readers may show instead (its
// character, or the replacement text gaiji.tsv gives).
struct BookGlyph {
  Glyph16 glyph;
  uint32_t character = 0;
  std::string alt;  // UTF-8
};

// The number of the n-th gaiji of a font (from 0): A121 ... A17E, A221 ...
uint16_t GaijiNumber(size_t n);

class BookCharacters {
 public:
  explicit BookCharacters(const BookModel& model) : model_(model) {}

  // The character cp; next is the one after it (0 at the end), taken too
  // when *both is set (a half-width kana and its voicing mark).
  BookCharacter OfCharacter(uint32_t cp, uint32_t next, bool* both);
  // The model's private-area character of that index.
  BookCharacter OfGaiji(uint32_t index);

  const std::vector<BookGlyph>& wide() const { return wide_; }
  const std::vector<BookGlyph>& narrow() const { return narrow_; }

 private:
  BookCharacter Drawn(uint64_t key, const Glyph16& glyph, uint32_t character, const std::string& alt);

  const BookModel& model_;
  std::unordered_map<uint64_t, BookCharacter> gaiji_;  // by character, or by private-area index
  std::vector<BookGlyph> wide_, narrow_;
};

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_CHARACTERS_H_
