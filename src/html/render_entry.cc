#include "html/render_entry.h"

#include <cstring>

#include "html/keys.h"
#include "html/overlay.h"
#include "html/sjis.h"
#include "pages/page_grammar.h"

namespace hz {

namespace {

// The text captured between 《 and 》 for the captured keys: 256 bytes and
// a terminating zero. An item that does not fit whole is left out, and the
// capture then takes nothing more until the next 《.
class Capture {
 public:
  static constexpr int kRoom = 256;

  Capture() { area_[0] = '\0'; }
  // One character's item (its bytes as written to the page).
  void Append(const char* p, int n) {
    if (len_ < 0 || full_) return;
    if (len_ + n > kRoom) {
      full_ = true;
      return;
    }
    std::memcpy(area_ + len_, p, static_cast<size_t>(n));
    len_ += n;
    area_[len_] = '\0';
  }
  // A run of whole characters: as much of it as fits, character by
  // character.
  void AppendRun(const unsigned char* p, int n) {
    if (len_ < 0 || full_) return;
    if (len_ + n <= kRoom) {
      std::memcpy(area_ + len_, p, static_cast<size_t>(n));
      len_ += n;
      area_[len_] = '\0';
      return;
    }
    for (int i = 0; i < n;) {
      int w = IsLeadByte(p[i]) ? 2 : 1;
      Append(reinterpret_cast<const char*>(p + i), w);
      if (full_) return;
      i += w;
    }
  }
  // Starts an empty capture. The text handed out is always terminated
  // right after what was taken, so clearing the first byte empties it.
  void Restart() {
    area_[0] = '\0';
    len_ = 0;
    full_ = false;
  }
  void Stop() { len_ = -1; }
  const char* text() const { return area_; }

 private:
  char area_[kRoom + 1];
  int len_ = -1;  // -1: off
  bool full_ = false;
};

// What a byte is to the copying of plain text: 1 for printable ASCII other
// than the three escaped characters, 2 for a lead byte below the private
// area, 0 for anything that needs a closer look.
struct ByteClasses {
  unsigned char of[256];
  constexpr ByteClasses() : of() {
    for (int c = 0x20; c <= 0x7E; ++c) of[c] = 1;
    of[0x3C] = of[0x3E] = of[0x26] = 0;  // < > &
    for (int c = 0x81; c <= 0x9F; ++c) of[c] = 2;
    for (int c = 0xE0; c <= 0xEF; ++c) of[c] = 2;
  }
};
constexpr ByteClasses kByteClass;

// The end of the run of plain characters that starts at pos and stops
// before limit: characters copied to the page as they stand, with no other
// effect than counting as text. Double-byte characters with a second byte
// below 0x40 (no Shift-JIS character has one) and the capture brackets are
// left to the character-by-character path.
inline uint32_t PlainRunEnd(const unsigned char* text, uint32_t pos, uint64_t limit) {
  uint32_t end = pos;
  while (end < limit) {
    const unsigned char b = text[end];
    const unsigned char k = kByteClass.of[b];
    if (k == 1) {
      ++end;
    } else if (k == 2 && text[end + 1] >= 0x40 &&
               !(b == 0x81 && (text[end + 1] == 0x73 || text[end + 1] == 0x74))) {
      end += 2;
    } else {
      break;
    }
  }
  return end;
}

// Writes the double-byte character at spot.at: the private-area stand-ins
// for 【 and 】 as the brackets themselves, other private-area characters as
// references, the rest as their two bytes. A running capture takes the same
// bytes; 《 restarts it, and 》 hands it to the captured keys.
void RenderDoubleByte(const TextSpot& spot, PageWriter& out, Capture& capture, PageTally& tally) {
  uint32_t code = static_cast<uint32_t>(spot.at[0]) << 8 | spot.at[1];
  if (code == kPrivateOpen) code = kLenticularOpen;
  if (code == kPrivateClose) code = kLenticularClose;
  if (code >= kPrivateAreaStart) {
    const uint32_t mapped = MapGaijiCode(code);
    char* ref = out.Reserve(kCharRefLength);
    FormatCharRef(mapped, ref);
    capture.Append(ref, static_cast<int>(kCharRefLength));
    tally.Reference(mapped, &spot);
    return;
  }
  const char two[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  out.Write(two, 2);
  capture.Append(two, 2);
  if (code == kDoubleAngleOpen) {
    capture.Restart();
  } else if (code == kDoubleAngleClose) {
    capture.Stop();
    WriteCapturedKeys(capture.text(), out, tally);
  }
}

// The opening of a list-mode entry: "<dt id=\"RRRR-NNNN\">".
void WriteEntryId(const EntryRef& ref, PageWriter& out) {
  out.Lit(kEntryOpen);
  out.Dec4(ref.record);
  out.Put('-');
  out.Dec4(ref.entryNo);
  out.Lit(kTagEnd);
}

}  // namespace

void RenderEntry(const RenderContext& page, bool list_mode, const EntryRef& ref) {
  PageWriter& out = page.out;
  PageTally& tally = page.tally;
  const char* record_text = page.files.dat.LoadRecord(ref.record);
  // A record that the layout file does not hold gets empty tables.
  page.files.inf.LoadRecord(ref.record);
  uint32_t start = static_cast<uint32_t>(ref.offset);
  if (!record_text || start > page.files.dat.GetLength()) return;
  const unsigned char* text = reinterpret_cast<const unsigned char*>(record_text);

  if (list_mode) {
    WriteEntryId(ref, out);
    tally.EnterEntry(ref.record, ref.entryNo);
  }
  LineState line;
  Capture capture;
  Overlay overlay(page, list_mode, ref.record, text, line, start);
  bool closed = false;
  uint32_t pos = start;
  while (unsigned char c = text[pos]) {
    overlay.Step(pos);
    // A run of plain characters up to the next position where the overlays
    // act is copied in one piece; printable ASCII always goes this way.
    const uint32_t end = PlainRunEnd(text, pos, overlay.NextEvent());
    if (end != pos) {
      const uint32_t n = end - pos;
      out.WriteRaw(record_text + pos, n);
      capture.AppendRun(text + pos, static_cast<int>(n));
      line.line_bytes += n;
      pos = end;
    } else if (c == kCR) {
      if (list_mode && text[pos + 1] == kCR) {
        // The entry ends. A term still open gets its close first, and what
        // is pending is closed inside the definition.
        line.BreakFirstLine(out, true);
        overlay.ClosePending();
        out.Lit(kEntryEnd);
        closed = true;
        break;
      }
      ++pos;
      line.EndLine(out, list_mode);
    } else if (IsLeadByte(c)) {
      const unsigned char c2 = text[pos + 1];
      if (c2 == 0) break;  // a lone lead byte before the end is no character
      RenderDoubleByte(TextSpot{text + start, text + pos, list_mode}, out, capture, tally);
      line.line_bytes += 2;
      pos += 2;
    } else {
      ++pos;
      if (const char* escape = EntityOf(c)) {
        out.Str(escape);
        capture.Append(escape, static_cast<int>(std::strlen(escape)));
        ++line.line_bytes;
      }
    }
  }
  if (!closed) overlay.ClosePending();
  if (list_mode) WriteHeadwordKeys(record_text + start, out, tally);
}

}  // namespace hz
