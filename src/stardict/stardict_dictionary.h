// The dictionary for StarDict's readers (StarDict, GoldenDict, KOReader,
// sdcv), StarDict 3.0.0 as doc/StarDictFileFormat describes it, written in
// memory from the Unicode book:
//
//   harukaze.ifo      "StarDict's dict ifo file", version=3.0.0, bookname
//                     (the book's title), wordcount, synwordcount,
//                     idxfilesize, sametypesequence=h, description
//   harukaze.idx      a word a part: its headword (UTF-8, NUL), the offset
//                     and size of its article (32 bits each, big-endian),
//                     in StarDict's order
//   harukaze.syn      every other search word of a part: the word, NUL, the
//                     index of the part's headword in .idx (32 bits,
//                     big-endian), in StarDict's order; left out when there
//                     is no such word
//   harukaze.dict.dz  the articles, dictzip-compressed (dictzip.h)
//   res/              the pictures the articles show: the pages' own
//                     ("FRACTAL/f001.jpg") and the gaiji's ("gaiji/F040.png")
//
// StarDict's order is g_ascii_strcasecmp's (ASCII letters without case,
// bytes unsigned), then strcmp's. An article is HTML: the heading in <b>, a
// line break, the body, with <b> <i> <sub> <sup> <br>, references as
// <a href="bword://HEADWORD"> to the target's part, pictures as
// <img src="PATH" alt="CAPTION">, a gaiji without text as its picture one
// line high. A picture the pages name but the book lacks shows its caption
// between 〔 and 〕, as in the EPWING book.
#ifndef HZ2HTML_STARDICT_STARDICT_DICTIONARY_H_
#define HZ2HTML_STARDICT_STARDICT_DICTIONARY_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "unicode/unicode_book.h"

namespace hz {

// The dictionary's file names (beside res/).
constexpr char kStarDictName[] = "harukaze";

struct StarDictDictionary {
  std::vector<BookFile> files;
  int64_t articles = 0, synonyms = 0, pictures = 0;
};

// StarDict's order: < 0, 0 or > 0 as a comes before, with or after b.
int StarDictCompare(std::string_view a, std::string_view b);

// Renders the parts' articles; what many articles share (each gaiji's
// HTML, each link's tag) made once.
class StarDictArticles {
 public:
  explicit StarDictArticles(const UnicodeBook& book);
  // The article of a part, appended to *out.
  void Append(uint32_t part, std::string* out) const;

 private:
  const UnicodeBook& book_;
  std::vector<std::string> gaiji_;  // by gaiji
  std::vector<std::string> links_;  // by target: "<a href="bword://...">"
};

// Writes the dictionary; description is the .ifo's (one line). False, with
// the reason in *error, when StarDict cannot hold it (articles over 4 GiB).
bool WriteStarDict(const UnicodeBook& book, const std::string& description, StarDictDictionary* dict,
                   std::string* error);

}  // namespace hz

#endif  // HZ2HTML_STARDICT_STARDICT_DICTIONARY_H_
