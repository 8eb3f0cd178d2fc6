// Shift-JIS (code page 932) lead-byte classification.
#ifndef HZ2HTML_PLATFORM_LEAD_BYTE_H_
#define HZ2HTML_PLATFORM_LEAD_BYTE_H_

namespace hz {

// A byte is a lead byte when code page 932 makes it the first byte of a
// two-byte character: 0x81 to 0x9F and 0xE0 to 0xFC.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_LEAD_BYTE_H_
