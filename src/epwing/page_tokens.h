// The pieces of a page as the book reads them: text, elements, search keys,
// comments and images. The pages are the converter's own HTML, with two
// quirks that a general HTML reader would stumble over:
//
//  - a headword key is written unescaped, so "<key ...>a<b</key>" holds a
//    '<': a key is taken whole, up to "</key>";
//  - an image's alt text runs from alt=" to the '">' that ends it and may
//    hold an anchor's markup (a link over text with an anchor inside).
#ifndef HZ2HTML_EPWING_PAGE_TOKENS_H_
#define HZ2HTML_EPWING_PAGE_TOKENS_H_

#include <string>
#include <string_view>

namespace hz {

struct PageToken {
  // kImage begins an image's alt text, kAltEnd ends it.
  enum Kind { kText, kKey, kComment, kImage, kAltEnd, kElement, kEnd };
  Kind kind = kEnd;
  // Views of the page's bytes: the page outlives its tokens.
  std::string_view text;        // text, key text, comment text, or image src
  std::string name;             // an element's name (lower case), a key's type
  std::string_view attributes;  // an element's attributes as written
  bool closing = false;    // "</name>"
};

class PageTokens {
 public:
  explicit PageTokens(const std::string& page) : page_(page) {}
  // The next token; kind kEnd at the end of the page.
  PageToken Next();

 private:
  PageToken Text(size_t end);
  PageToken TextOrAltEnd();
  bool Key(PageToken* t);
  bool Comment(PageToken* t);
  bool Image(PageToken* t);
  PageToken Element();

  const std::string& page_;
  size_t at_ = 0;
  bool in_alt_ = false;  // between an image's alt=" and its '">'

};

// The value of an attribute in an element's attributes ("" when absent).
std::string_view AttributeValue(std::string_view attributes, const char* name);

}  // namespace hz

#endif  // HZ2HTML_EPWING_PAGE_TOKENS_H_
