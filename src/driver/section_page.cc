#include "driver/section_page.h"

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "driver/page_frame.h"
#include "html/render_entry.h"

namespace hz {

bool WriteSectionPage(const std::string& in_path, const std::string& page_path,
                      const char* section_id, const char* title, const RunOptions& options) {
  PageFile page;
  if (!OpenPage(page, page_path, title)) return false;
  PageWriter& out = page.out();
  {
    PageLinkTables tables(in_path);
    out.Str("<h1>");
    out.Str(title);
    out.Str("</h1>\n<p></p>\n");
    const std::string base = std::string("data\\") + section_id;
    CDatFile dat(DictionaryPath(in_path, base + ".DAT"));
    CInfFile inf(DictionaryPath(in_path, base + ".INF"));
    const int32_t count = dat.GetCount();
    for (int32_t i = 1; i <= count; ++i) {
      RenderEntry(out, 0, EntryRef{i, 0, i}, dat, inf, tables.link01, tables.link02,
                  tables.link03, tables.link04, options);
    }
  }
  return ClosePage(page);
}

}  // namespace hz
