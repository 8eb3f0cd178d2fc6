// A file of the dictionary as a reader opens it, named so that the readers
// can tell the run's report what they found.
//
// The readers never print. A file that is missing, or that contradicts
// itself (a count larger than the file holds, records past its end, tables
// reaching past their record, ...), is handled as before (an empty or
// shortened reader), and the reader also tells the run's report, which
// decides what to print.
#ifndef HZ2HTML_DATA_DICT_FILE_H_
#define HZ2HTML_DATA_DICT_FILE_H_

#include <cstdint>
#include <string>
#include <utility>

#include "core/report.h"
#include "platform/input_file.h"

namespace hz {

struct DictFile {
  // A plain path: shown as it is, with nobody to tell.
  DictFile(const std::string& path) : fs_path(path), shown(path) {}  // NOLINT: implicit
  DictFile(std::string fs, std::string shown_as, Report* to)
      : fs_path(std::move(fs)), shown(std::move(shown_as)), report(to) {}

  void Missing() const {
    if (report) report->Missing(shown);
  }
  void Damaged(const std::string& what) const {
    if (report) report->Damaged(shown, what);
  }

  std::string fs_path;  // the path on the file system
  std::string shown;    // the path as the run shows it
  Report* report = nullptr;
};

// The dictionary under an input path, naming its files for the readers.
class Dictionary {
 public:
  // in_path: the normalised input path (it ends in a separator).
  explicit Dictionary(std::string in_path, Report* report = nullptr)
      : in_path_(std::move(in_path)), report_(report) {}

  // The file rel ("DATA\\KX01.DAT": components separated by '\\') under
  // the input path: found on the file system without regard to letter
  // case, shown as the input path followed by rel.
  DictFile File(const std::string& rel) const;

 private:
  std::string in_path_;
  Report* report_;
};

// "file of 3 bytes, shorter than its 4-byte header".
inline std::string ShorterThanHeader(uint64_t size, uint64_t header) {
  return "file of " + std::to_string(size) + (size == 1 ? " byte" : " bytes") +
         ", shorter than its " + std::to_string(header) + "-byte header";
}

// True when file is open; otherwise tells the report that the file is
// missing, or why it cannot be read.
inline bool CheckOpened(const InputFile& file, const DictFile& name) {
  if (file.is_open()) return true;
  if (file.missing()) {
    name.Missing();
  } else {
    name.Damaged("cannot be read: " + file.open_error());
  }
  return false;
}

}  // namespace hz

#endif  // HZ2HTML_DATA_DICT_FILE_H_
