// The entry renderer: turns one dictionary entry into HTML, straight into
// its page.
//
// An entry is a stretch of one record's Shift-JIS text from a given byte
// offset. Running-text mode (section pages) renders the text as lines
// separated by "<br />\n". List mode (main-text and kanji pages) makes the
// entry one definition-list item: "<dt id=\"RRRR-NNNN\">", the first line as
// the term, "</dt>\n<dd>", the later lines, and "</dd>\n\n" at the double CR
// that ends the entry; the entry's headword keys follow.
#ifndef HZ2HTML_HTML_RENDER_ENTRY_H_
#define HZ2HTML_HTML_RENDER_ENTRY_H_

#include <cstdint>

#include "data/records.h"
#include "html/render_context.h"

namespace hz {

// Renders the entry ref of the page's record file, with the layout tables of
// its layout file and the page's four link-name tables. Nothing is written
// for a record that the record file does not hold or an offset past its
// text. The page's tally counts the entry's keys, references and unknown
// link kinds.
void RenderEntry(const RenderContext& page, bool list_mode, const EntryRef& ref);

}  // namespace hz

#endif  // HZ2HTML_HTML_RENDER_ENTRY_H_
