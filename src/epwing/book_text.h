// The book's text, read from the pages: what FreePWING is to be told, in the
// order it is to be told, as a stream of lines that the book parser (the one
// piece in Perl, because FreePWING's interface is Perl) replays through
// FreePWING::FPWUtils::*; and the manifest the checker proves the book
// against.
//
// honbun.html and then kanji.html: one entry per <dt>, its heading the <dt>
// text, everything up to the next <dt> (body, keys, markers) its own. The
// heading begins the entry's text as its keyword; <br /> ends a line; <b>,
// <i>, <sub>, <sup> are emphasis, italic, subscript, superscript; <dt id>
// and <a name> are reference targets, <a href> references to them; an
// <img> is the image when it was found beside the pages, else its alt text
// in 〔〕; <object> is its text. Search words: every <key>, and the heading's
// text before kanaSep1 and between each kanaSep1 and kanaSep2 (delChars
// removed; StopWord words and empty words left out). Markers are
// keyword-search words. usage, hanrei and jo make the menu; oku is the
// copyright notice.
//
// The stream, a line per call (EUC-JP text; gaiji and tags by name):
//   O<text|menu|copyright>  the object the calls below go to
//   C                       new context          E    new entry
//   H<text> h<gaiji>        heading text         [ ]  keyword start, end
//   T<text> G<gaiji> N      text, gaiji, line end
//   b B  i I  s S  u U      emphasis, italic, subscript, superscript
//   r R<tag>                reference start, end
//   @<tag> #<tag>           tag at the entry's start, at the position
//   j<name> J  m<name> M    JPEG image, BMP image (caption between)
//   W<word> K<word>         the entry's search word, keyword-search word
//   P<done> <total>         entries done, for the progress line
//   Z                       the stream's end
#ifndef HZ2HTML_EPWING_BOOK_TEXT_H_
#define HZ2HTML_EPWING_BOOK_TEXT_H_

#include <cstdint>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "epwing/book_chars.h"
#include "epwing/book_plan.h"

namespace hz {

// What the book should hold, for the checker. Text is EUC-JP/ASCII with
// each gaiji as {NAME}.
struct ManifestPart {
  std::string name;  // an entry's heading; a context's page ("usage.html", "menu")
  std::vector<std::string> words, refs, gaiji;  // in order
};

struct Manifest {
  std::vector<ManifestPart> entries;
  std::map<std::string, ManifestPart> contexts;
  std::unordered_map<std::string, std::string> snippets;  // the text after a target, by tag
  int64_t markers = 0;
};

// Writes the stream of the six pages to out, and what it put in to
// *manifest. Returns false when a write failed.
bool WriteBookText(const BookPlan& plan, const BookChars& chars, const SearchSettings& settings,
                   const BookPages& pages, std::FILE* out, Manifest* manifest);

// The text a reader shows for a converted string: gaiji as {NAME}.
std::string Shown(const BookString& s, const BookPlan& plan);

}  // namespace hz

#endif  // HZ2HTML_EPWING_BOOK_TEXT_H_
