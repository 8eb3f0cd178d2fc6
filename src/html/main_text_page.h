// The main-text page, "honbun.html": every entry of the main text in the
// order of the headword list, each followed by its MUL markers.
#ifndef HZ2HTML_HTML_MAIN_TEXT_PAGE_H_
#define HZ2HTML_HTML_MAIN_TEXT_PAGE_H_

#include <string>

#include "core/run_options.h"
#include "html/page_tally.h"

namespace hz {

// Writes page_path; returns false (after telling the report) when the page could
// not be written.
// tally receives the page's figures and carries its report.
bool WriteMainTextPage(const std::string& in_path, const std::string& page_path,
                       const RunOptions& options, PageTally& tally);

}  // namespace hz

#endif  // HZ2HTML_HTML_MAIN_TEXT_PAGE_H_
