#include "bench/synth_dict.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hzbench {

namespace {

// splitmix64: small, fast and the same everywhere.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t Next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

 private:
  uint64_t s_;
};

void Put2(std::string* s, unsigned code) {
  s->push_back(static_cast<char>(code >> 8));
  s->push_back(static_cast<char>(code & 0xFF));
}

unsigned Hiragana(Rng& r) { return 0x829F + r.Below(0x52); }
unsigned Katakana(Rng& r) {
  unsigned c = 0x8340 + r.Below(0x56);
  return c == 0x837F ? 0x8380 : c;
}
unsigned Kanji(Rng& r) {
  unsigned lead = 0x89 + r.Below(0x97 - 0x89);
  unsigned trail = 0x40 + r.Below(0xBC);
  if (trail >= 0x7F) ++trail;
  return lead << 8 | trail;
}
unsigned Private(Rng& r) { return 0xF040 + r.Below(0x3C); }

void Kana(Rng& r, std::string* s, int n) {
  for (int i = 0; i < n; ++i) Put2(s, Hiragana(r));
}
void Kanjis(Rng& r, std::string* s, int n) {
  for (int i = 0; i < n; ++i) Put2(s, Kanji(r));
}
void Ascii(Rng& r, std::string* s, int n) {
  for (int i = 0; i < n; ++i) s->push_back(static_cast<char>('a' + r.Below(26)));
}

// Definition text of about n bytes: kanji and kana with an occasional
// private-area character or ASCII word.
void Prose(Rng& r, std::string* s, size_t n) {
  size_t end = s->size() + n;
  while (s->size() < end) {
    switch (r.Below(16)) {
      case 0: Put2(s, Private(r)); break;
      case 1: Ascii(r, s, 3 + static_cast<int>(r.Below(6))); s->push_back(' '); break;
      case 2: Put2(s, 0x8141); break;  // 、
      case 3: Put2(s, Katakana(r)); break;
      case 4: case 5: case 6: case 7: Kanjis(r, s, 1); break;
      default: Kana(r, s, 1); break;
    }
  }
}

// Style spans every few dozen bytes over [from, to) of the record's text.
void Styles(Rng& r, hzb::Record* rec, uint32_t from, uint32_t to) {
  static const int32_t kCodes[] = {4, 5, 100, 102, 7};
  for (uint32_t at = from + r.Below(16); at + 4 < to; at += 24 + r.Below(40)) {
    // Some starts fall on a second byte, as damaged or careless layout
    // data may; such spans never open.
    rec->styles.push_back({at, 2 + 2 * r.Below(4), kCodes[r.Below(5)]});
  }
}

// One main-text entry appended to rec; returns the entry's offset.
uint32_t AddEntry(Rng& r, hzb::Record* rec, uint32_t entry_index, int32_t records,
                  uint32_t link_names) {
  std::string& t = rec->text;
  uint32_t start = static_cast<uint32_t>(t.size());
  // Headword line: reading, 【written form】, sometimes a second pair.
  Kana(r, &t, 2 + static_cast<int>(r.Below(5)));
  Put2(&t, 0x8179);
  if (r.OneIn(10)) {
    Put2(&t, Katakana(r));
    Put2(&t, Katakana(r));
    Ascii(r, &t, 1);
  } else {
    Kanjis(r, &t, 1 + static_cast<int>(r.Below(3)));
  }
  Put2(&t, 0x817A);
  if (r.OneIn(4)) {
    Put2(&t, 0x8179);
    Kanjis(r, &t, 2);
    Put2(&t, 0x817A);
  }
  bool media = entry_index % 50 == 7;
  if (media) {
    uint32_t at = static_cast<uint32_t>(t.size());
    Kanjis(r, &t, 1);
    rec->links.push_back({at, 2, 20001, static_cast<int32_t>(1 + r.Below(link_names)), ""});
  }
  t.push_back('\r');
  // An anchor at the start of the definition.
  char name[5];
  std::snprintf(name, sizeof name, "a%03u", entry_index % 1000);
  rec->anchors.push_back({name, static_cast<uint32_t>(t.size())});
  uint32_t body = static_cast<uint32_t>(t.size());
  int lines = 2 + static_cast<int>(r.Below(3));
  for (int l = 0; l < lines; ++l) {
    Prose(r, &t, 25 + r.Below(30));
    if (l == 0) {
      // A capture: 《english words》.
      Put2(&t, 0x8173);
      Ascii(r, &t, 4 + static_cast<int>(r.Below(6)));
      t.push_back(' ');
      Ascii(r, &t, 3);
      Put2(&t, 0x8174);
    }
    if (l == 1) {
      // A cross-reference: into the main text, or to an anchor.
      uint32_t at = static_cast<uint32_t>(t.size());
      Put2(&t, 0x81A8);  // →
      Kana(r, &t, 3);
      int kind = r.OneIn(3) ? 1 : 10001;
      char label[5];
      std::snprintf(label, sizeof label, "%04u", 1 + r.Below(30));
      rec->links.push_back({at, static_cast<uint32_t>(t.size()) - at, kind,
                            static_cast<int32_t>(1 + r.Below(static_cast<uint32_t>(records))),
                            kind == 1 ? std::string(name) : std::string(label)});
    }
    if (media && l == 0 && entry_index % 100 == 7) {
      uint32_t at = static_cast<uint32_t>(t.size());
      Put2(&t, 0xF7DB);
      Kana(r, &t, 2);
      rec->links.push_back({at, 6, 30001, static_cast<int32_t>(1 + r.Below(link_names)), ""});
    }
    if (l + 1 < lines) t.push_back('\r');
  }
  Styles(r, rec, body, static_cast<uint32_t>(t.size()));
  t += "\r\r";
  return start;
}

std::string Stem(const char* prefix, uint32_t n) {
  char s[16];
  std::snprintf(s, sizeof s, "%s%05u", prefix, n);
  return s;
}

// The boundary dictionary: 10,000 families of 20 readings, each the one
// before and one more character (at the end in half of the families, at the
// front in the other half), so that most boundaries between two pages of
// the forward and the backward word index, on every level, fall between a
// word and a longer word it begins (or, backward, ends); a tenth of the
// readings twice, in entries far apart.
void MakeBoundaryDictionary(uint64_t seed, hzb::DictBuilder* b) {
  Rng r(seed);
  constexpr uint32_t kFamilies = 10000, kMembers = 20, kPerRecord = 40;
  b->directories = {"DATA", "LIST"};
  std::vector<hzb::Record>& main = b->record_files["DATA/KX01"];
  std::vector<hzb::ListRow>& headwords = b->lists["LIST/d100000.lst"];
  std::vector<std::string> readings;
  for (uint32_t f = 0; f < kFamilies; ++f) {
    // A stem of three kana of its own (the family's number in base 82).
    std::string word;
    for (uint32_t n = f, i = 0; i < 3; ++i, n /= 0x52) Put2(&word, 0x829F + n % 0x52);
    for (uint32_t m = 0; m < kMembers; ++m) {
      readings.push_back(word);
      std::string more;
      Put2(&more, Hiragana(r));
      word = f % 2 ? more + word : word + more;
    }
  }
  for (uint32_t i = 0; i < kFamilies * kMembers / 10; ++i) readings.push_back(readings[r.Below(kFamilies * kMembers)]);
  for (uint32_t e = 0; e < readings.size(); ++e) {
    if (e % kPerRecord == 0) main.emplace_back();
    hzb::Record& rec = main.back();
    const uint32_t offset = static_cast<uint32_t>(rec.text.size());
    rec.text += readings[e];
    Put2(&rec.text, 0x8179);
    Kanjis(r, &rec.text, 2);
    Put2(&rec.text, 0x817A);
    rec.text += "\r";
    Prose(r, &rec.text, 30);
    rec.text += "\r\r";
    headwords.push_back({static_cast<uint32_t>(main.size()), 0, offset, ""});
  }
  for (const char* name : {"DATA/KX02", "DATA/KX03", "DATA/KX04", "DATA/KX05", "DATA/KX06"}) {
    std::vector<hzb::Record>& sec = b->record_files[name];
    sec.resize(1);
    Kanjis(r, &sec[0].text, 1);
    sec[0].text += "\r";
    Prose(r, &sec[0].text, 60);
  }
}

uint32_t Scaled(double base, double factor) {
  return std::max<uint32_t>(1, static_cast<uint32_t>(base * factor + 0.5));
}

}  // namespace

bool FindScale(const std::string& name, Scale* scale) {
  static const Scale kScales[] = {
      {"small", 0.01}, {"medium", 0.1}, {"full", 1.0}, {"stress", 10.0}, {"boundary", 0.0}};
  for (const Scale& s : kScales) {
    if (name == s.name) {
      *scale = s;
      return true;
    }
  }
  return false;
}

hzb::Record MakeMainTextRecord(uint64_t seed, size_t entries) {
  Rng r(seed);
  hzb::Record rec;
  for (size_t e = 0; e < entries; ++e) AddEntry(r, &rec, static_cast<uint32_t>(e), 8000, 5000);
  std::sort(rec.styles.begin(), rec.styles.end(),
            [](const hzb::Style& a, const hzb::Style& b) { return a.offset < b.offset; });
  return rec;
}

void MakeDictionary(const Scale& scale, uint64_t seed, hzb::DictBuilder* b) {
  if (scale.factor == 0.0) {
    MakeBoundaryDictionary(seed, b);
    return;
  }
  Rng r(seed);
  const double f = scale.factor;
  const uint32_t entries = Scaled(250000, f);
  const uint32_t records = Scaled(8000, f);
  const uint32_t kanji_records = Scaled(13000, f);
  const uint32_t keys = Scaled(60000, f);
  const uint32_t markers = Scaled(300000, f);
  const uint32_t link_names = 5000;
  const uint32_t section_records = 300;

  b->directories = {"DATA", "LIST"};
  const char* kTables[] = {"DATA/KXLINK01.TBL", "DATA/KXLINK02.TBL", "DATA/KXLINK03.TBL",
                           "DATA/KXLINK04.TBL"};
  for (int t = 0; t < 4; ++t) {
    std::vector<std::string>& stems = b->link_tables[kTables[t]];
    for (uint32_t n = 1; n <= link_names; ++n) stems.push_back(Stem(t == 0 ? "f" : t == 3 ? "u" : "m", n));
  }

  // Main text, several entries per record, and its headword list.
  std::vector<hzb::Record>& main = b->record_files["DATA/KX01"];
  main.resize(records);
  std::vector<hzb::ListRow>& headwords = b->lists["LIST/d100000.lst"];
  headwords.reserve(entries);
  for (uint32_t e = 0; e < entries; ++e) {
    uint32_t rec = static_cast<uint32_t>(static_cast<uint64_t>(e) * records / entries);
    uint32_t offset = AddEntry(r, &main[rec], e, static_cast<int32_t>(records), link_names);
    headwords.push_back({rec + 1, 0, offset, ""});
  }
  for (hzb::Record& rec : main) {
    std::sort(rec.styles.begin(), rec.styles.end(),
              [](const hzb::Style& x, const hzb::Style& y) { return x.offset < y.offset; });
  }

  // Marker lists: 30 of the main text, 2 of the kanji page.
  static const int kMainCodes[] = {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009,
                                   2010, 2011, 2012, 2013, 2014, 4000, 4001, 4002, 4003, 4004,
                                   4005, 5000, 6000, 7000, 8000, 9000, 9001, 9002, 9004, 9005};
  uint32_t main_markers = markers - markers / 15;
  for (uint32_t m = 0; m < main_markers; ++m) {
    char name[32];
    std::snprintf(name, sizeof name, "LIST/d%04d00.lst", kMainCodes[r.Below(30)]);
    const hzb::ListRow& h = headwords[r.Below(entries)];
    b->lists[name].push_back({h.record, 0, r.OneIn(20) ? h.offset + 1 : h.offset, ""});
  }
  for (uint32_t m = main_markers; m < markers; ++m) {
    b->lists[r.OneIn(2) ? "LIST/d900300.lst" : "LIST/d900500.lst"].push_back(
        {1 + r.Below(kanji_records), 0, r.OneIn(10) ? 0xFFFFFFFFu : 0u, ""});
  }

  // Kanji section with kana and KAKU keys.
  std::vector<hzb::Record>& kanji = b->record_files["DATA/KX02"];
  kanji.resize(kanji_records);
  for (hzb::Record& k : kanji) {
    Kanjis(r, &k.text, 1);
    k.text += "\r";
    uint32_t at = static_cast<uint32_t>(k.text.size());
    Put2(&k.text, 0x89B9);  // 音
    k.styles.push_back({at, 2, 5});
    for (int i = 0; i < 2; ++i) Put2(&k.text, Katakana(r));
    k.text += "\r";
    Prose(r, &k.text, 40);
  }
  std::vector<hzb::ListRow>& kana = b->lists["LIST/d300000.lst"];
  std::vector<hzb::ListRow>& kaku = b->lists["LIST/d310000.lst"];
  for (uint32_t i = 0; i < keys; ++i) {
    std::string key;
    Kana(r, &key, 2 + static_cast<int>(r.Below(4)));
    if (r.OneIn(5)) {
      Put2(&key, 0x8140);
      Kana(r, &key, 2);
    }
    kana.push_back({1 + static_cast<uint32_t>(static_cast<uint64_t>(i) * kanji_records / keys), 0, 0, key});
    kaku.push_back({1 + r.Below(kanji_records), 0, 0, std::to_string(1 + r.Below(30))});
  }

  // Four section files of a few hundred records.
  for (const char* name : {"DATA/KX03", "DATA/KX04", "DATA/KX05", "DATA/KX06"}) {
    std::vector<hzb::Record>& sec = b->record_files[name];
    sec.resize(section_records);
    for (hzb::Record& s : sec) {
      Prose(r, &s.text, 60);
      s.text += "\r";
      Prose(r, &s.text, 60);
      s.text += "\r";
      Styles(r, &s, 0, static_cast<uint32_t>(s.text.size()));
    }
  }
}

}  // namespace hzbench
