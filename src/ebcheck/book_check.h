// The EPWING book's proof: the book, read through the EB library
// (eb_session.h), compared with the model it was written from. What the
// model should look like in the book is worked out here from the model
// alone (ExpectedText), never taken from the writer:
//
//  - every entry, walked in order, reads back as its heading (the entry's
//    keyword) and its text: the same characters, line ends, styles,
//    references and pictures, each character JIS X 0208 lacks as a gaiji
//    with its glyph;
//  - every reference lands where its target's text begins;
//  - every picture's data is the picture's file;
//  - every search word of every entry finds the entry by exact search,
//    forward word search and backward word search; every marker finds it by
//    keyword search;
//  - the menu leads to its pages, and the copyright notice is there.
//
// The searches are shared between two processes when the system allows.
#ifndef HZ2HTML_EBCHECK_BOOK_CHECK_H_
#define HZ2HTML_EBCHECK_BOOK_CHECK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/book_model.h"

namespace hz {

struct CheckResult {
  int64_t entries = 0, keys = 0, references = 0, gaiji = 0;
  std::vector<std::string> misses;  // what was not found (all of them)
  std::string error;                // the book cannot be read
};

// Reports the checker's progress: what it checks, how many of how many.
using CheckProgress = std::function<void(const char* stage, int64_t done, int64_t total)>;

// Checks the book in book_dir against the model. Stops early when
// interrupted returns true.
CheckResult CheckEpwingBook(const std::string& book_dir, const BookModel& model, const CheckProgress& progress,
                            const std::function<bool()>& interrupted);

// The marked text (eb_session.h's marks) the model's content should read
// as in the book.
class ExpectedText {
 public:
  explicit ExpectedText(const BookModel& model) : model_(model) {}
  // The runs of content appended to *out; the targets of its links, its
  // anchors (target and where in *out) and its pictures, in order.
  void Runs(std::string_view content, std::string* out);
  // An entry: its keyword, a line end and its body.
  void Entry(const BookPart& part, std::string* out);

  std::vector<uint32_t> links, pictures;
  std::vector<std::pair<uint32_t, size_t>> anchors;

 private:
  void Text(std::string_view text, std::string* out);
  void Character(uint32_t cp, uint32_t next, bool* both, std::string* out);
  void Glyph(const Glyph16& g, std::string* out);

  const BookModel& model_;
};

// The marked text reduced to what a reader shows: characters and line ends
// with, before each character whose styles, reference or picture differ
// from the character before's, a mark of the new ones; keyword marks kept.
// With plain set, characters and line ends only.
std::string Canonical(const std::string& marked, bool plain = false);
void CanonicalInto(std::string_view marked, bool plain, std::string* canonical);

}  // namespace hz

#endif  // HZ2HTML_EBCHECK_BOOK_CHECK_H_
