// The kanji page, "kanji.html": every record of the kanji section as one
// definition-list item, with its kana keys, KAKU markers and MUL markers.
#ifndef HZ2HTML_HTML_KANJI_PAGE_H_
#define HZ2HTML_HTML_KANJI_PAGE_H_

#include <cstddef>
#include <string>

#include "core/run_options.h"
#include "html/page_tally.h"

namespace hz {

// The length of a key list's key: up to its first NUL, its first full-width
// space (the bytes 0x81 0x40, looked for at every byte position) or the end
// of the 42-byte field. Declared here only for tests.
size_t CutKeyLength(const char (&key)[42]);

// Writes page_path; returns false (after telling the report) when the page could
// not be written.
// tally receives the page's figures and carries its report.
bool WriteKanjiPage(const std::string& in_path, const std::string& page_path,
                    const RunOptions& options, PageTally& tally);

}  // namespace hz

#endif  // HZ2HTML_HTML_KANJI_PAGE_H_
