// The file-system side of names.
//
// The run composes every path the way the dictionary's home platform does:
// the input or output path, then a relative name such as "DATA\\KX01.DAT",
// with '\\' as the separator. Those composed strings are what the user sees
// (progress lines, messages, the project file). Only when a file is opened,
// queried or created is a composed name mapped to the file system's own:
//
// On POSIX:
//  - every separator becomes '/'. A name that is valid UTF-8 is split at
//    every '/' and '\\' byte; any other name is taken as Shift-JIS, and a
//    0x5C byte that is the second byte of a double-byte character stays part
//    of the name;
//  - the dictionary's own fixed names ("DATA", "DATA\\KX01.DAT", ...) are
//    matched without regard to ASCII letter case, one component at a time,
//    under the input path as given: the exact spelling first, else the first
//    case-insensitive match in byte order of the directory's names.
//
// On Windows every name is Shift-JIS (code page 932): it is converted to
// UTF-16 at each file call, where '\\' and '/' both separate, the file system
// decides on letter case, and names of any length work.
#ifndef HZ2HTML_PLATFORM_FILE_SYSTEM_H_
#define HZ2HTML_PLATFORM_FILE_SYSTEM_H_

#include <string>

namespace hz {

bool IsValidUtf8(const std::string& s);

// True when a composed path is taken as Shift-JIS, so that a lead byte and
// the byte after it are one character (and a 0x5C second byte is no
// separator): on POSIX a path that is not valid UTF-8, on Windows every
// path.
bool IsShiftJisPath(const std::string& path);

// True when a command-line argument that begins with '/' is a path rather
// than an option. On POSIX: it is longer than "/" and holds another '/' or
// names an existing entry ("/media/cdrom", but not "/f=bmp", "/o" or "/?").
// On Windows never: '/' starts an option there.
bool IsPathArgument(const char* arg);

// True when a command-line argument that begins with '/' may be a path: on
// POSIX, where IsPathArgument decides; on Windows never.
bool SlashMayBeginPath();

// Maps a composed name to the file system's path of the same file (on
// Windows the name itself; it is converted at each call).
std::string ToFileSystemPath(const std::string& name);

// Maps base (a composed path ending in a separator) followed by the relative
// dictionary name rel (components separated by '\\') to the file system's
// path, matching each component of rel without regard to ASCII letter case.
std::string ResolveDictionaryName(const std::string& base, const std::string& rel);

// The file-status query: false when the path does not exist; otherwise
// *is_directory tells whether it is a directory.
bool QueryFileStatus(const std::string& fs_path, bool* is_directory);

// Creates one directory level (on POSIX mode 0777 minus the umask). Returns
// 0 (also when the level exists as a directory by now), or the system's
// error code.
int CreateDirectoryLevel(const std::string& fs_path);

// The bitmap font that draws the characters gaiji.tsv names when the command
// line names none: GNU Unifont's Japanese glyphs, where Debian's "unifont"
// package puts them on POSIX, beside the program on Windows.
std::string DefaultGaijiFont();

// The system's error code for a name that is already taken (by a file where
// a directory is wanted).
extern const int kNameTaken;

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_FILE_SYSTEM_H_
