// An output file that is never left half-written under its final name.
//
// The page is written to a hidden temporary file beside its final name
// (".honbun.html.XXXXXX") and renamed over that name only after every write
// and the close have succeeded; the final file then has mode 0666 minus the
// umask, as a newly created file would. On failure the temporary file is removed and an earlier file of the
// final name stays as it was.
#ifndef HZ2HTML_PLATFORM_PAGE_FILE_H_
#define HZ2HTML_PLATFORM_PAGE_FILE_H_

#include <memory>
#include <string>

#include "platform/page_writer.h"

namespace hz {

class PageFile {
 public:
  PageFile() = default;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile();

  // Creates the temporary file for the page whose composed name is path.
  bool Create(const std::string& path);
  PageWriter& out() { return *writer_; }
  // Flushes, closes and renames the page into place.
  bool Commit();
  // Removes the temporary file, if any.
  void Abandon();

  const std::string& path() const { return path_; }
  int error() const { return error_; }

 private:
  std::string path_;     // composed name, as the user sees it
  std::string fs_path_;  // the final name on the file system
  std::string temp_path_;
  int fd_ = -1;
  int error_ = 0;
  std::unique_ptr<PageWriter> writer_;
};

// Prints "hz2html: cannot write <path>: <reason>" on standard error.
void ReportCannotWrite(const PageFile& file);

// Writes the file whose composed name is path as a page is written, fill
// writing its content to the PageWriter it is given; false, after
// reporting it, when the file could not be written.
template <typename Fill>
bool WriteOutputFile(const std::string& path, Fill fill) {
  PageFile file;
  if (!file.Create(path)) {
    ReportCannotWrite(file);
    return false;
  }
  fill(file.out());
  if (!file.Commit()) {
    ReportCannotWrite(file);
    return false;
  }
  return true;
}

// Makes an interrupted run (SIGINT, SIGTERM, SIGHUP) remove the temporary
// file of the page being written before it ends, so that no partial file is
// left behind.
void RemoveTemporaryFilesOnSignals();

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_PAGE_FILE_H_
