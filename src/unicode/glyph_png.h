// A gaiji's glyph as a PNG picture, for readers that take pictures where
// they lack the character: 16 dots high, 16 wide (8 for a narrow glyph),
// the dots opaque black on a transparent ground, so that a reader may draw
// them in its own text colour. Written with libpng.
#ifndef HZ2HTML_UNICODE_GLYPH_PNG_H_
#define HZ2HTML_UNICODE_GLYPH_PNG_H_

#include <string>

#include "data/bitmap_font.h"

namespace hz {

// The PNG file of the glyph; "" when libpng fails.
std::string GlyphPng(const Glyph16& glyph);

}  // namespace hz

#endif  // HZ2HTML_UNICODE_GLYPH_PNG_H_
