#include "book/gaiji_files.h"

#include <cstdio>
#include <cstring>

#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/page_file.h"

namespace hz {

const char kGaijiComment[] =
    "<!-- Written by hz2html with placeholder glyphs, which show each code. Draw the\n"
    "     characters over them, then delete this comment: hz2html rewrites this file\n"
    "     only while the comment is here. -->\n";

namespace {

constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n";
constexpr size_t kGlyphsPerRow = 94;

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

// Draws hex digit d with its top left pixel at (row, column).
void DrawDigit(std::array<std::string, 16>* glyph, unsigned d, size_t row, size_t column) {
  for (size_t y = 0; y < 5; ++y) {
    for (size_t x = 0; x < 4; ++x) {
      if (kDigits[d][y] & (0x8 >> x)) (*glyph)[row + y][column + x] = '#';
    }
  }
}

void XmlHead(PageWriter& out) {
  out.Lit(kXmlDeclaration);
  out.Lit(kGaijiComment);
}

}  // namespace

std::string GaijiEbcode(size_t n) {
  return Hex4(static_cast<uint32_t>((0xB1 + n / kGlyphsPerRow) << 8 | (0x21 + n % kGlyphsPerRow)));
}

std::array<std::string, 16> GaijiGlyph(uint32_t code) {
  std::array<std::string, 16> glyph;
  glyph[0] = glyph[15] = std::string(16, '#');
  for (size_t y = 1; y < 15; ++y) glyph[y] = "#" + std::string(14, ' ') + "#";
  // Two digits over two, centred inside the box.
  DrawDigit(&glyph, (code >> 12) & 0xF, 2, 3);
  DrawDigit(&glyph, (code >> 8) & 0xF, 2, 9);
  DrawDigit(&glyph, (code >> 4) & 0xF, 9, 3);
  DrawDigit(&glyph, code & 0xF, 9, 9);
  return glyph;
}

int WriteGaijiTable(const std::string& path, const std::vector<GaijiUse>& uses) {
  return WriteOutputFile(path, [&uses](PageWriter& out) {
    out.Lit("code\tcount\tfirst\tcontext\n");
    for (const GaijiUse& u : uses) {
      const std::string row = Hex4(u.code) + "\t" + std::to_string(u.count) + "\t" + u.first +
                              "\t" + u.context + "\n";
      out.Write(row.data(), row.size());
    }
  });
}

int WriteGaijiMap(const std::string& path, const std::vector<GaijiUse>& uses) {
  return WriteOutputFile(path, [&uses](PageWriter& out) {
    XmlHead(out);
    out.Lit("<gaijiSet>\n");
    for (size_t i = 0; i < uses.size(); ++i) {
      const std::string line = "  <gaijiMap unicode=\"#x" + Hex4(uses[i].code) + "\" ebcode=\"" +
                               GaijiEbcode(i) + "\"/>\n";
      out.Write(line.data(), line.size());
    }
    out.Lit("</gaijiSet>\n");
  });
}

int WriteGaijiFont(const std::string& path, const std::vector<GaijiUse>& uses) {
  return WriteOutputFile(path, [&uses](PageWriter& out) {
    XmlHead(out);
    out.Lit("<gaijiData xml:space=\"preserve\">\n");
    if (!uses.empty()) out.Lit("<fontSet size=\"16X16\" start=\"B121\">\n");
    for (size_t i = 0; i < uses.size(); ++i) {
      const std::string open = "<fontData ebcode=\"" + GaijiEbcode(i) + "\">\n";
      out.Write(open.data(), open.size());
      for (const std::string& line : GaijiGlyph(uses[i].code)) {
        out.Write(line.data(), line.size());
        out.Put('\n');
      }
      out.Lit("</fontData>\n");
    }
    if (!uses.empty()) out.Lit("</fontSet>\n");
    out.Lit("</gaijiData>\n");
  });
}

bool IsOwnGaijiFile(const std::string& path) {
  InputFile file(ToFileSystemPath(path));
  if (!file.is_open()) return file.missing();
  // The comment follows the declaration at the top.
  char head[4096];
  const size_t n = file.ReadAt(0, head, sizeof head);
  const char* mark = "<!-- Written by hz2html";
  const size_t m = std::strlen(mark);
  for (size_t i = 0; i + m <= n; ++i) {
    if (std::memcmp(head + i, mark, m) == 0) return true;
  }
  return false;
}

}  // namespace hz
