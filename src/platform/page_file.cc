#include "platform/page_file.h"

namespace hz {

PageFile::~PageFile() { Abandon(); }

bool PageFile::Create(const std::string& path) {
  Abandon();
  path_ = path;
  error_ = 0;
  if (!page_file::FinalName(path, &fs_path_, &error_)) return false;
  file_ = page_file::CreateTemporary(fs_path_, &temp_path_, &error_);
  if (file_ == PageWriter::kNoFile) {
    temp_path_.clear();
    return false;
  }
  page_file::Watch(&temp_path_);
  writer_ = std::make_unique<PageWriter>(file_);
  return true;
}

bool PageFile::Commit() {
  if (file_ == PageWriter::kNoFile) {
    if (error_ == 0) error_ = page_file::kNotCreated;
    return false;
  }
  bool ok = writer_->Flush();
  if (!ok) error_ = writer_->error();
  if (ok) {
    const intptr_t file = file_;
    file_ = PageWriter::kNoFile;
    ok = page_file::Finish(file, temp_path_, &error_) &&
         page_file::MoveIntoPlace(temp_path_, fs_path_, &error_);
  }
  if (!ok) {
    Abandon();
    return false;
  }
  page_file::Watch(nullptr);
  temp_path_.clear();
  return true;
}

void PageFile::Abandon() {
  if (file_ == PageWriter::kNoFile && temp_path_.empty()) return;
  page_file::Watch(nullptr);
  page_file::Discard(file_, temp_path_);
  file_ = PageWriter::kNoFile;
  temp_path_.clear();
}

}  // namespace hz
