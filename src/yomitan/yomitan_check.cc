#include "yomitan/yomitan_check.h"

#include <rapidjson/document.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>

#include "core/hex.h"
#include "core/in_shares.h"
#include "yomitan/yomitan_dictionary.h"

namespace hz {

namespace {

using rapidjson::Value;

std::string_view View(const Value& v) { return {v.GetString(), v.GetStringLength()}; }

// One of the values.
bool OneOf(const Value& v, std::initializer_list<const char*> values) {
  if (!v.IsString()) return false;
  for (const char* s : values) {
    if (View(v) == s) return true;
  }
  return false;
}

// The structured content's grammar, as the term-bank v3 schema gives it.
class ContentShape {
 public:
  // Whether v is structured content; the first fault in *fault.
  bool Content(const Value& v, std::string* fault) {
    if (v.IsString()) return true;
    if (v.IsArray()) {
      for (const Value& child : v.GetArray()) {
        if (!Content(child, fault)) return false;
      }
      return true;
    }
    if (!v.IsObject() || !v.HasMember("tag") || !v["tag"].IsString()) return Fault("a node that is no text, list or element", fault);
    const std::string_view tag = View(v["tag"]);
    if (tag == "br") return Keys(v, {"tag", "data"}, fault);
    if (tag == "span" || tag == "div" || tag == "ol" || tag == "ul" || tag == "li" || tag == "details" || tag == "summary") {
      if (!Keys(v, {"tag", "content", "data", "lang", "open", "style", "title"}, fault)) return false;
      if (v.HasMember("style") && !Style(v["style"], fault)) return false;
      return !v.HasMember("content") || Content(v["content"], fault);
    }
    if (tag == "a") {
      if (!Keys(v, {"tag", "content", "href", "lang"}, fault)) return false;
      if (!v.HasMember("href") || !v["href"].IsString()) return Fault("a link without its href", fault);
      const std::string_view href = View(v["href"]);
      if (href.substr(0, 1) != "?" && href.substr(0, 5) != "http:" && href.substr(0, 6) != "https:") {
        return Fault("a link whose href is neither a search nor a web address", fault);
      }
      links.emplace_back(href);
      return !v.HasMember("content") || Content(v["content"], fault);
    }
    if (tag == "img") return Image(v, fault);
    return Fault("the tag \"" + std::string(tag) + "\"", fault);
  }

  std::vector<std::string> links, pictures;

 private:
  static bool Fault(const std::string& what, std::string* fault) {
    *fault = what;
    return false;
  }

  static bool Keys(const Value& v, std::initializer_list<const char*> allowed, std::string* fault) {
    for (const auto& member : v.GetObject()) {
      const std::string_view key = View(member.name);
      if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; })) {
        return Fault("the key \"" + std::string(key) + "\" in a " + std::string(View(v["tag"])), fault);
      }
    }
    return true;
  }

  bool Image(const Value& v, std::string* fault) {
    if (!Keys(v, {"tag", "data", "path", "width", "height", "title", "alt", "description", "pixelated",
                  "imageRendering", "appearance", "background", "collapsed", "collapsible", "verticalAlign",
                  "border", "borderRadius", "sizeUnits"},
              fault)) {
      return false;
    }
    if (!v.HasMember("path") || !v["path"].IsString()) return Fault("a picture without its path", fault);
    for (const char* key : {"width", "height"}) {
      if (v.HasMember(key) && (!v[key].IsNumber() || v[key].GetDouble() < 0)) return Fault(std::string("a picture's ") + key, fault);
    }
    for (const char* key : {"title", "alt", "description", "border", "borderRadius"}) {
      if (v.HasMember(key) && !v[key].IsString()) return Fault(std::string("a picture's ") + key, fault);
    }
    for (const char* key : {"pixelated", "background", "collapsed", "collapsible"}) {
      if (v.HasMember(key) && !v[key].IsBool()) return Fault(std::string("a picture's ") + key, fault);
    }
    if ((v.HasMember("imageRendering") && !OneOf(v["imageRendering"], {"auto", "pixelated", "crisp-edges"})) ||
        (v.HasMember("appearance") && !OneOf(v["appearance"], {"auto", "monochrome"})) ||
        (v.HasMember("sizeUnits") && !OneOf(v["sizeUnits"], {"px", "em"})) ||
        (v.HasMember("verticalAlign") && !VerticalAlign(v["verticalAlign"]))) {
      return Fault("a picture's rendering, appearance, units or alignment", fault);
    }
    pictures.emplace_back(View(v["path"]));
    return true;
  }

  static bool VerticalAlign(const Value& v) {
    return OneOf(v, {"baseline", "sub", "super", "text-top", "text-bottom", "middle", "top", "bottom"});
  }

  static bool Style(const Value& v, std::string* fault) {
    if (!v.IsObject()) return Fault("a style that is no object", fault);
    for (const auto& m : v.GetObject()) {
      const std::string_view key = View(m.name);
      bool ok;
      if (key == "fontStyle") {
        ok = OneOf(m.value, {"normal", "italic"});
      } else if (key == "fontWeight") {
        ok = OneOf(m.value, {"normal", "bold"});
      } else if (key == "verticalAlign") {
        ok = VerticalAlign(m.value);
      } else if (key == "fontSize") {
        ok = m.value.IsString();
      } else {
        return Fault("the style \"" + std::string(key) + "\"", fault);
      }
      if (!ok) return Fault("the value of the style \"" + std::string(key) + "\"", fault);
    }
    return true;
  }
};

// The words of the rows (terms and readings), each with the sequences of
// its rows: the words once each in a hash table, compared whole.
class WordTable {
 public:
  void Add(std::string_view word, uint32_t sequence) {
    entries_.push_back({Hash(word), sequence, static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(word.size())});
    pool_ += word;
  }
  void Join(WordTable* other) {
    const uint32_t base = static_cast<uint32_t>(pool_.size());
    pool_ += other->pool_;
    for (Entry e : other->entries_) entries_.push_back({e.hash, e.sequence, e.at + base, e.size});
    other->pool_.clear();
    other->entries_.clear();
  }
  // Groups the entries by word; after this, words may be found.
  void Index() {
    std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
      if (a.hash != b.hash) return a.hash < b.hash;
      const int c = Text(a).compare(Text(b));
      return c != 0 ? c < 0 : a.sequence < b.sequence;
    });
    words_.clear();
    for (uint32_t i = 0; i < entries_.size(); ++i) {
      if (i == 0 || entries_[i].hash != entries_[i - 1].hash || Text(entries_[i]) != Text(entries_[i - 1])) {
        words_.push_back({i, i, kEnd});
      }
      ++words_.back().end;
    }
    size_t buckets = 1;
    while (buckets < 2 * words_.size()) buckets *= 2;
    heads_.assign(buckets, kEnd);
    mask_ = buckets - 1;
    for (uint32_t w = 0; w < words_.size(); ++w) {
      uint32_t& head = heads_[entries_[words_[w].begin].hash & mask_];
      words_[w].next = head;
      head = w;
    }
  }
  bool Has(std::string_view word, uint32_t sequence) const {
    const Group* w = Find(word);
    if (!w) return false;
    const auto first = entries_.begin() + w->begin, last = entries_.begin() + w->end;
    const auto it = std::lower_bound(first, last, sequence, [](const Entry& e, uint32_t s) { return e.sequence < s; });
    return it != last && it->sequence == sequence;
  }

 private:
  static constexpr uint32_t kEnd = UINT32_MAX;
  struct Entry {
    uint64_t hash;
    uint32_t sequence, at, size;
  };
  struct Group {
    uint32_t begin, end, next;  // a word's entries; the next group of its bucket
  };
  static uint64_t Hash(std::string_view w) {
    uint64_t h = 0xCBF29CE484222325u;
    for (char c : w) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return h ^ (h >> 29);
  }
  std::string_view Text(const Entry& e) const { return {pool_.data() + e.at, e.size}; }
  const Group* Find(std::string_view word) const {
    if (heads_.empty()) return nullptr;
    const uint64_t h = Hash(word);
    for (uint32_t w = heads_[h & mask_]; w != kEnd; w = words_[w].next) {
      const Entry& e = entries_[words_[w].begin];
      if (e.hash == h && Text(e) == word) return &words_[w];
    }
    return nullptr;
  }
  std::string pool_;
  std::vector<Entry> entries_;
  std::vector<Group> words_;
  std::vector<uint32_t> heads_;
  size_t mask_ = 0;
};

// What the banks held, gathered by each thread and then joined.
struct Gathered {
  WordTable terms, words;  // terms; terms and readings
  std::vector<std::pair<uint32_t, std::vector<std::string>>> links;  // a sequence's links, in order
  std::set<std::string> pictures;
  std::vector<std::string> misses;
  int64_t rows = 0;
};

// A zip entry's bytes: its deflated data read through libzip and inflated
// here in one call (libzip's own reading inflates a few kilobytes at a
// time), its checksum compared with the zip's.
// *bytes holds the entry and a NUL after it (its capacity kept for the next
// entry: a bank is about ten megabytes, not worth zeroing anew).
bool ReadEntry(zip_t* z, zip_uint64_t index, std::string* bytes, std::string* packed_room) {
  zip_stat_t st;
  const zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
  if (zip_stat_index(z, index, 0, &st) != 0 || (st.valid & needed) != needed || st.size > (uint64_t{1} << 31) ||
      st.comp_size > (uint64_t{1} << 31)) {
    return false;
  }
  std::string& packed = *packed_room;
  if (packed.size() < st.comp_size) packed.resize(st.comp_size);
  zip_file_t* f = zip_fopen_index(z, index, ZIP_FL_COMPRESSED);
  if (!f) return false;
  zip_uint64_t at = 0;
  while (at < st.comp_size) {
    const zip_int64_t n = zip_fread(f, packed.data() + at, st.comp_size - at);
    if (n <= 0) break;
    at += static_cast<zip_uint64_t>(n);
  }
  if (zip_fclose(f) != 0 || at != st.comp_size) return false;
  if (bytes->size() < st.size + 1) bytes->resize(st.size + 1);
  (*bytes)[st.size] = '\0';
  if (st.comp_method == ZIP_CM_STORE) {
    std::memcpy(bytes->data(), packed.data(), st.size);
  } else if (st.comp_method == ZIP_CM_DEFLATE) {
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return false;
    zs.next_in = reinterpret_cast<Bytef*>(packed.data());
    zs.avail_in = static_cast<uInt>(st.comp_size);
    zs.next_out = reinterpret_cast<Bytef*>(bytes->data());
    zs.avail_out = static_cast<uInt>(st.size);
    const int e = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    if (e != Z_STREAM_END || zs.avail_out != 0) return false;
  } else {
    return false;
  }
  return crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes->data()), static_cast<uInt>(st.size)) ==
         st.crc;
}

// A term bank's rows as a reader meets them: RapidJSON's event reader over
// the bank's text, each row's items checked for their types as they come,
// and where each row's content stands in the text kept, so that the
// content, the same in all the rows of a part, is compared as text and
// taken apart only once a part.
class RowReader : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, RowReader> {
 public:
  struct Row {
    std::string term, reading;
    uint64_t sequence = 0;
    size_t content_begin = 0, content_end = 0;  // in the bank's text
  };

  RowReader(const char* text, std::function<bool(const Row&)> each) : text_(text), each_(std::move(each)) {}
  void SetStream(rapidjson::InsituStringStream* s) { stream_ = s; }
  const std::string& fault() const { return fault_; }

  bool StartArray() { return Value(kArray); }
  bool EndArray(rapidjson::SizeType) { return End(); }
  bool StartObject() { return Value(kObject); }
  bool EndObject(rapidjson::SizeType) { return End(); }
  bool Key(const char* s, rapidjson::SizeType n, bool) {
    if (in_content_) return true;
    key_.assign(s, n);
    if (key_ == "content") {
      // The reader tells where a string begins while it hands it over: the
      // value begins after the key's string and the colon.
      size_t at = AfterString(stream_->Tell());
      while (text_[at] == ' ' || text_[at] == ':' || text_[at] == '\n' || text_[at] == '\r' || text_[at] == '\t') ++at;
      row_.content_begin = at;
      in_content_ = true;
      return true;
    }
    return key_ == "type" || Fault("a definition with the key \"" + key_ + "\"");
  }
  bool String(const char* s, rapidjson::SizeType n, bool) {
    if (!Value(kString)) return false;
    if (!in_content_ && depth_ == kInRow && (item_ == 1 || item_ == 2)) (item_ == 1 ? row_.term : row_.reading).assign(s, n);
    if (!in_content_ && depth_ == kInItem) type_ok_ = std::string_view(s, n) == "structured-content";
    return Ended(true);
  }
  bool Null() { return Value(kNull) && Ended(false); }
  bool Bool(bool) { return Value(kOther) && Ended(false); }
  bool Int(int) { return Number(true); }
  bool Uint(unsigned u) { return Number(true, u); }
  bool Int64(int64_t) { return Number(true); }
  bool Uint64(uint64_t u) { return Number(true, u); }
  bool Double(double) { return Number(false); }

 private:
  // The depths inside the bank, a row, a row's definitions, a definition.
  static constexpr int kInBank = 1, kInRow = 2, kInGlossary = 3, kInItem = 4;
  enum Kind { kArray, kObject, kString, kNull, kNumber, kInteger, kOther };

  bool Fault(const std::string& what) {
    fault_ = what;
    return false;
  }

  // A value where it stands: of the type its place asks for.
  bool Value(Kind kind) {
    const bool container = kind == kArray || kind == kObject;
    if (in_content_) return container ? Open() : true;
    switch (depth_) {
      case 0: return kind == kArray ? Open() : Fault("a bank that is not a list of rows");
      case kInBank:
        if (kind != kArray) return Fault("a row that is not a list");
        row_ = Row();
        item_ = 0;
        definitions_ = 0;
        type_ok_ = false;
        return Open();
      case kInRow: {
        static const Kind kTypes[] = {kString, kString, kString, kString, kNumber, kArray, kInteger, kString};
        if (++item_ > 8) return Fault("a row of more than eight items");
        const Kind want = kTypes[item_ - 1];
        if (!(kind == want || (want == kNumber && kind == kInteger) || (item_ == 3 && kind == kNull))) {
          return Fault("a row whose item " + std::to_string(item_) + " is not of the schema's type");
        }
        return container ? Open() : true;
      }
      case kInGlossary:
        if (kind != kObject || ++definitions_ > 1) return Fault("a row whose definitions are not one structured content");
        return Open();
      default: return kind == kString ? true : Fault("a definition whose type is not text");
    }
  }

  bool Open() {
    ++depth_;
    return true;
  }

  bool End() {
    --depth_;
    if (in_content_) return Ended(false, true);
    if (depth_ != kInBank) return true;
    if (item_ != 8) return Fault("a row of fewer than eight items");
    if (definitions_ != 1 || !type_ok_ || row_.content_end == 0) {
      return Fault("a row whose definitions are not one structured content");
    }
    return each_(row_);
  }

  // After a value: the end of the content when it was the content (text,
  // a list or an element; the reader stands at a string's beginning, and
  // after a list or an element).
  bool Ended(bool string, bool container = false) {
    if (!in_content_ || depth_ != kInItem) return true;
    in_content_ = false;
    if (!string && !container) return Fault("a row whose content is neither text, a list nor an element");
    row_.content_end = string ? AfterString(stream_->Tell()) : stream_->Tell();
    return true;
  }

  // Where the string that begins at (its quote) ends, after its quote.
  size_t AfterString(size_t at) const {
    if (text_[at] != '"') return at;
    for (++at; text_[at] != '\0' && text_[at] != '"'; ++at) {
      if (text_[at] == '\\' && text_[at + 1] != '\0') ++at;
    }
    return text_[at] == '"' ? at + 1 : at;
  }

  bool Number(bool integer, uint64_t value = 0) {
    if (!Value(integer ? kInteger : kNumber)) return false;
    if (!in_content_ && depth_ == kInRow && item_ == 7) row_.sequence = value;
    return Ended(false);
  }

  const char* text_;
  std::function<bool(const Row&)> each_;
  rapidjson::InsituStringStream* stream_ = nullptr;
  std::string fault_, key_;
  Row row_;
  int depth_ = 0, item_ = 0, definitions_ = 0;
  bool in_content_ = false, type_ok_ = false;
};

}  // namespace

namespace {

class YomitanChecker {
 public:
  YomitanChecker(const std::string& path, const UnicodeBook& book)
      : path_(path), book_(book), m_(book.model()), queries_(YomitanQueries(book)) {}

  ExportCheck Check() {
    int code = 0;
    zip_t* z = zip_open(path_.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z) {
      zip_error_t e;
      zip_error_init_with_code(&e, code);
      r_.error = path_ + ": " + zip_error_strerror(&e);
      zip_error_fini(&e);
      return r_;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
      const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), 0);
      if (name) names_[name] = static_cast<zip_uint64_t>(i);
    }
    Index(z);
    Kanji(z);
    zip_close(z);
    Banks();
    Words();
    Links();
    Pictures();
    r_.misses.insert(r_.misses.end(), g_.misses.begin(), g_.misses.end());
    return r_;
  }

 private:
  void Miss(const std::string& what) { r_.misses.push_back(what); }

  std::string Name(uint32_t part) const { return book_.PartName(part); }

  bool Parse(zip_t* z, const std::string& name, std::string* bytes, rapidjson::Document* doc) {
    const auto at = names_.find(name);
    std::string packed;
    if (at == names_.end() || !ReadEntry(z, at->second, bytes, &packed)) {
      Miss(name + ": missing or unreadable");
      return false;
    }
    doc->Parse(bytes->c_str());
    if (doc->HasParseError()) {
      Miss(name + ": not JSON");
      return false;
    }
    return true;
  }

  void Index(zip_t* z) {
    std::string bytes;
    rapidjson::Document d;
    if (!Parse(z, "index.json", &bytes, &d)) return;
    const auto has_string = [&d](const char* key) { return d.HasMember(key) && d[key].IsString(); };
    if (!d.IsObject() || !has_string("title") || d["title"].GetStringLength() == 0 || !has_string("revision") ||
        !d.HasMember("format") || !d["format"].IsInt() || d["format"].GetInt() != 3 || !d.HasMember("sequenced") ||
        !d["sequenced"].IsBool() || !d["sequenced"].GetBool() || !has_string("author") || !has_string("description") ||
        !has_string("attribution") || !has_string("sourceLanguage") || View(d["sourceLanguage"]) != "ja" ||
        !has_string("targetLanguage") || View(d["targetLanguage"]) != "ja") {
      Miss("index.json: not the index of a sequenced format 3 dictionary from Japanese to Japanese");
    }
  }

  void Kanji(zip_t* z) {
    if (names_.count("kanji_bank_1.json") == 0) return;
    std::string bytes;
    rapidjson::Document d;
    if (!Parse(z, "kanji_bank_1.json", &bytes, &d)) return;
    if (!d.IsArray()) {
      Miss("kanji_bank_1.json: not a list of rows");
      return;
    }
    for (const Value& row : d.GetArray()) {
      bool ok = row.IsArray() && row.Size() == 6 && row[0].IsString() && row[0].GetStringLength() > 0 &&
                row[1].IsString() && row[2].IsString() && row[3].IsString() && row[4].IsArray() && row[5].IsObject();
      for (rapidjson::SizeType i = 0; ok && i < row[4].Size(); ++i) ok = row[4][i].IsString();
      if (ok) {
        for (const auto& stat : row[5].GetObject()) ok = ok && stat.value.IsString();
      }
      if (!ok) {
        Miss("kanji_bank_1.json: a row not of the kanji bank's shape");
        return;
      }
    }
  }

  void Banks() {
    size_t count = 0;
    while (names_.count("term_bank_" + std::to_string(count + 1) + ".json")) ++count;
    if (count == 0) Miss("the zip holds no term bank");
    Gathered halves[2];
    InShares(count, std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
      Gathered& mine = halves[begin == 0 ? 0 : 1];
      int code = 0;
      zip_t* z = zip_open(path_.c_str(), ZIP_RDONLY, &code);
      if (!z) {
        mine.misses.push_back(path_ + ": cannot be opened again");
        return;
      }
      std::string bytes, packed, scratch;
      for (size_t k = begin; k < end; ++k) {
        Bank(z, "term_bank_" + std::to_string(k + 1) + ".json", &bytes, &packed, &scratch, &mine);
      }
      zip_close(z);
    });
    links_.resize(m_.parts.size() + 1);
    for (Gathered& half : halves) {
      g_.terms.Join(&half.terms);
      g_.words.Join(&half.words);
      for (auto& l : half.links) {
        if (links_[l.first].empty()) links_[l.first] = std::move(l.second);
      }
      g_.pictures.insert(half.pictures.begin(), half.pictures.end());
      g_.misses.insert(g_.misses.end(), half.misses.begin(), half.misses.end());
      g_.rows += half.rows;
    }
    g_.terms.Index();
    g_.words.Index();
  }

  void Bank(zip_t* z, const std::string& name, std::string* bytes, std::string* packed, std::string* scratch,
            Gathered* mine) {
    const auto at = names_.find(name);
    if (at == names_.end() || !ReadEntry(z, at->second, bytes, packed)) {
      mine->misses.push_back(name + ": missing or unreadable");
      return;
    }
    const char* text = bytes->c_str();
    uint32_t checked = 0;  // the part whose content was checked last
    std::string want, fault;
    size_t rows = 0;
    RowReader rows_of(text, [&](const RowReader::Row& row) {
      ++rows;
      return Row(row, text, mine, &checked, &want, &fault);
    });
    // Read in place from a copy: the text itself stays whole for comparing.
    scratch->assign(text, bytes->size() > 0 ? std::strlen(text) + 1 : 1);
    rapidjson::InsituStringStream stream(scratch->data());
    rows_of.SetStream(&stream);
    rapidjson::Reader reader;
    const bool parsed = !reader.Parse<rapidjson::kParseInsituFlag>(stream, rows_of).IsError();
    if (!parsed || rows > kBankRows) {
      const std::string why = !fault.empty() ? fault : !rows_of.fault().empty() ? rows_of.fault() : "not JSON";
      mine->misses.push_back(name + ": " + (parsed ? "more than " + std::to_string(kBankRows) + " rows" : why));
    }
  }

  // A row of the schema's shape: its content is its part's; its words are
  // noted.
  bool Row(const RowReader::Row& row, const char* text, Gathered* mine, uint32_t* checked, std::string* want,
           std::string* fault) {
    if (row.sequence == 0 || row.sequence > m_.parts.size()) {
      *fault = "a row whose sequence is no part's";
      return false;
    }
    const uint32_t seq = static_cast<uint32_t>(row.sequence);
    const std::string_view content(text + row.content_begin, row.content_end - row.content_begin);
    if (*checked != seq) {
      *want = YomitanContent(book_, queries_, seq - 1);
      if (!Content(content, seq, mine, fault)) return false;
      *checked = seq;
    }
    if (content != *want) mine->misses.push_back(Name(seq - 1) + ": the row of \"" + row.term + "\" holds other content");
    if (!AllExportable(row.term) || !AllExportable(row.reading)) {
      mine->misses.push_back(Name(seq - 1) + ": the row of \"" + row.term + "\" holds a character no reader should be given");
    }
    mine->terms.Add(row.term, seq);
    mine->words.Add(row.term, seq);
    if (!row.reading.empty()) mine->words.Add(row.reading, seq);
    ++mine->rows;
    return true;
  }

  // A part's content, taken apart: of the schema's shape, with characters a
  // reader may be given; its links and pictures noted.
  bool Content(std::string_view text, uint32_t seq, Gathered* mine, std::string* fault) {
    rapidjson::Document d;
    if (d.Parse(text.data(), text.size()).HasParseError()) {
      *fault = "a row whose content is not JSON";
      return false;
    }
    ContentShape shape;
    if (!shape.Content(d, fault)) return false;
    if (!AllExportable(text)) mine->misses.push_back(Name(seq - 1) + ": its content holds a character no reader should be given");
    mine->links.emplace_back(seq, std::move(shape.links));
    mine->pictures.insert(shape.pictures.begin(), shape.pictures.end());
    return true;
  }

  // Every search word of every part has its row.
  void Words() {
    std::vector<std::string> misses[2];
    int64_t words[2] = {0, 0};
    InShares(m_.parts.size(), std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
      const int half = begin == 0 ? 0 : 1;
      for (size_t part = begin; part < end; ++part) {
        for (const std::string& term : YomitanTerms(book_, static_cast<uint32_t>(part))) {
          ++words[half];
          if (!g_.terms.Has(term, static_cast<uint32_t>(part + 1))) {
            misses[half].push_back(Name(static_cast<uint32_t>(part)) + ": search word \"" + term + "\" has no row");
          }
        }
      }
    });
    for (int half = 0; half < 2; ++half) {
      r_.misses.insert(r_.misses.end(), misses[half].begin(), misses[half].end());
      r_.words += words[half];
    }
    r_.articles = g_.rows;
  }

  // Every link's search finds its target.
  void Links() {
    std::vector<std::string> misses[2];
    int64_t links[2] = {0, 0};
    InShares(m_.parts.size(), std::min(2, WorkThreads()), [&](size_t begin, size_t end) {
      const int half = begin == 0 ? 0 : 1;
      std::vector<uint32_t> targets;
      const auto has = [this](std::string_view w, uint32_t sequence) { return g_.words.Has(w, sequence); };
      for (size_t part = begin; part < end; ++part) {
        targets.clear();
        const auto note = [&](std::string_view content) {
          ForEachRun(content, [&](const Run& r) {
            if (r.kind == Run::kLinkOn && book_.PartOfTarget(r.index) != kNone) targets.push_back(book_.PartOfTarget(r.index));
          });
        };
        note(m_.Heading(m_.parts[part]));
        note(m_.Body(m_.parts[part]));
        if (targets.empty()) continue;
        const std::vector<std::string>& hrefs = links_[part + 1];
        if (hrefs.size() != targets.size()) {
          misses[half].push_back(Name(static_cast<uint32_t>(part)) + ": its links are not all in its rows");
          continue;
        }
        for (size_t k = 0; k < targets.size(); ++k) {
          ++links[half];
          const std::string query = QueryOf(hrefs[k]);
          if (!SearchFinds(query, targets[k] + 1, has)) {
            misses[half].push_back(Name(static_cast<uint32_t>(part)) + ": the link searching for \"" + query +
                                   "\" does not find " + Name(targets[k]));
          }
        }
      }
    });
    for (int half = 0; half < 2; ++half) {
      r_.misses.insert(r_.misses.end(), misses[half].begin(), misses[half].end());
      r_.links += links[half];
    }
  }

  // The query of "?query=...&wildcards=off", unescaped.
  static std::string QueryOf(const std::string& href) {
    const size_t from = href.find("query=");
    if (from == std::string::npos) return "";
    const size_t end = href.find('&', from);
    const std::string value = href.substr(from + 6, end == std::string::npos ? std::string::npos : end - from - 6);
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
      uint32_t byte;
      if (value[i] == '%' && i + 2 < value.size() && ParseHexDigits(value.data() + i + 1, 2, &byte)) {
        out += static_cast<char>(byte);
        i += 2;
      } else {
        out += value[i] == '+' ? ' ' : value[i];
      }
    }
    return out;
  }

  void Pictures() {
    for (const std::string& p : g_.pictures) {
      if (!names_.count(p)) Miss("the picture " + p + ": not in the zip");
    }
    r_.pictures = static_cast<int64_t>(g_.pictures.size());
  }

  const std::string path_;
  const UnicodeBook& book_;
  const BookModel& m_;
  const std::vector<std::string> queries_;
  ExportCheck r_;
  std::map<std::string, zip_uint64_t> names_;
  Gathered g_;
  std::vector<std::vector<std::string>> links_;  // by sequence
};

}  // namespace

ExportCheck CheckYomitan(const std::string& fs_path, const UnicodeBook& book) {
  return YomitanChecker(fs_path, book).Check();
}

}  // namespace hz
