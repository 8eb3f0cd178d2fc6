// The Windows side's text: composed names and messages are Shift-JIS (code
// page 932), the system's calls take UTF-16. Used by the *_win.cc files only.
#ifndef HZ2HTML_PLATFORM_WIN_TEXT_H_
#define HZ2HTML_PLATFORM_WIN_TEXT_H_

#include <string>

namespace hz {

// The UTF-16 form of Shift-JIS bytes; false when they have none (an invalid
// sequence).
bool WideFromShiftJis(const char* sjis, size_t n, std::wstring* wide);

// The Shift-JIS form of UTF-16 text, with no best-fit mapping (a ¥ never
// becomes a backslash); false when a character has no Shift-JIS form.
bool ShiftJisFromWide(const std::wstring& wide, std::string* sjis);

// The path of a composed name as the W file calls take it: its full path in
// the "\\?\" form, so that names longer than 260 characters work. False
// when the name has no UTF-16 form: the callers treat it as a name that
// does not exist.
bool WidePath(const std::string& name, std::wstring* path);

// The system's message text for a Win32 error code, in Shift-JIS, without
// its line end.
std::string SystemMessage(unsigned long error);

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_WIN_TEXT_H_
