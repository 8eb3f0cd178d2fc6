// How the pages' text becomes the model's: Shift-JIS (code page 932) with
// the converter's entities and character references, read into UTF-8.
//
//  - &lt; &gt; &amp; (and &quot; &apos;) are their characters;
//  - "&#xF040;", a private-area character, is a gaiji of the model (in a
//    word: the character gaiji.tsv names it as, else nothing); a reference
//    to any other code is that code's character (IBM's 髙 is "&#xFBFC;");
//  - control characters (the pages' line ends among them) are no text;
//  - half-width katakana stay as they are;
//  - a byte pair that code page 932 holds no character for is 〓, told to
//    the report once with its page and line ("line 12: bytes 85 40 are no
//    character (shown as 〓)").
//
// A word (a key, a heading's word) also leaves out delChars and whatever is
// no character, and has its spaces trimmed.
#ifndef HZ2HTML_MODEL_MODEL_TEXT_H_
#define HZ2HTML_MODEL_MODEL_TEXT_H_

#include <bitset>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"
#include "model/search_settings.h"

namespace hz {

class ModelText {
 public:
  ModelText(const SearchSettings& settings, Report* report);

  // The page whose text follows: its name (for warnings) and all its bytes
  // (the text handed in is a view of them).
  void BeginPage(const std::string& name, std::string_view bytes);

  // Appends the text's characters to content, a private-area character as
  // a gaiji run.
  void AppendContent(std::string_view text, std::string* content);
  // The text as a word (UTF-8), "" when nothing is left.
  std::string Word(std::string_view text);

  // The character gaiji.tsv names a private-area code as (before any text).
  void NameGaiji(uint32_t code, uint32_t character) { named_[code] = character; }

  // The private-area codes met, in the order of their gaiji indexes.
  const std::vector<uint32_t>& gaiji_codes() const { return gaiji_codes_; }
  // The characters met that JIS X 0208 lacks (but ASCII and half-width
  // katakana): their glyphs are wanted.
  std::vector<uint32_t> CharactersOutsideJis() const;

 private:
  struct Form {
    uint8_t length = 0;  // UTF-8 bytes; 0 for no character
    bool outside_jis = false;
    char bytes[3] = {};
  };
  void Convert(std::string_view text, bool word, std::string* out);
  void Character(uint32_t code, const char* at, bool word, std::string* out);
  void NoCharacter(uint32_t code, const char* at, std::string* out);
  uint32_t GaijiIndex(uint32_t code);
  int64_t LineOf(const char* at);

  Report* report_;
  std::unique_ptr<Form[]> forms_;  // by Shift-JIS code (single bytes below 0x100)
  std::bitset<0x10000> del_, used_outside_jis_;
  std::map<uint32_t, uint32_t> named_;
  std::map<uint32_t, uint32_t> gaiji_index_;
  std::vector<uint32_t> gaiji_codes_;
  std::string page_name_;
  std::string_view page_;
  const char* counted_to_ = nullptr;  // lines counted up to here
  int64_t line_ = 1;
};

}  // namespace hz

#endif  // HZ2HTML_MODEL_MODEL_TEXT_H_
