// What harukaze.ebs, the project file, says of the book: its title and how
// an entry's heading and keys become search words.
//
//   Book=春風典;harukaze;...   the title, the first field
//   kanaSep1=【  kanaSep2=】   a heading's words: the text before kanaSep1,
//                              and the text between each kanaSep1 and the
//                              kanaSep2 after it
//   delChars=△×＝（）         characters left out of every word
//   StopWord=a the             words that are no search words (any case)
//
// The file is Shift-JIS with CR LF line ends; a line it lacks keeps the
// default (the converter's own values, and the title 春風典).
#ifndef HZ2HTML_MODEL_SEARCH_SETTINGS_H_
#define HZ2HTML_MODEL_SEARCH_SETTINGS_H_

#include <set>
#include <string>

namespace hz {

struct SearchSettings {
  std::string title = "\x8F\x74\x95\x97\x93\x54";  // 春風典 (Shift-JIS)
  std::string kana_sep1 = "\x81\x79";               // 【
  std::string kana_sep2 = "\x81\x7A";               // 】
  std::string del_chars;                            // Shift-JIS
  std::set<std::string> stop_words;                 // ASCII, lower case
};

// The settings of the project file's bytes.
SearchSettings ReadSearchSettings(const std::string& ebs);

}  // namespace hz

#endif  // HZ2HTML_MODEL_SEARCH_SETTINGS_H_
