#include "book/project_file.h"

#include "core/book_pages.h"
#include "platform/code_page.h"
#include "platform/page_file.h"

namespace hz {

namespace {

// The settings between the OutPath= line and the Book= line, Shift-JIS.
// 【 】 are the kana separators.
const char kSettings[] =
    "IndexFile=\n"
    "Copyright=$(BASE)\\Copyright.txt\n"
    "GaijiFile=$(BASE)\\Gaiji.xml\n"
    "GaijiMapFile=$(BASE)\\GaijiMap.xml\n"
    "EBType=0\n"
    "WordSearchHyoki=1\n"
    "WordSearchKana=1\n"
    "EndWordSearchHyoki=1\n"
    "EndWordSearchKana=1\n"
    "KeywordSearch=1\n"
    "ComplexSearch=1\n"
    "kanaSep1=\x81\x79\n"
    "kanaSep2=\x81\x7A\n"
    "makeFig=1\n"
    "StopWord=a the\n"
    "delChars=\x81\xA2\x81\x7E\x81\x81\x81\x69\x81\x6A\n"
    "titleOrder=1\n"
    "Size=10000;10000;4000;2000000;4000;50000;50000;500;500;10000;2000\n";

// The Book= line after the book's title; 一般書物 is the book's kind.
const char kBookFields[] =
    ";harukaze;\x88\xEA\x94\xCA\x8F\x91\x95\xA8;_;$(BASE)\\complex.xml;GAI16H00;GAI16F00;"
    "_;_;_;_;_;_;\n";

}  // namespace

bool WriteBookProjectFile(const std::string& out_path, Report& report) {
  const std::string path = out_path + "harukaze.ebs";
  // The file is Shift-JIS throughout, the output path included.
  std::string shown;
  if (!PathInShiftJis(out_path, &shown)) {
    report.Damaged(path, "the output path holds a character that Shift-JIS cannot represent; "
                         "InPath= and OutPath= carry it as given");
  }
  const int error = WriteOutputFile(path, [&shown](PageWriter& out) {
    out.Lit("InPath=");
    out.Str(shown.c_str());
    out.Lit("\nOutPath=");
    out.Str(shown.c_str());
    out.Put('\n');
    out.Lit(kSettings);
    out.Lit("Book=");
    out.Lit(kBookTitle);
    out.Lit(kBookFields);
    // One source per page, in the order the run writes them.
    for (const BookPage& page : kBookPages) {
      out.Lit("Source=$(BASE)\\");
      out.Str(page.file_name);
      out.Put(';');
      out.Str(page.title);
      out.Lit(";_;HTML;\n");
    }
  });
  if (error != 0) report.CannotWrite(path, error);
  return error == 0;
}

}  // namespace hz
