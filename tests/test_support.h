// Helpers shared by the tests: temporary directories, dictionaries built
// from readable sources, Shift-JIS expectations and in-process runs. File
// names are taken as the converter takes them: bytes on POSIX, Shift-JIS
// on Windows.
#ifndef HZ2HTML_TESTS_TEST_SUPPORT_H_
#define HZ2HTML_TESTS_TEST_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_options.h"
#include "html/page_tally.h"

namespace hzt {

// A directory removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

// UTF-8 text as Shift-JIS bytes (fails the test when it has no such form).
std::string S(const std::string& utf8);
// Every "\n" as CR LF, as pages store them.
std::string Crlf(const std::string& text);

// Stores v at p as four little-endian bytes (fixtures of damaged files).
inline void PutU32LE(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Builds the dictionary of source under dir (fails the test on a bad source).
void Build(const std::string& source, const std::string& dir);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
bool IsDir(const std::string& path);
// Creates one directory; false when it cannot.
bool MakeDir(const std::string& path);
// Removes a file or an empty directory; false when it cannot.
bool Remove(const std::string& path);
// The names in a directory, sorted, without "." and "..".
std::vector<std::string> ListDir(const std::string& path);

// The current directory is dir while the object lives.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir);
  ~InDirectory();
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;

 private:
  std::string saved_;
};

// The system's error codes for a path through a regular file, and for a
// directory in a file's place; the text the converter shows for them is the
// system's own (hz::SystemErrorText).
extern const int kNotADirectory;
extern const int kIsADirectory;
// "hz2html: cannot write PATH: REASON\n" with the system's text for error.
std::string CannotWrite(const std::string& path, int error);

// The project's source directory and the built sample dictionary, as paths
// the converter takes.
std::string SourceDir();
std::string SampleDict();

// Renders one entry of DATA/KX01 of the dictionary built from source, with
// the dictionary's four link-name tables, and returns the bytes written.
std::string Render(const std::string& source, bool list_mode, int record, int offset,
                   int entry_no, const hz::RunOptions& options = hz::RunOptions());

// The result of running the converter in-process.
struct RunResult {
  int status = 0;
  std::string out;  // standard output
  std::string err;  // standard error
};
RunResult RunHz(const std::vector<std::string>& args);
// Standard error without the warnings of pages left without entries (small
// fixtures lack most of the dictionary's files).
std::string WithoutEmptiedPages(const std::string& err);

// Builds the dictionary of source, writes one page of it with writer, checks
// the page's frame (head with title, tail) and returns what lies between.
using PageWriterFunction = bool (*)(const std::string& in_path, const std::string& page_path,
                                    const hz::RunOptions& options, hz::PageTally& tally);
std::string PageBody(const std::string& source, PageWriterFunction writer, const std::string& title);

// The page head and tail of a page with the given (Shift-JIS) title.
std::string PageHead(const std::string& title);
extern const char kPageTail[];

}  // namespace hzt

#endif  // HZ2HTML_TESTS_TEST_SUPPORT_H_
