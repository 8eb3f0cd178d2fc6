// The records that the readers hand out and the renderer consumes.
#ifndef HZ2HTML_DATA_RECORDS_H_
#define HZ2HTML_DATA_RECORDS_H_

#include <cstddef>
#include <cstdint>

#include "data/bytes.h"

namespace hz {

// The entry handed to the renderer: 1-based record number, byte offset of
// the entry's first byte within the record's text, and the number used in
// the entry's identifier.
struct EntryRef {
  int32_t record;
  int32_t offset;
  int32_t entryNo;
};

// One entry of an entry list: the same three fields as EntryRef.
using ListEntry = EntryRef;

// One entry of a key list.
struct KeyEntry {
  char key[42];  // Shift-JIS, no terminator
  int32_t record;
  int32_t offset;
  int32_t entryNo;
};

// One entry of the marker index.
struct MarkerEntry {
  int32_t record;
  int32_t offset;
  int32_t code;
};

// A style span of a layout record (12 bytes in the file).
struct StyleSpan {
  static constexpr unsigned kSize = 12;
  static constexpr unsigned kOffsetAt = 0;
  uint32_t offset;
  uint32_t length;
  int32_t style;
  static StyleSpan Decode(const unsigned char* p) {
    return {LoadU32LE(p), LoadU32LE(p + 4), LoadI32LE(p + 8)};
  }
};

// A link span of a layout record (20 bytes in the file).
struct LinkSpan {
  static constexpr unsigned kSize = 20;
  static constexpr unsigned kOffsetAt = 0;
  uint32_t offset;
  uint32_t length;
  int32_t kind;
  int32_t target;
  char label[4];  // zero-terminated only when shorter
  static LinkSpan Decode(const unsigned char* p) {
    LinkSpan s{LoadU32LE(p), LoadU32LE(p + 4), LoadI32LE(p + 8), LoadI32LE(p + 12), {}};
    for (int i = 0; i < 4; ++i) s.label[i] = static_cast<char>(p[16 + i]);
    return s;
  }
};

// A named anchor of a layout record (12 bytes in the file).
struct AnchorEntry {
  static constexpr unsigned kSize = 12;
  static constexpr unsigned kOffsetAt = 4;
  char name[4];  // zero-terminated only when shorter
  uint32_t offset;
  static AnchorEntry Decode(const unsigned char* p) {
    AnchorEntry a{{}, LoadU32LE(p + 4)};
    for (int i = 0; i < 4; ++i) a.name[i] = static_cast<char>(p[i]);
    return a;
  }
};

// One entry of a link-name table: 16 raw bytes.
struct LinkName {
  char stem[8];  // zero-terminated only when shorter
  char unused[8];
};

// A table of a layout record, used in place inside the loaded record: the
// address of its first entry and the number of whole entries.
template <typename T>
struct TableView {
  const unsigned char* base = nullptr;
  uint32_t count = 0;
  T operator[](uint32_t i) const { return T::Decode(base + static_cast<size_t>(i) * T::kSize); }
  uint32_t OffsetAt(uint32_t i) const {
    return LoadU32LE(base + static_cast<size_t>(i) * T::kSize + T::kOffsetAt);
  }
};

}  // namespace hz

#endif  // HZ2HTML_DATA_RECORDS_H_
