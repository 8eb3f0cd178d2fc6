// The book's own characters (gaiji): the private-area characters that the
// pages write as references ("&#xF040;"). Four files beside the pages:
//
//   gaiji.tsv     the inventory, UTF-8: a header line, then per code (in
//                 ascending order) its count, where its first reference
//                 stands, the text around it, and the two columns the user
//                 fills in: the character it stands for ("unicode") and a
//                 short replacement text ("alt"). Rows of the user's for
//                 codes the pages no longer reference follow, count 0;
//   GaijiMap.xml  which glyph of the book each reference stands for:
//                 <gaijiMap unicode="#xF040" ebcode="B121"/>, glyphs
//                 numbered from B121, 94 to a row, with alt="..." where the
//                 user gave one;
//   Gaiji.xml     the glyphs: 16 lines of 16 characters, '#' for ink; a
//                 named character's glyph from a bitmap font, else a box
//                 that shows the code's four hex digits (a placeholder that
//                 the user may draw over);
//   HARUKAZE.map  for readers that show gaiji as text (EBWin, EBPocket):
//                 "zB121<TAB>u9AD9<TAB>alt" per named code, Shift-JIS.
//
// The two XML files are Shift-JIS and carry the converter's comment; a file
// of either name without it is the user's own and is never rewritten.
#ifndef HZ2HTML_BOOK_GAIJI_FILES_H_
#define HZ2HTML_BOOK_GAIJI_FILES_H_

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/gaiji_inventory.h"
#include "data/bitmap_font.h"
#include "data/gaiji_table.h"

namespace hz {

// The comment by which the converter knows its own XML files.
extern const char kGaijiComment[];

// What the gaiji files are written from.
struct GaijiFiles {
  // The codes the pages reference, in ascending order, and for each the
  // user's row of gaiji.tsv (an empty row, code 0, when there is none).
  std::vector<GaijiUse> uses;
  std::vector<GaijiTableRow> names;
  // The user's rows that no referenced code took: codes the pages no longer
  // reference, unreadable codes and repeated rows, in the table's order.
  std::vector<GaijiTableRow> unreferenced;
  // The font's glyphs of the named characters it has.
  std::map<uint32_t, Glyph16> glyphs;

  // The characters that the referenced codes are named as.
  std::vector<uint32_t> NamedCharacters() const;
};

// The uses of the pages with the rows of the user's table put beside them.
GaijiFiles MergeGaijiTable(std::vector<GaijiUse> uses, std::vector<GaijiTableRow> table);

// Each writes its file at path (a composed path) like a page; returns 0, or
// the system's error code when the file could not be written.
int WriteGaijiTable(const std::string& path, const GaijiFiles& gaiji);
int WriteGaijiMap(const std::string& path, const GaijiFiles& gaiji);
int WriteGaijiFont(const std::string& path, const GaijiFiles& gaiji);
int WriteGaijiReaderMap(const std::string& path, const GaijiFiles& gaiji);

// True when the converter may write path: no such file, or one that
// carries the converter's comment.
bool IsOwnGaijiFile(const std::string& path);

// The book's glyph number of the n-th code (from 0): "B121" ... "B17E",
// "B221", ...
std::string GaijiEbcode(size_t n);

// A glyph as Gaiji.xml draws it: 16 lines of 16 characters, '#' for ink.
std::array<std::string, 16> GlyphLines(const Glyph16& glyph);

// A reader map's line for a glyph of the book: "zB121\tu9AD9\talt" with
// "z" in full width, the glyph's number, "u" and the character's code point
// in 4 to 6 upper-case hex digits (or "-" when none is known) and the
// replacement text (Shift-JIS, may be empty).
std::string ReaderMapLine(const std::string& ebcode, uint32_t character, const std::string& alt);

}  // namespace hz

#endif  // HZ2HTML_BOOK_GAIJI_FILES_H_
