#include "data/inf_file.h"

#include <algorithm>
#include <string>

#include "data/bytes.h"

namespace hz {

namespace {
constexpr unsigned kInfHeaderSize = 8;
constexpr unsigned kStyleTableAt = 8;
constexpr unsigned kLinkTableAt = 16;
constexpr unsigned kAnchorTableAt = 24;
}  // namespace

CInfFile::CInfFile(const DictFile& name) : name_(name), file_(name.fs_path) {
  if (CheckOpened(file_, name)) index_.Load(file_, kInfHeaderSize, name);
}

void CInfFile::ReportDamage() const {
  short_.Tell(name_, "is shorter than its", "are shorter than their", " 48-byte header");
  clipped_.Tell(name_, "has", "have", " tables reaching past the record (clipped)");
}

// Counts a damaged layout record once, however often it is loaded.
void CInfFile::Damage::Add(int32_t record, int32_t count) {
  if (seen.empty()) seen.resize(static_cast<size_t>(count) + 1);
  if (seen[static_cast<size_t>(record)]) return;
  seen[static_cast<size_t>(record)] = true;
  if (records++ == 0) first = record;
}

// "layout record 7 has ..." or "3 layout records have ..., the first record 7".
void CInfFile::Damage::Tell(const DictFile& name, const char* one, const char* many,
                            const char* what) const {
  if (records == 1) {
    name.Damaged("layout record " + std::to_string(first) + " " + one + what);
  } else if (records > 1) {
    name.Damaged(std::to_string(records) + " layout records " + many + what + ", the first record " +
                 std::to_string(first));
  }
}

uint32_t CInfFile::GetRecordCount() const { return static_cast<uint32_t>(index_.count()); }

template <typename T>
TableView<T> CInfFile::Locate(unsigned at) {
  TableView<T> view;
  const unsigned char* head = buffer_.data();
  uint32_t table_offset = LoadU32LE(head + at);
  uint32_t table_size = LoadU32LE(head + at + 4);
  const uint64_t rel = uint64_t{table_offset} - offset_;  // wraps when it starts before
  if (table_size > 0 && (table_offset < offset_ || rel + table_size > length_)) {
    clipped_.Add(loaded_, index_.count());
  }
  if (table_offset < offset_ || rel >= length_) return view;
  uint64_t fits = (length_ - rel) / T::kSize;
  uint64_t n = table_size / T::kSize;
  view.base = head + rel;
  view.count = static_cast<uint32_t>(std::min(n, fits));
  return view;
}

const unsigned char* CInfFile::LoadRecord(int32_t n) {
  if (n == loaded_ && n != 0) return buffer_.data();
  style_ = {};
  link_ = {};
  anchor_ = {};
  style_jump_.Clear();
  link_jump_.Clear();
  anchor_jump_.Clear();
  uint32_t offset;
  uint32_t length;
  if (!index_.Locate(n, &offset, &length)) {
    loaded_ = 0;
    length_ = 0;
    return nullptr;
  }
  loaded_ = n;
  offset_ = offset;
  buffer_.resize(std::max<size_t>(length, 1));
  length_ = static_cast<uint32_t>(file_.ReadAt(offset, buffer_.data(), length));
  if (length_ >= kHeaderSize) {
    style_ = Locate<StyleSpan>(kStyleTableAt);
    link_ = Locate<LinkSpan>(kLinkTableAt);
    anchor_ = Locate<AnchorEntry>(kAnchorTableAt);
  } else if (length_ > 0) {
    short_.Add(n, index_.count());
  }
  return buffer_.data();
}

template <typename T>
uint32_t CInfFile::Seek(const TableView<T>& table, Jump* jump, uint32_t pos) {
  if (pos == 0 || table.count == 0) return 0;
  std::vector<uint32_t>& max = jump->max;
  if (max.empty()) {
    max.resize(table.count);
    uint32_t m = 0;
    for (uint32_t i = 0; i < table.count; ++i) {
      m = std::max(m, table.OffsetAt(i));
      max[i] = m;
    }
  }
  uint32_t cursor;
  if (pos >= jump->last_pos) {
    // Entries rendered in ascending order: scan on from the last answer.
    cursor = jump->last_cursor;
    while (cursor < table.count && max[cursor] < pos) ++cursor;
  } else {
    cursor = static_cast<uint32_t>(std::lower_bound(max.begin(), max.end(), pos) - max.begin());
  }
  jump->last_pos = pos;
  jump->last_cursor = cursor;
  return cursor;
}

uint32_t CInfFile::StyleCursor(uint32_t pos) { return Seek(style_, &style_jump_, pos); }
uint32_t CInfFile::LinkCursor(uint32_t pos) { return Seek(link_, &link_jump_, pos); }
uint32_t CInfFile::AnchorCursor(uint32_t pos) { return Seek(anchor_, &anchor_jump_, pos); }

}  // namespace hz
