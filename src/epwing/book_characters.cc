#include "epwing/book_characters.h"

#include "platform/shift_jis.h"

namespace hz {

namespace {

constexpr size_t kGaijiPerRow = 94;
constexpr uint64_t kPrivateKey = uint64_t{1} << 32;

}  // namespace

uint16_t GaijiNumber(size_t n) {
  return static_cast<uint16_t>((0xA1 + n / kGaijiPerRow) << 8 | (0x21 + n % kGaijiPerRow));
}

BookCharacter BookCharacters::Drawn(uint64_t key, const Glyph16& glyph, uint32_t character, const std::string& alt) {
  const auto found = gaiji_.find(key);
  if (found != gaiji_.end()) return found->second;
  BookCharacter c;
  c.gaiji = true;
  c.narrow = glyph.width == 8;
  std::vector<BookGlyph>& font = c.narrow ? narrow_ : wide_;
  c.code = GaijiNumber(font.size());
  font.push_back(BookGlyph{glyph, character, alt});
  gaiji_.emplace(key, c);
  return c;
}

BookCharacter BookCharacters::OfCharacter(uint32_t cp, uint32_t next, bool* both) {
  *both = false;
  BookCharacter c;
  if (cp >= 0x20 && cp < 0x7F) {
    c.code = JisOfAscii(static_cast<unsigned char>(cp));
    c.narrow = true;
    return c;
  }
  c.code = JisOfUnicode(cp);
  if (c.code == 0) c.code = JisOfHalfWidthKana(cp, next, both);
  if (c.code != 0) return c;
  const auto glyph = model_.glyphs.find(cp);
  return Drawn(cp, glyph != model_.glyphs.end() ? glyph->second : PlaceholderGlyph(cp), cp, "");
}

BookCharacter BookCharacters::OfGaiji(uint32_t index) {
  const BookGaiji& g = model_.gaiji[index];
  if (g.character != 0 && (g.character < 0x80 || JisOfUnicode(g.character) != 0)) {
    bool both;
    return OfCharacter(g.character, 0, &both);
  }
  return Drawn(kPrivateKey | index, g.glyph, g.character, g.alt);
}

}  // namespace hz
