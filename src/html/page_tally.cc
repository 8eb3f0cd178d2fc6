#include "html/page_tally.h"

#include <cstdio>
#include <vector>

#include "core/hex.h"
#include "html/sjis.h"
#include "platform/code_page.h"
#include "platform/page_writer.h"

namespace hz {

namespace {

constexpr int kContextChars = 10;

// A character of the text: its first byte and its length (1 or 2).
struct Char {
  const unsigned char* p;
  int n;
};

// Steps over the character at p; false at the end of the text (a zero
// byte, or a lead byte right before it).
bool Next(const unsigned char* p, Char* c) {
  if (*p == 0 || (IsLeadByte(*p) && p[1] == 0)) return false;
  *c = {p, IsLeadByte(*p) ? 2 : 1};
  return true;
}

// False for a byte the pages do not show (a control byte other than CR,
// 0x7F, a single byte from 0x80 up).
bool Shows(const Char& c) { return c.n == 2 || *c.p == kCR || (*c.p >= 0x20 && *c.p <= 0x7E); }

// What a character that the pages show reads as in the context, in
// Shift-JIS: a space for a line end, 〓 (0x81AC) for a private-area
// character, 【 and 】 for their stand-ins.
std::string Readable(const Char& c) {
  if (c.n == 1) return std::string(1, *c.p == kCR ? ' ' : static_cast<char>(*c.p));
  uint32_t code = static_cast<uint32_t>(c.p[0]) << 8 | c.p[1];
  if (code == kPrivateOpen) code = kLenticularOpen;
  if (code == kPrivateClose) code = kLenticularClose;
  if (code >= kPrivateAreaStart) code = 0x81AC;
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The context in UTF-8; a character without a UTF-8 form reads as '?'.
std::string ToUtf8(const std::vector<std::string>& chars) {
  std::string sjis, utf8;
  for (const std::string& c : chars) sjis += c;
  if (AppendShiftJisAsUtf8(sjis.data(), sjis.size(), &utf8)) return utf8;
  utf8.clear();
  for (const std::string& c : chars) {
    if (!AppendShiftJisAsUtf8(c.data(), c.size(), &utf8)) utf8 += '?';
  }
  return utf8;
}

}  // namespace

std::string ContextAround(const TextSpot& spot, uint32_t code) {
  // Before: the last characters that read as something, between the
  // entry's start and the referenced one (stepped from the start: Shift-JIS
  // cannot be stepped backwards).
  std::vector<Char> before;
  Char c{nullptr, 0};
  for (const unsigned char* p = spot.entry; p < spot.at && Next(p, &c); p += c.n) {
    if (Shows(c)) before.push_back(c);
  }
  std::vector<std::string> chars;
  for (size_t i = before.size() > kContextChars ? before.size() - kContextChars : 0; i < before.size(); ++i) {
    chars.push_back(Readable(before[i]));
  }
  chars.push_back("[" + Hex4(code) + "]");
  // After: up to the end of the text, or of the entry in list mode.
  const unsigned char* p = spot.at;
  if (Next(p, &c)) p += c.n;
  for (int taken = 0; taken < kContextChars && Next(p, &c); p += c.n) {
    if (spot.list_mode && p[0] == kCR && p[1] == kCR) break;
    if (Shows(c)) {
      chars.push_back(Readable(c));
      ++taken;
    }
  }
  return ToUtf8(chars);
}

void PageTally::First(uint32_t code, const TextSpot* spot) {
  std::string place = page_name_;
  if (in_entry_) {
    char id[32];
    std::snprintf(id, sizeof id, "#%04d-%04d", static_cast<int>(record_), static_cast<int>(entry_no_));
    place += id;
  }
  gaiji_->SetFirst(code, std::move(place), spot ? ContextAround(*spot, code) : std::string());
}

}  // namespace hz
