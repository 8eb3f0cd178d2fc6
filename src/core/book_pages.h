// The book's six pages, in the order in which the run writes them and the
// project file names them as the book's sources.
#ifndef HZ2HTML_CORE_BOOK_PAGES_H_
#define HZ2HTML_CORE_BOOK_PAGES_H_

#include <cstddef>

namespace hz {

// The book's title, 春風典 in Shift-JIS: the title of the main-text page and
// the kanji page, and the first field of the project file's Book= line.
constexpr char kBookTitle[] = "\x8F\x74\x95\x97\x93\x54";

enum class PageKind { kSection, kMainText, kKanji };

struct BookPage {
  const char* file_name;
  PageKind kind;
  const char* section_id;  // section pages: base name of the record files
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
    {"honbun.html", PageKind::kMainText, nullptr, kBookTitle},
    // 漢字
    {"kanji.html", PageKind::kKanji, nullptr, "\x8A\xBF\x8E\x9A"},
};

}  // namespace hz

#endif  // HZ2HTML_CORE_BOOK_PAGES_H_
