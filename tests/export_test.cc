// The StarDict and Yomitan dictionaries: the pieces (word order, dictzip,
// glyph pictures, how gaiji and pictures appear), the exact article and
// content of an entry, a dictionary of awkward corners proved by both
// checkers, checkers that find what is wrong, and the sample end to end,
// read by sdcv.
#include <gtest/gtest.h>
#include <png.h>
#include <rapidjson/document.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <set>

#include "stardict/dictzip.h"
#include "stardict/stardict_check.h"
#include "stardict/stardict_dictionary.h"
#include "tests/book_support.h"
#include "tests/test_support.h"
#include "unicode/glyph_png.h"
#include "unicode/unicode_book.h"
#include "yomitan/yomitan_check.h"
#include "yomitan/yomitan_dictionary.h"

using hzt::S;
using hzt::TempDir;

namespace {

// Writes files under dir, making the directories they stand in.
void WriteFiles(const std::string& dir, const std::vector<hz::BookFile>& files) {
  hzt::MakeDir(dir);
  for (const hz::BookFile& f : files) {
    for (size_t slash = f.path.find('/'); slash != std::string::npos; slash = f.path.find('/', slash + 1)) {
      hzt::MakeDir(dir + "/" + f.path.substr(0, slash));
    }
    hzt::WriteFile(dir + "/" + f.path, f.bytes);
  }
}

std::string FileOf(const std::vector<hz::BookFile>& files, const std::string& path) {
  for (const hz::BookFile& f : files) {
    if (f.path == path) return f.bytes;
  }
  return "";
}

// The words of a .idx or .syn file, in order.
std::vector<std::string> WordsOf(const std::string& list, size_t numbers) {
  std::vector<std::string> words;
  for (size_t at = 0; at < list.size();) {
    const size_t nul = list.find('\0', at);
    words.push_back(list.substr(at, nul - at));
    at = nul + 1 + numbers;
  }
  return words;
}

// An entry of honbun.html (Shift-JIS): heading, body and keys.
std::string Entry(const std::string& id, const std::string& heading, const std::string& body,
                  const std::vector<std::string>& keys = {}) {
  std::string e = "<dt id=\"" + id + "\">" + heading + "</dt>\r\n<dd>" + body + "</dd>\r\n\r\n";
  for (const std::string& k : keys) e += S("<key type=\"表記\">") + k + "</key>\r\n";
  return e;
}

// The dictionary of awkward corners: an unnamed and a named gaiji, a
// reference into the middle of an entry (to an anchor), a picture that is
// missing, an empty key, a 300-byte word, and two entries with one heading.
hz::BookModel AwkwardModel() {
  hzt::TestPages pages;
  std::string long_word;
  for (int i = 0; i < 100; ++i) long_word += S("長");  // 300 bytes in UTF-8
  pages.honbun =
      Entry("0001-0001", S("あい【愛】"),
            "<b>" + S("名") + "</b>" + S("いつくしみ") + "&#xF040;&#xF041;<i>x &amp; y</i><sub>2</sub><br />\r\n" +
                "<a name=\"0001-ab01\"></a>" + S("例") + "<a href=\"#0001-0002\">" + S("→あいする") +
                "</a><img src=\"FRACTAL/none.jpg\" alt=\"" + S("図") + "\">",
            {"", long_word}) +
      Entry("0001-0002", S("あいする【愛する】"), "<a href=\"#0001-ab01\">" + S("上の例") + "</a>") +
      Entry("0001-0003", S("あい【愛】"), S("二つ目"));
  std::map<uint32_t, hz::GaijiName> names;
  names[0xF041].character = 0x9AD9;  // 髙
  return hzt::ModelOf(pages, nullptr, names);
}

TEST(Export, StarDictsOrder) {
  // Without case first, ASCII letters only; then bytewise, capitals first.
  EXPECT_LT(hz::StarDictCompare("abc", "ABD"), 0);
  EXPECT_LT(hz::StarDictCompare("ABC", "abc"), 0);
  EXPECT_EQ(hz::StarDictCompare("AT&T", "AT&T"), 0);
  EXPECT_LT(hz::StarDictCompare("at", "AT&T"), 0);          // a beginning first
  EXPECT_LT(hz::StarDictCompare("Zebra", "\xE3\x81\x82"), 0);  // ASCII before あ
  // '_' (0x5F) comes before 'Z', which counts as 'z' (0x7A); strcmp's order
  // alone would put it after.
  EXPECT_LT(hz::StarDictCompare("_", "Z"), 0);
  EXPECT_LT(hz::StarDictCompare("[x]", "a"), 0);
  // Past an 8-byte stretch: a difference of case does not decide while a
  // later byte differs.
  EXPECT_LT(hz::StarDictCompare("abcdefghijklmnOp", "abcdefghijklmnoq"), 0);
  EXPECT_LT(hz::StarDictCompare("abcdefghijklmnoP", "abcdefghijklmnop"), 0);
}

TEST(Export, DictzipIsGzipReadChunkByChunk) {
  for (size_t size : {size_t{0}, size_t{1}, hz::kDictzipChunk - 1, hz::kDictzipChunk, hz::kDictzipChunk + 1,
                      3 * hz::kDictzipChunk + 77}) {
    std::string data;
    uint32_t x = 12345;
    for (size_t i = 0; i < size; ++i) {
      x = x * 1103515245 + 12345;
      data += i % 3 ? static_cast<char>('a' + (x >> 16) % 5) : static_cast<char>(x >> 24);
    }
    std::string one, two, error;
    ASSERT_TRUE(hz::Dictzip(data, 1, &one, &error)) << error;
    ASSERT_TRUE(hz::Dictzip(data, 2, &two, &error)) << error;
    EXPECT_EQ(one, two) << "the same file however many threads";
    // In pieces (a chunk across the joint): the same file again.
    std::string pieces;
    const std::string_view all(data);
    ASSERT_TRUE(hz::Dictzip({all.substr(0, size / 3), all.substr(size / 3)}, 2, &pieces, &error));
    EXPECT_EQ(pieces, one) << size;
    // gzip as zlib reads it, whole.
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, 16 + MAX_WBITS), Z_OK);
    std::string whole(size + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(one.data());
    z.avail_in = static_cast<uInt>(one.size());
    z.next_out = reinterpret_cast<Bytef*>(whole.data());
    z.avail_out = static_cast<uInt>(whole.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << size;
    whole.resize(whole.size() - z.avail_out);
    inflateEnd(&z);
    EXPECT_EQ(whole, data) << size;
    // The chunk table, and the chunks read apart.
    EXPECT_EQ(one.substr(12, 2), "RA");
    std::string back;
    ASSERT_TRUE(hz::ReadDictzip(one, &back, &error)) << error;
    EXPECT_EQ(back, data);
  }
  std::string text, file, back, error;
  for (int i = 0; i < 20000; ++i) text += "entry " + std::to_string(i * 7919 % 10007) + ", ";
  ASSERT_TRUE(hz::Dictzip(text, 2, &file, &error));
  std::string damaged = file;
  damaged[damaged.size() / 2] ^= 0x40;  // a chunk's data
  EXPECT_FALSE(hz::ReadDictzip(damaged, &back, &error));
  damaged = file;
  damaged[damaged.size() - 8] ^= 1;  // the checksum
  EXPECT_FALSE(hz::ReadDictzip(damaged, &back, &error));
  EXPECT_EQ(error, "the inflated articles do not match the file's length and checksum");
  EXPECT_FALSE(hz::ReadDictzip(std::string("\x1F\x8B\x08\x00 not a dictzip file at all", 28), &back, &error));
  EXPECT_EQ(error, "a gzip file without dictzip's chunk table");
}

// A PNG's pixels as rows of '#' (the dots) and '.' (transparent).
std::string Pixels(const std::string& png_file, int* width) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png_file.data(), png_file.size())) return "unreadable";
  image.format = PNG_FORMAT_GA;
  std::string pixels(PNG_IMAGE_SIZE(image), '\0');
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return "unreadable";
  *width = static_cast<int>(image.width);
  std::string rows;
  for (size_t i = 0; i < pixels.size(); i += 2) {
    rows += pixels[i + 1] == 0 ? '.' : pixels[i] == 0 ? '#' : '?';
    if ((i / 2 + 1) % image.width == 0) rows += '\n';
  }
  return rows;
}

TEST(Export, GlyphPictures) {
  hz::Glyph16 wide;
  wide.rows[0] = 0x8001;
  wide.rows[15] = 0xFFFF;
  int width = 0;
  std::string rows = Pixels(hz::GlyphPng(wide), &width);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(rows.substr(0, 17), "#..............#\n");
  EXPECT_EQ(rows.substr(15 * 17), "################\n");
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '#'), 18);
  hz::Glyph16 narrow;
  narrow.width = 8;
  narrow.rows[2] = 0x0810;  // the middle eight columns: its first and last dots
  rows = Pixels(hz::GlyphPng(narrow), &width);
  EXPECT_EQ(width, 8);
  EXPECT_EQ(rows.substr(2 * 9, 9), "#......#\n");
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '#'), 2);
}

TEST(Export, CharactersWordsAndPicturesInUnicode) {
  hzt::TestPages pages;
  pages.honbun = Entry("0001-0001", "&#xF040;&#xF041;&#xF042;&#xF043;", S("本文"), {S("かぎ")}) +
                 Entry("0001-0002", "", "<img src=\"../up.jpg\" alt=\"\">") + Entry("0001-0003", "&#xF040;", "x");
  std::map<uint32_t, hz::GaijiName> names;
  names[0xF041].character = 0x9AD9;  // a character
  names[0xF042].alt = "(a)";         // only an alt text
  names[0xF043].character = 0xE000;  // a private-use character: no use to a reader
  const hz::BookModel m = hzt::ModelOf(pages, nullptr, names);
  const hz::UnicodeBook book(m);
  ASSERT_EQ(m.gaiji.size(), 4u);
  EXPECT_EQ(book.Gaiji(0).picture, "gaiji/F040.png");
  EXPECT_EQ(book.Gaiji(0).code, "F040");
  EXPECT_EQ(book.Gaiji(1).text, "\xE9\xAB\x99");
  EXPECT_EQ(book.Gaiji(1).picture, "");
  EXPECT_EQ(book.Gaiji(2).text, "(a)");
  EXPECT_EQ(book.Gaiji(3).picture, "gaiji/F043.png");
  ASSERT_EQ(book.pictures().size(), 2u);
  EXPECT_EQ(book.pictures()[1].path, "gaiji/F043.png");
  // Headwords: a heading's text (a picture left out); no text: the first
  // search word; neither: the part's number.
  EXPECT_EQ(book.Headword(0), "\xE9\xAB\x99(a)");
  EXPECT_EQ(book.Headword(2), "(3)");
  // Words: private-use characters left out, spaces trimmed, cut whole.
  EXPECT_EQ(hz::ExportWord(" a\xEE\x80\x80" "b\xE3\x80\x80"), "ab");
  std::string word;
  for (int i = 0; i < 100; ++i) word += "\xE9\x95\xB7";  // 300 bytes
  EXPECT_EQ(hz::ExportWord(word).size(), 255u);
  word += "x";
  std::string cut;
  for (int i = 0; i < 85; ++i) cut += "\xE9\x95\xB7";
  EXPECT_EQ(hz::ExportWord(word.substr(1)), cut);  // the broken first character left out
  EXPECT_TRUE(hz::AllExportable("\xE3\x81\x82 a\n"));
  EXPECT_FALSE(hz::AllExportable("\xEF\xBF\xBD"));  // U+FFFD
  EXPECT_FALSE(hz::AllExportable("\xEE\x80\x80"));  // U+E000
  EXPECT_FALSE(hz::AllExportable("\xE3\x81"));      // cut short
}

TEST(Export, PicturesKeptUnderSafeNames) {
  TempDir dir;
  hzt::TestPages pages;
  pages.honbun = Entry("0001-0001", "a",
                       "<img src=\"FRACTAL/f1.JPG\" alt=\"\"><img src=\"../up.jpg\" alt=\"\">"
                       "<img src=\"PIC/f2.dat\" alt=\"\"><img src=\"PIC/none.jpg\" alt=\"c\">");
  hz::BookModel m = hzt::ModelOf(pages);
  ASSERT_EQ(m.images.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    m.images[static_cast<size_t>(i)].format = hz::ImageFormat::kJpeg;
    m.images[static_cast<size_t>(i)].data = "\xFF\xD8 picture";
  }
  const hz::UnicodeBook book(m);
  EXPECT_EQ(book.PicturePath(0), "FRACTAL/f1.JPG");
  EXPECT_EQ(book.PicturePath(1), "pictures/2.jpg");  // outside the directory
  EXPECT_EQ(book.PicturePath(2), "pictures/3.jpg");  // a name that does not say JPEG
  EXPECT_EQ(book.PicturePath(3), "");                // missing
  std::string article;
  hz::StarDictArticles(book).Append(0, &article);
  EXPECT_EQ(article,
            "<b>a</b><br><img src=\"FRACTAL/f1.JPG\" alt=\"\"><img src=\"pictures/2.jpg\" alt=\"\">"
            "<img src=\"pictures/3.jpg\" alt=\"\">\xE3\x80\x94" "c\xE3\x80\x95");
}

TEST(Export, AnEntrysArticleAndContent) {
  const hz::BookModel m = AwkwardModel();
  const hz::UnicodeBook book(m);
  const hz::StarDictArticles html(book);
  std::string article;
  html.Append(0, &article);
  EXPECT_EQ(article,
            "<b>あい【愛】</b><br><b>名</b>いつくしみ<img src=\"gaiji/F040.png\" alt=\"F040\" "
            "style=\"height:1em;vertical-align:text-bottom\">髙<i>x &amp; y</i><sub>2</sub><br>例"
            "<a href=\"bword://あいする【愛する】\">→あいする</a>〔図〕");
  article.clear();
  html.Append(1, &article);  // a reference to an anchor: the word of the entry it stands in
  EXPECT_EQ(article, "<b>あいする【愛する】</b><br><a href=\"bword://あい【愛】\">上の例</a>");
  const std::vector<std::string> queries = hz::YomitanQueries(book);
  EXPECT_EQ(hz::YomitanContent(book, queries, 0),
            "[{\"tag\":\"div\",\"style\":{\"fontWeight\":\"bold\"},\"content\":[\"あい【愛】\"]},"
            "{\"tag\":\"span\",\"style\":{\"fontWeight\":\"bold\"},\"content\":[\"名\"]},\"いつくしみ\","
            "{\"tag\":\"img\",\"path\":\"gaiji/F040.png\",\"alt\":\"F040\",\"width\":1,\"sizeUnits\":\"em\","
            "\"appearance\":\"monochrome\",\"background\":false,\"collapsible\":false,\"verticalAlign\":\"text-bottom\"},"
            "\"髙\",{\"tag\":\"span\",\"style\":{\"fontStyle\":\"italic\"},\"content\":[\"x & y\"]},"
            "{\"tag\":\"span\",\"style\":{\"verticalAlign\":\"sub\",\"fontSize\":\"small\"},\"content\":[\"2\"]},"
            "{\"tag\":\"br\"},\"例\",{\"tag\":\"a\",\"href\":\"?query=あいする【愛する】&wildcards=off\","
            "\"content\":[\"→あいする\"]},\"〔図〕\"]");
  // Rows: the reading and the kanji form; the empty key is none; the long
  // word cut whole.
  const std::vector<std::string> terms = hz::YomitanTerms(book, 0);
  ASSERT_EQ(terms.size(), 3u);
  EXPECT_EQ(terms[0], "あい");
  EXPECT_EQ(terms[1], "愛");
  EXPECT_EQ(terms[2].size(), 255u);
  EXPECT_EQ(hz::YomitanReading(book, 0), "あい");
}

TEST(Export, AwkwardCornersProvedInBothFormats) {
  TempDir dir;
  const hz::BookModel m = AwkwardModel();
  const hz::UnicodeBook book(m);
  hz::StarDictDictionary dict;
  std::string error;
  ASSERT_TRUE(hz::WriteStarDict(book, "the test dictionary", &dict, &error)) << error;
  WriteFiles(dir / "stardict", dict.files);
  hz::ExportCheck r = hz::CheckStarDict(dir / "stardict", book);
  EXPECT_EQ(r.error, "");
  EXPECT_TRUE(r.misses.empty()) << r.misses[0];
  EXPECT_EQ(r.articles, static_cast<int64_t>(m.parts.size()));
  EXPECT_EQ(r.links, 2);
  // Two entries with one heading: two words of .idx; the long word in .syn.
  const std::vector<std::string> idx = WordsOf(FileOf(dict.files, "harukaze.idx"), 8);
  EXPECT_EQ(std::count(idx.begin(), idx.end(), "あい【愛】"), 2);
  EXPECT_TRUE(std::is_sorted(idx.begin(), idx.end(), [](const std::string& a, const std::string& b) {
    return hz::StarDictCompare(a, b) < 0;
  }));
  const std::vector<std::string> syn = WordsOf(FileOf(dict.files, "harukaze.syn"), 4);
  EXPECT_EQ(std::count(syn.begin(), syn.end(), "あい"), 2);
  EXPECT_EQ(std::count_if(syn.begin(), syn.end(), [](const std::string& w) { return w.size() == 255; }), 1);
  EXPECT_EQ(FileOf(dict.files, "harukaze.ifo"),
            "StarDict's dict ifo file\nversion=3.0.0\nbookname=" + m.title + "\nwordcount=" +
                std::to_string(m.parts.size()) + "\nsynwordcount=" + std::to_string(syn.size()) +
                "\nidxfilesize=" + std::to_string(FileOf(dict.files, "harukaze.idx").size()) +
                "\nsametypesequence=h\ndescription=the test dictionary\n");
  EXPECT_NE(FileOf(dict.files, "res/gaiji/F040.png"), "");
  EXPECT_EQ(FileOf(dict.files, "res/gaiji/F041.png"), "");  // named: a character

  hz::YomitanInfo info;
  info.revision = "test";
  info.description = "the test dictionary";
  hz::YomitanCounts counts;
  ASSERT_TRUE(hz::WriteYomitan(book, info, dir / "harukaze.zip", &counts, &error)) << error;
  EXPECT_EQ(counts.pictures, 1);
  r = hz::CheckYomitan(dir / "harukaze.zip", book);
  EXPECT_EQ(r.error, "");
  EXPECT_TRUE(r.misses.empty()) << r.misses[0];
  EXPECT_EQ(r.links, 2);
  EXPECT_EQ(r.articles, counts.rows);
}

// The text of a zip entry.
std::string ZipEntry(const std::string& zip, const std::string& name) {
  int code = 0;
  zip_t* z = zip_open(zip.c_str(), ZIP_RDONLY, &code);
  if (!z) return "";
  std::string bytes;
  zip_stat_t st;
  if (zip_stat(z, name.c_str(), 0, &st) == 0) {
    bytes.resize(st.size);
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (f) {
      zip_fread(f, bytes.data(), st.size);
      zip_fclose(f);
    }
  }
  zip_close(z);
  return bytes;
}

void ReplaceZipEntry(const std::string& zip, const std::string& name, const std::string& bytes) {
  int code = 0;
  zip_t* z = zip_open(zip.c_str(), 0, &code);
  ASSERT_NE(z, nullptr);
  zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
  ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE), 0);
  ASSERT_EQ(zip_close(z), 0);
}

bool HasMiss(const hz::ExportCheck& r, const std::string& part) {
  return std::any_of(r.misses.begin(), r.misses.end(), [&](const std::string& m) { return m.find(part) != std::string::npos; });
}

TEST(Export, CheckersFindWhatIsWrong) {
  TempDir dir;
  const hz::BookModel m = AwkwardModel();
  const hz::UnicodeBook book(m);
  hz::StarDictDictionary dict;
  std::string error;
  ASSERT_TRUE(hz::WriteStarDict(book, "d", &dict, &error));
  const auto damaged_stardict = [&](const std::string& file, const std::string& bytes) {
    std::vector<hz::BookFile> files = dict.files;
    for (hz::BookFile& f : files) {
      if (f.path == file) f.bytes = bytes;
    }
    TempDir d;
    WriteFiles(d / "s", files);
    return hz::CheckStarDict(d / "s", book);
  };
  // A synonym's entry gone (its count kept in step).
  std::string syn = FileOf(dict.files, "harukaze.syn");
  const size_t first = syn.find('\0') + 5;
  std::vector<hz::BookFile> shorter = dict.files;
  hz::ExportCheck r = damaged_stardict("harukaze.syn", syn.substr(first));
  EXPECT_TRUE(HasMiss(r, ".syn: ")) << r.misses.size();
  EXPECT_TRUE(HasMiss(r, "not found"));
  // Two words of .idx swapped: out of order, and neither finds its article.
  const std::string idx = FileOf(dict.files, "harukaze.idx");
  const size_t second = idx.find('\0') + 9;
  const size_t third = idx.find('\0', second) + 9;
  r = damaged_stardict("harukaze.idx", idx.substr(second, third - second) + idx.substr(0, second) + idx.substr(third));
  EXPECT_TRUE(HasMiss(r, "is out of StarDict's order"));
  // An article changed.
  std::string articles, dz;
  ASSERT_TRUE(hz::ReadDictzip(FileOf(dict.files, "harukaze.dict.dz"), &articles, &error));
  articles.replace(articles.find("二つ目"), 3, "三");
  ASSERT_TRUE(hz::Dictzip(articles, 1, &dz, &error));
  r = damaged_stardict("harukaze.dict.dz", dz);
  EXPECT_TRUE(HasMiss(r, "entry 3 (あい【愛】): its headword does not find its article"));
  // A picture gone.
  std::vector<hz::BookFile> files;
  for (const hz::BookFile& f : dict.files) {
    if (f.path.compare(0, 4, "res/") != 0) files.push_back(f);
  }
  WriteFiles(dir / "nopictures", files);
  r = hz::CheckStarDict(dir / "nopictures", book);
  ASSERT_EQ(r.misses.size(), 1u);
  EXPECT_EQ(r.misses[0], "the picture res/gaiji/F040.png: missing");

  // Yomitan: a row's word changed, a row of seven items, an unknown tag, a
  // picture gone.
  hz::YomitanInfo info;
  hz::YomitanCounts counts;
  const std::string zip = dir / "harukaze.zip";
  ASSERT_TRUE(hz::WriteYomitan(book, info, zip, &counts, &error));
  const std::string bank = ZipEntry(zip, "term_bank_1.json");
  ASSERT_NE(bank.find("[\"愛する\""), std::string::npos);
  std::string changed = bank;
  changed.replace(changed.find("[\"愛する\""), 11, "[\"恋する\"");
  ReplaceZipEntry(zip, "term_bank_1.json", changed);
  r = hz::CheckYomitan(zip, book);
  EXPECT_TRUE(HasMiss(r, "entry 2 (あいする【愛する】): search word \"愛する\" has no row"));
  changed = bank;
  changed.replace(changed.rfind(",\"\"]"), 3, "");
  ReplaceZipEntry(zip, "term_bank_1.json", changed);
  r = hz::CheckYomitan(zip, book);
  EXPECT_TRUE(HasMiss(r, "term_bank_1.json: a row of fewer than eight items"));
  changed = bank;
  changed.replace(changed.find("\"tag\":\"br\""), 10, "\"tag\":\"hr\"");
  ReplaceZipEntry(zip, "term_bank_1.json", changed);
  r = hz::CheckYomitan(zip, book);
  EXPECT_TRUE(HasMiss(r, "term_bank_1.json: the tag \"hr\""));
  ReplaceZipEntry(zip, "term_bank_1.json", bank);
  r = hz::CheckYomitan(zip, book);
  EXPECT_TRUE(r.misses.empty()) << r.misses[0];
  int code = 0;
  zip_t* z = zip_open(zip.c_str(), 0, &code);
  ASSERT_EQ(zip_delete(z, static_cast<zip_uint64_t>(zip_name_locate(z, "gaiji/F040.png", 0))), 0);
  ASSERT_EQ(zip_close(z), 0);
  r = hz::CheckYomitan(zip, book);
  ASSERT_EQ(r.misses.size(), 1u);
  EXPECT_EQ(r.misses[0], "the picture gaiji/F040.png: not in the zip");
}

// The sample, converted, with F041 named 髙 and a picture beside the pages.
struct SampleExports {
  TempDir dir;
  hzt::Spawned run;
  SampleExports() {
    const std::string out = dir / "out";
    if (hzt::RunHz({"--gaiji", hzt::SampleDict(), out}).status != 0) return;
    std::string table = hzt::ReadFile(out + "/gaiji.tsv");
    const size_t row = table.find("F041\t");
    const size_t end = table.find("\r\n", row);
    table.replace(end, 0, "U+9AD9\t");
    table.replace(table.find("\t\t", row), 2, "\t");
    hzt::WriteFile(out + "/gaiji.tsv", table);
    hzt::MakeDir(out + "/FRACTAL");
    hzt::WriteFile(out + "/FRACTAL/fig001.jpg", "\xFF\xD8\xFF\xE0 a picture of sorts");
    run = hzt::Spawn({HZ_BOOK_PROGRAM, "--quiet", "--stardict", "--yomitan", "--pages", out});
  }
  std::string out() const { return dir / "out"; }
};

TEST(Export, SampleReadBySdcvAndOfYomitansShape) {
  SampleExports sample;
  ASSERT_EQ(sample.run.status, 0) << sample.run.err;
  const std::string stardict = sample.out() + "/stardict";
  EXPECT_TRUE(hzt::Exists(sample.out() + "/book/catalogs"));
  EXPECT_TRUE(hzt::Exists(stardict + "/res/FRACTAL/fig001.jpg"));
  EXPECT_EQ(hzt::Spawn({"dictzip", "-t", stardict + "/harukaze.dict.dz"}).status, 0);
  const auto sdcv = [&](const std::string& word) {
    return hzt::Spawn({"sdcv", "-n", "--utf8-output", "--data-dir", stardict, word}).out;
  };
  // A synonym, a word with a named gaiji and capitals, a heading.
  std::string found = sdcv("いつくしむ");
  EXPECT_NE(found.find("<b>訓</b>いつくしむ"), std::string::npos) << found;
  found = sdcv("AT&T髙");
  EXPECT_NE(found.find("<b>アイ・ビー・エム</b><br><img src=\"FRACTAL/fig001.jpg\" alt=\"図\">米国の会社。"),
            std::string::npos)
      << found;
  EXPECT_NE(found.find("《AT&amp;T髙》"), std::string::npos) << found;
  found = sdcv("あいする【愛する】【ab愛】");
  EXPECT_NE(found.find("<a href=\"bword://あい【愛】\">上の例</a>"), std::string::npos) << found;
  EXPECT_NE(sdcv("AT&T").find("Nothing similar"), std::string::npos);  // the word is "AT&T髙"

  const std::string zip = sample.out() + "/yomitan/harukaze.zip";
  rapidjson::Document index;
  index.Parse(ZipEntry(zip, "index.json").c_str());
  ASSERT_TRUE(index.IsObject());
  EXPECT_STREQ(index["title"].GetString(), "春風典");
  EXPECT_EQ(index["format"].GetInt(), 3);
  EXPECT_TRUE(index["sequenced"].GetBool());
  EXPECT_STREQ(index["sourceLanguage"].GetString(), "ja");
  EXPECT_STREQ(index["targetLanguage"].GetString(), "ja");
  EXPECT_EQ(ZipEntry(zip, "styles.css"), "");
  std::set<std::string> terms;
  for (int bank = 1;; ++bank) {
    const std::string text = ZipEntry(zip, "term_bank_" + std::to_string(bank) + ".json");
    if (text.empty()) break;
    rapidjson::Document rows;
    rows.Parse(text.c_str());
    ASSERT_TRUE(rows.IsArray());
    for (const rapidjson::Value& row : rows.GetArray()) {
      ASSERT_TRUE(row.IsArray() && row.Size() == 8);
      EXPECT_TRUE(row[0].IsString() && row[1].IsString() && row[2].IsString() && row[3].IsString());
      EXPECT_TRUE(row[4].IsInt() && row[4].GetInt() == 0);
      ASSERT_TRUE(row[5].IsArray() && row[5].Size() == 1);
      EXPECT_STREQ(row[5][0]["type"].GetString(), "structured-content");
      EXPECT_TRUE(row[5][0]["content"].IsArray());
      EXPECT_TRUE(row[6].IsUint() && row[7].IsString());
      terms.insert(std::string(row[0].GetString()) + "/" + row[1].GetString() + "/" + std::to_string(row[6].GetUint()));
    }
  }
  EXPECT_EQ(terms.count("AT&T髙/アイ・ビー・エム/4"), 1u);
  EXPECT_EQ(terms.count("愛/あい/1"), 1u);
  EXPECT_EQ(terms.count("あい//1"), 1u);
  EXPECT_EQ(ZipEntry(zip, "kanji_bank_1.json"),
            "[[\"愛\",\"\",\"あい いつくしむ\",\"\",[\"音アイ\",\"訓いつくしむ\"],{}],"
            "[\"哀\",\"\",\"あい あわれ\",\"\",[\"音アイ\",\"訓あわれ\"],{}],"
            "[\"紅\",\"\",\"こうこうこうこうこうこうこうこうこうこうこ\",\"\",[\"音コウ\"],{}]]");
  EXPECT_NE(ZipEntry(zip, "FRACTAL/fig001.jpg"), "");
  EXPECT_NE(ZipEntry(zip, "gaiji/F040.png"), "");
  EXPECT_EQ(ZipEntry(zip, "gaiji/F041.png"), "");
}

TEST(Export, CommandLineAndPlacing) {
  TempDir dir;
  const std::string out = dir / "out";
  ASSERT_EQ(hzt::RunHz({"--gaiji", hzt::SampleDict(), out}).status, 0);
  hzt::Spawned s = hzt::Spawn({HZ_BOOK_PROGRAM, "--no-epwing", "--pages", out});
  EXPECT_EQ(s.status, 255);  // nothing to write
  EXPECT_NE(s.err.find("Usage: hz2book"), std::string::npos);
  // An earlier dictionary is replaced whole once the new one is proved.
  ASSERT_TRUE(hzt::MakeDir(out + "/stardict"));
  hzt::WriteFile(out + "/stardict/earlier", "x");
  s = hzt::Spawn({HZ_BOOK_PROGRAM, "--no-epwing", "--stardict", "--pages", out});
  EXPECT_EQ(s.status, 0) << s.err;
  EXPECT_FALSE(hzt::Exists(out + "/book"));
  EXPECT_FALSE(hzt::Exists(out + "/stardict/earlier"));
  EXPECT_TRUE(hzt::Exists(out + "/stardict/harukaze.ifo"));
  EXPECT_FALSE(hzt::Exists(out + "/yomitan"));
  EXPECT_NE(s.err.find("/stardict: 14 articles, 39 words, 4 links, 4 pictures: all found"), std::string::npos) << s.err;
  const std::vector<std::string> left = hzt::ListDir(out);
  EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const std::string& n) { return n.compare(0, 6, ".book-") == 0; }));
}

}  // namespace
