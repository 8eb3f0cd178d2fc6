#include "model/search_settings.h"

namespace hz {

namespace {

std::string LowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::set<std::string> StopWords(const std::string& value) {
  std::set<std::string> words;
  for (size_t a = 0; a < value.size();) {
    size_t b = value.find(' ', a);
    if (b == std::string::npos) b = value.size();
    const std::string w = LowerAscii(value.substr(a, b - a));
    if (!w.empty()) words.insert(w);
    a = b + 1;
  }
  return words;
}

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
    if (key == "StopWord") s.stop_words = StopWords(value);
    if (key == "Book") {
      const std::string title = value.substr(0, value.find(';'));
      if (!title.empty()) s.title = title;
    }
  }
  return s;
}

}  // namespace hz
