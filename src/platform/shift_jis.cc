#include "platform/shift_jis.h"

#include <memory>
#include <vector>

#include "core/utf8.h"
#include "platform/code_page.h"

namespace hz {

namespace {

// Half-width katakana U+FF61 to U+FF9F as full-width JIS X 0208 characters.
constexpr uint16_t kHalfWidthKana[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

// The system's reading of code page 932, read once: the code point of every
// Shift-JIS code, and the JIS X 0208 code of every character of the Basic
// Multilingual Plane that JIS X 0208 holds.
struct Tables {
  std::unique_ptr<uint32_t[]> unicode{new uint32_t[0x10000]()};
  std::unique_ptr<uint16_t[]> jis{new uint16_t[0x10000]()};
  std::unique_ptr<uint16_t[]> sjis{new uint16_t[0x10000]()};

  Tables() {
    std::vector<uint32_t> codes;
    for (uint32_t c = 0x20; c < 0x7F; ++c) codes.push_back(c);
    for (uint32_t c = 0xA1; c <= 0xDF; ++c) codes.push_back(c);
    for (uint32_t lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (uint32_t trail = 0x40; trail <= 0xFC; ++trail) {
        const uint32_t code = lead << 8 | trail;
        if (IsTrailByte(static_cast<unsigned char>(trail)) && !IsPrivateCode(code)) codes.push_back(code);
      }
    }
    std::vector<uint32_t> points(codes.size());
    ShiftJisCodePoints(codes.data(), codes.size(), points.data());
    for (size_t i = 0; i < codes.size(); ++i) {
      const uint32_t cp = points[i];
      // A code the system reads as a private-use character is no character
      // of the text.
      if (cp >= 0xE000 && cp <= 0xF8FF) continue;
      unicode[codes[i]] = cp;
      if (cp == 0 || cp >= 0x10000) continue;
      const bool jis_code = IsJisX0208Code(codes[i]);
      if (jis_code && jis[cp] == 0) jis[cp] = JisOfShiftJis(codes[i]);
      if (sjis[cp] == 0 || (jis_code && !IsJisX0208Code(sjis[cp]))) sjis[cp] = static_cast<uint16_t>(codes[i]);
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

bool IsJisX0208Code(uint32_t sjis) {
  const uint32_t lead = sjis >> 8;
  const bool lead_ok = (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
                       (lead >= 0xE0 && lead <= 0xEA);
  return lead_ok && IsTrailByte(static_cast<unsigned char>(sjis & 0xFF));
}

uint16_t JisOfShiftJis(uint32_t sjis) {
  const uint32_t lead = sjis >> 8;
  uint32_t trail = sjis & 0xFF;
  const uint32_t row = (lead <= 0x9F ? lead - 0x70 : lead - 0xB0) * 2;
  if (trail >= 0x9F) return static_cast<uint16_t>(row << 8 | (trail - 0x7E));
  if (trail >= 0x80) --trail;
  return static_cast<uint16_t>((row - 1) << 8 | (trail - 0x1F));
}

uint32_t ShiftJisOfJis(uint16_t jis) {
  const uint32_t row = jis >> 8, cell = jis & 0xFF;
  const uint32_t lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
  uint32_t trail;
  if (row % 2 == 1) {
    trail = cell + 0x1F;
    if (trail >= 0x7F) ++trail;
  } else {
    trail = cell + 0x7E;
  }
  return lead << 8 | trail;
}

uint32_t UnicodeOfShiftJis(uint32_t code) { return code < 0x10000 ? TheTables().unicode[code] : 0; }

uint16_t JisOfUnicode(uint32_t cp) { return cp < 0x10000 ? TheTables().jis[cp] : 0; }

uint32_t ShiftJisOfUnicode(uint32_t cp) { return cp < 0x10000 ? TheTables().sjis[cp] : 0; }

uint16_t JisOfAscii(unsigned char c) {
  switch (c) {
    case ' ': return 0x2121;
    case '\'': return 0x2147;
    case '"': return 0x2149;
    case '`': return 0x2146;
    default: break;
  }
  return c > 0x20 && c < 0x7F ? JisOfUnicode(0xFF00 + c - 0x20) : 0;
}

uint16_t JisOfHalfWidthKana(uint32_t cp, uint32_t next, bool* both) {
  *both = false;
  if (cp < 0xFF61 || cp > 0xFF9F) return 0;
  const uint16_t kana = kHalfWidthKana[cp - 0xFF61];
  const unsigned lo = kana & 0xFF;
  if ((kana >> 8) != 0x25 || (next != 0xFF9E && next != 0xFF9F)) return kana;
  const bool voiced = next == 0xFF9E;
  uint16_t combined = 0;
  if (voiced && ((lo >= 0x2B && lo <= 0x41) || (lo >= 0x44 && lo <= 0x48))) {
    combined = static_cast<uint16_t>(kana + 1);  // カ゛ is ガ
  } else if (lo >= 0x4F && lo <= 0x5B && (lo - 0x4F) % 3 == 0) {
    combined = static_cast<uint16_t>(kana + (voiced ? 1 : 2));  // ハ゛ is バ, ハ゜ is パ
  } else if (voiced && kana == 0x2526) {
    combined = 0x2574;  // ウ゛ is ヴ
  }
  if (combined != 0) *both = true;
  return combined != 0 ? combined : kana;
}

void JisOfText(std::string_view utf8, size_t max_characters, std::vector<uint16_t>* out) {
  std::vector<uint16_t>& codes = *out;
  codes.clear();
  const char* p = utf8.data();
  const char* const end = p + utf8.size();
  uint32_t cp = 0, next = 0;
  size_t n = p < end ? ReadUtf8(p, end, &cp) : 0;
  while (p < end && codes.size() < max_characters) {
    const char* after = p + n;
    size_t next_n = after < end ? ReadUtf8(after, end, &next) : 0;
    if (after >= end) next = 0;
    bool both = false;
    uint16_t jis = cp < 0x80 ? JisOfAscii(static_cast<unsigned char>(cp)) : JisOfUnicode(cp);
    if (jis == 0) jis = JisOfHalfWidthKana(cp, next, &both);
    if (jis != 0) codes.push_back(jis);
    if (both) {
      after += next_n;
      next_n = after < end ? ReadUtf8(after, end, &next) : 0;
    }
    p = after;
    cp = next;
    n = next_n;
  }
}

}  // namespace hz
