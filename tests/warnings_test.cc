// Damaged data: one warning line per file and kind, and pages, stdout and
// status as without the warning. Each damaged dictionary is converted next to
// an undamaged one that reads the same (the "repaired" source): the pages
// must be equal, and the undamaged one converts without a word on stderr.
#include <gtest/gtest.h>

#include <functional>

#include "data/bytes.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;
using hzt::WriteFile;

namespace {

// A section (KX05) of two records, a main text of two entries with its
// headword list, and a link-name table. Record 2's layout is one style span.
// The other pages have a record each, so that no page is left empty.
const char kSource[] =
    "@records DATA/KX05\n@record\n{i:One}\\r\n@record\nTwo {b:bold}\n"
    "@records DATA/KX01\n@record\n{@a}A\\rx\\r\\r{@b}B\\ry\\r\\r\n"
    "@list LIST/d100000.lst\na\nb\n"
    "@table DATA/KXLINK01.TBL\nfig1\nfig2\n"
    "@records DATA/KX02\n@record\nk\n"
    "@records DATA/KX03\n@record\nu\n@records DATA/KX04\n@record\nh\n"
    "@records DATA/KX06\n@record\no\n";

const char* const kPages[] = {"usage.html", "hanrei.html", "jo.html",
                              "oku.html",   "honbun.html", "kanji.html"};

struct Converted {
  hzt::RunResult run;
  std::vector<std::string> pages;
};

// Converts the dictionary in dict (a directory name ending in '/') into out.
Converted Convert(const std::string& dict, const std::string& out,
                  std::vector<std::string> options = {}) {
  options.push_back(dict);
  options.push_back(out);
  Converted c{hzt::RunHz(options), {}};
  for (const char* f : kPages) c.pages.push_back(ReadFile(out + "/" + f));
  // The output directory aside, the progress lines are the same.
  for (size_t at; (at = c.run.out.find(out)) != std::string::npos;) c.run.out.replace(at, out.size(), "OUT");
  return c;
}

void Put32(const std::string& path, size_t at, uint32_t v) {
  std::string bytes = ReadFile(path);
  hzt::PutU32LE(reinterpret_cast<unsigned char*>(&bytes[at]), v);
  WriteFile(path, bytes);
}

void Cut(const std::string& path, size_t n) { WriteFile(path, ReadFile(path).substr(0, n)); }

void Append(const std::string& path, const std::string& bytes) {
  WriteFile(path, ReadFile(path) + bytes);
}

struct Damage {
  const char* name;
  std::function<void(const std::string& dict)> damage;  // dict ends in '/'
  std::string repaired;  // the undamaged source that reads the same
  std::string warning;   // the line after "hz2html: warning: DICT"
  // A page that both dictionaries leave without entries: its warning (after
  // "hz2html: warning: DICT"), told after the damage.
  std::string emptied = "";
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return s.replace(at, from.size(), to);
}

// KX05.DAT: count at 0, index at 4 (record 1 "One\r" at 20, record 2
// "Two bold" at 24), 32 bytes. KX05.INF: index at 8, record 1's layout at
// 24 (60 bytes), record 2's at 84 (60 bytes: header, one style span).
std::vector<Damage> Damages() {
  const std::string source = kSource;
  const std::string no_markup_1 = Replace(source, "{i:One}", "One");
  const std::string no_markup_2 = Replace(source, "{b:bold}", "bold");
  const std::string no_records = Replace(source, "@record\n{i:One}\\r\n@record\nTwo {b:bold}\n", "");
  return {
      {"record file shorter than its header",
       [](const std::string& d) { WriteFile(d + "DATA/KX05.DAT", "\x02"); },
       no_records, "DATA\\KX05.DAT: file of 1 byte, shorter than its 4-byte header",
       "DATA\\KX05.DAT: empty, so jo.html has no entries"},
      {"negative record count", [](const std::string& d) { Put32(d + "DATA/KX05.DAT", 0, 0xFFFFFFFE); },
       no_records, "DATA\\KX05.DAT: negative count -2, read as 0",
       "DATA\\KX05.DAT: empty, so jo.html has no entries"},
      {"record count larger than the file holds",
       [](const std::string& d) { Put32(d + "DATA/KX05.DAT", 0, 1000); }, source,
       "DATA\\KX05.DAT: count 1000, the file holds 3 records"},
      {"record cut short", [](const std::string& d) { Cut(d + "DATA/KX05.DAT", 30); },
       Replace(source, "{b:bold}", "{b:bo}"),
       "DATA\\KX05.DAT: 1 of 2 records is cut short by the end of the file"},
      {"record past the end", [](const std::string& d) { Cut(d + "DATA/KX05.DAT", 24); },
       Replace(source, "Two {b:bold}\n", ""),
       "DATA\\KX05.DAT: 1 of 2 records lies past the end of the file"},
      {"layout file shorter than its header",
       [](const std::string& d) { WriteFile(d + "DATA/KX05.INF", std::string("\x02\0\0\0\0", 5)); },
       Replace(no_markup_1, "{b:bold}", "bold"),
       "DATA\\KX05.INF: file of 5 bytes, shorter than its 8-byte header"},
      {"layout record shorter than its header",
       [](const std::string& d) { Put32(d + "DATA/KX05.INF", 8 + 4, 20); }, no_markup_1,
       "DATA\\KX05.INF: layout record 1 is shorter than its 48-byte header"},
      {"layout table reaching past its record",
       [](const std::string& d) { Put32(d + "DATA/KX05.INF", 84 + 12, 24); }, source,
       "DATA\\KX05.INF: layout record 2 has tables reaching past the record (clipped)"},
      {"record file holding more records than its layout file",
       [](const std::string& d) { Put32(d + "DATA/KX05.INF", 0, 1); }, no_markup_2,
       "DATA\\KX05.INF: the record file holds 2 records, the layout file 1"},
      {"link-name table with a partial entry",
       [](const std::string& d) { Append(d + "DATA/KXLINK01.TBL", "xyz"); }, source,
       "DATA\\KXLINK01.TBL: size 35 is not a whole number of 16-byte entries (2 entries and 3 "
       "bytes)"},
      {"list shorter than its header",
       [](const std::string& d) { Cut(d + "LIST/d100000.lst", 20); },
       Replace(source, "@list LIST/d100000.lst\na\nb\n", "@list LIST/d100000.lst\n"),
       "LIST\\d100000.lst: file of 20 bytes, shorter than its 54-byte header",
       "LIST\\d100000.lst: empty, so honbun.html has no entries"},
      {"negative list count", [](const std::string& d) { Put32(d + "LIST/d100000.lst", 42, 0xFFFFFFFF); },
       Replace(source, "@list LIST/d100000.lst\na\nb\n", "@list LIST/d100000.lst\n"),
       "LIST\\d100000.lst: negative count -1, read as 0",
       "LIST\\d100000.lst: empty, so honbun.html has no entries"},
      {"list count larger than its entries",
       [](const std::string& d) { Put32(d + "LIST/d100000.lst", 42, 5); }, source,
       "LIST\\d100000.lst: count 5, the file holds 2 entries"},
      {"list ending inside an entry",
       [](const std::string& d) { Append(d + "LIST/d100000.lst", std::string(10, 'x')); }, source,
       "LIST\\d100000.lst: the file ends 10 bytes into an entry, after 2 whole entries"},
      {"headword entries pointing to no text",
       [](const std::string& d) {
         hzt::Build(Replace(kSource, "a\nb\n", "a\nb\n9:0\n1:99\n"), d);
       },
       source, "LIST\\d100000.lst: 2 entries point to no text, the first 0009-0001"},
      {"directory in a table's place",
       [](const std::string& d) { ASSERT_TRUE(hzt::MakeDir(d + "DATA/KXLINK02.TBL")); },
       source, "DATA\\KXLINK02.TBL: cannot be read: not a regular file"},
  };
}

TEST(Warnings, OneLinePerKindOfDamagePagesUnchanged) {
  for (const Damage& c : Damages()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string damaged = dir.path() + "/damaged/", repaired = dir.path() + "/repaired/";
    hzt::Build(kSource, damaged);
    c.damage(damaged);
    hzt::Build(c.repaired, repaired);
    const Converted d = Convert(damaged, dir / "out-damaged");
    const Converted r = Convert(repaired, dir / "out-repaired");
    const auto emptied = [&c](const std::string& dict) {
      return c.emptied.empty() ? "" : "hz2html: warning: " + dict + c.emptied + "\n";
    };
    EXPECT_EQ(d.run.err, "hz2html: warning: " + damaged + c.warning + "\n" + emptied(damaged));
    EXPECT_EQ(r.run.err, emptied(repaired));
    EXPECT_EQ(d.run.status, 0);
    EXPECT_EQ(r.run.status, 0);
    for (size_t i = 0; i < d.pages.size(); ++i) EXPECT_EQ(d.pages[i], r.pages[i]) << kPages[i];
    EXPECT_EQ(d.run.out, r.run.out);
    // --strict: the same pages, and status 3.
    const Converted s = Convert(damaged, dir / "out-strict", {"--strict"});
    EXPECT_EQ(s.run.status, 3);
    EXPECT_EQ(s.pages, d.pages);
    EXPECT_EQ(s.run.err, d.run.err);
  }
}

TEST(Warnings, AtMostTwentyLines) {
  // 26 marker lists of the main text, each with a count larger than its
  // entries.
  std::string source = kSource;
  for (int code : {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012,
                   2013, 2014, 4000, 4001, 4002, 4003, 4004, 4005, 5000, 6000, 7000, 8000, 9000}) {
    source += "@list LIST/d" + std::to_string(code) + "00.lst\n1:0\n";
  }
  TempDir dir;
  const std::string dict = dir.path() + "/d/";
  hzt::Build(source, dict);
  for (const std::string& name : hzt::ListDir(dict + "LIST")) {
    if (name != "d100000.lst") Put32(dict + "LIST/" + name, 42, 2);
  }
  const Converted c = Convert(dict, dir / "out", {"--strict"});
  EXPECT_EQ(c.run.status, 3);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = c.run.err.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(c.run.err.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 21u) << c.run.err;
  EXPECT_EQ(lines[0], "hz2html: warning: " + dict + "LIST\\d200000.lst: count 2, the file holds 1 entry");
  EXPECT_EQ(lines[19], "hz2html: warning: " + dict + "LIST\\d400400.lst: count 2, the file holds 1 entry");
  EXPECT_EQ(lines[20], "hz2html: warning: 6 more problems not shown");
}

TEST(Warnings, VerboseNamesMissingFilesAndSumsUpPages) {
  TempDir dir;
  const Converted plain = Convert(hzt::SampleDict() + "/", dir / "plain", {"--strict"});
  EXPECT_EQ(plain.run.status, 0);
  EXPECT_EQ(plain.run.err, "");
  const Converted v = Convert(hzt::SampleDict() + "/", dir / "verbose", {"--verbose"});
  EXPECT_EQ(v.run.status, 0);
  EXPECT_EQ(v.pages, plain.pages);
  EXPECT_EQ(v.run.out, plain.run.out);
  const std::string in = hzt::SampleDict() + "/";
  const std::string& err = v.run.err;
  // The sample has no d200100.lst: named once, though two pages could read
  // the marker lists.
  EXPECT_NE(err.find("hz2html: " + in + "LIST\\d200100.lst: missing\n"), std::string::npos);
  EXPECT_EQ(err.find("d900300.lst: missing"), std::string::npos);
  // The figures of each page, after the page; they are what the pages hold
  // (see the golden files).
  EXPECT_NE(err.find("hz2html: usage.html: 2 entries\nhz2html: hanrei.html: 1 entry\n"),
            std::string::npos);
  EXPECT_NE(err.find("hz2html: honbun.html: 7 entries, 11 keys, 7 markers, 1 unknown link kind, "
                     "5 character references of 4 private-area codes\n"),
            std::string::npos);
  EXPECT_NE(err.find("hz2html: kanji.html: 3 entries, 5 keys, 3 markers (1 passed over)\n"),
            std::string::npos);
  EXPECT_LT(err.find("honbun.html: 7 entries"), err.find("kanji.html: 3 entries"));
}

}  // namespace
