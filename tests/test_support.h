// Helpers shared by the tests: temporary directories, dictionaries built
// from readable sources, Shift-JIS expectations and in-process runs.
#ifndef HZ2HTML_TESTS_TEST_SUPPORT_H_
#define HZ2HTML_TESTS_TEST_SUPPORT_H_

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

// Builds the dictionary of source under dir (fails the test on a bad source).
void Build(const std::string& source, const std::string& dir);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// The names in a directory, sorted, without "." and "..".
std::vector<std::string> ListDir(const std::string& path);

// Renders one entry of DATA/KX01 of the dictionary built from source, with
// the dictionary's four link-name tables, and returns the bytes written.
std::string Render(const std::string& source, bool list_mode, int record, int offset,
                   int entry_no, const hz::RunOptions& options = hz::RunOptions());

// The result of running the converter in-process.
struct RunResult {
  int status;
  std::string out;  // standard output
  std::string err;  // standard error
};
RunResult RunHz(const std::vector<std::string>& args);

// Builds the dictionary of source, writes one page of it with writer, checks
// the page's frame (head with title, tail) and returns what lies between.
using PageWriterFunction = bool (*)(const std::string& in_path, const std::string& page_path,
                                    const hz::RunOptions& options, hz::PageTally* tally);
std::string PageBody(const std::string& source, PageWriterFunction writer, const std::string& title);

// The page head and tail of a page with the given (Shift-JIS) title.
std::string PageHead(const std::string& title);
extern const char kPageTail[];

}  // namespace hzt

#endif  // HZ2HTML_TESTS_TEST_SUPPORT_H_
