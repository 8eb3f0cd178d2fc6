// What hz2book learns of the pages before FreePWING builds the book, and
// decides for them. The book's character set is JIS X 0208; the pages are
// code page 932. So:
//
//  - a character of code page 932 outside JIS X 0208 whose character JIS X
//    0208 holds under another code (the NEC and IBM duplicates, such as ≒)
//    is written as that code;
//  - any other such character (①, 髙) becomes a gaiji of the book, drawn
//    from its glyph in a 16-dot font (GNU Unifont);
//  - a private-area character ("&#xF040;") that gaiji.tsv names as a
//    character JIS X 0208 holds is written as that character; any other
//    becomes a gaiji drawn as Gaiji.xml draws the glyph GaijiMap.xml gives
//    it (the font's glyph of its named character, or the user's drawing);
//  - an image is put into the book when its file stands beside the pages;
//  - an identifier (<dt id>, <a name>) that a link points at becomes a
//    reference target of the book.
#ifndef HZ2HTML_EPWING_BOOK_PLAN_H_
#define HZ2HTML_EPWING_BOOK_PLAN_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"
#include "data/bitmap_font.h"

namespace hz {

// A gaiji of the book. FreePWING numbers them itself, from A121 in the
// order in which they are defined.
struct BookGaiji {
  // FreePWING's name for it: the glyph number GaijiMap.xml gives a
  // private-area code ("B121"; "p" and the code when it gives none), or
  // "u" and the code point of a character outside JIS X 0208 ("u2460";
  // "s" and its Shift-JIS code when it has none).
  std::string name;
  Glyph16 glyph;
  uint32_t character = 0;  // the character it stands for, 0 when unknown
  std::string alt;         // the replacement text gaiji.tsv gives (Shift-JIS)
};

struct BookImage {
  std::string src;      // as the pages write it ("FRACTAL/f03518.jpg")
  std::string name;     // the book's name for it ("img1")
  std::string type;     // "jpeg" or "bmp"
  std::string fs_path;  // the file beside the pages
};

struct BookTarget {
  std::string page, id;  // "honbun.html", "0012-0004"
  std::string tag;       // the book's name for it ("t1")
};

// An identifier of a page ("honbun.html", "0012-0004"), as views of bytes
// that outlive it (the pages, the plan's targets): the pages hold hundreds
// of thousands of identifiers.
struct PageId {
  std::string_view page, id;
  bool operator==(const PageId& o) const { return page == o.page && id == o.id; }
};

struct PageIdHash {
  size_t operator()(const PageId& k) const {
    const std::hash<std::string_view> h;
    return h(k.page) * 31 + h(k.id);
  }
};

struct BookPlan {
  // Characters (by Shift-JIS code, or by the code a reference carries)
  // that the book writes as other text: EUC-JP bytes of JIS X 0208.
  std::map<uint32_t, std::string> text;
  // Characters that the book draws as a gaiji: the index in gaiji.
  std::map<uint32_t, size_t> gaiji_of;
  std::vector<BookGaiji> gaiji;
  std::vector<BookImage> images;
  std::vector<BookTarget> targets;
  // <dt> elements of honbun.html and kanji.html, as a quick look counts
  // them (the book's text is the exact count).
  int64_t entries = 0;
};

struct PlanInputs {
  std::string out_path;  // the pages' directory, composed (ends in a separator)
  std::string font;      // the 16-dot font of characters outside JIS X 0208
  Report* report;        // told of gaiji.tsv's problems and of the font
};

// The six pages' bytes, by file name.
using BookPages = std::map<std::string, std::string>;

// Reads the six pages from the pages' directory; false, with the page and
// what is wrong in *error, when one cannot be read.
bool ReadBookPages(const std::string& out_path, BookPages* pages, std::string* error);

// Plans the book of the pages, with GaijiMap.xml, Gaiji.xml and gaiji.tsv
// beside them.
void MakeBookPlan(const PlanInputs& inputs, const BookPages& pages, BookPlan* plan);

// Reads a page whole; false with the reason when it cannot be read.
bool ReadPage(const std::string& fs_path, std::string* bytes, std::string* error);

// The EUC-JP bytes of a Shift-JIS character of JIS X 0208's rows.
std::string ShiftJisToEuc(uint32_t code);

// True for a double-byte Shift-JIS code of JIS X 0208's rows (1 to 8 and
// 16 to 84: lead bytes 0x81 to 0x84, 0x88 to 0x9F and 0xE0 to 0xEA).
bool IsJisX0208Row(uint32_t code);

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_PLAN_H_
