#include "html/page_frame.h"

namespace hz {

bool OpenPage(PageFile& page, const std::string& path, const char* title, Report* report) {
  if (!page.Create(path)) {
    if (report) report->CannotWrite(page.path(), page.error());
    return false;
  }
  PageWriter& out = page.out();
  out.Lit("<html>\n<head>\n<title>");
  out.Str(title);
  out.Lit("</title>\n</head>\n<body>\n");
  return true;
}

bool ClosePage(PageFile& page, Report* report) {
  page.out().Lit("</body>\n</html>\n");
  if (!page.Commit()) {
    if (report) report->CannotWrite(page.path(), page.error());
    return false;
  }
  return true;
}

void TellPageEmptied(const DictFile& name, bool missing, const PageTally& tally) {
  name.Damaged(std::string(missing ? "missing" : "empty") + ", so " + tally.page_name() +
               " has no entries");
}

}  // namespace hz
