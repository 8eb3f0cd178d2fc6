// CListFile: a list file (.lst) of fixed 54-byte records.
//
//   record 0 (header)  +42 32-bit count N; nothing else is read
//   records 1..N       +0  key: 42 bytes of Shift-JIS, no terminator
//                      +42 record number; 0xFFFFFFFF means "take +46"
//                      +46 alternative record number
//                      +50 byte offset within the record's text
//
// Mode 0 keeps the positions as ListEntry; any other mode also keeps the key
// text, as KeyEntry. Entries are numbered within runs of equal record
// numbers (records 5, 5, 6, 5 get entry numbers 1, 2, 1, 1).
//
// The count comes only from a header that was read whole (a shorter file is
// an empty list), a negative count is 0, and the count is capped by the
// whole records the file holds; a list that ends early keeps its whole
// records. Each of these is told to the report.
#ifndef HZ2HTML_DATA_LIST_FILE_H_
#define HZ2HTML_DATA_LIST_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "data/dict_file.h"
#include "platform/input_file.h"
#include "data/records.h"

namespace hz {

class CListFile {
 public:
  static constexpr unsigned kRecordSize = 54;

  CListFile(const DictFile& name, int32_t mode);
  CListFile(const CListFile&) = delete;
  CListFile& operator=(const CListFile&) = delete;
  virtual ~CListFile() = default;

  int32_t GetCount() const { return count_; }
  // True when the file is not there.
  bool IsMissing() const { return file_.missing(); }
  const ListEntry* GetEntry(int32_t i) const {
    return mode_ == 0 && i >= 0 && i < count_ ? &entries_[static_cast<size_t>(i)] : nullptr;
  }
  const KeyEntry* GetKeyEntry(int32_t i) const {
    return mode_ != 0 && i >= 0 && i < count_ ? &keys_[static_cast<size_t>(i)] : nullptr;
  }

 private:
  size_t Count(const DictFile& name);
  void Load(const DictFile& name);

  InputFile file_;
  int32_t mode_;
  int32_t count_ = 0;
  std::vector<ListEntry> entries_;
  std::vector<KeyEntry> keys_;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_LIST_FILE_H_
