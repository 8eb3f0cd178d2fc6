#include "html/main_text_page.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "core/book_pages.h"
#include "data/list_file.h"
#include "data/marker_index.h"
#include "html/marker_cursor.h"
#include "html/page_frame.h"
#include "html/render_entry.h"
#include "pages/page_grammar.h"

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
                       const RunOptions& options, PageTally& tally) {
  return WriteDictionaryPage(in_path, page_path, kBookTitle, tally,
                             [&](PageWriter& out, const Dictionary& dict, const LinkTables& links) {
    const DictionaryNames& names = kDictionaryNames;
    CMarkerIndex markers;
    LoadMarkerLists(&markers, dict, names.main_text_markers, std::size(names.main_text_markers));
    RecordFiles files(dict, PageOf(PageKind::kMainText).record_base);
    const DictFile list_name = dict.File(names.headword_list);
    CListFile headwords(list_name, 0);
    if (files.dat.GetCount() == 0) TellPageEmptied(files.dat_name, files.dat.IsMissing(), tally);
    if (headwords.GetCount() == 0) TellPageEmptied(list_name, headwords.IsMissing(), tally);
    out.Lit(kListOpen);
    const RenderContext page{out, files, links, options, tally};
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
        RenderEntry(page, true, e);
      } else {
        skipped.Add(e);
      }
      cursor.Step(e.record, e.offset, present, out);
    }
    out.Lit(kListClose);
    skipped.Tell(list_name);
    tally.entries += count - skipped.count();
    tally.skipped += skipped.count();
    cursor.Tally(&tally);
    files.ReportDamage();
  });
}

}  // namespace hz
