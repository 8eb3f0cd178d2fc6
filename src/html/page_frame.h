// The page frame that opens and closes every page, and the pieces every page
// writer shares.
//
//   page head  "<html>\n<head>\n<title>TITLE</title>\n</head>\n<body>\n"
//   page tail  "</body>\n</html>\n"
#ifndef HZ2HTML_HTML_PAGE_FRAME_H_
#define HZ2HTML_HTML_PAGE_FRAME_H_

#include <string>

#include "data/dat_file.h"
#include "data/dict_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "platform/page_file.h"

namespace hz {

// Creates the page and writes its head; on failure reports it and returns
// false.
bool OpenPage(PageFile& page, const std::string& path, const char* title);
// Writes the page tail and puts the page in place; on failure reports it and
// returns false.
bool ClosePage(PageFile& page);

// The four link-name tables that every page hands to the renderer, loaded
// from the dictionary in the order of their numbers.
struct LinkTables {
  explicit LinkTables(const Dictionary& dict);
  CLinkTable link01;  // KXLINK01.TBL: images of links of kind 20001
  CLinkTable link02;  // KXLINK02.TBL: movies of links of kind 30001
  CLinkTable link03;  // KXLINK03.TBL: KNJ media of links of kind 30001
  CLinkTable link04;  // KXLINK04.TBL: images of links of kind 20003
};

// A page's record file and its layout file, "DATA\\<base>.DAT" and ".INF".
// A record file that holds more records than its layout file is told to the
// report, named on the layout file (when both counts are the files' own):
// those records are rendered without layout.
struct RecordFiles {
  RecordFiles(const Dictionary& dict, const std::string& base);
  RecordFiles(const DictFile& dat_name, const DictFile& inf_name);
  CDatFile dat;
  CInfFile inf;
};

}  // namespace hz

#endif  // HZ2HTML_HTML_PAGE_FRAME_H_
