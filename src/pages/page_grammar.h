// The pages' grammar: how the converter spells what it writes into the six
// pages, and what the book model reads back from them. The pages are
// Shift-JIS HTML in this shape (every line feed stored as CR LF):
//
//   <html>\n<head>\n<title>TITLE</title>\n</head>\n<body>\n
//   <h1>TITLE</h1>\n<p></p>\n          a section page's heading
//   <dl>\n ... </dl>\n                 the entries of honbun.html, kanji.html
//   <dt id="0012-0001">TERM</dt>\n<dd>DEFINITION</dd>\n\n
//   <key type="TYPE">KEY</key>\n       a search key of the entry before it
//   <!-- {MUL2001} -->\n               a marker of the entry before it
//   <!-- {KAKU12} -->\n
//   </body>\n</html>\n
//
// Inside TERM and DEFINITION: <br />\n ends a line; <b> <i> <sub> <sup>
// style the text; <a name="0012-ab01"></a> is an anchor; <a href="#ID"> and
// <a href="honbun.html#ID"> link to an entry's or an anchor's identifier;
// <img src="FRACTAL/x.jpg" alt="TEXT"> is a picture with its caption, and
// <object data="MOVIE/x.mpg" >TEXT</object> a movie with its label. Text
// escapes < > & as entities; a private-area character is the character
// reference of its Shift-JIS code ("&#xF040;"). Two quirks: a key is written
// unescaped, so it is taken whole up to "</key>"; and an image's caption runs
// from alt=" up to the '">' that ends it, double quotes and an anchor's
// markup included.
#ifndef HZ2HTML_PAGES_PAGE_GRAMMAR_H_
#define HZ2HTML_PAGES_PAGE_GRAMMAR_H_

#include <cstddef>
#include <cstdint>

#include "core/hex.h"

namespace hz {

// The page frame.
constexpr char kPageHeadOpen[] = "<html>\n<head>\n<title>";
constexpr char kPageHeadClose[] = "</title>\n</head>\n<body>\n";
constexpr char kPageTail[] = "</body>\n</html>\n";
constexpr char kSectionHeadingOpen[] = "<h1>";
constexpr char kSectionHeadingClose[] = "</h1>\n<p></p>\n";

// Entries.
constexpr char kListOpen[] = "<dl>\n";
constexpr char kListClose[] = "</dl>\n";
constexpr char kEntryOpen[] = "<dt id=\"";  // then the identifier and kTagEnd
constexpr char kTermEnd[] = "</dt>\n<dd>";
constexpr char kDefinitionEnd[] = "</dd>\n";
constexpr char kEntryEnd[] = "</dd>\n\n";
constexpr char kLineBreak[] = "<br />\n";

// The end of an opening tag after its last attribute's value.
constexpr char kTagEnd[] = "\">";

// Search keys and markers.
constexpr char kKeyOpen[] = "<key type=\"";  // then the key's type and kTagEnd
constexpr char kKeyClose[] = "</key>\n";
constexpr char kMarkerOpen[] = "<!-- {";
constexpr char kMarkerClose[] = "} -->\n";
constexpr char kMulMarker[] = "MUL";    // then four digits
constexpr char kKakuMarker[] = "KAKU";  // then the stroke count

// Links, anchors and media.
constexpr char kLinkOpen[] = "<a href=\"";  // then "#ID" or "PAGE#ID", and kTagEnd
constexpr char kLinkClose[] = "</a>";
constexpr char kAnchorOpen[] = "<a name=\"";
constexpr char kAnchorClose[] = "\"></a>";
constexpr char kImageOpen[] = "<img src=\"";
constexpr char kImageCaption[] = "\" alt=\"";  // the caption ends with kTagEnd
constexpr char kObjectOpen[] = "<object data=\"";
constexpr char kObjectLabel[] = "\" >";
constexpr char kObjectClose[] = "</object>";

// Styles: the tags of bold, italic, subscript and superscript.
enum class PageStyle : uint8_t { kBold, kItalic, kSubscript, kSuperscript };
struct StyleTags {
  const char* open;
  const char* close;
  size_t open_length, close_length;
};
constexpr StyleTags kStyleTags[] = {
    {"<b>", "</b>", 3, 4}, {"<i>", "</i>", 3, 4}, {"<sub>", "</sub>", 5, 6}, {"<sup>", "</sup>", 5, 6}};
inline const StyleTags& TagsOf(PageStyle style) { return kStyleTags[static_cast<int>(style)]; }

// Character references: "&#xF040;", the four upper-case hexadecimal digits
// of a 16-bit code.
constexpr size_t kCharRefLength = 8;

// Formats the character reference of a 16-bit code into the eight bytes at
// ref.
inline void FormatCharRef(uint32_t code, char* ref) {
  ref[0] = '&';
  ref[1] = '#';
  ref[2] = 'x';
  FormatHex4(code, ref + 3);
  ref[7] = ';';
}

// The code of the character reference at p (n bytes available); false
// when p holds none. Digits of either case are read.
inline bool ParseCharRef(const char* p, size_t n, uint32_t* code) {
  return n >= kCharRefLength && p[0] == '&' && p[1] == '#' && p[2] == 'x' && p[7] == ';' &&
         ParseHexDigits(p + 3, 4, code);
}

// Entities: what text escapes, and what an escape stands for.
// The escape of a byte of entry text, or null when it is written as it is.
inline const char* EntityOf(unsigned char c) {
  switch (c) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '&': return "&amp;";
    default: return nullptr;
  }
}

// The byte that the entity at p (n bytes available) stands for, with the
// entity's length in *length; 0 when p holds no entity the pages use. Besides
// the converter's three, &quot; and &apos; of pages edited by hand are read.
char EntityAt(const char* p, size_t n, size_t* length);

}  // namespace hz

#endif  // HZ2HTML_PAGES_PAGE_GRAMMAR_H_
