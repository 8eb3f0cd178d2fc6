// The EPWING book of the model (JIS X 4081, EPWING V1, as the EB library
// reads it), written in memory: no file is touched here, so the writer
// builds wherever the model does.
//
//   catalogs                  16 bytes (subbooks: 1, version: 1), then the
//                             subbook's 164 bytes: book type, its title in
//                             JIS X 0208 (80 bytes), its directory name
//                             (8 bytes, space-padded), the page of its index
//                             table (offset 94), its wide and narrow font
//                             files (4 x 8 bytes each, offsets 100 and 132)
//   HARUKAZE/DATA/HONMON      page 1 the index table (16 bytes an entry from
//                             offset 16: id, page, pages, search flags),
//                             then the text (0x00), the menu (0x01), the
//                             copyright (0x02), the pictures (0xD2), the
//                             forward (0x91) and backward (0x71) word indexes
//                             and the keyword index (0x80)
//   HARUKAZE/GAIJI/GA16FULL   the wide gaiji: a 2048-byte header (width,
//   HARUKAZE/GAIJI/GA16HALF   height, first number, count), then 16 x 16 or
//                             8 x 16 bitmaps, a bit a dot, in 1024-byte
//                             chunks that no glyph crosses
//   HARUKAZE.map              what the gaiji stand for, for EBWin and
//                             EBPocket: "zA121<TAB>u9AD9<TAB>alt" (narrow:
//                             "h"), Shift-JIS, CR LF
//   afonts_0                  the same for GoldenDict and qolibri: "wa121 髙"
//                             (narrow: "n"), UTF-8
//
// Search words are indexed as the EB library normalises a word it is asked
// for (index flags: katakana as hiragana, small letters as capitals, spaces
// and the marks ・‐’− left out), so that every word the model holds for an
// entry finds it; a word is its first 127 JIS X 0208 characters, those
// JIS X 0208 lacks left out, and a word of nothing but spaces is none.
#ifndef HZ2HTML_EPWING_EPWING_BOOK_H_
#define HZ2HTML_EPWING_EPWING_BOOK_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/book_model.h"

namespace hz {

// The subbook's directory, the name the reader map takes after it.
constexpr char kSubbookDirectory[] = "HARUKAZE";

struct EpwingBook {
  std::vector<BookFile> files;
  int64_t entries = 0, words = 0, keywords = 0, references = 0, gaiji = 0;
};

// The book's index key of a word (UTF-8): its JIS X 0208 form, normalised
// as the EB library normalises a search word (the key may be empty: "・").
// False when it is no word of the book.
bool IndexKeyOf(std::string_view word, std::string* key);

// Writes the book's files; false, with the reason in *error, when the
// model cannot be made a book (an index deeper than readers descend).
bool WriteEpwingBook(const BookModel& model, EpwingBook* book, std::string* error);

}  // namespace hz

#endif  // HZ2HTML_EPWING_EPWING_BOOK_H_
