// Helpers of the book's tests: models read from pages in memory, their
// runs shown as text, and books written into a directory.
#ifndef HZ2HTML_TESTS_BOOK_SUPPORT_H_
#define HZ2HTML_TESTS_BOOK_SUPPORT_H_

#include <map>
#include <string>
#include <vector>

#include "core/report.h"
#include "epwing/epwing_book.h"
#include "model/model_reader.h"

namespace hzt {

// A report that keeps what it is told, a line each ("PATH: WHAT").
struct Told : hz::Report {
  void Missing(const std::string&) override {}
  void Damaged(const std::string& path, const std::string& what) override { told += path + ": " + what + "\n"; }
  void UnknownLinkKind(uint32_t) override {}
  void CannotWrite(const std::string&, int) override {}
  std::string told;
};

// A page as hz2html frames it (Shift-JIS title and body).
std::string Page(const std::string& title, const std::string& body);

// The pages of a book: honbun.html's list (Shift-JIS, between <dl> and
// </dl>), kanji.html's, and the four section pages with a line of text.
struct TestPages {
  std::string honbun, kanji;
  std::map<std::string, std::string> sections;  // by file name: the whole page
  std::string ebs = "kanaSep1=\x81\x79\r\nkanaSep2=\x81\x7A\r\nStopWord=a the\r\n";
};

// Where the model is read from: the pages in dir, no font (placeholder
// glyphs), what is told in *report.
hz::ModelSources SourcesIn(const std::string& dir, hz::Report* report);

// The model of pages in memory, with gaiji.tsv's names; what was told in
// *told.
hz::BookModel ModelOf(const TestPages& pages, std::string* told = nullptr,
                      const std::map<uint32_t, hz::GaijiName>& names = {});

// Runs shown as text: styles as <b> <i> <sub> <sup>, links as
// <a TARGET-ID>...</a>, anchors as <@ID>, pictures as <img SRC>...</img>,
// gaiji as {F040}, line breaks as <br>.
std::string Shown(const hz::BookModel& m, std::string_view content);
// A part's heading and body: "HEADING|BODY".
std::string Shown(const hz::BookModel& m, const hz::BookPart& p);
// A part's search words, then its markers after a '/', joined by ','.
std::string Words(const hz::BookModel& m, const hz::BookPart& p);

// Writes the book's files under dir (made first).
void WriteBook(const std::string& dir, const hz::EpwingBook& book);

// The EPWING book of the model written under dir; fails the test when it
// cannot be.
hz::EpwingBook BookOf(const hz::BookModel& m, const std::string& dir);

// A program run to its end: its exit status (or 128 + the signal that
// ended it) and what it wrote.
struct Spawned {
  int status = -1;
  std::string out, err;
};

// Runs argv with stdin from input, PATH set to path when it is given; when
// stop_when names a directory's prefix, sends SIGTERM once an entry of dir
// that begins with it holds a book's catalogs.
Spawned Spawn(const std::vector<std::string>& argv, const std::string& input = "", const std::string& path = "",
              const std::string& dir = "", const std::string& stop_when = "");

}  // namespace hzt

#endif  // HZ2HTML_TESTS_BOOK_SUPPORT_H_
