// The four section pages: the guide to the dictionary's use, the
// explanatory notes, the preface and the colophon.
#ifndef HZ2HTML_HTML_SECTION_PAGE_H_
#define HZ2HTML_HTML_SECTION_PAGE_H_

#include <string>

#include "core/run_options.h"
#include "html/page_tally.h"

namespace hz {

// Writes page_path: the page head, "<h1>title</h1>\n<p></p>\n", every record
// of DATA\<section_id>.DAT rendered as running text, and the page tail.
// Returns false (after telling the report) when the page could not be
// written. tally receives the page's figures and carries its report.
bool WriteSectionPage(const std::string& in_path, const std::string& page_path,
                      const char* section_id, const char* title, const RunOptions& options,
                      PageTally& tally);

}  // namespace hz

#endif  // HZ2HTML_HTML_SECTION_PAGE_H_
