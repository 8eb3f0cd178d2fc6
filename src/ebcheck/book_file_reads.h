// The EB library reads a book's files with lseek and read: two system calls
// for every page it looks at, four pages or so for every search. A check
// makes a million searches, and on a virtual machine the calls, not the
// searches, would take most of its time. While a BookFileReads lives, the
// library's reads of the files under its directory come from a read-only
// mapping of each file instead: the same bytes in the same order, the
// library's own code doing all the rest.
//
// hz2book links the EB library's static archive with the linker's --wrap
// for open, read, lseek and close, which sends the library's calls (and any
// other in the program) through book_file_reads.cc; a call on any other file
// goes on to the system as before.
#ifndef HZ2HTML_EBCHECK_BOOK_FILE_READS_H_
#define HZ2HTML_EBCHECK_BOOK_FILE_READS_H_

#include <string>

namespace hz {

class BookFileReads {
 public:
  // Serves the files opened under dir (one directory at a time in a
  // process) until destroyed. Files already open are read as before.
  explicit BookFileReads(const std::string& dir);
  ~BookFileReads();
  BookFileReads(const BookFileReads&) = delete;
  BookFileReads& operator=(const BookFileReads&) = delete;

  // How many of the files opened so far are served from memory.
  static int ServedCount();
};

}  // namespace hz

#endif  // HZ2HTML_EBCHECK_BOOK_FILE_READS_H_
