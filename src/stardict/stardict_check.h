// The StarDict dictionary's proof: its files read back from the disk as
// StarDict's readers read them, and compared with the Unicode book:
//
//  - the .ifo names the files as they are (word counts, the .idx's size,
//    HTML articles);
//  - .idx and .syn are in StarDict's order, their words under 256 bytes;
//  - the articles inflate chunk by chunk, as a reader seeks them, with the
//    file's length and checksum;
//  - every part's headword finds the part's article by binary search over
//    .idx, and every other search word finds it through .syn;
//  - every bword:// link finds a word, every picture is in res/;
//  - no word or article holds a private-use character or U+FFFD.
#ifndef HZ2HTML_STARDICT_STARDICT_CHECK_H_
#define HZ2HTML_STARDICT_STARDICT_CHECK_H_

#include <string>

#include "unicode/unicode_book.h"

namespace hz {

ExportCheck CheckStarDict(const std::string& dir, const UnicodeBook& book);

}  // namespace hz

#endif  // HZ2HTML_STARDICT_STARDICT_CHECK_H_
