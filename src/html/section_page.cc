#include "html/section_page.h"

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "html/page_frame.h"
#include "html/render_entry.h"
#include "platform/file_system.h"

namespace hz {

bool WriteSectionPage(const std::string& in_path, const std::string& page_path,
                      const char* section_id, const char* title, const RunOptions& options) {
  PageFile page;
  if (!OpenPage(page, page_path, title)) return false;
  PageWriter& out = page.out();
  {
    LinkTables tables(in_path);
    out.Lit("<h1>");
    out.Str(title);
    out.Lit("</h1>\n<p></p>\n");
    const std::string base = std::string("data\\") + section_id;
    CDatFile dat(ResolveDictionaryName(in_path, base + ".DAT"));
    CInfFile inf(ResolveDictionaryName(in_path, base + ".INF"));
    const int32_t count = dat.GetCount();
    for (int32_t i = 1; i <= count; ++i) {
      RenderEntry(out, false, EntryRef{i, 0, i}, dat, inf, tables.link01, tables.link02,
                  tables.link03, tables.link04, options);
    }
  }
  return ClosePage(page);
}

}  // namespace hz
