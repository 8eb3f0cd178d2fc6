// The pieces of a page as the book model reads them: text, elements, search
// keys, comments and images, in the grammar of pages/page_grammar.h. The
// tokenizer takes the converter's two quirks into account (a key is taken
// whole up to "</key>", an image's caption runs up to its '">') and is
// lenient with pages edited by hand: element names in any letter case, a
// '<' that opens no element is text.
#ifndef HZ2HTML_PAGES_PAGE_TOKENS_H_
#define HZ2HTML_PAGES_PAGE_TOKENS_H_

#include <cstring>
#include <string_view>

namespace hz {

struct PageToken {
  // kImage begins an image's caption, kAltEnd ends it.
  enum Kind { kText, kKey, kComment, kImage, kAltEnd, kElement, kEnd };
  Kind kind = kEnd;
  // Views of the page's bytes: the page outlives its tokens.
  std::string_view text;        // text, a key's text, a comment's text, or an image's src
  std::string_view attributes;  // an element's attributes as written; a key's type
  bool closing = false;         // "</name>"
  // An element's name in lower case; a name longer than seven letters is
  // cut (no name the pages use is that long).
  char name[8] = {};

  bool Is(const char* element) const { return std::strcmp(name, element) == 0; }
};

class PageTokens {
 public:
  explicit PageTokens(std::string_view page) : page_(page) {}
  // The next token; kind kEnd at the end of the page.
  PageToken Next();
  // Where the next token begins.
  size_t position() const { return at_; }

 private:
  PageToken Text(size_t end);
  PageToken TextOrAltEnd();
  bool Key(PageToken* t);
  bool Comment(PageToken* t);
  bool Image(PageToken* t);
  PageToken Element();

  std::string_view page_;
  size_t at_ = 0;
  bool in_alt_ = false;  // between an image's alt=" and its '">'
};

// The value of an attribute in an element's attributes ("" when absent);
// *present tells whether it was there at all (it may be empty).
std::string_view AttributeValue(std::string_view attributes, const char* name, bool* present = nullptr);

}  // namespace hz

#endif  // HZ2HTML_PAGES_PAGE_TOKENS_H_
