#include "html/keys.h"

#include "html/render_entry.h"
#include "html/sjis.h"

namespace hz {

namespace {
// From this code on, a captured character is written as a reference; below
// it, a code of 0x100 or more ends the key.
constexpr uint32_t kCapturedRefStart = 0xF874;
}  // namespace

void WriteCapturedKeys(const char* captured, PageWriter& out) {
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
    out.Lit(kKeyOpen);
    // Single bytes are written as they are, in runs; a double-byte
    // character from 0xF874 up is written as its reference; any other
    // double-byte character ends the key. So does the end of the text,
    // and a lead byte right before it.
    const unsigned char* run = p;
    bool more = true;
    for (;;) {
      const unsigned char c = *p;
      if (c == 0 || (IsLeadByte(c) && p[1] == 0)) {
        out.Write(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        more = false;
        break;
      }
      if (!IsLeadByte(c)) {
        ++p;
        continue;
      }
      out.Write(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
      const uint32_t code = static_cast<uint32_t>(c) << 8 | p[1];
      p += 2;
      run = p;
      if (code < kCapturedRefStart) break;
      out.CharRef(MapGaijiCode(code));
    }
    out.Lit(kKeyClose);
    if (!more) return;
  }
}

}  // namespace hz
