// The book's own characters (gaiji): the private-area characters that the
// pages write as references ("&#xF040;"). Three files beside the pages:
//
//   gaiji.tsv     the inventory, UTF-8: a header line, then per code (in
//                 ascending order) its count, where its first reference
//                 stands, and the text around it;
//   GaijiMap.xml  which glyph of the book each reference stands for:
//                 <gaijiMap unicode="#xF040" ebcode="B121"/>, glyphs
//                 numbered from B121, 94 to a row;
//   Gaiji.xml     the glyphs: 16 lines of 16 characters, '#' for ink, a box
//                 that shows the code's four hex digits (placeholders that
//                 the user draws over).
//
// The two XML files are Shift-JIS and carry the converter's comment; a file
// of either name without it is the user's own and is never rewritten.
#ifndef HZ2HTML_BOOK_GAIJI_FILES_H_
#define HZ2HTML_BOOK_GAIJI_FILES_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gaiji_inventory.h"

namespace hz {

// The comment by which the converter knows its own XML files.
extern const char kGaijiComment[];

// Each writes its file at path (a composed path) like a page; returns 0, or
// the system's error code when the file could not be written.
int WriteGaijiTable(const std::string& path, const std::vector<GaijiUse>& uses);
int WriteGaijiMap(const std::string& path, const std::vector<GaijiUse>& uses);
int WriteGaijiFont(const std::string& path, const std::vector<GaijiUse>& uses);

// True when the converter may write path: no such file, or one that
// carries the converter's comment.
bool IsOwnGaijiFile(const std::string& path);

// The book's glyph number of the n-th code (from 0): "B121" ... "B17E",
// "B221", ...
std::string GaijiEbcode(size_t n);

// The placeholder glyph of code: 16 lines of 16 characters.
std::array<std::string, 16> GaijiGlyph(uint32_t code);

}  // namespace hz

#endif  // HZ2HTML_BOOK_GAIJI_FILES_H_
