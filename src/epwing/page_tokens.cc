#include "epwing/page_tokens.h"

#include <cstring>

namespace hz {

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string_view AttributeValue(std::string_view attributes, const char* name) {
  const std::string key = std::string(name) + "=\"";
  for (size_t at = attributes.find(key); at != std::string_view::npos; at = attributes.find(key, at + 1)) {
    // A whole attribute name, not the end of a longer one.
    if (at > 0 && IsNameChar(attributes[at - 1])) continue;
    const size_t start = at + key.size();
    const size_t end = attributes.find('"', start);
    return end == std::string_view::npos ? attributes.substr(start) : attributes.substr(start, end - start);
  }
  return {};
}

PageToken PageTokens::Text(size_t end) {
  PageToken t;
  t.kind = PageToken::kText;
  t.text = std::string_view(page_).substr(at_, end - at_);
  at_ = end;
  return t;
}

// Text up to the next element; inside an image's alt text, up to the '">'
// that ends it (and then the end itself).
PageToken PageTokens::TextOrAltEnd() {
  size_t end = page_.find('<', at_);
  if (end == std::string::npos) end = page_.size();
  if (in_alt_) {
    size_t close = at_;
    while (close + 1 < end && !(page_[close] == '"' && page_[close + 1] == '>')) ++close;
    if (close == at_ && close + 1 < end) {
      at_ += 2;
      in_alt_ = false;
      PageToken t;
      t.kind = PageToken::kAltEnd;
      return t;
    }
    if (close + 1 < end) end = close;
  }
  return Text(end);
}

// <key type="...">TEXT</key>, TEXT taken whole; false when it is not one.
bool PageTokens::Key(PageToken* t) {
  if (page_.compare(at_, 11, "<key type=\"") != 0) return false;
  const size_t type_end = page_.find("\">", at_ + 11);
  const size_t close = type_end == std::string::npos ? type_end : page_.find("</key>", type_end + 2);
  if (close == std::string::npos) return false;
  t->kind = PageToken::kKey;
  t->name = page_.substr(at_ + 11, type_end - at_ - 11);
  t->text = std::string_view(page_).substr(type_end + 2, close - type_end - 2);
  at_ = close + 6;
  return true;
}

bool PageTokens::Comment(PageToken* t) {
  if (page_.compare(at_, 4, "<!--") != 0) return false;
  const size_t close = page_.find("-->", at_ + 4);
  if (close == std::string::npos) return false;
  t->kind = PageToken::kComment;
  t->text = std::string_view(page_).substr(at_ + 4, close - at_ - 4);
  at_ = close + 3;
  return true;
}

// <img src="SRC" alt=": the alt text follows.
bool PageTokens::Image(PageToken* t) {
  if (page_.compare(at_, 10, "<img src=\"") != 0) return false;
  const size_t src_end = page_.find('"', at_ + 10);
  if (src_end == std::string::npos || page_.compare(src_end, 7, "\" alt=\"") != 0) return false;
  t->kind = PageToken::kImage;
  t->text = std::string_view(page_).substr(at_ + 10, src_end - at_ - 10);
  at_ = src_end + 7;
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
  if (p == name_start || close == std::string::npos) return Text(at_ + 1);
  PageToken t;
  t.kind = PageToken::kElement;
  t.closing = closing;
  t.name = page_.substr(name_start, p - name_start);
  for (char& c : t.name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  t.attributes = std::string_view(page_).substr(p, close - p);
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
