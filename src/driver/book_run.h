// hz2book: a searchable EPWING book from a dictionary, on Linux, and on
// request StarDict and Yomitan dictionaries.
//
//   hz2book [hz2html options] DICT OUTDIR    convert, then build
//   hz2book --pages OUTDIR                   build from the pages already there
//   --stardict, --yomitan                    also the dictionaries
//   --no-epwing                              not the EPWING book
//
// The pages come from hz2html --gaiji (run in this process); the book model
// is read from them once; each output is written from the model in a hidden
// work directory in OUTDIR, proved by reading it back (the EPWING book with
// the EB library), and moved into place (OUTDIR/book, OUTDIR/stardict,
// OUTDIR/yomitan), where an earlier one stays until that moment.
#ifndef HZ2HTML_DRIVER_BOOK_RUN_H_
#define HZ2HTML_DRIVER_BOOK_RUN_H_

namespace hz {

// hz2book's exit statuses besides hz2html's own (which a conversion that
// fails passes on: 255 for a usage error, 2 for a file not written).
constexpr int kBookBuilt = 0;
constexpr int kBookNotBuilt = 1;      // no entries, a page unreadable, an index too deep
constexpr int kBookWriteFailure = 2;  // the work directory or an output not written
constexpr int kBookDamaged = 3;       // built and proved; --strict, and a warning
constexpr int kBookMisses = 4;        // built, but a proof found misses

// Runs hz2book on the command line; returns the exit status.
int RunBookBuilder(int argc, const char* const* argv);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_BOOK_RUN_H_
