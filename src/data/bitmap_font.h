// Glyphs of a 16-dot bitmap font, for the characters the user names in
// gaiji.tsv and for the characters of the pages that the book's character set
// lacks. Two plain-text formats are read, told apart by their first line:
//
//   .hex (GNU Unifont)   one line a character: "9AD9:" and 32 hexadecimal
//                        digits (8 x 16 dots) or 64 (16 x 16), a row a byte
//                        or two bytes, top row first, high bit leftmost;
//   .bdf (X11 BDF)       "STARTFONT", then per character ENCODING (the
//                        Unicode code point), BBX (width, height and offsets
//                        from the origin) and BITMAP (a row a line).
//
// A glyph becomes a 16 x 16 cell: an 8-dot-wide one is centred and counts
// as narrow, a BDF glyph stands on the font's baseline (FONT_ASCENT dots from the top). A glyph
// that does not fit the cell counts as missing, as does a BDF font whose
// encoding is not Unicode (CHARSET_REGISTRY other than ISO10646).
#ifndef HZ2HTML_DATA_BITMAP_FONT_H_
#define HZ2HTML_DATA_BITMAP_FONT_H_

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace hz {

// A 16 x 16 glyph: rows from the top, bit 15 the leftmost dot. A narrow
// glyph (width 8: an 8-dot-wide glyph of the font) stands in the middle
// eight columns, bits 11 to 4.
struct Glyph16 {
  std::array<uint16_t, 16> rows{};
  uint8_t width = 16;
  bool operator==(const Glyph16& other) const { return rows == other.rows && width == other.width; }
};

// The largest font file read (GNU Unifont's is under 4 MiB).
constexpr uint64_t kMaxFontFileSize = uint64_t{64} << 20;

// Reads from the font file fs_path the glyphs of the characters in wanted
// (Unicode code points) into *glyphs; characters the font lacks are left
// out. False, with the reason in *error, when the file cannot be read or is
// neither format.
bool LoadFontGlyphs(const std::string& fs_path, const std::set<uint32_t>& wanted,
                    std::map<uint32_t, Glyph16>* glyphs, std::string* error);

// The same for a font already read into memory (tests, fuzz targets).
bool ParseFontGlyphs(const std::string& text, const std::set<uint32_t>& wanted,
                     std::map<uint32_t, Glyph16>* glyphs, std::string* error);

// The placeholder glyph of a code that no font draws: a box showing its
// four (lowest) hex digits.
Glyph16 PlaceholderGlyph(uint32_t code);

}  // namespace hz

#endif  // HZ2HTML_DATA_BITMAP_FONT_H_
