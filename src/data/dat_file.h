// CDatFile: the text record file (.DAT).
//
//   offset 0   32-bit count N
//   offset 4   N x { u32 offset; u32 length; }   entry n-1 locates record n
//   anywhere   record text: Shift-JIS, lines ended by a single CR, no
//              terminator in the file
//
// One record is loaded at a time into a buffer that is reused from record to
// record; the reader appends a NUL byte in memory. Asking again for the
// loaded record reads nothing.
#ifndef HZ2HTML_DATA_DAT_FILE_H_
#define HZ2HTML_DATA_DAT_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "data/dict_file.h"
#include "platform/input_file.h"
#include "data/record_index.h"

namespace hz {

class CDatFile {
 public:
  explicit CDatFile(const DictFile& name);
  CDatFile(const CDatFile&) = delete;
  CDatFile& operator=(const CDatFile&) = delete;
  virtual ~CDatFile() = default;

  int32_t GetCount() const { return index_.count(); }
  // True when the file is not there.
  bool IsMissing() const { return file_.missing(); }
  // True when the file's own header gives the count: it is there, not empty,
  // and its count neither negative nor larger than the file holds.
  bool HasTrustedCount() const { return index_.trusted(); }
  // Makes record n (1..count) the loaded record and returns its text,
  // NUL-terminated; null for a record number outside 1..count.
  const char* LoadRecord(int32_t n);
  // The loaded record's text (null before the first load).
  const char* GetText() const { return text_; }
  // The number of text bytes of the loaded record (before the NUL).
  uint32_t GetLength() const { return length_; }

 private:
  InputFile file_;
  RecordIndex index_;
  std::vector<char> buffer_;
  const char* text_ = nullptr;
  uint32_t length_ = 0;
  int32_t loaded_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_DAT_FILE_H_
