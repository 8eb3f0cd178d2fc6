#include "html/page_tally.h"

#include <cstdio>
#include <vector>

#include "html/sjis.h"
#include "platform/code_page.h"

namespace hz {

namespace {

constexpr int kContextChars = 10;

// The characters of the entry from its first byte: each as its first byte
// and its length (1 or 2), up to the end of the text.
struct Char {
  const unsigned char* p;
  int n;
};

// What a character of the text reads as in the context: its UTF-8 form, a
// space for a line end, 〓 for a private-area character, nothing for a
// byte the pages do not show.
std::string Readable(const Char& c) {
  if (c.n == 1) {
    if (*c.p == kCR) return " ";
    if (*c.p >= 0x20 && *c.p <= 0x7E) return std::string(1, static_cast<char>(*c.p));
    return "";
  }
  uint32_t code = static_cast<uint32_t>(c.p[0]) << 8 | c.p[1];
  if (code == kPrivateOpen) code = kLenticularOpen;
  if (code == kPrivateClose) code = kLenticularClose;
  if (code >= kPrivateAreaStart) return "\xE3\x80\x93";  // 〓
  const char two[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  std::string utf8;
  return AppendShiftJisAsUtf8(two, 2, &utf8) ? utf8 : "?";
}

// Steps over the character at p; false at the end of the text (a zero
// byte, or a lead byte right before it).
bool Next(const unsigned char* p, Char* c) {
  if (*p == 0 || (IsLeadByte(*p) && p[1] == 0)) return false;
  *c = {p, IsLeadByte(*p) ? 2 : 1};
  return true;
}

}  // namespace

std::string ContextAround(const TextSpot& spot, uint32_t code) {
  // Before: the last characters that read as something, from the entry's
  // start up to the referenced one.
  std::vector<std::string> before;
  Char c;
  for (const unsigned char* p = spot.entry; p < spot.at && Next(p, &c); p += c.n) {
    std::string r = Readable(c);
    if (!r.empty()) before.push_back(std::move(r));
  }
  std::string text;
  for (size_t i = before.size() > kContextChars ? before.size() - kContextChars : 0; i < before.size(); ++i) {
    text += before[i];
  }
  char mark[16];
  std::snprintf(mark, sizeof mark, "[%04X]", static_cast<unsigned>(code & 0xFFFF));
  text += mark;
  // After: up to the end of the text, or of the entry in list mode.
  int taken = 0;
  const unsigned char* p = spot.at;
  if (Next(p, &c)) p += c.n;
  while (taken < kContextChars && Next(p, &c)) {
    if (spot.list_mode && p[0] == kCR && p[1] == kCR) break;
    std::string r = Readable(c);
    if (!r.empty()) {
      text += r;
      ++taken;
    }
    p += c.n;
  }
  return text;
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
