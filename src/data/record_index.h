// The index of an indexed record file (text records and layout records).
//
//   offset 0            32-bit count N
//   [offset 4           32-bit word, layout files only, not used]
//   header              N x RecordIndexEntry { u32 offset; u32 length; }
//   anywhere            the records themselves
//
// The count is trusted only as far as the file can hold it: a negative
// count is 0 and the count is capped by the whole index entries present, so
// nothing is allocated beyond the file's size. A record that extends past
// the end of the file is located with the bytes present. Each of these is
// told to the report, once per kind, with the numbers.
#ifndef HZ2HTML_DATA_RECORD_INDEX_H_
#define HZ2HTML_DATA_RECORD_INDEX_H_

#include <cstdint>
#include <vector>

#include "data/dict_file.h"

namespace hz {

class RecordIndex {
 public:
  static constexpr unsigned kEntrySize = 8;

  // Loads the index of file, which begins at byte header_size; tells the
  // report of name what contradicts itself.
  void Load(InputFile& file, unsigned header_size, const DictFile& name);
  int32_t count() const { return count_; }
  // True when the header was read and its count fits the file: the count
  // is the file's own.
  bool trusted() const { return trusted_; }
  // Record n (1-based): its file offset and the number of its bytes present
  // in the file. False for a record number outside 1..count.
  bool Locate(int32_t n, uint32_t* offset, uint32_t* length) const;

 private:
  void CheckRecordsInFile(const DictFile& name) const;

  int32_t count_ = 0;
  bool trusted_ = false;
  uint64_t file_size_ = 0;
  std::vector<unsigned char> entries_;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_RECORD_INDEX_H_
