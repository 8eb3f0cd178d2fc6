#include "html/section_page.h"

#include "html/page_frame.h"
#include "html/render_entry.h"

namespace hz {

bool WriteSectionPage(const std::string& in_path, const std::string& page_path,
                      const char* section_id, const char* title, const RunOptions& options,
                      PageTally* tally) {
  PageFile page;
  if (!OpenPage(page, page_path, title)) return false;
  PageWriter& out = page.out();
  {
    const Dictionary dict(in_path, tally ? tally->report() : nullptr);
    LinkTables tables(dict);
    out.Lit("<h1>");
    out.Str(title);
    out.Lit("</h1>\n<p></p>\n");
    RecordFiles files(dict, section_id);
    const int32_t count = files.dat.GetCount();
    for (int32_t i = 1; i <= count; ++i) {
      RenderEntry(out, false, EntryRef{i, 0, i}, files.dat, files.inf, tables.link01,
                  tables.link02, tables.link03, tables.link04, options, tally);
    }
    if (tally) tally->entries += count;
  }
  return ClosePage(page);
}

}  // namespace hz
