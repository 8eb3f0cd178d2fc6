#include "data/record_index.h"

#include <string>

#include "data/bytes.h"

namespace hz {

namespace {

std::string Records(uint64_t n) { return std::to_string(n) + (n == 1 ? " record" : " records"); }

}  // namespace

void RecordIndex::Load(InputFile& file, unsigned header_size, const DictFile& name) {
  count_ = 0;
  trusted_ = false;
  entries_.clear();
  file_size_ = file.size();
  if (file_size_ == 0) return;  // an empty file is an empty reader
  unsigned char head[4];
  if (file_size_ < header_size || file.ReadAt(0, head, 4) != 4) {
    name.Damaged(ShorterThanHeader(file_size_, header_size));
    return;
  }
  const int32_t announced = LoadI32LE(head);
  const uint64_t room = (file_size_ - header_size) / kEntrySize;
  if (announced < 0) {
    name.Damaged("negative count " + std::to_string(announced) + ", read as 0");
    return;
  }
  // A count larger than the file holds: what follows the index is read as
  // index entries, so their places are not checked one by one.
  const bool capped = static_cast<uint64_t>(announced) > room;
  if (capped) name.Damaged("count " + std::to_string(announced) + ", the file holds " + Records(room));
  uint64_t n = capped ? room : static_cast<uint64_t>(announced);
  trusted_ = !capped;
  if (n == 0) return;
  entries_.resize(n * kEntrySize);
  size_t got = file.ReadAt(header_size, entries_.data(), entries_.size());
  count_ = static_cast<int32_t>(got / kEntrySize);
  entries_.resize(static_cast<size_t>(count_) * kEntrySize);
  if (!capped) CheckRecordsInFile(name);
}

// Records that lie wholly or partly past the end of the file are loaded
// with the bytes present (none, or a shortened record); say how many.
void RecordIndex::CheckRecordsInFile(const DictFile& name) const {
  uint64_t past = 0, cut = 0;
  for (int32_t i = 0; i < count_; ++i) {
    const unsigned char* e = entries_.data() + static_cast<size_t>(i) * kEntrySize;
    const uint64_t offset = LoadU32LE(e), end = offset + LoadU32LE(e + 4);
    if (end > offset && offset >= file_size_) {
      ++past;
    } else if (end > file_size_) {
      ++cut;
    }
  }
  const std::string of = " of " + std::to_string(count_);
  if (past > 0) {
    name.Damaged(std::to_string(past) + of + (past == 1 ? " records lies" : " records lie") +
                 " past the end of the file");
  }
  if (cut > 0) {
    name.Damaged(std::to_string(cut) + of + (cut == 1 ? " records is" : " records are") +
                 " cut short by the end of the file");
  }
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
