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
  uint32_t code;
  for (;;) {
    // Pass over double-byte characters and the byte 0xFF to the next
    // single-byte character, which starts a key.
    do {
      if (!ReadChar(p, &code)) return;
    } while (code >= 0xFF);
    out.Str(kKeyOpen);
    out.Put(static_cast<char>(code));
    bool more;
    while ((more = ReadChar(p, &code))) {
      if (code >= kCapturedRefStart) {
        out.CharRef(MapGaijiCode(code));
      } else if (code >= 0x100) {
        break;
      } else {
        out.Put(static_cast<char>(code));
      }
    }
    out.Str(kKeyClose);
    if (!more) return;
  }
}

}  // namespace hz
