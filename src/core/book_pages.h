// The book's six pages, in the order in which the run writes them and the
// project file names them as the book's sources, and the dictionary's fixed
// files that they are made from.
#ifndef HZ2HTML_CORE_BOOK_PAGES_H_
#define HZ2HTML_CORE_BOOK_PAGES_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

namespace hz {

// The book's title, 春風典 in Shift-JIS: the title of the main-text page and
// the kanji page, and the first field of the project file's Book= line.
constexpr char kBookTitle[] = "\x8F\x74\x95\x97\x93\x54";

enum class PageKind { kSection, kMainText, kKanji };

struct BookPage {
  const char* file_name;
  PageKind kind;
  // Base name of the page's record file and layout file under DATA (a
  // section page's section id).
  const char* record_base;
  // The title under which the project file names the page (Shift-JIS);
  // a section page also carries it as its page title and heading. The
  // main-text and kanji pages carry the book's title.
  const char* title;
};

constexpr BookPage kBookPages[] = {
    // 春風典の使い方, 凡例, 序, 奥付
    {"usage.html", PageKind::kSection, "KX03",
     "\x8F\x74\x95\x97\x93\x54\x82\xCC\x8E\x67\x82\xA2\x95\xFB"},
    {"hanrei.html", PageKind::kSection, "KX04", "\x96\x7D\x97\xE1"},
    {"jo.html", PageKind::kSection, "KX05", "\x8F\x98"},
    {"oku.html", PageKind::kSection, "KX06", "\x89\x9C\x95\x74"},
    {"honbun.html", PageKind::kMainText, "KX01", kBookTitle},
    // 漢字
    {"kanji.html", PageKind::kKanji, "KX02", "\x8A\xBF\x8E\x9A"},
};

// The first page of its kind in the table (the main-text and kanji pages are
// the only ones of theirs).
constexpr const BookPage& PageOf(PageKind kind) {
  size_t i = 0;
  while (i + 1 < sizeof kBookPages / sizeof kBookPages[0] && kBookPages[i].kind != kind) ++i;
  return kBookPages[i];
}

// The dictionary's fixed files besides the record and layout files, named
// under the input path with '\\' between components.
struct DictionaryNames {
  // The link-name tables, in the order of their numbers: the media names
  // of links of kind 20001, 30001 (movies), 30001 (KNJ) and 20003.
  const char* link_tables[4];
  const char* headword_list;  // the main text's entries, in page order
  const char* kana_list;      // the kanji page's kana keys
  const char* kaku_list;      // the kanji page's KAKU markers
  // The marker codes of each page, in ascending order; the code 2003 is
  // read from "LIST\\d200300.lst".
  int32_t main_text_markers[30];
  int32_t kanji_markers[2];
};

constexpr DictionaryNames kDictionaryNames = {
    {"DATA\\KXLINK01.TBL", "DATA\\KXLINK02.TBL", "DATA\\KXLINK03.TBL", "DATA\\KXLINK04.TBL"},
    "LIST\\d100000.lst",
    "LIST\\d300000.lst",
    "LIST\\d310000.lst",
    {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014,
     4000, 4001, 4002, 4003, 4004, 4005, 5000, 6000, 7000, 8000, 9000, 9001, 9002, 9004, 9005},
    {9003, 9005},
};

// The name of the marker list of code: "LIST\\dCCCC00.lst".
inline std::string MarkerListName(int32_t code) {
  std::string digits = std::to_string(code);
  if (code >= 0 && digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return "LIST\\d" + digits + "00.lst";
}

// Every fixed file of the dictionary that a run may read besides its
// directories, named as above: the record and layout files of the pages,
// the link-name tables and all lists.
inline std::vector<std::string> DictionaryFileNames() {
  std::vector<std::string> names;
  for (const BookPage& page : kBookPages) {
    names.push_back(std::string("DATA\\") + page.record_base + ".DAT");
    names.push_back(std::string("DATA\\") + page.record_base + ".INF");
  }
  const DictionaryNames& n = kDictionaryNames;
  names.insert(names.end(), std::begin(n.link_tables), std::end(n.link_tables));
  names.insert(names.end(), {n.headword_list, n.kana_list, n.kaku_list});
  std::vector<int32_t> codes(std::begin(n.main_text_markers), std::end(n.main_text_markers));
  codes.insert(codes.end(), std::begin(n.kanji_markers), std::end(n.kanji_markers));
  for (int32_t code : codes) {
    // Both pages read the list of code 9005.
    const std::string name = MarkerListName(code);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace hz

#endif  // HZ2HTML_CORE_BOOK_PAGES_H_
