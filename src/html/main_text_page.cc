#include "html/main_text_page.h"

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/list_file.h"
#include "data/marker_index.h"
#include "core/book_pages.h"
#include "html/marker_cursor.h"
#include "html/page_frame.h"
#include "html/render_entry.h"
#include "platform/file_system.h"

namespace hz {

bool WriteMainTextPage(const std::string& in_path, const std::string& page_path,
                       const RunOptions& options) {
  PageFile page;
  if (!OpenPage(page, page_path, kBookTitle)) return false;
  PageWriter& out = page.out();
  {
    LinkTables tables(in_path);
    // The marker lists of the main text, in ascending order of code; code
    // 9003 belongs to the kanji page.
    CMarkerIndex markers;
    LoadMarkerLists(&markers, in_path,
                {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012,
                 2013, 2014, 4000, 4001, 4002, 4003, 4004, 4005, 5000, 6000, 7000, 8000, 9000,
                 9001, 9002, 9004, 9005});
    CDatFile dat(ResolveDictionaryName(in_path, "data\\KX01.DAT"));
    CInfFile inf(ResolveDictionaryName(in_path, "data\\KX01.INF"));
    CListFile headwords(ResolveDictionaryName(in_path, "list\\d100000.lst"), 0);
    out.Lit("<dl>\n");
    MarkerCursor cursor(markers);
    const int32_t count = headwords.GetCount();
    for (int32_t i = 0; i < count; ++i) {
      const ListEntry& e = *headwords.GetEntry(i);
      // An entry whose record is not in the record file, or whose offset
      // lies past its record's text, is skipped with its markers.
      bool present = dat.LoadRecord(e.record) != nullptr &&
                     static_cast<uint32_t>(e.offset) <= dat.GetLength();
      if (present) {
        RenderEntry(out, true, e, dat, inf, tables.link01, tables.link02, tables.link03,
                    tables.link04, options);
      }
      cursor.Step(e.record, e.offset, present, out);
    }
    out.Lit("</dl>\n");
  }
  return ClosePage(page);
}

}  // namespace hz
