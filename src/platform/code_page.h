// Conversion between Shift-JIS text (code page 932) and UTF-8 through the
// platform's own tables, so that the result is the system's reading of the
// bytes.
#ifndef HZ2HTML_PLATFORM_CODE_PAGE_H_
#define HZ2HTML_PLATFORM_CODE_PAGE_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace hz {

// Appends the UTF-8 form of the Shift-JIS bytes sjis[0..n) to *utf8; false,
// appending nothing, when the bytes have no such form.
bool AppendShiftJisAsUtf8(const char* sjis, size_t n, std::string* utf8);

// The Unicode code points of single Shift-JIS characters (a byte, or a
// double-byte code lead x 256 + trail) into points[0..n): 0 for a code that
// code page 932 holds no character for.
void ShiftJisCodePoints(const uint32_t* codes, size_t n, uint32_t* points);

// The Shift-JIS form of UTF-8 text, with no best-fit mapping (a ¥ never
// becomes a backslash); false when the text is not UTF-8 or a character has
// no Shift-JIS form.
bool Utf8AsShiftJis(const std::string& utf8, std::string* sjis);

// The form of a composed path inside a file that is Shift-JIS throughout
// (the project file). On POSIX a path that is valid UTF-8 is converted, and
// when it holds a character that Shift-JIS lacks it stays as given and the
// result is false; a path that is not valid UTF-8 is Shift-JIS already. On
// Windows every path is Shift-JIS already.
bool PathInShiftJis(const std::string& path, std::string* sjis);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_CODE_PAGE_H_
