#include "unicode/glyph_png.h"

#include <png.h>

#include <array>

namespace hz {

namespace {

void Append(png_structp png, png_bytep data, png_size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}

void Flush(png_structp) {}

}  // namespace

std::string GlyphPng(const Glyph16& glyph) {
  const bool narrow = glyph.width == 8;
  const png_uint_32 width = narrow ? 8 : 16, height = 16;
  // One bit a dot: palette entry 0 the ground (transparent), 1 the dot.
  std::array<std::array<png_byte, 2>, 16> rows{};
  for (size_t y = 0; y < rows.size(); ++y) {
    // A narrow glyph stands in the middle eight columns of its cell.
    const uint16_t bits = narrow ? static_cast<uint16_t>(glyph.rows[y] << 4) : glyph.rows[y];
    rows[y][0] = static_cast<png_byte>(bits >> 8);
    rows[y][1] = static_cast<png_byte>(bits & 0xFF);
  }
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return "";
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "";
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_IHDR(png, info, width, height, 1, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[2] = {{255, 255, 255}, {0, 0, 0}};
  png_set_PLTE(png, info, palette, 2);
  png_byte alpha[1] = {0};
  png_set_tRNS(png, info, alpha, 1, nullptr);
  png_write_info(png, info);
  for (auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace hz
