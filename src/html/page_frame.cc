#include "html/page_frame.h"

#include "pages/page_grammar.h"

namespace hz {

bool OpenPage(PageFile& page, const std::string& path, const char* title, Report* report) {
  if (!page.Create(path)) {
    if (report) report->CannotWrite(page.path(), page.error());
    return false;
  }
  PageWriter& out = page.out();
  out.Lit(kPageHeadOpen);
  out.Str(title);
  out.Lit(kPageHeadClose);
  return true;
}

bool ClosePage(PageFile& page, Report* report) {
  page.out().Lit(kPageTail);
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
