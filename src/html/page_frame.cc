#include "html/page_frame.h"

#include "platform/file_system.h"

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

LinkTables::LinkTables(const std::string& in_path)
    : link01(ResolveDictionaryName(in_path, "data\\KXLINK01.TBL")),
      link02(ResolveDictionaryName(in_path, "data\\KXLINK02.TBL")),
      link03(ResolveDictionaryName(in_path, "data\\KXLINK03.TBL")),
      link04(ResolveDictionaryName(in_path, "data\\KXLINK04.TBL")) {}

}  // namespace hz
