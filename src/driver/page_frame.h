// The page frame that opens and closes every page, and the pieces every page
// writer shares.
//
//   page head  "<html>\n<head>\n<title>TITLE</title>\n</head>\n<body>\n"
//   page tail  "</body>\n</html>\n"
#ifndef HZ2HTML_DRIVER_PAGE_FRAME_H_
#define HZ2HTML_DRIVER_PAGE_FRAME_H_

#include <string>

#include "data/link_table.h"
#include "platform/page_file.h"

namespace hz {

// Creates the page and writes its head; on failure reports it and returns
// false.
bool OpenPage(PageFile& page, const std::string& path, const char* title);
// Writes the page tail and puts the page in place; on failure reports it and
// returns false.
bool ClosePage(PageFile& page);

// The file-system path of the dictionary file rel (such as
// "data\\KX01.DAT") under the input path.
std::string DictionaryPath(const std::string& in_path, const std::string& rel);

// The four link-name tables that every page hands to the renderer, loaded
// in the order of their numbers.
struct PageLinkTables {
  explicit PageLinkTables(const std::string& in_path);
  CLinkTable link01, link02, link03, link04;
};

}  // namespace hz

#endif  // HZ2HTML_DRIVER_PAGE_FRAME_H_
