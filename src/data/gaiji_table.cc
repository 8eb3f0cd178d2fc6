#include "data/gaiji_table.h"

#include <map>

#include "core/hex.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/input_file.h"

namespace hz {

namespace {

// The largest table read: far more than the private area's 2,000 codes.
constexpr uint64_t kMaxTableSize = uint64_t{16} << 20;

enum Column { kCode, kCount, kFirst, kContext, kUnicode, kAlt, kColumns };
const char* const kColumnNames[kColumns] = {"code", "count", "first", "context", "unicode", "alt"};

struct Row {
  int line;  // where the row begins, from 1
  std::vector<std::string> fields;
};

// The rows of tab-separated text. A field that begins with a double quote
// runs to the closing one and may hold tabs and line ends ("" is a quote).
std::vector<Row> SplitRows(const std::string& text) {
  std::vector<Row> rows;
  Row row{1, {std::string()}};
  int line = 1;
  size_t i = 0;
  const auto end_row = [&] {
    if (row.fields.size() > 1 || !row.fields[0].empty()) rows.push_back(row);
    row = Row{line, {std::string()}};
  };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"' && row.fields.back().empty()) {
      for (++i; i < text.size(); ++i) {
        if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
        if (text[i] == '"') ++i;
        if (text[i] == '\n') ++line;
        row.fields.back() += text[i];
      }
      ++i;  // the closing quote
    } else if (c == '\t') {
      row.fields.emplace_back();
      ++i;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++i;
      ++line;
      end_row();
    } else {
      row.fields.back() += c;
      ++i;
    }
  }
  end_row();
  return rows;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// The index of each column: from the header line when the first row is one,
// else the order in which the converter writes them.
std::vector<int> ColumnsOf(std::vector<Row>* rows) {
  std::vector<int> at = {kCode, kCount, kFirst, kContext, kUnicode, kAlt};
  if (rows->empty() || Lower(Trim((*rows)[0].fields[0])) != "code") return at;
  for (int& a : at) a = -1;
  const std::vector<std::string>& header = (*rows)[0].fields;
  for (size_t i = 0; i < header.size(); ++i) {
    for (int c = 0; c < kColumns; ++c) {
      if (Lower(Trim(header[i])) == kColumnNames[c] && at[c] < 0) at[c] = static_cast<int>(i);
    }
  }
  rows->erase(rows->begin());
  return at;
}

std::string Field(const Row& row, int at) {
  return at >= 0 && static_cast<size_t>(at) < row.fields.size() ? row.fields[static_cast<size_t>(at)]
                                                                  : std::string();
}

// The code of a row: four hexadecimal digits of the private area.
uint32_t ParseCode(const std::string& text) {
  uint32_t code = 0;
  if (text.size() != 4 || !ParseHexDigits(text.data(), 4, &code)) return 0;
  return code >= 0xF040 && code <= 0xF9FC ? code : 0;
}

// The replacement text in Shift-JIS; what is wrong with it otherwise.
bool ParseAlt(const std::string& text, std::string* sjis, std::string* problem) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) {
      *problem = "holds a control character";
      return false;
    }
  }
  if (!Utf8AsShiftJis(text, sjis)) {
    *problem = "holds a character that Shift-JIS cannot represent";
    return false;
  }
  if (sjis->size() > kMaxGaijiAltBytes) {
    *problem = "is " + std::to_string(sjis->size()) + " bytes in Shift-JIS, more than " +
               std::to_string(kMaxGaijiAltBytes);
    return false;
  }
  return true;
}

// Reads the named values of a row, telling what cannot be read.
void NameRow(GaijiTableRow* r, int line, const DictFile& name) {
  const std::string where = "line " + std::to_string(line) + ": ";
  bool readable = true;
  const std::string unicode = Trim(r->unicode_text);
  if (!unicode.empty()) {
    r->character = ParseGaijiCharacter(unicode);
    if (r->character == 0) {
      name.Damaged(where + "unicode \"" + unicode +
                   "\" is neither U+ and 4 to 6 hexadecimal digits nor one character");
      readable = false;
    }
  }
  std::string problem;
  if (!r->alt_text.empty() && !ParseAlt(r->alt_text, &r->alt, &problem)) {
    name.Damaged(where + "alt \"" + r->alt_text + "\" " + problem);
    readable = false;
  }
  if (!readable) {
    r->character = 0;
    r->alt.clear();
  }
}

}  // namespace

uint32_t ParseGaijiCharacter(const std::string& value) {
  if (value.size() >= 6 && value.size() <= 8 && (value[0] == 'U' || value[0] == 'u') &&
      value[1] == '+') {
    uint32_t cp = 0;
    if (!ParseHexDigits(value.data() + 2, value.size() - 2, &cp)) return 0;
    return cp >= 0x20 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF) ? cp : 0;
  }
  // One character in UTF-8.
  if (value.empty() || !IsValidUtf8(value)) return 0;
  const unsigned char c = static_cast<unsigned char>(value[0]);
  const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  if (value.size() != n) return 0;
  uint32_t cp = n == 1 ? c : c & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) cp = cp << 6 | (static_cast<unsigned char>(value[i]) & 0x3F);
  return cp >= 0x20 && cp != 0x7F ? cp : 0;
}

std::vector<GaijiTableRow> ParseGaijiTable(const std::string& bytes, const DictFile& name) {
  std::string text = bytes;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (!IsValidUtf8(text)) {
    std::string utf8;
    if (AppendShiftJisAsUtf8(text.data(), text.size(), &utf8)) text = utf8;
  }
  std::vector<Row> rows = SplitRows(text);
  const std::vector<int> at = ColumnsOf(&rows);
  std::vector<GaijiTableRow> table;
  std::map<uint32_t, int> first_line;
  for (const Row& row : rows) {
    GaijiTableRow r;
    r.code_text = Trim(Field(row, at[kCode]));
    r.count_text = Field(row, at[kCount]);
    r.first = Field(row, at[kFirst]);
    r.context = Field(row, at[kContext]);
    r.unicode_text = Field(row, at[kUnicode]);
    r.alt_text = Field(row, at[kAlt]);
    r.code = ParseCode(r.code_text);
    const std::string where = "line " + std::to_string(row.line) + ": ";
    if (r.code == 0) {
      name.Damaged(where + "code \"" + r.code_text + "\" is not a private-area code (F040 to F9FC)");
    } else if (first_line.count(r.code) != 0) {
      name.Damaged(where + "code " + r.code_text + " again (its first row is line " +
                   std::to_string(first_line[r.code]) + "); this row names nothing");
      r.code = 0;
    } else {
      first_line[r.code] = row.line;
      NameRow(&r, row.line, name);
    }
    table.push_back(std::move(r));
  }
  return table;
}

std::vector<GaijiTableRow> ReadGaijiTable(const DictFile& name) {
  InputFile file(name.fs_path);
  if (!file.is_open()) {
    if (!file.missing()) name.Damaged("cannot be read: " + file.open_error());
    return {};
  }
  if (file.size() > kMaxTableSize) {
    name.Damaged("file of " + std::to_string(file.size()) + " bytes, too large for a table of gaiji");
    return {};
  }
  std::string bytes(static_cast<size_t>(file.size()), '\0');
  bytes.resize(file.ReadAt(0, &bytes[0], bytes.size()));
  return ParseGaijiTable(bytes, name);
}

}  // namespace hz
