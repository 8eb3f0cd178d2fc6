#include "html/main_text_page.h"

#include <cstdio>
#include <string>

#include "core/book_pages.h"
#include "data/list_file.h"
#include "data/marker_index.h"
#include "html/marker_cursor.h"
#include "html/page_frame.h"
#include "html/render_entry.h"

namespace hz {

namespace {

// Headword-list entries whose record the record file does not hold, or
// whose offset lies past the record's text: how many, and the first one's
// identifier.
class EntriesWithoutText {
 public:
  void Add(const ListEntry& e) {
    if (count_++ == 0) {
      char id[32];
      std::snprintf(id, sizeof id, "%04d-%04d", static_cast<int>(e.record), static_cast<int>(e.entryNo));
      first_ = id;
    }
  }
  void Tell(const DictFile& list) const {
    if (count_ == 0) return;
    list.Damaged(std::to_string(count_) + (count_ == 1 ? " entry points" : " entries point") +
                 " to no text, the first " + first_);
  }
  int64_t count() const { return count_; }

 private:
  int64_t count_ = 0;
  std::string first_;
};

}  // namespace

bool WriteMainTextPage(const std::string& in_path, const std::string& page_path,
                       const RunOptions& options, PageTally* tally) {
  PageFile page;
  if (!OpenPage(page, page_path, kBookTitle)) return false;
  PageWriter& out = page.out();
  PageTally own("", nullptr, nullptr);
  PageTally& t = tally ? *tally : own;
  {
    const Dictionary dict(in_path, t.report());
    LinkTables tables(dict);
    // The marker lists of the main text, in ascending order of code; code
    // 9003 belongs to the kanji page.
    CMarkerIndex markers;
    LoadMarkerLists(&markers, dict,
                    {2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012,
                     2013, 2014, 4000, 4001, 4002, 4003, 4004, 4005, 5000, 6000, 7000, 8000, 9000,
                     9001, 9002, 9004, 9005});
    RecordFiles files(dict, "KX01");
    const DictFile list_name = dict.File("LIST\\d100000.lst");
    CListFile headwords(list_name, 0);
    out.Lit("<dl>\n");
    MarkerCursor cursor(markers);
    EntriesWithoutText skipped;
    const int32_t count = headwords.GetCount();
    for (int32_t i = 0; i < count; ++i) {
      const ListEntry& e = *headwords.GetEntry(i);
      // An entry whose record is not in the record file, or whose offset
      // lies past its record's text, is skipped with its markers.
      const bool present = files.dat.LoadRecord(e.record) != nullptr &&
                           static_cast<uint32_t>(e.offset) <= files.dat.GetLength();
      if (present) {
        RenderEntry(out, true, e, files.dat, files.inf, tables.link01, tables.link02,
                    tables.link03, tables.link04, options, &t);
      } else {
        skipped.Add(e);
      }
      cursor.Step(e.record, e.offset, present, out);
    }
    out.Lit("</dl>\n");
    skipped.Tell(list_name);
    t.entries += count - skipped.count();
    t.skipped += skipped.count();
    cursor.Tally(&t);
  }
  return ClosePage(page);
}

}  // namespace hz
