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

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "data/records.h"
#include "core/run_options.h"
#include "html/page_tally.h"
#include "platform/page_writer.h"

namespace hz {

// Renders the entry ref of dat's text, with the layout tables of inf and the
// four link-name tables of KXLINK01.TBL to KXLINK04.TBL. Nothing is written
// for a record that dat does not hold or an offset past its text. tally, when
// given, counts the entry's keys, references and unknown link kinds.
void RenderEntry(PageWriter& out, bool list_mode, const EntryRef& ref, CDatFile& dat,
                 CInfFile& inf, const CLinkTable& link01, const CLinkTable& link02,
                 const CLinkTable& link03, const CLinkTable& link04, const RunOptions& options,
                 PageTally* tally = nullptr);

}  // namespace hz

#endif  // HZ2HTML_HTML_RENDER_ENTRY_H_
