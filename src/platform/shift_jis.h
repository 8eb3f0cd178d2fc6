// Shift-JIS (code page 932), the dictionary's and the pages' encoding, and
// JIS X 0208, the character set of the EPWING book: everything the system
// knows of them stands here.
//
//  - Lead bytes: code page 932 makes 0x81 to 0x9F and 0xE0 to 0xFC the first
//    byte of a two-byte character, whose code is lead x 256 + trail (trail
//    0x40 to 0xFC but 0x7F).
//  - The private area: 0xF040 to 0xF9FC, the dictionary's own characters
//    (gaiji), which the pages write as character references ("&#xF040;").
//    References above it (0xFA40 to 0xFC4B, IBM's extension kanji such as
//    髙) stand for real characters of code page 932.
//  - JIS X 0208: rows 1 to 8 and 16 to 84 of Shift-JIS (lead bytes 0x81 to
//    0x84, 0x88 to 0x9F, 0xE0 to 0xEA), held in the book as their 7-bit JIS
//    codes (0x2121 to 0x7E7E).
//  - Unicode: the system's own reading of code page 932 (its conversion
//    tables, read once), and from it the JIS X 0208 code of a Unicode
//    character: code page 932's duplicates of JIS X 0208 characters (NEC's
//    row 13 ≒, IBM's ∵) map to the JIS X 0208 code.
#ifndef HZ2HTML_PLATFORM_SHIFT_JIS_H_
#define HZ2HTML_PLATFORM_SHIFT_JIS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hz {

inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

constexpr uint32_t kPrivateFirst = 0xF040;
constexpr uint32_t kPrivateLast = 0xF9FC;

// True for a code of the private area (a valid trail byte included).
inline bool IsPrivateCode(uint32_t code) {
  return code >= kPrivateFirst && code <= kPrivateLast && IsTrailByte(code & 0xFF);
}

// True for a double-byte Shift-JIS code of JIS X 0208's rows.
bool IsJisX0208Code(uint32_t sjis);

// The 7-bit JIS code (0x2121 ...) of a Shift-JIS code of JIS X 0208's rows,
// and back.
uint16_t JisOfShiftJis(uint32_t sjis);
uint32_t ShiftJisOfJis(uint16_t jis);

// The Unicode code point of a Shift-JIS character: a single byte (0x20 to
// 0x7E, or half-width katakana 0xA1 to 0xDF) or a double-byte code. 0 when
// code page 932 holds no character there (the private area included).
uint32_t UnicodeOfShiftJis(uint32_t code);

// The JIS X 0208 code of a Unicode character; 0 when JIS X 0208 lacks it.
uint16_t JisOfUnicode(uint32_t cp);

// The Shift-JIS code of a Unicode character (a byte below 0x100, or a
// double-byte code); 0 when code page 932 lacks it. Of code page 932's
// duplicates, the JIS X 0208 one.
uint32_t ShiftJisOfUnicode(uint32_t cp);

// The JIS X 0208 form of a printable ASCII character (0x20 to 0x7E), as the
// EB library converts a search word: the full-width forms, with the space
// as the ideographic space and ' " ` as ’ ” ‘.
uint16_t JisOfAscii(unsigned char c);

// The full-width JIS X 0208 katakana of half-width katakana (U+FF61 to
// U+FF9F) at cp, combined with a voicing mark (U+FF9E, U+FF9F) that
// follows (next, or 0) where they make one character (ｶﾞ is ガ); *both is
// set when next was taken too. 0 when cp is no half-width katakana.
uint16_t JisOfHalfWidthKana(uint32_t cp, uint32_t next, bool* both);

// The JIS X 0208 codes of UTF-8 text as far as JIS X 0208 can hold it:
// ASCII in its full-width forms (JisOfAscii), half-width katakana as
// full-width, every other character JIS X 0208 lacks left out; at most
// max_characters codes, into *codes.
void JisOfText(std::string_view utf8, size_t max_characters, std::vector<uint16_t>* codes);
inline std::vector<uint16_t> JisOfText(std::string_view utf8, size_t max_characters) {
  std::vector<uint16_t> codes;
  JisOfText(utf8, max_characters, &codes);
  return codes;
}

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_SHIFT_JIS_H_
