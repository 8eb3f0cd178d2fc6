#include "data/list_file.h"

#include <cstring>
#include <memory>
#include <string>

#include "data/bytes.h"

namespace hz {

namespace {
constexpr unsigned kKeyAt = 0;
constexpr unsigned kKeySize = 42;
constexpr unsigned kRecordAt = 42;
constexpr unsigned kAltRecordAt = 46;
constexpr unsigned kOffsetAt = 50;
constexpr size_t kChunkRecords = 4096;
}  // namespace

CListFile::CListFile(const DictFile& name, int32_t mode) : file_(name.fs_path), mode_(mode) {
  if (CheckOpened(file_, name) && file_.size() > 0) Load(name);
}

// The count the header announces, as far as the file holds entries for it;
// 0 when the header cannot be read or the count is negative. Whatever
// contradicts itself is told to the report.
size_t CListFile::Count(const DictFile& name) {
  unsigned char head[kRecordSize];
  const uint64_t size = file_.size();
  if (size < kRecordSize || file_.ReadAt(0, head, kRecordSize) != kRecordSize) {
    name.Damaged(ShorterThanHeader(size, kRecordSize));
    return 0;
  }
  const uint64_t whole = (size - kRecordSize) / kRecordSize;
  if (const uint64_t part = (size - kRecordSize) % kRecordSize) {
    name.Damaged("the file ends " + std::to_string(part) + " bytes into an entry, after " +
                 std::to_string(whole) + (whole == 1 ? " whole entry" : " whole entries"));
  }
  const int32_t announced = LoadI32LE(head + kRecordAt);
  if (announced < 0) {
    name.Damaged("negative count " + std::to_string(announced) + ", read as 0");
    return 0;
  }
  if (static_cast<uint64_t>(announced) > whole) {
    name.Damaged("count " + std::to_string(announced) + ", the file holds " + std::to_string(whole) +
                 (whole == 1 ? " entry" : " entries"));
    return static_cast<size_t>(whole);
  }
  return static_cast<size_t>(announced);
}

void CListFile::Load(const DictFile& name) {
  const size_t n = Count(name);
  if (n == 0) return;
  if (mode_ == 0) {
    entries_.reserve(n);
  } else {
    keys_.reserve(n);
  }
  std::unique_ptr<unsigned char[]> chunk(new unsigned char[kChunkRecords * kRecordSize]);
  int32_t previous_record = 0;
  int32_t run = 0;
  size_t done = 0;
  while (done < n) {
    size_t want = n - done < kChunkRecords ? n - done : kChunkRecords;
    uint64_t at = static_cast<uint64_t>(done + 1) * kRecordSize;
    size_t got = file_.ReadAt(at, chunk.get(), want * kRecordSize) / kRecordSize;
    for (size_t i = 0; i < got; ++i) {
      const unsigned char* r = chunk.get() + i * kRecordSize;
      int32_t record = LoadI32LE(r + kRecordAt);
      if (record == -1) record = LoadI32LE(r + kAltRecordAt);
      int32_t offset = LoadI32LE(r + kOffsetAt);
      run = (done + i > 0 && record == previous_record) ? run + 1 : 1;
      previous_record = record;
      if (mode_ == 0) {
        entries_.push_back({record, offset, run});
      } else {
        KeyEntry k;
        std::memcpy(k.key, r + kKeyAt, kKeySize);
        k.record = record;
        k.offset = offset;
        k.entryNo = run;
        keys_.push_back(k);
      }
    }
    done += got;
    if (got < want) break;
  }
  count_ = static_cast<int32_t>(done);
}

}  // namespace hz
