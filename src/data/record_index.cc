#include "data/record_index.h"

#include "data/bytes.h"

namespace hz {

void RecordIndex::Load(InputFile& file, unsigned header_size) {
  count_ = 0;
  entries_.clear();
  file_size_ = file.size();
  unsigned char head[4];
  if (file.ReadAt(0, head, 4) != 4) return;
  int32_t announced = LoadI32LE(head);
  if (announced <= 0 || file_size_ <= header_size) return;
  uint64_t room = (file_size_ - header_size) / kEntrySize;
  uint64_t n = static_cast<uint64_t>(announced) < room ? static_cast<uint64_t>(announced) : room;
  if (n == 0) return;
  entries_.resize(n * kEntrySize);
  size_t got = file.ReadAt(header_size, entries_.data(), entries_.size());
  count_ = static_cast<int32_t>(got / kEntrySize);
  entries_.resize(static_cast<size_t>(count_) * kEntrySize);
}

bool RecordIndex::Locate(int32_t n, uint32_t* offset, uint32_t* length) const {
  if (n < 1 || n > count_) return false;
  const unsigned char* e = entries_.data() + static_cast<size_t>(n - 1) * kEntrySize;
  uint32_t off = LoadU32LE(e);
  uint64_t len = LoadU32LE(e + 4);
  uint64_t present = off < file_size_ ? file_size_ - off : 0;
  *offset = off;
  *length = static_cast<uint32_t>(len < present ? len : present);
  return true;
}

}  // namespace hz
