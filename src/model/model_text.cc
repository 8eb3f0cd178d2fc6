#include "model/model_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/utf8.h"
#include "model/book_model.h"
#include "pages/page_grammar.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

const char kGeta[] = "\xE3\x80\x93";  // 〓, for what is no character

void PutIndex(char code, uint32_t index, std::string* out) {
  const char bytes[5] = {code, static_cast<char>(index & 0xFF), static_cast<char>(index >> 8 & 0xFF),
                         static_cast<char>(index >> 16 & 0xFF), static_cast<char>(index >> 24)};
  out->append(bytes, 5);
}

// The word with the spaces at its ends (ASCII and ideographic) taken off.
std::string Trimmed(const std::string& w) {
  static const char kIdeographicSpace[] = "\xE3\x80\x80";
  size_t a = 0, b = w.size();
  for (;;) {
    if (a < b && w[a] == ' ') {
      ++a;
    } else if (b - a >= 3 && w.compare(a, 3, kIdeographicSpace) == 0) {
      a += 3;
    } else {
      break;
    }
  }
  for (;;) {
    if (b > a && w[b - 1] == ' ') {
      --b;
    } else if (b - a >= 3 && w.compare(b - 3, 3, kIdeographicSpace) == 0) {
      b -= 3;
    } else {
      break;
    }
  }
  return w.substr(a, b - a);
}

}  // namespace

ModelText::ModelText(const SearchSettings& settings, Report* report)
    : report_(report), forms_(new Form[0x10000]) {
  std::vector<uint32_t> codes;
  for (uint32_t c = 0xA1; c <= 0xDF; ++c) codes.push_back(c);
  for (uint32_t code = 0x8140; code <= 0xFCFC; ++code) {
    if (IsLeadByte(static_cast<unsigned char>(code >> 8)) && IsTrailByte(code & 0xFF)) codes.push_back(code);
  }
  for (uint32_t code : codes) {
    const uint32_t cp = UnicodeOfShiftJis(code);
    if (cp == 0) continue;
    std::string utf8 = Utf8Of(cp);
    if (utf8.size() > 3) continue;  // every character of code page 932 is in the BMP
    Form& f = forms_[code];
    f.length = static_cast<uint8_t>(utf8.size());
    std::memcpy(f.bytes, utf8.data(), utf8.size());
    f.outside_jis = code > 0xFF && JisOfUnicode(cp) == 0;
  }
  const std::string& del = settings.del_chars;
  for (size_t i = 0; i < del.size();) {
    const unsigned char c = static_cast<unsigned char>(del[i]);
    if (IsLeadByte(c) && i + 1 < del.size()) {
      del_.set(static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(del[i + 1]));
      i += 2;
    } else {
      del_.set(c);
      ++i;
    }
  }
}

void ModelText::BeginPage(const std::string& name, std::string_view bytes) {
  page_name_ = name;
  page_ = bytes;
  counted_to_ = bytes.data();
  line_ = 1;
}

int64_t ModelText::LineOf(const char* at) {
  const char* page_end = page_.data() + page_.size();
  if (at < counted_to_ || at > page_end) return 0;  // not of this page: no line to tell
  for (const char* p = counted_to_; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(at - p))));) {
    ++line_;
    ++p;
  }
  counted_to_ = at;
  return line_;
}

void ModelText::NoCharacter(uint32_t code, const char* at, std::string* out) {
  if (report_) {
    char bytes[32];
    if (code > 0xFF) {
      std::snprintf(bytes, sizeof bytes, "bytes %02X %02X are", code >> 8, code & 0xFF);
    } else {
      std::snprintf(bytes, sizeof bytes, "byte %02X is", code);
    }
    const int64_t line = LineOf(at);
    report_->Damaged(page_name_, (line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + bytes +
                                     " no character (shown as \xE3\x80\x93)");
  }
  *out += kGeta;
}

uint32_t ModelText::GaijiIndex(uint32_t code) {
  const auto found = gaiji_index_.find(code);
  if (found != gaiji_index_.end()) return found->second;
  const uint32_t index = static_cast<uint32_t>(gaiji_codes_.size());
  gaiji_index_.emplace(code, index);
  gaiji_codes_.push_back(code);
  return index;
}

// The character of code (a Shift-JIS code, or a private-area one), which
// stands (or whose reference stands) at at in the page.
void ModelText::Character(uint32_t code, const char* at, bool word, std::string* out) {
  if (word && del_.test(code)) return;
  if (IsPrivateCode(code)) {
    if (!word) {
      PutIndex(run_code::kGaiji, GaijiIndex(code), out);
      return;
    }
    const auto named = named_.find(code);
    if (named != named_.end() && named->second != 0) AppendUtf8(named->second, out);
    return;
  }
  const Form& f = forms_[code];
  if (f.length == 0) {
    NoCharacter(code, at, out);
    return;
  }
  if (f.outside_jis) used_outside_jis_.set(code);
  out->append(f.bytes, f.length);
}

void ModelText::Convert(std::string_view text, bool word, std::string* out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c < 0x7F && c != '&') {
      // A run of printable ASCII.
      const char* q = p + 1;
      while (q < end && static_cast<unsigned char>(*q) >= 0x20 && static_cast<unsigned char>(*q) < 0x7F &&
             *q != '&') {
        ++q;
      }
      if (word && del_.any()) {
        for (const char* r = p; r < q; ++r) {
          if (!del_.test(static_cast<unsigned char>(*r))) *out += *r;
        }
      } else {
        out->append(p, static_cast<size_t>(q - p));
      }
      p = q;
    } else if (c == '&') {
      uint32_t code = 0;
      size_t length = 0;
      if (ParseCharRef(p, static_cast<size_t>(end - p), &code)) {
        // A reference names the code itself; the page holds no such bytes.
        Character(code, p, word, out);
        p += kCharRefLength;
      } else if (const char e = EntityAt(p, static_cast<size_t>(end - p), &length)) {
        if (!word || !del_.test(static_cast<unsigned char>(e))) *out += e;
        p += length;
      } else {
        if (!word || !del_.test('&')) *out += '&';
        ++p;
      }
    } else if (c < 0x20 || c == 0x7F) {
      ++p;  // a control character: the pages' line ends, a tab
    } else if (IsLeadByte(c) && end - p >= 2 && IsTrailByte(static_cast<unsigned char>(p[1]))) {
      Character(static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(p[1]), p, word, out);
      p += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      Character(c, p, word, out);
      ++p;
    } else {
      // A lead byte without its trail, or a byte that begins nothing.
      const bool pair = IsLeadByte(c) && end - p >= 2;
      NoCharacter(pair ? static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(p[1]) : c, p, out);
      p += pair ? 2 : 1;
    }
  }
}

void ModelText::AppendContent(std::string_view text, std::string* content) { Convert(text, false, content); }

std::string ModelText::Word(std::string_view text) {
  std::string w;
  Convert(text, true, &w);
  return Trimmed(w);
}

std::vector<uint32_t> ModelText::CharactersOutsideJis() const {
  std::vector<uint32_t> chars;
  for (uint32_t code = 0; code < 0x10000; ++code) {
    if (used_outside_jis_.test(code)) chars.push_back(UnicodeOfShiftJis(code));
  }
  std::sort(chars.begin(), chars.end());
  chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
  return chars;
}

}  // namespace hz
