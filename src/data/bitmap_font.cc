#include "data/bitmap_font.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/hex.h"
#include "platform/input_file.h"

namespace hz {

namespace {

constexpr int kCell = 16;

// Splits text into lines (LF or CR LF), calling line(p, n) for each.
template <typename Line>
void ForEachLine(const std::string& text, Line line) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t n = end - start;
    if (n > 0 && text[start + n - 1] == '\r') --n;
    if (!line(text.data() + start, n)) return;
    start = end + 1;
  }
}

// "9AD9:" followed by 32 or 64 hexadecimal digits.
void ParseHexFont(const std::string& text, const std::set<uint32_t>& wanted,
                  std::map<uint32_t, Glyph16>* glyphs) {
  ForEachLine(text, [&](const char* p, size_t n) {
    const char* colon = static_cast<const char*>(std::memchr(p, ':', n));
    uint32_t code;
    if (!colon || colon - p > 6 || !ParseHexDigits(p, static_cast<size_t>(colon - p), &code)) return true;
    if (wanted.count(code) == 0) return true;
    const char* bits = colon + 1;
    const size_t digits = n - static_cast<size_t>(bits - p);
    if (digits != 32 && digits != 64) return true;
    const size_t per_row = digits / kCell;  // 2 or 4 digits
    Glyph16 g;
    if (per_row == 2) g.width = 8;
    for (int row = 0; row < kCell; ++row) {
      uint32_t v;
      if (!ParseHexDigits(bits + row * per_row, per_row, &v)) return true;
      // An 8-dot-wide glyph stands in the middle of the cell.
      g.rows[row] = static_cast<uint16_t>(per_row == 2 ? v << 4 : v);
    }
    (*glyphs)[code] = g;
    return true;
  });
}

// The words of a BDF line.
std::vector<std::string> Words(const char* p, size_t n) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < n) {
    while (i < n && (p[i] == ' ' || p[i] == '\t')) ++i;
    const size_t start = i;
    while (i < n && p[i] != ' ' && p[i] != '\t') ++i;
    if (i > start) words.emplace_back(p + start, i - start);
  }
  return words;
}

// The number of a BDF line's word i, 0 when there is none. Kept within
// plus or minus 2^24 (more than any code point or glyph size), so that
// sums of a few of them cannot overflow, however large the font's figures.
long Number(const std::vector<std::string>& w, size_t i) {
  constexpr long kLimit = long{1} << 24;
  const long n = i < w.size() ? std::strtol(w[i].c_str(), nullptr, 10) : 0;
  return n < -kLimit ? -kLimit : n > kLimit ? kLimit : n;
}

// The state of a BDF font being read: the font's baseline, and the
// character being read.
struct BdfReader {
  BdfReader(const std::set<uint32_t>& w, std::map<uint32_t, Glyph16>* g) : wanted(w), glyphs(g) {}

  const std::set<uint32_t>& wanted;
  std::map<uint32_t, Glyph16>* glyphs;
  long ascent = -1;          // FONT_ASCENT, or from FONTBOUNDINGBOX
  bool unicode = true;       // CHARSET_REGISTRY is ISO10646 (or not given)
  long code = -1;            // ENCODING of the character, -1 when none
  long width = 0, height = 0, xoff = 0, yoff = 0, advance = kCell;
  int bitmap_row = -1;       // rows of BITMAP read so far, -1 outside it
  bool fits = false;
  Glyph16 glyph;

  void Line(const char* p, size_t n) {
    if (bitmap_row >= 0) {
      Row(p, n);
      return;
    }
    const std::vector<std::string> w = Words(p, n);
    if (w.empty()) return;
    const std::string& key = w[0];
    if (key == "FONTBOUNDINGBOX" && ascent < 0) {
      ascent = Number(w, 2) + Number(w, 4);
    } else if (key == "FONT_ASCENT") {
      ascent = Number(w, 1);
    } else if (key == "CHARSET_REGISTRY" && w.size() > 1) {
      unicode = w[1].find("ISO10646") != std::string::npos;
    } else if (key == "STARTCHAR") {
      code = -1;
      advance = kCell;
    } else if (key == "ENCODING") {
      code = Number(w, 1);
    } else if (key == "DWIDTH") {
      advance = Number(w, 1);
    } else if (key == "BBX") {
      width = Number(w, 1);
      height = Number(w, 2);
      xoff = Number(w, 3);
      yoff = Number(w, 4);
    } else if (key == "BITMAP") {
      Begin();
    }
  }

  // The cell's top row and left column of the glyph's box; the glyph is
  // kept only when the box lies inside the cell.
  void Begin() {
    bitmap_row = 0;
    glyph = Glyph16();
    fits = unicode && code >= 0 && wanted.count(static_cast<uint32_t>(code)) != 0 && width > 0 &&
           height > 0;
    if (!fits) return;
    const long top = (ascent < 0 ? kCell : ascent) - (height + yoff);
    const long left = xoff + (advance > 0 && advance < kCell ? (kCell - advance) / 2 : 0);
    fits = top >= 0 && left >= 0 && top + height <= kCell && left + width <= kCell;
    top_ = top;
    left_ = left;
  }

  void Row(const char* p, size_t n) {
    if (n == 7 && std::memcmp(p, "ENDCHAR", 7) == 0) {
      if (fits && bitmap_row == height) {
        // A glyph of eight dots' advance that keeps to the middle columns
        // is narrow.
        if (advance > 0 && advance <= 8 && left_ >= 4 && left_ + width <= 12) glyph.width = 8;
        (*glyphs)[static_cast<uint32_t>(code)] = glyph;
      }
      bitmap_row = -1;
      return;
    }
    if (fits && bitmap_row < height) {
      uint32_t v;
      const size_t bytes = static_cast<size_t>((width + 7) / 8);
      if (n < 2 * bytes || bytes > 2 || !ParseHexDigits(p, 2 * bytes, &v)) {
        fits = false;
      } else {
        // The row's dots, left-aligned in its bytes, moved to their column.
        const uint32_t dots = v << (32 - 8 * bytes) >> 16 >> left_;
        glyph.rows[static_cast<size_t>(top_ + bitmap_row)] = static_cast<uint16_t>(dots);
      }
    }
    ++bitmap_row;
  }

  long top_ = 0, left_ = 0;
};

// The hex digits of the glyphs, 4 pixels wide and 5 high, a row of pixels
// per 4 bits (the highest bit the leftmost pixel).
constexpr uint8_t kDigits[16][5] = {
    {0x6, 0x9, 0x9, 0x9, 0x6},  // 0
    {0x2, 0x6, 0x2, 0x2, 0x7},  // 1
    {0x6, 0x9, 0x2, 0x4, 0xF},  // 2
    {0xE, 0x1, 0x6, 0x1, 0xE},  // 3
    {0x9, 0x9, 0xF, 0x1, 0x1},  // 4
    {0xF, 0x8, 0xE, 0x1, 0xE},  // 5
    {0x6, 0x8, 0xE, 0x9, 0x6},  // 6
    {0xF, 0x1, 0x2, 0x4, 0x4},  // 7
    {0x6, 0x9, 0x6, 0x9, 0x6},  // 8
    {0x6, 0x9, 0x7, 0x1, 0x6},  // 9
    {0x6, 0x9, 0xF, 0x9, 0x9},  // A
    {0xE, 0x9, 0xE, 0x9, 0xE},  // B
    {0x7, 0x8, 0x8, 0x8, 0x7},  // C
    {0xE, 0x9, 0x9, 0x9, 0xE},  // D
    {0xF, 0x8, 0xE, 0x8, 0xF},  // E
    {0xF, 0x8, 0xE, 0x8, 0x8},  // F
};

// Draws hex digit d with its top left dot at (row, column).
void DrawDigit(Glyph16* glyph, unsigned d, size_t row, size_t column) {
  for (size_t y = 0; y < 5; ++y) {
    glyph->rows[row + y] |= static_cast<uint16_t>(kDigits[d][y] << (12 - column));
  }
}

}  // namespace

Glyph16 PlaceholderGlyph(uint32_t code) {
  Glyph16 glyph;
  glyph.rows[0] = glyph.rows[15] = 0xFFFF;
  for (size_t y = 1; y < 15; ++y) glyph.rows[y] = 0x8001;
  // Two digits over two, centred inside the box.
  DrawDigit(&glyph, (code >> 12) & 0xF, 2, 3);
  DrawDigit(&glyph, (code >> 8) & 0xF, 2, 9);
  DrawDigit(&glyph, (code >> 4) & 0xF, 9, 3);
  DrawDigit(&glyph, code & 0xF, 9, 9);
  return glyph;
}

bool ParseFontGlyphs(const std::string& text, const std::set<uint32_t>& wanted,
                     std::map<uint32_t, Glyph16>* glyphs, std::string* error) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && text.compare(first, 9, "STARTFONT") == 0) {
    // Read apart: a registry met late still unmakes every glyph.
    std::map<uint32_t, Glyph16> read;
    BdfReader reader(wanted, &read);
    ForEachLine(text, [&reader](const char* p, size_t n) {
      reader.Line(p, n);
      return true;
    });
    if (!reader.unicode) {
      *error = "not a Unicode font (its CHARSET_REGISTRY is not ISO10646)";
      return false;
    }
    glyphs->insert(read.begin(), read.end());
    return true;
  }
  const size_t colon = text.find(':');
  if (first == std::string::npos || colon == std::string::npos || colon - first > 6) {
    *error = "neither a .hex nor a .bdf font";
    return false;
  }
  ParseHexFont(text, wanted, glyphs);
  return true;
}

bool LoadFontGlyphs(const std::string& fs_path, const std::set<uint32_t>& wanted,
                    std::map<uint32_t, Glyph16>* glyphs, std::string* error) {
  std::string text;
  return ReadWholeFile(fs_path, kMaxFontFileSize, &text, error) &&
         ParseFontGlyphs(text, wanted, glyphs, error);
}

}  // namespace hz
