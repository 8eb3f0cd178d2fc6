// gaiji.tsv as the user left it: the inventory of the dictionary's own
// characters that an earlier run wrote, with the two columns the user fills
// in to name them.
//
//   code  count  first  context  unicode  alt       (tab-separated)
//   F040  12     honbun.html#0012-0004  ...  U+9AD9  髙
//
// "unicode" is the character the code stands for, as U+ and 4 to 6
// hexadecimal digits or as the character itself; "alt" is a short text that
// readers may show instead, at most 16 bytes in Shift-JIS. The file is UTF-8
// (a byte-order mark is skipped); one that is not is read as Shift-JIS, as a
// spreadsheet saves it on a Japanese Windows. Fields a spreadsheet put in
// double quotes are unquoted. Columns are found by the header line's names.
//
// A value that cannot be read is told to the report ("line 7: ...") and its
// code counts as unnamed; the row is kept as the user wrote it all the same.
#ifndef HZ2HTML_DATA_GAIJI_TABLE_H_
#define HZ2HTML_DATA_GAIJI_TABLE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "data/dict_file.h"

namespace hz {

// The longest replacement text, in Shift-JIS bytes.
constexpr size_t kMaxGaijiAltBytes = 16;

struct GaijiTableRow {
  // The columns as written (UTF-8).
  std::string code_text, count_text, first, context, unicode_text, alt_text;
  uint32_t code = 0;       // the private-area code, 0 when unreadable
  uint32_t character = 0;  // the named character, 0 when not named
  std::string alt;         // the replacement text in Shift-JIS, or empty
  bool named() const { return character != 0 || !alt.empty(); }
};

// The rows of the table at name, in file order (the header line left out);
// none when there is no such file. A row for a code that an earlier row
// already holds is told and counts as unnamed.
std::vector<GaijiTableRow> ReadGaijiTable(const DictFile& name);

// The same for a table already in memory (tests, fuzz targets).
std::vector<GaijiTableRow> ParseGaijiTable(const std::string& bytes, const DictFile& name);

// The character a "unicode" value names: "U+9AD9", "u+9ad9" or the one
// character itself in UTF-8; 0 when it names none.
uint32_t ParseGaijiCharacter(const std::string& value);

}  // namespace hz

#endif  // HZ2HTML_DATA_GAIJI_TABLE_H_
