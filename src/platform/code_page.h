// Conversion of Shift-JIS text (code page 932) for people to read: the
// platform's own tables, so that the result is the system's reading of the
// bytes.
#ifndef HZ2HTML_PLATFORM_CODE_PAGE_H_
#define HZ2HTML_PLATFORM_CODE_PAGE_H_

#include <cstddef>
#include <string>

namespace hz {

// Appends the UTF-8 form of the Shift-JIS bytes sjis[0..n) to *utf8; false,
// appending nothing, when the bytes have no such form.
bool AppendShiftJisAsUtf8(const char* sjis, size_t n, std::string* utf8);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_CODE_PAGE_H_
