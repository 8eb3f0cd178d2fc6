#include "book/project_file.h"

#include "platform/page_file.h"

namespace hz {

namespace {

// Lines 3 to 27, Shift-JIS. 【 】 are the kana separators; the Source= lines
// name the pages in the order the run writes them, with their titles.
const char kFixedLines[] =
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
    "Size=10000;10000;4000;2000000;4000;50000;50000;500;500;10000;2000\n"
    "Book=\x8F\x74\x95\x97\x93\x54;harukaze;\x88\xEA\x94\xCA\x8F\x91\x95\xA8;_;"
    "$(BASE)\\complex.xml;GAI16H00;GAI16F00;_;_;_;_;_;_;\n"
    "Source=$(BASE)\\usage.html;\x8F\x74\x95\x97\x93\x54\x82\xCC\x8E\x67\x82\xA2\x95\xFB;_;HTML;\n"
    "Source=$(BASE)\\hanrei.html;\x96\x7D\x97\xE1;_;HTML;\n"
    "Source=$(BASE)\\jo.html;\x8F\x98;_;HTML;\n"
    "Source=$(BASE)\\oku.html;\x89\x9C\x95\x74;_;HTML;\n"
    "Source=$(BASE)\\honbun.html;\x8F\x74\x95\x97\x93\x54;_;HTML;\n"
    "Source=$(BASE)\\kanji.html;\x8A\xBF\x8E\x9A;_;HTML;\n";

}  // namespace

bool WriteBookProjectFile(const std::string& out_path) {
  PageFile file;
  if (!file.Create(out_path + "harukaze.ebs")) {
    ReportCannotWrite(file);
    return false;
  }
  PageWriter& out = file.out();
  out.Str("InPath=");
  out.Str(out_path.c_str());
  out.Str("\nOutPath=");
  out.Str(out_path.c_str());
  out.Put('\n');
  out.Str(kFixedLines);
  if (!file.Commit()) {
    ReportCannotWrite(file);
    return false;
  }
  return true;
}

}  // namespace hz
