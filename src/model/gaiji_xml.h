// The book compiler's two gaiji files as the user left them beside the
// pages: GaijiMap.xml, which says which glyph of the book a reference
// ("&#xF040;") stands for, and Gaiji.xml, which draws each glyph in 16 lines
// of 16 characters ('#' for ink). Either may be the converter's or the
// user's own; both are read leniently, element by element.
#ifndef HZ2HTML_MODEL_GAIJI_XML_H_
#define HZ2HTML_MODEL_GAIJI_XML_H_

#include <cstdint>
#include <map>
#include <string>

#include "data/bitmap_font.h"

namespace hz {

// The glyph number ("B121") of each code that GaijiMap.xml maps
// (<gaijiMap unicode="#xF040" ebcode="B121"/>), by code.
std::map<uint32_t, std::string> ParseGaijiMap(const std::string& xml);

// The 16 x 16 glyphs of Gaiji.xml (<fontData ebcode="B121"> and 16 lines),
// by glyph number; a glyph of another size is left out.
std::map<std::string, Glyph16> ParseGaijiFont(const std::string& xml);

// The largest gaiji file read: far more than the private area's glyphs.
constexpr uint64_t kMaxGaijiFileSize = uint64_t{64} << 20;

}  // namespace hz

#endif  // HZ2HTML_MODEL_GAIJI_XML_H_
