#include "yomitan/yomitan_dictionary.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/in_shares.h"
#include "core/utf8.h"

namespace hz {

namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void Str(JsonWriter* w, std::string_view s) { w->String(s.data(), static_cast<rapidjson::SizeType>(s.size())); }

// A link's query as a URL's query value: the characters a query gives a
// meaning to escaped, the rest as it is.
std::string QueryValue(std::string_view word) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : word) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '%' || c == '&' || c == '#' || c == '+' || c == '=' || c == '?') {
      out += '%';
      out += kDigits[u >> 4];
      out += kDigits[u & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// The words a part's rows are for, each once.
}  // namespace

std::vector<std::string> YomitanTerms(const UnicodeBook& book, uint32_t part) {
  const BookModel& m = book.model();
  const BookPart& p = m.parts[part];
  std::vector<std::string> terms;
  for (uint32_t w = p.words_begin; w < p.words_end; ++w) {
    std::string t = ExportWord(m.Word(m.words[w]));
    if (!t.empty() && std::find(terms.begin(), terms.end(), t) == terms.end()) terms.push_back(std::move(t));
  }
  if (terms.empty()) terms.push_back(book.Headword(part));
  return terms;
}

std::string YomitanReading(const UnicodeBook& book, uint32_t part) {
  const BookModel& m = book.model();
  const BookPart& p = m.parts[part];
  if (p.reading == kNone) return "";
  std::string reading = ExportWord(m.Word(m.words[p.reading]));
  // Kana only (the prolonged sound mark and the middle dot with them): a
  // heading without kanaSep1 gives its whole text, which is no reading.
  bool kana = true;
  ForEachCodePoint(reading, [&kana](uint32_t cp) {
    kana = kana && ((cp >= 0x3041 && cp <= 0x3096) || (cp >= 0x30A1 && cp <= 0x30FC));
  });
  return kana ? reading : std::string();
}

namespace {

// What a link to the part searches for: its headword, when a search for
// that finds the part, else its first term.
std::string QueryOf(const UnicodeBook& book, uint32_t part) {
  const std::vector<std::string> terms = YomitanTerms(book, part);
  const std::string reading = YomitanReading(book, part);
  const bool finds = SearchFinds(book.Headword(part), part + 1, [&](std::string_view w, uint32_t) {
    return w == reading || std::find(terms.begin(), terms.end(), w) != terms.end();
  });
  return finds ? book.Headword(part) : terms.front();
}

// A part's runs as structured content.
class ContentJson {
 public:
  ContentJson(const UnicodeBook& book, const std::vector<std::string>& queries, JsonWriter* w)
      : book_(book), queries_(queries), w_(*w), picture_(book) {}

  void Part(uint32_t part) {
    const BookModel& m = book_.model();
    w_.StartArray();
    w_.StartObject();
    Str(&w_, "tag");
    Str(&w_, "div");
    StyleObject("fontWeight", "bold");
    Str(&w_, "content");
    w_.StartArray();
    Runs(m.Heading(m.parts[part]));
    w_.EndArray();
    w_.EndObject();
    Runs(m.Body(m.parts[part]));
    w_.EndArray();
  }

 private:
  void Runs(std::string_view content) {
    ForEachRun(content, [this](const Run& r) { One(r); });
    Flush();
  }

  void StyleObject(const char* key, const char* value, const char* size = nullptr) {
    Str(&w_, "style");
    w_.StartObject();
    Str(&w_, key);
    Str(&w_, value);
    if (size) {
      Str(&w_, "fontSize");
      Str(&w_, size);
    }
    w_.EndObject();
  }

  // An element whose content follows: {"tag": tag, ..., "content": [.
  void Open(const char* tag) {
    w_.StartObject();
    Str(&w_, "tag");
    Str(&w_, tag);
  }
  void Children() {
    Str(&w_, "content");
    w_.StartArray();
  }
  void Close() {
    w_.EndArray();
    w_.EndObject();
  }

  void Flush() {
    if (text_.empty()) return;
    Str(&w_, text_);
    text_.clear();
  }

  void One(const Run& r) {
    if (picture_.Keep(r)) return;
    switch (r.kind) {
      case Run::kText: text_ += r.text; break;
      case Run::kGaiji: Gaiji(book_.Gaiji(r.index)); break;
      case Run::kStyleOn: StyleOn(r.style); break;
      case Run::kStyleOff: Flush(), Close(); break;
      case Run::kLineBreak:
        Flush();
        Open("br");
        w_.EndObject();
        break;
      case Run::kLinkOn: LinkOn(r.index); break;
      case Run::kLinkOff:
        if (linked_) Flush(), Close();
        linked_ = false;
        break;
      case Run::kAnchor: break;
      case Run::kImageOn:
        if (!picture_.Begin(r.index)) text_ += PictureRuns::kOpen;
        break;
      case Run::kImageOff: ImageOff(); break;
    }
  }

  void StyleOn(Style s) {
    Flush();
    Open("span");
    switch (s) {
      case Style::kBold: StyleObject("fontWeight", "bold"); break;
      case Style::kItalic: StyleObject("fontStyle", "italic"); break;
      case Style::kSubscript: StyleObject("verticalAlign", "sub", "small"); break;
      case Style::kSuperscript: StyleObject("verticalAlign", "super", "small"); break;
    }
    Children();
  }

  void LinkOn(uint32_t target) {
    linked_ = book_.PartOfTarget(target) != kNone;
    if (!linked_) return;
    Flush();
    Open("a");
    Str(&w_, "href");
    Str(&w_, "?query=" + QueryValue(queries_[target]) + "&wildcards=off");
    Children();
  }

  void ImageOff() {
    const std::string& path = picture_.End();
    if (path.empty()) {
      text_ += PictureRuns::kClose;
      return;
    }
    Flush();
    Open("img");
    Str(&w_, "path");
    Str(&w_, path);
    if (!picture_.caption().empty()) {
      Str(&w_, "alt");
      Str(&w_, picture_.caption());
    }
    w_.EndObject();
  }

  void Gaiji(const UnicodeGaiji& g) {
    if (g.picture.empty()) {
      text_ += g.text;
      return;
    }
    Flush();
    Open("img");
    Str(&w_, "path");
    Str(&w_, g.picture);
    Str(&w_, "alt");
    Str(&w_, g.code);
    // One line high: as wide as the glyph is for its height (the picture's
    // own proportions give the height).
    Str(&w_, "width");
    if (g.narrow) {
      w_.Double(0.5);
    } else {
      w_.Int(1);
    }
    Str(&w_, "sizeUnits");
    Str(&w_, "em");
    Str(&w_, "appearance");
    Str(&w_, "monochrome");
    Str(&w_, "background");
    w_.Bool(false);
    Str(&w_, "collapsible");
    w_.Bool(false);
    Str(&w_, "verticalAlign");
    Str(&w_, "text-bottom");
    w_.EndObject();
  }

  const UnicodeBook& book_;
  const std::vector<std::string>& queries_;
  JsonWriter& w_;
  std::string text_;
  PictureRuns picture_;
  bool linked_ = false;
};

}  // namespace

std::vector<std::string> YomitanQueries(const UnicodeBook& book) {
  const BookModel& m = book.model();
  std::vector<std::string> queries(m.targets.size());
  for (uint32_t t = 0; t < m.targets.size(); ++t) {
    const uint32_t part = book.PartOfTarget(t);
    if (part != kNone) queries[t] = QueryOf(book, part);
  }
  return queries;
}

std::string YomitanContent(const UnicodeBook& book, const std::vector<std::string>& queries, uint32_t part) {
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  ContentJson(book, queries, &w).Part(part);
  return std::string(buffer.GetString(), buffer.GetSize());
}

namespace {

// A file deflated here, handed to libzip as it is: its source says the data
// is compressed, so libzip copies it into the archive.
struct Deflated {
  Deflated() { zip_error_init(&error); }
  ~Deflated() { zip_error_fini(&error); }
  Deflated(const Deflated&) = delete;
  Deflated& operator=(const Deflated&) = delete;
  std::string name;
  std::string data;  // raw deflate
  uint64_t size = 0;
  uint32_t crc = 0;
  uint64_t at = 0;
  zip_error_t error;
};

bool Deflate(std::string_view raw, Deflated* d) {
  z_stream z{};
  // The fastest level: a part's rows repeat its content, which even this
  // level finds.
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
  z.avail_in = static_cast<uInt>(raw.size());
  // Out a piece at a time: the data grows to its size, not to the bound.
  char piece[1 << 16];
  int e;
  do {
    z.next_out = reinterpret_cast<Bytef*>(piece);
    z.avail_out = sizeof piece;
    e = deflate(&z, Z_FINISH);
    d->data.append(piece, sizeof piece - z.avail_out);
  } while (e == Z_OK);
  const bool ok = e == Z_STREAM_END;
  deflateEnd(&z);
  d->size = raw.size();
  d->crc = static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(raw.data()),
                                       static_cast<uInt>(raw.size())));
  return ok;
}

zip_int64_t DeflatedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  Deflated* d = static_cast<Deflated*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN: d->at = 0; return 0;
    case ZIP_SOURCE_READ: {
      const uint64_t n = std::min<uint64_t>(length, d->data.size() - d->at);
      std::memcpy(data, d->data.data() + d->at, n);
      d->at += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_STAT: {
      zip_stat_t* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
      st->size = d->size;
      st->comp_size = d->data.size();
      st->comp_method = ZIP_CM_DEFLATE;
      st->crc = d->crc;
      return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&d->error, data, length);
    case ZIP_SOURCE_FREE: return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default: zip_error_set(&d->error, ZIP_ER_OPNOTSUPP, 0); return -1;
  }
}

// The term banks of parts [begin, end), each of at most kBankRows rows,
// deflated.
bool TermBanks(const UnicodeBook& book, const std::vector<std::string>& queries, size_t begin, size_t end,
               std::vector<std::unique_ptr<Deflated>>* banks, int64_t* rows) {
  rapidjson::StringBuffer bank, content;
  JsonWriter w(bank);
  size_t in_bank = 0;
  const auto finish = [&]() {
    w.EndArray();
    auto d = std::make_unique<Deflated>();
    const bool ok = Deflate(std::string_view(bank.GetString(), bank.GetSize()), d.get());
    banks->push_back(std::move(d));
    bank.Clear();
    w.Reset(bank);
    in_bank = 0;
    return ok;
  };
  for (size_t part = begin; part < end; ++part) {
    const uint32_t p = static_cast<uint32_t>(part);
    content.Clear();
    JsonWriter cw(content);
    ContentJson(book, queries, &cw).Part(p);
    const std::string reading = YomitanReading(book, p);
    for (const std::string& term : YomitanTerms(book, p)) {
      if (in_bank == 0) w.StartArray();
      w.StartArray();
      Str(&w, term);
      Str(&w, term == reading ? std::string_view() : std::string_view(reading));
      Str(&w, "");
      Str(&w, "");
      w.Int(0);
      w.StartArray();
      w.StartObject();
      Str(&w, "type");
      Str(&w, "structured-content");
      Str(&w, "content");
      w.RawValue(content.GetString(), content.GetSize(), rapidjson::kArrayType);
      w.EndObject();
      w.EndArray();
      w.Uint(p + 1);
      Str(&w, "");
      w.EndArray();
      ++*rows;
      if (++in_bank == kBankRows && !finish()) return false;
    }
  }
  return in_bank == 0 || finish();
}

// Whether every character of the word is one of [first, last] or ー.
bool AllIn(std::string_view word, uint32_t first, uint32_t last) {
  bool all = !word.empty();
  ForEachCodePoint(std::string(word), [&](uint32_t cp) { all = all && ((cp >= first && cp <= last) || cp == 0x30FC); });
  return all;
}

// The kanji bank: kanji.html's entries whose headword is one character.
std::string KanjiBank(const UnicodeBook& book, int64_t* count) {
  const BookModel& m = book.model();
  rapidjson::StringBuffer bank;
  JsonWriter w(bank);
  w.StartArray();
  for (uint32_t part = 0; part < m.entry_count; ++part) {
    const BookPart& p = m.parts[part];
    const std::string& kanji = book.Headword(part);
    uint32_t cp = 0;
    if (p.kind != PartKind::kKanjiEntry || kanji.empty() ||
        ReadUtf8(kanji.data(), kanji.data() + kanji.size(), &cp) != kanji.size()) {
      continue;
    }
    std::string onyomi, kunyomi;
    for (const std::string& t : YomitanTerms(book, part)) {
      std::string* readings = AllIn(t, 0x30A1, 0x30FA) ? &onyomi : AllIn(t, 0x3041, 0x3096) ? &kunyomi : nullptr;
      if (!readings) continue;
      if (!readings->empty()) *readings += ' ';
      *readings += t;
    }
    std::string body;
    ForEachRun(m.Body(p), [&](const Run& r) {
      if (r.kind == Run::kLineBreak) body += '\n';
      if (r.kind == Run::kText) body += r.text;
      if (r.kind == Run::kGaiji) body += book.Gaiji(r.index).text;
    });
    w.StartArray();
    Str(&w, kanji);
    Str(&w, onyomi);
    Str(&w, kunyomi);
    Str(&w, "");
    w.StartArray();
    for (size_t from = 0; from <= body.size();) {
      size_t end = body.find('\n', from);
      if (end == std::string::npos) end = body.size();
      const std::string_view line = TrimSpaces(std::string_view(body).substr(from, end - from));
      if (!line.empty()) Str(&w, line);
      from = end + 1;
    }
    w.EndArray();
    w.StartObject();
    w.EndObject();
    w.EndArray();
    ++*count;
  }
  w.EndArray();
  return std::string(bank.GetString(), bank.GetSize());
}

// The copyright notice's lines, its title left out.
std::string CopyrightText(const UnicodeBook& book) {
  const BookModel& m = book.model();
  std::string text;
  for (uint32_t part = 0; part < m.parts.size(); ++part) {
    const BookPart& p = m.parts[part];
    if (p.kind != PartKind::kCopyright) continue;
    std::string line;
    const auto end_line = [&]() {
      const std::string_view kept = TrimSpaces(line);
      if (!kept.empty() && kept != book.Headword(part)) text.append(kept).append("\n");
      line.clear();
    };
    ForEachRun(m.Body(p), [&](const Run& r) {
      if (r.kind == Run::kLineBreak) end_line();
      if (r.kind == Run::kText) line += r.text;
      if (r.kind == Run::kGaiji) line += book.Gaiji(r.index).text;
    });
    end_line();
  }
  return text;
}

std::string IndexJson(const UnicodeBook& book, const YomitanInfo& info) {
  const std::string copyright = CopyrightText(book);
  rapidjson::StringBuffer buffer;
  JsonWriter w(buffer);
  w.StartObject();
  const auto pair = [&w](const char* key, std::string_view value) {
    Str(&w, key);
    Str(&w, value);
  };
  pair("title", book.model().title.empty() ? std::string_view("harukaze") : std::string_view(book.model().title));
  pair("revision", info.revision);
  Str(&w, "format");
  w.Int(3);
  Str(&w, "sequenced");
  w.Bool(true);
  pair("author", "");
  pair("description", info.description);
  pair("attribution", copyright);
  pair("sourceLanguage", "ja");
  pair("targetLanguage", "ja");
  w.EndObject();
  return std::string(buffer.GetString(), buffer.GetSize());
}

// The archive: the JSON files as deflated here, the pictures stored as
// they are (they are compressed already).
bool WriteZip(const UnicodeBook& book, const std::string& fs_path, std::vector<std::unique_ptr<Deflated>>* files,
              YomitanCounts* counts, std::string* error) {
  int code = 0;
  zip_t* z = zip_open(fs_path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!z) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    *error = fs_path + ": " + zip_error_strerror(&e);
    zip_error_fini(&e);
    return false;
  }
  const auto fail = [&](const std::string& what) {
    *error = fs_path + ": " + what + ": " + zip_strerror(z);
    zip_discard(z);
    return false;
  };
  for (auto& f : *files) {
    zip_source_t* src = zip_source_function(z, DeflatedSource, f.get());
    if (!src) return fail(f->name);
    if (zip_file_add(z, f->name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(src);
      return fail(f->name);
    }
  }
  const BookModel& m = book.model();
  std::vector<std::pair<const std::string*, const std::string*>> pictures;
  for (uint32_t i = 0; i < m.images.size(); ++i) {
    if (!book.PicturePath(i).empty()) pictures.emplace_back(&book.PicturePath(i), &m.images[i].data);
  }
  for (const BookFile& f : book.pictures()) pictures.emplace_back(&f.path, &f.bytes);
  for (const auto& p : pictures) {
    zip_source_t* src = zip_source_buffer(z, p.second->data(), p.second->size(), 0);
    if (!src) return fail(*p.first);
    const zip_int64_t index = zip_file_add(z, p.first->c_str(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(src);
      return fail(*p.first);
    }
    if (zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) < 0) return fail(*p.first);
  }
  counts->pictures = static_cast<int64_t>(pictures.size());
  if (zip_close(z) < 0) return fail("cannot be written");
  return true;
}

}  // namespace

bool WriteYomitan(const UnicodeBook& book, const YomitanInfo& info, const std::string& fs_path,
                  YomitanCounts* counts, std::string* error) {
  const BookModel& m = book.model();
  const std::vector<std::string> queries = YomitanQueries(book);
  // The term banks, in two halves at once.
  std::vector<std::unique_ptr<Deflated>> banks[2];
  int64_t rows[2] = {0, 0};
  bool ok[2] = {true, true};
  InShares(m.parts.size(), std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
    const int half = begin == 0 ? 0 : 1;
    ok[half] = TermBanks(book, queries, begin, end, &banks[half], &rows[half]);
  });
  if (!ok[0] || !ok[1]) {
    *error = "zlib could not compress the term banks";
    return false;
  }
  std::vector<std::unique_ptr<Deflated>> files;
  for (auto& half : banks) {
    for (auto& b : half) {
      b->name = "term_bank_" + std::to_string(files.size() + 1) + ".json";
      files.push_back(std::move(b));
    }
  }
  counts->banks = static_cast<int64_t>(files.size());
  counts->rows = rows[0] + rows[1];
  counts->kanji = 0;
  const std::string kanji = KanjiBank(book, &counts->kanji);
  std::vector<std::pair<std::string, std::string>> texts = {{"index.json", IndexJson(book, info)}};
  if (counts->kanji > 0) texts.emplace_back("kanji_bank_1.json", kanji);
  for (auto& t : texts) {
    auto d = std::make_unique<Deflated>();
    d->name = t.first;
    if (!Deflate(t.second, d.get())) {
      *error = "zlib could not compress " + t.first;
      return false;
    }
    files.push_back(std::move(d));
  }
  return WriteZip(book, fs_path, &files, counts, error);
}

}  // namespace hz
