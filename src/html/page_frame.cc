#include "html/page_frame.h"

#include <cstdint>
#include <string>

namespace hz {

bool OpenPage(PageFile& page, const std::string& path, const char* title) {
  if (!page.Create(path)) {
    ReportCannotWrite(page);
    return false;
  }
  PageWriter& out = page.out();
  out.Lit("<html>\n<head>\n<title>");
  out.Str(title);
  out.Lit("</title>\n</head>\n<body>\n");
  return true;
}

bool ClosePage(PageFile& page) {
  page.out().Lit("</body>\n</html>\n");
  if (!page.Commit()) {
    ReportCannotWrite(page);
    return false;
  }
  return true;
}

LinkTables::LinkTables(const Dictionary& dict)
    : link01(dict.File("DATA\\KXLINK01.TBL")),
      link02(dict.File("DATA\\KXLINK02.TBL")),
      link03(dict.File("DATA\\KXLINK03.TBL")),
      link04(dict.File("DATA\\KXLINK04.TBL")) {}

RecordFiles::RecordFiles(const Dictionary& dict, const std::string& base)
    : RecordFiles(dict.File("DATA\\" + base + ".DAT"), dict.File("DATA\\" + base + ".INF")) {}

RecordFiles::RecordFiles(const DictFile& dat_name, const DictFile& inf_name)
    : dat(dat_name), inf(inf_name) {
  const uint32_t records = static_cast<uint32_t>(dat.GetCount());
  const uint32_t layouts = inf.GetRecordCount();
  if (dat.HasTrustedCount() && inf.HasTrustedCount() && records > layouts) {
    inf_name.Damaged("the record file holds " + std::to_string(records) +
                     " records, the layout file " + std::to_string(layouts));
  }
}

}  // namespace hz
