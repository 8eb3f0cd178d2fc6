// An output file that is never left half-written under its final name.
//
// The page is written to a hidden temporary file beside its final name
// (".honbun.html.XXXXXX") and renamed over that name only after every write
// and the close have succeeded; the final file then has mode 0666 minus the
// umask, as a newly created file would. On failure the temporary file is removed and an earlier file of the
// final name stays as it was.
#ifndef HZ2HTML_PLATFORM_PAGE_FILE_H_
#define HZ2HTML_PLATFORM_PAGE_FILE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "platform/page_writer.h"

namespace hz {

// A path as the system's file calls take it: bytes on POSIX, UTF-16 on
// Windows.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

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
  // The system's error code of the failure.
  int error() const { return error_; }

 private:
  std::string path_;    // composed name, as the user sees it
  NativePath fs_path_;  // the final name on the file system
  NativePath temp_path_;
  intptr_t file_ = PageWriter::kNoFile;
  int error_ = 0;
  std::unique_ptr<PageWriter> writer_;
};

// The system's message text for one of its error codes.
std::string SystemErrorText(int error);

// The file-system operations of a page file, one side per platform.
namespace page_file {
// The error of a page that was not created.
extern const int kNotCreated;
// The page being written, for the interrupt handlers; null when none.
void Watch(const NativePath* temp);
// Creates the hidden temporary file beside final; its handle, or
// PageWriter::kNoFile with the system's error in *error.
intptr_t CreateTemporary(const NativePath& final, NativePath* temp, int* error);
// Closes a temporary file whose every write succeeded and makes it ready
// to stand under its final name; false with the system's error.
bool Finish(intptr_t file, const NativePath& temp, int* error);
// Moves the finished temporary file over the final name.
bool MoveIntoPlace(const NativePath& temp, const NativePath& final, int* error);
// Closes (when file is open) and removes a temporary file.
void Discard(intptr_t file, const NativePath& temp);
// The final name on the file system of a composed path; false when it has
// none (then *error tells why).
bool FinalName(const std::string& path, NativePath* final, int* error);
}  // namespace page_file

// Writes the file whose composed name is path as a page is written, fill
// writing its content to the PageWriter it is given. Returns 0, or the
// system's error code when the file could not be written (nothing is then
// left under its name, and an earlier file of that name stays).
template <typename Fill>
int WriteOutputFile(const std::string& path, Fill fill) {
  PageFile file;
  if (file.Create(path)) {
    fill(file.out());
    if (file.Commit()) return 0;
  }
  return file.error() != 0 ? file.error() : page_file::kNotCreated;
}

// Makes an interrupted run remove the temporary file of the page being
// written before it ends, so that no partial file is left behind: on POSIX
// at SIGINT, SIGTERM and SIGHUP, on Windows at Ctrl-C, Ctrl-Break and the
// console's closing.
void RemoveTemporaryFileOnInterrupt();

// What an interruption does before the process ends: removes the temporary
// file of the page being written, if any (on Windows the file is gone once
// the process has ended). The handlers call it; so do tests.
void RemoveTemporaryFileNow();

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_PAGE_FILE_H_
