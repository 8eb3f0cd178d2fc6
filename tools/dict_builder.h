// The dictionary builder: writes a dictionary data directory (DATA/, LIST/)
// in the dictionary's binary formats from records, layout tables, link-name
// tables and lists held in memory. Tests, the bundled sample and the
// benchmarks build every dictionary with it.
#ifndef HZ2HTML_TOOLS_DICT_BUILDER_H_
#define HZ2HTML_TOOLS_DICT_BUILDER_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hzb {

struct Style {
  uint32_t offset, length;
  int32_t code;
};

struct Link {
  uint32_t offset, length;
  int32_t kind, target;
  std::string label;  // at most 4 bytes; shorter ones are zero-padded
};

struct Anchor {
  std::string name;  // at most 4 bytes
  uint32_t offset;
  int32_t unused = 0;
};

// One text record (Shift-JIS bytes) and its layout tables.
struct Record {
  std::string text;
  std::vector<Style> styles;
  std::vector<Link> links;
  std::vector<Anchor> anchors;
};

// One 54-byte list record.
struct ListRow {
  uint32_t record;      // 0xFFFFFFFF: the alternative record number is used
  uint32_t alt_record;
  uint32_t offset;
  std::string key;      // at most 42 bytes; zero-padded
};

class DictBuilder {
 public:
  // Record files by path relative to the dictionary directory without
  // extension ("DATA/KX01" gives DATA/KX01.DAT and DATA/KX01.INF).
  std::map<std::string, std::vector<Record>> record_files;
  // Link-name tables by relative path ("DATA/KXLINK01.TBL"): their stems.
  std::map<std::string, std::vector<std::string>> link_tables;
  // Lists by relative path ("LIST/d100000.lst").
  std::map<std::string, std::vector<ListRow>> lists;

  // Directories created even when no file is written into them.
  std::vector<std::string> directories;

  // Writes every file under dir (created as needed). False, with a message
  // in *error, when a file cannot be written.
  bool Write(const std::string& dir, std::string* error) const;

  // The bytes of each kind of file.
  static std::string DatBytes(const std::vector<Record>& records);
  static std::string InfBytes(const std::vector<Record>& records);
  static std::string TableBytes(const std::vector<std::string>& stems);
  static std::string ListBytes(const std::vector<ListRow>& rows);
};

// Writes bytes to path, creating its directories; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace hzb

#endif  // HZ2HTML_TOOLS_DICT_BUILDER_H_
