// CLinkTable: a link-name table (.TBL), which turns a media number into the
// file-name stem of an image or movie.
//
//   a sequence of 16-byte entries, no header; entry n starts at 16 x n
//   +0  stem, 8 single-byte characters, zero-terminated only when shorter
//   +8  8 bytes not used here
//
// The number of entries is the whole 16-byte entries present; the bytes
// after the last whole entry are never read (and are told to the report).
#ifndef HZ2HTML_DATA_LINK_TABLE_H_
#define HZ2HTML_DATA_LINK_TABLE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "data/dict_file.h"
#include "platform/input_file.h"
#include "data/records.h"

namespace hz {

class CLinkTable {
 public:
  explicit CLinkTable(const DictFile& name);
  CLinkTable(const CLinkTable&) = delete;
  CLinkTable& operator=(const CLinkTable&) = delete;
  virtual ~CLinkTable() = default;

  int32_t GetCount() const { return count_; }
  // Entry n, counted from 0; null when n is below 0 or past the last entry.
  const LinkName* GetEntry(int64_t n) const {
    return n >= 0 && n < count_ ? &entries_[static_cast<size_t>(n)] : nullptr;
  }

 private:
  void Load();

  InputFile file_;
  int32_t count_ = 0;
  std::vector<LinkName> entries_;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_LINK_TABLE_H_
