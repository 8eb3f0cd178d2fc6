// Fuzz targets for what the user writes to name the gaiji: the gaiji table
// (gaiji.tsv) and a bitmap font (.hex or .bdf). One source, built into one
// target each (HZ_FUZZ_TARGET selects which).
//   GaijiTable: the input is the table's bytes.
//   BitmapFont: the first 8 bytes are two wanted code points (little
//   endian), the rest the font's text.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "data/bitmap_font.h"
#include "data/dict_file.h"
#include "data/gaiji_table.h"
#include "fuzz/fuzz_support.h"

namespace hzfuzz_gaiji {

void GaijiTable(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<hz::GaijiTableRow> rows = hz::ParseGaijiTable(bytes, hz::DictFile("gaiji.tsv"));
  std::set<uint32_t> codes;
  for (const hz::GaijiTableRow& r : rows) {
    // A code is a private-area code and names at most one row; what a row
    // names is a character of Unicode, and a short Shift-JIS text.
    if (r.code != 0 && (r.code < 0xF040 || r.code > 0xF9FC || !codes.insert(r.code).second)) abort();
    if (r.code == 0 && r.named()) abort();
    if (r.character > 0x10FFFF || (r.character >= 0xD800 && r.character <= 0xDFFF)) abort();
    if (r.alt.size() > 16) abort();
    for (unsigned char c : r.alt) {
      if (c < 0x20 || c == 0x7F) abort();
    }
  }
}

void BitmapFont(const uint8_t* data, size_t size) {
  hzfuzz::Parts parts(data, size);
  const std::set<uint32_t> wanted{parts.Word() % 0x110000, parts.Word() % 0x110000};
  const std::string text = size > 8 ? std::string(reinterpret_cast<const char*>(data) + 8, size - 8) : "";
  std::map<uint32_t, hz::Glyph16> glyphs;
  std::string error;
  const bool read = hz::ParseFontGlyphs(text, wanted, &glyphs, &error);
  if (!read && (error.empty() || !glyphs.empty())) abort();
  for (const auto& g : glyphs) {
    if (wanted.count(g.first) == 0) abort();
  }
}

}  // namespace hzfuzz_gaiji

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hzfuzz_gaiji::HZ_FUZZ_TARGET(data, size);
  return 0;
}
