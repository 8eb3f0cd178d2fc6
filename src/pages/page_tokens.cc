#include "pages/page_tokens.h"

#include <string>

#include "pages/page_grammar.h"

namespace hz {

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// True when the page holds lit at at.
template <size_t N>
bool At(std::string_view page, size_t at, const char (&lit)[N]) {
  return page.compare(at, N - 1, lit) == 0;
}

}  // namespace

std::string_view AttributeValue(std::string_view attributes, const char* name, bool* present) {
  const std::string key = std::string(name) + "=\"";
  if (present) *present = false;
  for (size_t at = attributes.find(key); at != std::string_view::npos; at = attributes.find(key, at + 1)) {
    // A whole attribute name, not the end of a longer one.
    if (at > 0 && IsNameChar(attributes[at - 1])) continue;
    if (present) *present = true;
    const size_t start = at + key.size();
    const size_t end = attributes.find('"', start);
    return end == std::string_view::npos ? attributes.substr(start) : attributes.substr(start, end - start);
  }
  return {};
}

PageToken PageTokens::Text(size_t end) {
  PageToken t;
  t.kind = PageToken::kText;
  t.text = page_.substr(at_, end - at_);
  at_ = end;
  return t;
}

// Text up to the next element; inside an image's caption, up to the '">'
// that ends it (and then the end itself).
PageToken PageTokens::TextOrAltEnd() {
  size_t end = page_.find('<', at_);
  if (end == std::string_view::npos) end = page_.size();
  if (in_alt_) {
    const size_t close = page_.substr(0, end).find(kTagEnd, at_);
    if (close == at_) {
      at_ += 2;
      in_alt_ = false;
      PageToken t;
      t.kind = PageToken::kAltEnd;
      return t;
    }
    if (close != std::string_view::npos) end = close;
  }
  return Text(end);
}

// <key type="TYPE">TEXT</key>, TEXT taken whole; false when it is not one.
bool PageTokens::Key(PageToken* t) {
  const size_t open = sizeof kKeyOpen - 1;
  if (!At(page_, at_, kKeyOpen)) return false;
  const size_t type_end = page_.find(kTagEnd, at_ + open);
  const size_t close = type_end == std::string_view::npos ? type_end : page_.find("</key>", type_end + 2);
  if (close == std::string_view::npos) return false;
  t->kind = PageToken::kKey;
  t->attributes = page_.substr(at_ + open, type_end - at_ - open);
  t->text = page_.substr(type_end + 2, close - type_end - 2);
  at_ = close + 6;
  return true;
}

bool PageTokens::Comment(PageToken* t) {
  if (!At(page_, at_, "<!--")) return false;
  const size_t close = page_.find("-->", at_ + 4);
  if (close == std::string_view::npos) return false;
  t->kind = PageToken::kComment;
  t->text = page_.substr(at_ + 4, close - at_ - 4);
  at_ = close + 3;
  return true;
}

// <img src="SRC" alt=": the caption follows.
bool PageTokens::Image(PageToken* t) {
  const size_t open = sizeof kImageOpen - 1;
  if (!At(page_, at_, kImageOpen)) return false;
  const size_t src_end = page_.find('"', at_ + open);
  if (src_end == std::string_view::npos || !At(page_, src_end, kImageCaption)) return false;
  t->kind = PageToken::kImage;
  t->text = page_.substr(at_ + open, src_end - at_ - open);
  at_ = src_end + sizeof kImageCaption - 1;
  in_alt_ = true;
  return true;
}

// <name attributes> or </name>; a '<' that opens nothing is text.
PageToken PageTokens::Element() {
  const size_t n = page_.size();
  size_t p = at_ + 1;
  const bool closing = p < n && page_[p] == '/';
  if (closing) ++p;
  const size_t name_start = p;
  while (p < n && IsNameChar(page_[p])) ++p;
  const size_t close = page_.find('>', p);
  if (p == name_start || close == std::string_view::npos) return Text(at_ + 1);
  PageToken t;
  t.kind = PageToken::kElement;
  t.closing = closing;
  for (size_t i = 0; i < p - name_start && i + 1 < sizeof t.name; ++i) {
    const char c = page_[name_start + i];
    t.name[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  t.attributes = page_.substr(p, close - p);
  at_ = close + 1;
  return t;
}

PageToken PageTokens::Next() {
  PageToken t;
  if (at_ >= page_.size()) return t;
  if (page_[at_] != '<') return TextOrAltEnd();
  if (Key(&t) || Comment(&t) || Image(&t)) return t;
  return Element();
}

}  // namespace hz
