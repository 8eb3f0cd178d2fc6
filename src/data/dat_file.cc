#include "data/dat_file.h"

namespace hz {

namespace {
constexpr unsigned kDatHeaderSize = 4;
}

CDatFile::CDatFile(const DictFile& name) : file_(name.fs_path) {
  if (CheckOpened(file_, name)) index_.Load(file_, kDatHeaderSize, name);
}

const char* CDatFile::LoadRecord(int32_t n) {
  if (n == loaded_ && n != 0) return text_;
  uint32_t offset;
  uint32_t length;
  if (!index_.Locate(n, &offset, &length)) {
    loaded_ = 0;
    text_ = nullptr;
    length_ = 0;
    return nullptr;
  }
  loaded_ = n;
  buffer_.resize(static_cast<size_t>(length) + 1);
  length_ = static_cast<uint32_t>(file_.ReadAt(offset, buffer_.data(), length));
  buffer_[length_] = '\0';
  text_ = buffer_.data();
  return text_;
}

}  // namespace hz
