// The page frame that opens and closes every page, and the skeleton that the
// three kinds of dictionary page share.
//
//   page head  "<html>\n<head>\n<title>TITLE</title>\n</head>\n<body>\n"
//   page tail  "</body>\n</html>\n"
#ifndef HZ2HTML_HTML_PAGE_FRAME_H_
#define HZ2HTML_HTML_PAGE_FRAME_H_

#include <string>

#include "core/report.h"
#include "data/dict_file.h"
#include "html/page_tally.h"
#include "html/render_context.h"
#include "platform/page_file.h"

namespace hz {

// Creates the page and writes its head; on failure tells the report (when
// there is one) and returns false.
bool OpenPage(PageFile& page, const std::string& path, const char* title, Report* report);
// Writes the page tail and puts the page in place; on failure tells the
// report (when there is one) and returns false.
bool ClosePage(PageFile& page, Report* report);

// A page that a file it cannot do without (its record file, or the
// headword list) left without entries: "PATH: missing, so PAGE has no
// entries", or "empty, so ..." for a file that is there but holds none.
void TellPageEmptied(const DictFile& name, bool missing, const PageTally& tally);

// The skeleton of a dictionary page: opens the page and writes its head,
// builds the dictionary under in_path with the page's link-name tables, and
// hands them and the page writer to fill, which writes the body and builds
// the readers it needs; once fill has returned (and its readers are gone),
// writes the tail and puts the page in place. False when the page could not
// be written.
template <typename Fill>
bool WriteDictionaryPage(const std::string& in_path, const std::string& page_path,
                         const char* title, PageTally& tally, Fill fill) {
  PageFile page;
  if (!OpenPage(page, page_path, title, tally.report())) return false;
  const auto body = [&] {
    const Dictionary dict(in_path, tally.report());
    const LinkTables links(dict);
    fill(page.out(), dict, links);
  };
  body();
  return ClosePage(page, tally.report());
}

}  // namespace hz

#endif  // HZ2HTML_HTML_PAGE_FRAME_H_
