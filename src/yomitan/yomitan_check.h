// The Yomitan dictionary's proof: the zip read back with libzip and its
// JSON with RapidJSON, as Yomitan's importer reads them, and compared with
// the Unicode book:
//
//  - index.json has the keys and values the index schema asks for;
//  - every row of every term bank has the term-bank v3 schema's shape (eight
//    items of its types; structured content of its tags, keys and values),
//    and its content is its part's;
//  - the kanji bank's rows have the kanji-bank v3 shape;
//  - every search word of every part has a row with the part's sequence;
//  - every link's search (the longest beginning of its query that is a
//    term or reading, then the shorter ones) finds its target;
//  - every picture path is a file of the zip;
//  - no string holds a private-use character or U+FFFD.
#ifndef HZ2HTML_YOMITAN_YOMITAN_CHECK_H_
#define HZ2HTML_YOMITAN_YOMITAN_CHECK_H_

#include <string>

#include "unicode/unicode_book.h"

namespace hz {

ExportCheck CheckYomitan(const std::string& fs_path, const UnicodeBook& book);

}  // namespace hz

#endif  // HZ2HTML_YOMITAN_YOMITAN_CHECK_H_
