#include "html/section_page.h"

#include "html/page_frame.h"
#include "html/render_entry.h"
#include "pages/page_grammar.h"

namespace hz {

bool WriteSectionPage(const std::string& in_path, const std::string& page_path,
                      const char* section_id, const char* title, const RunOptions& options,
                      PageTally& tally) {
  return WriteDictionaryPage(in_path, page_path, title, tally,
                             [&](PageWriter& out, const Dictionary& dict, const LinkTables& links) {
    out.Lit(kSectionHeadingOpen);
    out.Str(title);
    out.Lit(kSectionHeadingClose);
    RecordFiles files(dict, section_id);
    const RenderContext page{out, files, links, options, tally};
    const int32_t count = files.dat.GetCount();
    if (count == 0) TellPageEmptied(files.dat_name, files.dat.IsMissing(), tally);
    for (int32_t i = 1; i <= count; ++i) RenderEntry(page, false, EntryRef{i, 0, i});
    tally.entries += count;
    files.ReportDamage();
  });
}

}  // namespace hz
