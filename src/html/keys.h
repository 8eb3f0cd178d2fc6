// Search keys for the book compiler: "<key type=\"表記\">" elements.
//
// WriteHeadwordKeys derives written-form keys from an entry's first line:
// from the text between 【 and 】, or, where the line holds no opening
// bracket, from the line itself with its parenthesised parts and middle dots
// removed. WriteCapturedKeys makes one key from each run of single-byte
// characters of the text captured between 《 and 》.
#ifndef HZ2HTML_HTML_KEYS_H_
#define HZ2HTML_HTML_KEYS_H_

#include "html/page_tally.h"
#include "pages/page_grammar.h"
#include "platform/page_writer.h"

namespace hz {

// text: the entry's first byte, within its record's zero-terminated text.
// tally counts the keys and their references.
void WriteHeadwordKeys(const char* text, PageWriter& out, PageTally& tally);

// captured: the zero-terminated capture, as the renderer wrote it.
void WriteCapturedKeys(const char* captured, PageWriter& out, PageTally& tally);

// The type of the headword keys and captured keys: 表記 (Shift-JIS).
constexpr char kWrittenFormKeyType[] = "\x95\x5C\x8B\x4C";
// The type of the kanji page's kana keys: かな.
constexpr char kKanaKeyType[] = "\x82\xA9\x82\xC8";

// Opens a key element of the type.
template <size_t N>
void OpenKeyElement(PageWriter& out, const char (&type)[N]) {
  out.Lit(kKeyOpen);
  out.Lit(type);
  out.Lit(kTagEnd);
}

}  // namespace hz

#endif  // HZ2HTML_HTML_KEYS_H_
