#include "html/keys.h"

#include "core/hex.h"
#include "html/sjis.h"

namespace hz {

namespace {

constexpr uint32_t kMixedRunEnd = 0xF7E1;

bool IsOpenBracket(uint32_t c) { return c == kLenticularOpen || c == kPrivateOpen; }
bool IsCloseBracket(uint32_t c) { return c == kLenticularClose || c == kPrivateClose; }

// Where an entry's headword keys go: the page, and the tally that counts
// them, with the entry whose first line they come from.
struct KeyOutput {
  PageWriter& out;
  PageTally& tally;
  const unsigned char* entry;
};

void OpenKey(PageWriter& out, PageTally& tally) {
  OpenKeyElement(out, kWrittenFormKeyType);
  ++tally.keys;
}

// Writes one character of a headword key, the one at at: private-area codes
// as references, codes below 0x100 as one byte, other double-byte codes as
// two bytes.
void PutHeadwordChar(uint32_t code, const unsigned char* at, const KeyOutput& k) {
  if (code >= kPrivateAreaStart) {
    const uint32_t mapped = MapGaijiCode(code);
    FormatCharRef(mapped, k.out.Reserve(kCharRefLength));
    const TextSpot spot{k.entry, at, true};
    k.tally.Reference(mapped, &spot);
  } else if (code < 0x100) {
    k.out.Put(static_cast<char>(code));
  } else {
    k.out.Put(static_cast<char>(code >> 8));
    k.out.Put(static_cast<char>(code & 0xFF));
  }
}

// Writes the characters from p up to (not including) end as one key.
void PutKey(const unsigned char* p, const unsigned char* end, const KeyOutput& k) {
  OpenKey(k.out, k.tally);
  uint32_t code;
  for (const unsigned char* at = p; p < end && ReadChar(p, &code); at = p) PutHeadwordChar(code, at, k);
  k.out.Lit(kKeyClose);
}

// Bracket pairs of the first line. Returns the number of pairs found.
int WriteBracketKeys(const unsigned char* p, const KeyOutput& out) {
  int ordinal = 0;
  uint32_t code;
  while (*p != 0 && *p != kCR) {
    // Find the next opening bracket on the line.
    for (;;) {
      if (!ReadChar(p, &code) || code == kCR) return ordinal;
      if (IsOpenBracket(code)) break;
    }
    ++ordinal;
    const unsigned char* content = p;
    const unsigned char* close;
    bool single_byte = false;
    for (;;) {
      close = p;
      if (!ReadChar(p, &code) || code == kCR) return ordinal;
      if (IsCloseBracket(code)) break;
      if (code < 0xFF) single_byte = true;
    }
    const unsigned char* first = content;
    uint32_t first_code = 0;
    ReadChar(first, &first_code);
    if (single_byte && first_code >= 0x100) {
      // A mixed written form: drop the leading run of double-byte characters
      // from the full-width space up to (not including) 0xF7E1.
      const unsigned char* start = content;
      for (;;) {
        const unsigned char* at = start;
        if (!ReadChar(at, &code) || code < kFullWidthSpace || code >= kMixedRunEnd) break;
        start = at;
      }
      PutKey(start, close, out);
    } else if (ordinal >= 2) {
      PutKey(content, close, out);
    }
  }
  return ordinal;
}

// The fallback key of a first line without an opening bracket: the line
// without its parenthesised parts and middle dots, ending with the CR
// unless an unclosed parenthesis swallowed it.
void WriteFallbackKey(const unsigned char* line, const KeyOutput& k) {
  const unsigned char* p = line;
  uint32_t code;
  bool wanted = false;
  while (ReadChar(p, &code) && code != kCR) {
    if (code == kParenOpen || code == kMiddleDot) {
      wanted = true;
      break;
    }
  }
  if (!wanted) return;
  OpenKey(k.out, k.tally);
  bool inside = false;
  p = line;
  for (const unsigned char* at = p; ReadChar(p, &code); at = p) {
    if (code == kParenOpen) {
      inside = true;
    } else if (code == kParenClose) {
      inside = false;
    } else if (code != kMiddleDot && !inside) {
      PutHeadwordChar(code, at, k);
    }
    if (code == kCR) break;
  }
  k.out.Lit(kKeyClose);
}

}  // namespace

void WriteHeadwordKeys(const char* text, PageWriter& out, PageTally& tally) {
  const unsigned char* line = reinterpret_cast<const unsigned char*>(text);
  const KeyOutput k{out, tally, line};
  if (WriteBracketKeys(line, k) == 0) WriteFallbackKey(line, k);
}

namespace {

// From this code on, a captured character is written as a reference; below
// it, a code of 0x100 or more ends the key.
constexpr uint32_t kCapturedRefStart = 0xF874;

// Writes a run of a captured key's single bytes. The references the
// renderer put into the capture ("&#xF040;") are references on the page
// once more: the tally counts them.
void PutCapturedRun(const unsigned char* p, const unsigned char* end, PageWriter& out,
                    PageTally& tally) {
  out.Write(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
  for (; end - p >= 8; ++p) {
    if (p[0] != '&' || p[1] != '#' || p[2] != 'x' || p[7] != ';') continue;
    uint32_t code = 0;
    if (ParseHexDigits(reinterpret_cast<const char*>(p + 3), 4, &code)) tally.Reference(code, nullptr);
  }
}

}  // namespace

void WriteCapturedKeys(const char* captured, PageWriter& out, PageTally& tally) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(captured);
  for (;;) {
    // Pass over double-byte characters and the byte 0xFF to the next
    // single-byte character, which starts a key.
    for (;;) {
      if (*p == 0) return;
      if (IsLeadByte(*p)) {
        if (p[1] == 0) return;
        p += 2;
      } else if (*p == 0xFF) {
        ++p;
      } else {
        break;
      }
    }
    OpenKey(out, tally);
    // Single bytes are written as they are, in runs; a double-byte
    // character from 0xF874 up is written as its reference; any other
    // double-byte character ends the key. So does the end of the text,
    // and a lead byte right before it.
    const unsigned char* run = p;
    bool more = true;
    for (;;) {
      const unsigned char c = *p;
      if (c == 0 || (IsLeadByte(c) && p[1] == 0)) {
        PutCapturedRun(run, p, out, tally);
        more = false;
        break;
      }
      if (!IsLeadByte(c)) {
        ++p;
        continue;
      }
      PutCapturedRun(run, p, out, tally);
      const uint32_t code = static_cast<uint32_t>(c) << 8 | p[1];
      p += 2;
      run = p;
      if (code < kCapturedRefStart) break;
      FormatCharRef(MapGaijiCode(code), out.Reserve(kCharRefLength));
      tally.Reference(MapGaijiCode(code), nullptr);
    }
    out.Lit(kKeyClose);
    if (!more) return;
  }
}

}  // namespace hz
