// hz2book: a searchable EPWING book from a dictionary, on Linux, with free
// tools.
//
//   hz2book [hz2html options] DICT OUTDIR    convert, then build the book
//   hz2book --pages OUTDIR                   build from the pages already there
//
// The pages come from hz2html --gaiji (run in this process); FreePWING's
// fpwmake builds the book from them in a hidden work directory beside
// OUTDIR/book, running the book parser; the checker proves every search word,
// reference and gaiji of the book with the EB library; then the book is
// moved into OUTDIR/book, where an earlier one stays until that moment.
#ifndef HZ2HTML_DRIVER_BOOK_RUN_H_
#define HZ2HTML_DRIVER_BOOK_RUN_H_

namespace hz {

// hz2book's exit statuses besides hz2html's own (which a conversion that
// fails passes on: 255 for a usage error, 2 for a file not written).
constexpr int kBookBuilt = 0;
constexpr int kBookNotBuilt = 1;      // a tool missing, no entries, FreePWING failed
constexpr int kBookWriteFailure = 2;  // the work directory or the book not written
constexpr int kBookDamaged = 3;       // built and verified; --strict, and a warning
constexpr int kBookMisses = 4;        // built, but the checker found misses

// Runs hz2book on the command line; returns the exit status.
int RunBookBuilder(int argc, const char* const* argv);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_BOOK_RUN_H_
