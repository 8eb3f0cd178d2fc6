#include "html/kanji_page.h"

#include <iterator>
#include <vector>

#include "data/list_file.h"
#include "data/marker_index.h"
#include "core/book_pages.h"
#include "html/keys.h"
#include "html/marker_cursor.h"
#include "html/page_frame.h"
#include "html/render_entry.h"
#include "pages/page_grammar.h"

namespace hz {

namespace {

// A key list's entries grouped by record once, list order kept within a
// record: the keys of record k are by_record[first[k] .. first[k+1]).
// Records outside 1..records are dropped; they are never written.
class KeysByRecord {
 public:
  KeysByRecord(const CListFile& list, int32_t records)
      : first_(static_cast<size_t>(records) + 2, 0) {
    const int32_t n = list.GetCount();
    for (int32_t i = 0; i < n; ++i) {
      int32_t r = list.GetKeyEntry(i)->record;
      if (r >= 1 && r <= records) ++first_[static_cast<size_t>(r) + 1];
    }
    for (size_t k = 1; k < first_.size(); ++k) first_[k] += first_[k - 1];
    by_record_.resize(first_.back());
    std::vector<size_t> next(first_.begin(), first_.end() - 1);
    for (int32_t i = 0; i < n; ++i) {
      const KeyEntry* e = list.GetKeyEntry(i);
      if (e->record >= 1 && e->record <= records) by_record_[next[static_cast<size_t>(e->record)]++] = e;
    }
  }

  template <typename Fn>
  void ForEach(int32_t record, Fn fn) const {
    for (size_t i = first_[static_cast<size_t>(record)]; i < first_[static_cast<size_t>(record) + 1]; ++i) {
      fn(*by_record_[i]);
    }
  }

 private:
  std::vector<size_t> first_;
  std::vector<const KeyEntry*> by_record_;
};

void WriteCutKey(const KeyEntry& e, PageWriter& out) {
  out.Write(e.key, CutKeyLength(e.key));
}

}  // namespace

size_t CutKeyLength(const char (&key)[42]) {
  for (size_t i = 0; i < sizeof key; ++i) {
    if (key[i] == '\0') return i;
    if (key[i] == '\x81' && i + 1 < sizeof key && key[i + 1] == '\x40') return i;
  }
  return sizeof key;
}

bool WriteKanjiPage(const std::string& in_path, const std::string& page_path,
                    const RunOptions& options, PageTally& tally) {
  return WriteDictionaryPage(in_path, page_path, kBookTitle, tally,
                             [&](PageWriter& out, const Dictionary& dict, const LinkTables& links) {
    const DictionaryNames& names = kDictionaryNames;
    CMarkerIndex markers;
    LoadMarkerLists(&markers, dict, names.kanji_markers, std::size(names.kanji_markers));
    out.Lit(kListOpen);
    RecordFiles files(dict, PageOf(PageKind::kKanji).record_base);
    CListFile kana(dict.File(names.kana_list), 1);
    CListFile kaku(dict.File(names.kaku_list), 1);
    const int32_t count = files.dat.GetCount();
    if (count == 0) TellPageEmptied(files.dat_name, files.dat.IsMissing(), tally);
    const KeysByRecord kana_keys(kana, count);
    const KeysByRecord kaku_keys(kaku, count);
    const RenderContext page{out, files, links, options, tally};
    MarkerCursor cursor(markers);
    for (int32_t k = 1; k <= count; ++k) {
      RenderEntry(page, true, EntryRef{k, 0, k});
      kana_keys.ForEach(k, [&out, &tally](const KeyEntry& e) {
        OpenKeyElement(out, kKanaKeyType);
        WriteCutKey(e, out);
        out.Lit(kKeyClose);
        ++tally.keys;
      });
      kaku_keys.ForEach(k, [&out](const KeyEntry& e) {
        out.Lit(kMarkerOpen);
        out.Lit(kKakuMarker);
        WriteCutKey(e, out);
        out.Lit(kMarkerClose);
      });
      cursor.Step(k, 0, true, out);
      out.Lit(kDefinitionEnd);
    }
    tally.entries += count;
    cursor.Tally(&tally);
    files.ReportDamage();
    out.Lit(kListClose);
  });
}

}  // namespace hz
