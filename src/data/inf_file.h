// CInfFile: the layout file (.INF) that goes with a text record file.
//
//   offset 0   32-bit count N
//   offset 4   32-bit word, not used
//   offset 8   N x { u32 offset; u32 length; }   entry n-1 locates record n
//   anywhere   layout record
//
// A layout record starts with a 48-byte header that locates its tables by
// absolute file offset and byte size:
//   +8  StyleSpan table offset    +12 its size (entries = size / 12)
//   +16 LinkSpan table offset     +20 its size (entries = size / 20)
//   +24 AnchorEntry table offset  +28 its size (entries = size / 12)
//   +0..7, +32..47                not used here
// Every offset in the tables is a byte offset within the text record of the
// same number. The tables are used in place inside the loaded record; each
// is clipped to the whole entries that lie inside the record, and a table
// that starts outside it is empty (as are all three of a record shorter than
// its header). Layout records that are damaged so are counted, each once,
// and told to the report when the page asks for it (ReportDamage).
#ifndef HZ2HTML_DATA_INF_FILE_H_
#define HZ2HTML_DATA_INF_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "data/dict_file.h"
#include "platform/input_file.h"
#include "data/record_index.h"
#include "data/records.h"

namespace hz {

class CInfFile {
 public:
  static constexpr unsigned kHeaderSize = 48;

  explicit CInfFile(const DictFile& name);
  CInfFile(const CInfFile&) = delete;
  CInfFile& operator=(const CInfFile&) = delete;
  virtual ~CInfFile() = default;

  // Makes layout record n the loaded record and locates its tables; null
  // (and three empty tables) for a record number outside 1..count.
  const unsigned char* LoadRecord(int32_t n);
  // Tells the report how many of the layout records loaded so far were
  // shorter than their header or had tables reaching past the record.
  void ReportDamage() const;
  // The number of records the index holds (for the run's check against the
  // record file).
  uint32_t GetRecordCount() const;
  // True when the file's own header gives the count: it is there, not empty,
  // and its count neither negative nor larger than the file holds.
  bool HasTrustedCount() const { return index_.trusted(); }
  void GetStyleSpans(TableView<StyleSpan>* table) const { *table = style_; }
  void GetLinkSpans(TableView<LinkSpan>* table) const { *table = link_; }
  void GetAnchors(TableView<AnchorEntry>* table) const { *table = anchor_; }

  // Where a table cursor stands after skipping, from the table's start,
  // every entry whose offset is below pos: the first index whose offset is
  // pos or more (the table's count when there is none). Found by binary
  // search over the running maximum of the offsets, so an entry rendered
  // from the middle of a record does not rescan its tables.
  uint32_t StyleCursor(uint32_t pos);
  uint32_t LinkCursor(uint32_t pos);
  uint32_t AnchorCursor(uint32_t pos);

 private:
  template <typename T>
  TableView<T> Locate(unsigned at);
  // The running maximum of a table's offsets, and the last answer given,
  // from which a later start position is found by a short forward scan.
  struct Jump {
    std::vector<uint32_t> max;
    uint32_t last_pos = 0;
    uint32_t last_cursor = 0;
    void Clear() {
      max.clear();
      last_pos = last_cursor = 0;
    }
  };
  template <typename T>
  static uint32_t Seek(const TableView<T>& table, Jump* jump, uint32_t pos);

  // Damaged layout records, each counted once, told when the reader goes.
  struct Damage {
    std::vector<bool> seen;
    uint32_t records = 0;
    int32_t first = 0;
    void Add(int32_t record, int32_t count);
    void Tell(const DictFile& name, const char* one, const char* many, const char* what) const;
  };

  DictFile name_;
  InputFile file_;
  RecordIndex index_;
  std::vector<unsigned char> buffer_;
  uint32_t offset_ = 0;
  uint32_t length_ = 0;
  int32_t loaded_ = 0;
  TableView<StyleSpan> style_;
  TableView<LinkSpan> link_;
  TableView<AnchorEntry> anchor_;
  // Built on first use and dropped when another record is loaded.
  Jump style_jump_, link_jump_, anchor_jump_;
  Damage short_, clipped_;
};

}  // namespace hz

#endif  // HZ2HTML_DATA_INF_FILE_H_
