#include "tools/dict_source.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "core/hex.h"

namespace hzb {

#ifdef _WIN32
// Through UTF-16, with no best-fit mapping: a character code page 932 has
// no form for is an error, as it is for iconv.
bool ToShiftJis(const std::string& utf8, std::string* sjis) {
  if (utf8.empty()) return true;
  const int n = static_cast<int>(utf8.size());
  const int wide_size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, nullptr, 0);
  if (wide_size <= 0) return false;
  std::wstring wide(static_cast<size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), n, &wide[0], wide_size);
  BOOL used_default = FALSE;
  const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, nullptr, 0,
                                       nullptr, &used_default);
  if (size <= 0 || used_default) return false;
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, &out[0], size, nullptr,
                      &used_default);
  if (used_default) return false;
  *sjis += out;
  return true;
}
#else
bool ToShiftJis(const std::string& utf8, std::string* sjis) {
  if (utf8.empty()) return true;
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> in(utf8.begin(), utf8.end());
  std::vector<char> out(utf8.size() * 2 + 16);
  char* ip = in.data();
  size_t il = in.size();
  char* op = out.data();
  size_t ol = out.size();
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || il != 0) return false;
  sjis->append(out.data(), static_cast<size_t>(op - out.data()));
  return true;
}
#endif

namespace {

struct Mark {
  int32_t record;
  uint32_t offset;
};

// A span opened by inline markup: which table and which entry of it.
struct OpenSpan {
  enum Table { kStyle, kLink } table;
  size_t index;
};

class Parser {
 public:
  Parser(DictBuilder* b, std::string* error) : b_(b), error_(error) {}

  bool Run(const std::string& source) {
    std::istringstream in(source);
    std::string line;
    while (std::getline(in, line)) {
      ++line_no_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!Line(line)) return false;
    }
    return EndRecord();
  }

 private:
  bool Fail(const std::string& why) {
    std::ostringstream s;
    s << "line " << line_no_ << ": " << why;
    *error_ = s.str();
    return false;
  }

  bool Line(const std::string& line) {
    if (!line.empty() && line[0] == '#') return true;
    if (!line.empty() && line[0] == '@') return Directive(line);
    switch (mode_) {
      case kRecordText:
        if (!first_line_) record_->text.push_back('\r');
        first_line_ = false;
        return Text(line);
      case kTable: {
        std::string stem;
        size_t i = 0;
        if (!Decode(line, &i, "", &stem)) return false;
        b_->link_tables[target_].push_back(stem);
        return true;
      }
      case kList:
        return ListLine(line);
      default:
        if (line.find_first_not_of(" \t") == std::string::npos) return true;
        return Fail("text outside a record, table or list");
    }
  }

  bool EndRecord() {
    if (mode_ == kRecordText && !open_.empty()) return Fail("unclosed inline markup in record");
    return true;
  }

  bool Directive(const std::string& line) {
    std::istringstream s(line);
    std::string word;
    s >> word;
    if (!EndRecord()) return false;
    if (word == "@dir") {
      s >> target_;
      b_->directories.push_back(target_);
      mode_ = kNone;
    } else if (word == "@records") {
      s >> target_;
      b_->record_files[target_];
      file_ = target_;
      mode_ = kNone;
    } else if (word == "@record") {
      if (file_.empty()) return Fail("@record before @records");
      auto& records = b_->record_files[file_];
      records.emplace_back();
      record_ = &records.back();
      record_no_ = static_cast<int32_t>(records.size());
      first_line_ = true;
      mode_ = kRecordText;
    } else if (word == "@style" || word == "@link" || word == "@anchor") {
      if (!record_) return Fail(word + " outside a record");
      mode_ = kNone;
      std::vector<std::string> args;
      std::string a;
      while (s >> a) args.push_back(a);
      if (word == "@style" && args.size() == 3) {
        record_->styles.push_back({Num(args[0]), Num(args[1]), static_cast<int32_t>(Num(args[2]))});
      } else if (word == "@link" && (args.size() == 4 || args.size() == 5)) {
        std::string label;
        size_t i = 0;
        if (args.size() == 5 && !Decode(args[4], &i, "", &label)) return false;
        record_->links.push_back({Num(args[0]), Num(args[1]), static_cast<int32_t>(Num(args[2])),
                                  static_cast<int32_t>(Num(args[3])), label});
      } else if (word == "@anchor" && args.size() == 2) {
        std::string name;
        size_t i = 0;
        if (!Decode(args[0], &i, "", &name)) return false;
        record_->anchors.push_back({name, Num(args[1])});
      } else {
        return Fail("wrong number of arguments to " + word);
      }
    } else if (word == "@table") {
      s >> target_;
      b_->link_tables[target_];
      mode_ = kTable;
    } else if (word == "@list") {
      s >> target_;
      b_->lists[target_];
      mode_ = kList;
    } else {
      return Fail("unknown directive " + word);
    }
    return true;
  }

  static uint32_t Num(const std::string& s) {
    return static_cast<uint32_t>(std::strtoll(s.c_str(), nullptr, 0));
  }

  // Decodes escaped text from line[*i] up to the end or the first
  // unescaped character of stops, converting literal text to Shift-JIS.
  bool Decode(const std::string& line, size_t* i, const char* stops, std::string* out) {
    std::string literal;
    auto flush = [&]() {
      if (!ToShiftJis(literal, out)) return Fail("text without a Shift-JIS form: " + literal);
      literal.clear();
      return true;
    };
    while (*i < line.size()) {
      char c = line[*i];
      if (std::strchr(stops, c) && c != '\0') break;
      if (c != '\\') {
        literal.push_back(c);
        ++*i;
        continue;
      }
      if (!flush()) return false;
      if (*i + 1 >= line.size()) return Fail("lone backslash at the end of a line");
      char e = line[*i + 1];
      *i += 2;
      switch (e) {
        case 'r': out->push_back('\r'); break;
        case 'n': out->push_back('\n'); break;
        case 't': out->push_back('\t'); break;
        case '0': out->push_back('\0'); break;
        case 'x': {
          if (*i + 2 > line.size() || hz::HexDigitValue(line[*i]) < 0 || hz::HexDigitValue(line[*i + 1]) < 0) {
            return Fail("\\x needs two hexadecimal digits");
          }
          out->push_back(static_cast<char>(hz::HexDigitValue(line[*i]) * 16 + hz::HexDigitValue(line[*i + 1])));
          *i += 2;
          break;
        }
        case 'g': {
          size_t close = line.find('}', *i);
          if (*i >= line.size() || line[*i] != '{' || close == std::string::npos || close - *i != 5) {
            return Fail("\\g needs {HHHH}");
          }
          unsigned code = static_cast<unsigned>(std::strtoul(line.substr(*i + 1, 4).c_str(), nullptr, 16));
          out->push_back(static_cast<char>(code >> 8));
          out->push_back(static_cast<char>(code & 0xFF));
          *i = close + 1;
          break;
        }
        default:
          out->push_back(e);
          break;
      }
    }
    return flush();
  }

  // One line of record text with inline markup.
  bool Text(const std::string& line) {
    size_t i = 0;
    while (i < line.size()) {
      if (!Decode(line, &i, "{}", &record_->text)) return false;
      if (i >= line.size()) break;
      if (line[i] == '}') {
        if (open_.empty()) return Fail("'}' without an open span");
        OpenSpan span = open_.back();
        open_.pop_back();
        uint32_t end = static_cast<uint32_t>(record_->text.size());
        if (span.table == OpenSpan::kStyle) {
          record_->styles[span.index].length = end - record_->styles[span.index].offset;
        } else {
          record_->links[span.index].length = end - record_->links[span.index].offset;
        }
        ++i;
        continue;
      }
      if (!Markup(line, &i)) return false;
    }
    return true;
  }

  // Reads ':'-separated arguments after "{name:" ; leaves *i on the text.
  bool Args(const std::string& line, size_t* i, size_t n, std::vector<std::string>* args) {
    for (size_t k = 0; k < n; ++k) {
      std::string a;
      if (!Decode(line, i, ":}", &a)) return false;
      if (*i >= line.size() || line[*i] != ':') return Fail("inline markup needs more arguments");
      ++*i;
      args->push_back(a);
    }
    return true;
  }

  bool Markup(const std::string& line, size_t* i) {
    ++*i;  // '{'
    size_t name_end = line.find_first_of(":}", *i);
    if (name_end == std::string::npos) return Fail("unterminated inline markup");
    std::string name = line.substr(*i, name_end - *i);
    uint32_t here = static_cast<uint32_t>(record_->text.size());
    if (!name.empty() && (name[0] == '#' || name[0] == '@')) {
      if (line[name_end] != '}') return Fail("anchors and marks take no text");
      if (name[0] == '#') {
        std::string anchor;
        size_t k = 1;
        if (!Decode(name, &k, "", &anchor)) return false;
        record_->anchors.push_back({anchor, here});
      } else {
        marks_[file_ + ":" + name.substr(1)] = {record_no_, here};
        marks_[name.substr(1)] = {record_no_, here};
      }
      *i = name_end + 1;
      return true;
    }
    if (line[name_end] != ':') return Fail("inline markup {" + name + "} needs text");
    *i = name_end + 1;
    std::vector<std::string> a;
    auto style = [&](int32_t code) {
      open_.push_back({OpenSpan::kStyle, record_->styles.size()});
      record_->styles.push_back({here, 0, code});
      return true;
    };
    auto link = [&](int32_t kind, int32_t target, const std::string& label) {
      open_.push_back({OpenSpan::kLink, record_->links.size()});
      record_->links.push_back({here, 0, kind, target, label});
      return true;
    };
    auto num = [](const std::string& s) { return static_cast<int32_t>(Num(s)); };
    if (name == "i") return style(4);
    if (name == "b") return style(5);
    if (name == "sub") return style(100);
    if (name == "s") return Args(line, i, 1, &a) && style(num(a[0]));
    if (name == "a1") return Args(line, i, 1, &a) && link(1, 0, a[0]);
    if (name == "a2") return Args(line, i, 2, &a) && link(2, num(a[0]), a[1]);
    if (name == "a10001") return Args(line, i, 2, &a) && link(10001, num(a[0]), a[1]);
    if (name == "img") return Args(line, i, 1, &a) && link(20001, num(a[0]), "");
    if (name == "use") return Args(line, i, 1, &a) && link(20003, num(a[0]), "");
    if (name == "obj") return Args(line, i, 1, &a) && link(30001, num(a[0]), "");
    if (name == "link") return Args(line, i, 3, &a) && link(num(a[0]), num(a[1]), a[2]);
    return Fail("unknown inline markup {" + name + ":");
  }

  bool ListLine(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return true;
    size_t space = line.find(' ');
    std::string pos = line.substr(0, space);
    ListRow row{0, 0, 0, ""};
    if (pos.find(':') == std::string::npos) {
      std::string name = pos;
      uint32_t add = 0;
      size_t plus = name.find('+');
      if (plus != std::string::npos) {
        add = Num(name.substr(plus + 1));
        name = name.substr(0, plus);
      }
      auto it = marks_.find(name);
      if (it == marks_.end()) return Fail("unknown mark " + name);
      row.record = static_cast<uint32_t>(it->second.record);
      row.offset = it->second.offset + add;
    } else {
      size_t colon = pos.find(':');
      std::string rec = pos.substr(0, colon);
      size_t slash = rec.find('/');
      if (slash != std::string::npos) {
        row.alt_record = Num(rec.substr(slash + 1));
        rec = rec.substr(0, slash);
      }
      row.record = Num(rec);
      row.offset = Num(pos.substr(colon + 1));
    }
    if (space != std::string::npos) {
      size_t i = space + 1;
      if (!Decode(line, &i, "", &row.key)) return false;
      if (row.key.size() > 42) return Fail("key longer than 42 bytes");
    }
    b_->lists[target_].push_back(row);
    return true;
  }

  enum Mode { kNone, kRecordText, kTable, kList };

  DictBuilder* b_;
  std::string* error_;
  int line_no_ = 0;
  Mode mode_ = kNone;
  std::string file_;
  std::string target_;
  Record* record_ = nullptr;
  int32_t record_no_ = 0;
  bool first_line_ = true;
  std::vector<OpenSpan> open_;
  std::map<std::string, Mark> marks_;
};

}  // namespace

bool ParseDictSource(const std::string& source, DictBuilder* builder, std::string* error) {
  Parser parser(builder, error);
  return parser.Run(source);
}

bool BuildDictionary(const std::string& source, const std::string& dir, std::string* error) {
  DictBuilder builder;
  return ParseDictSource(source, &builder, error) && builder.Write(dir, error);
}

}  // namespace hzb
