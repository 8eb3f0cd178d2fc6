#include "epwing/book_chars.h"

#include "core/hex.h"

namespace hz {

namespace {

constexpr uint32_t kDoubleByteBase = 0x8000;
constexpr uint32_t kPrivateBase = 0xF000;
const char kGeta[] = "\xA2\xAE";  // 〓, for a character that has no form at all

// Half-width katakana 0xA1 to 0xDF as full-width JIS X 0208 (EUC-JP).
constexpr uint16_t kHalfKana[63] = {
    0xA1A3, 0xA1D6, 0xA1D7, 0xA1A2, 0xA1A6, 0xA5F2, 0xA5A1, 0xA5A3, 0xA5A5, 0xA5A7, 0xA5A9,
    0xA5E3, 0xA5E5, 0xA5E7, 0xA5C3, 0xA1BC, 0xA5A2, 0xA5A4, 0xA5A6, 0xA5A8, 0xA5AA, 0xA5AB,
    0xA5AD, 0xA5AF, 0xA5B1, 0xA5B3, 0xA5B5, 0xA5B7, 0xA5B9, 0xA5BB, 0xA5BD, 0xA5BF, 0xA5C1,
    0xA5C4, 0xA5C6, 0xA5C8, 0xA5CA, 0xA5CB, 0xA5CC, 0xA5CD, 0xA5CE, 0xA5CF, 0xA5D2, 0xA5D5,
    0xA5D8, 0xA5DB, 0xA5DE, 0xA5DF, 0xA5E0, 0xA5E1, 0xA5E2, 0xA5E4, 0xA5E6, 0xA5E8, 0xA5E9,
    0xA5EA, 0xA5EB, 0xA5EC, 0xA5ED, 0xA5EF, 0xA5F3, 0xA1AB, 0xA1AC};

std::string Euc(uint16_t code) {
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// A half-width kana and the voicing mark (0xDE) or semi-voicing mark (0xDF)
// after it, as one full-width kana where they combine: カ゛ is ガ, ハ゜ is
// パ, ウ゛ is ヴ. 0 when they do not.
uint16_t Voiced(uint16_t kana, unsigned char mark) {
  const unsigned lo = kana & 0xFF;
  if ((kana >> 8) != 0xA5) return 0;
  if (mark == 0xDE && ((lo >= 0xAB && lo <= 0xC1) || (lo >= 0xC4 && lo <= 0xC8))) return kana + 1;
  if (lo >= 0xCF && lo <= 0xDB && (lo - 0xCF) % 3 == 0) return kana + (mark == 0xDE ? 1 : 2);
  if (mark == 0xDE && kana == 0xA5A6) return 0xA5F4;
  return 0;
}

// The private area, which the pages write as references ("&#xF040;").
bool IsPrivateCode(uint32_t code) { return code >= kPrivateBase && code <= 0xF9FF; }

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

SearchSettings ReadSearchSettings(const std::string& ebs) {
  SearchSettings s;
  size_t start = 0;
  while (start < ebs.size()) {
    size_t end = ebs.find('\n', start);
    if (end == std::string::npos) end = ebs.size();
    std::string line = ebs.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "kanaSep1" && !value.empty()) s.kana_sep1 = value;
    if (key == "kanaSep2" && !value.empty()) s.kana_sep2 = value;
    if (key == "delChars") s.del_chars = value;
    if (key == "StopWord") {
      s.stop_words.clear();
      for (size_t a = 0; a < value.size();) {
        size_t b = value.find(' ', a);
        if (b == std::string::npos) b = value.size();
        std::string w = value.substr(a, b - a);
        for (char& c : w) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (!w.empty()) s.stop_words.insert(w);
        a = b + 1;
      }
    }
  }
  return s;
}

BookChars::BookChars(const BookPlan& plan, const SearchSettings& settings)
    : double_byte_(0x8000), word_double_byte_(0x8000), private_(0x1000) {
  for (uint32_t code = kDoubleByteBase; code < 0x10000; ++code) {
    Form& f = double_byte_[code - kDoubleByteBase];
    f.text = IsJisX0208Row(code) ? ShiftJisToEuc(code) : kGeta;
  }
  for (uint32_t i = 0; i < private_.size(); ++i) private_[i].text = kGeta;
  const auto form = [this](uint32_t code) -> Form& {
    return IsPrivateCode(code) ? private_[code - kPrivateBase] : double_byte_[code - kDoubleByteBase];
  };
  for (const auto& t : plan.text) {
    if (t.first >= kDoubleByteBase) form(t.first) = Form{t.second, -1};
  }
  for (const auto& g : plan.gaiji_of) {
    if (g.first >= kDoubleByteBase) form(g.first) = Form{"", static_cast<int32_t>(g.second)};
  }
  word_double_byte_ = double_byte_;
  // Full-width letters are ASCII in words.
  for (uint32_t i = 0; i < 26; ++i) {
    word_double_byte_[0x8260 + i - kDoubleByteBase] = Form{std::string(1, static_cast<char>('A' + i)), -1};
    word_double_byte_[0x8281 + i - kDoubleByteBase] = Form{std::string(1, static_cast<char>('a' + i)), -1};
  }
  // delChars are left out of words.
  const std::string& del = settings.del_chars;
  for (size_t i = 0; i < del.size();) {
    const unsigned char c = static_cast<unsigned char>(del[i]);
    if (IsLead(c) && i + 1 < del.size()) {
      const uint32_t code = static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(del[i + 1]);
      if (!IsPrivateCode(code)) word_double_byte_[code - kDoubleByteBase] = Form{};
      i += 2;
    } else {
      del_single_ += del[i];
      ++i;
    }
  }
}

void BookChars::Put(const Form& f, bool word, BookString* out) const {
  if (f.gaiji < 0) {
    *out += f.text;
  } else if (!word) {
    *out += '\0';
    *out += static_cast<char>(f.gaiji >> 8);
    *out += static_cast<char>(f.gaiji & 0xFF);
  }
}

BookString BookChars::Convert(std::string_view sjis, bool word) const {
  BookString out;
  out.reserve(sjis.size());
  const std::vector<Form>& table = word ? word_double_byte_ : double_byte_;
  const size_t n = sjis.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(sjis[i]);
    const unsigned char next = i + 1 < n ? static_cast<unsigned char>(sjis[i + 1]) : 0;
    if (c == '&') {
      uint32_t code = 0;
      if (sjis.compare(i, 4, "&lt;") == 0) {
        out += '<';
        i += 4;
      } else if (sjis.compare(i, 4, "&gt;") == 0) {
        out += '>';
        i += 4;
      } else if (sjis.compare(i, 5, "&amp;") == 0) {
        out += '&';
        i += 5;
      } else if (sjis.compare(i, 3, "&#x") == 0 && i + 8 <= n && sjis[i + 7] == ';' &&
                 ParseHexDigits(sjis.data() + i + 3, 4, &code)) {
        if (IsPrivateCode(code)) {
          Put(private_[code - kPrivateBase], word, &out);
        } else if (code >= kDoubleByteBase) {
          Put(table[code - kDoubleByteBase], word, &out);
        }
        i += 8;
      } else {
        out += '&';
        ++i;
      }
    } else if (c >= 0x20 && c < 0x7F) {
      if (!word || del_single_.find(static_cast<char>(c)) == std::string::npos) out += static_cast<char>(c);
      ++i;
    } else if (IsLead(c) && IsTrail(next)) {
      const uint32_t code = static_cast<uint32_t>(c) << 8 | next;
      Put(IsPrivateCode(code) ? private_[code - kPrivateBase] : table[code - kDoubleByteBase], word,
          &out);
      i += 2;
    } else if (c >= 0xA1 && c <= 0xDF) {
      const uint16_t kana = kHalfKana[c - 0xA1];
      const uint16_t voiced = (next == 0xDE || next == 0xDF) ? Voiced(kana, next) : 0;
      out += Euc(voiced ? voiced : kana);
      i += voiced ? 2 : 1;
    } else {
      ++i;  // a control byte, or a byte that is no character
    }
  }
  return out;
}

std::string BookChars::Word(std::string_view sjis) const { return Convert(sjis, true); }

}  // namespace hz
