#include "driver/page_frame.h"

#include "platform/file_system.h"

namespace hz {

bool OpenPage(PageFile& page, const std::string& path, const char* title) {
  if (!page.Create(path)) {
    ReportCannotWrite(page);
    return false;
  }
  PageWriter& out = page.out();
  out.Str("<html>\n<head>\n<title>");
  out.Str(title);
  out.Str("</title>\n</head>\n<body>\n");
  return true;
}

bool ClosePage(PageFile& page) {
  page.out().Str("</body>\n</html>\n");
  if (!page.Commit()) {
    ReportCannotWrite(page);
    return false;
  }
  return true;
}

std::string DictionaryPath(const std::string& in_path, const std::string& rel) {
  return ResolveDictionaryName(in_path, rel);
}

PageLinkTables::PageLinkTables(const std::string& in_path)
    : link01(DictionaryPath(in_path, "data\\KXLINK01.TBL")),
      link02(DictionaryPath(in_path, "data\\KXLINK02.TBL")),
      link03(DictionaryPath(in_path, "data\\KXLINK03.TBL")),
      link04(DictionaryPath(in_path, "data\\KXLINK04.TBL")) {}

}  // namespace hz
