// The book's proof: the checker opens the built book with the EB library
// (the library GoldenDict and eblook read EPWING books with) and checks it
// against the manifest, in which the book's text (WriteBookText) wrote down
// what it put in:
//
//  - the entries, walked in order: each begins with its heading, holds its
//    references and its gaiji in order;
//  - every search word of every entry finds, by exact search, an entry with
//    that entry's heading (a word the library's exact search cannot reach,
//    because its index page follows a page ending in a prefix of it, is
//    confirmed by a forward and a backward search instead);
//  - every reference lands on its target: the text there begins as the
//    text after the target did when it was written;
//  - every gaiji reads back as the glyph put in;
//  - the menu leads to its three pages, and the copyright notice is there.
//
#ifndef HZ2HTML_EPWING_BOOK_CHECK_H_
#define HZ2HTML_EPWING_BOOK_CHECK_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "epwing/book_plan.h"
#include "epwing/book_text.h"

namespace hz {

struct CheckResult {
  int64_t entries = 0, keys = 0, references = 0, gaiji = 0;
  std::vector<std::string> misses;  // what was not found (all of them)
  std::string error;                // the book or the manifest cannot be read
};

// Reports the checker's progress: what it checks, how many of how many.
using CheckProgress = std::function<void(const char* stage, int64_t done, int64_t total)>;

// Checks the book in book_dir against the manifest, with the gaiji of
// plan. Stops early when interrupted returns true.
CheckResult CheckBook(const std::string& book_dir, const Manifest& manifest, const BookPlan& plan,
                      const CheckProgress& progress, const std::function<bool()>& interrupted);

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_CHECK_H_
