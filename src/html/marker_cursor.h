// The single forward walk over a page's sorted marker index: the page's
// entries come in order, and each takes the markers at exactly its position.
#ifndef HZ2HTML_HTML_MARKER_CURSOR_H_
#define HZ2HTML_HTML_MARKER_CURSOR_H_

#include <cstdint>

#include "data/marker_index.h"
#include "html/page_tally.h"
#include "pages/page_grammar.h"
#include "platform/page_writer.h"

namespace hz {

class MarkerCursor {
 public:
  explicit MarkerCursor(const CMarkerIndex& index)
      : sorted_(index.GetSorted()), count_(index.GetCount()) {}

  // Passes over the markers that lie before (record, offset), then over
  // those at exactly that position, writing "<!-- {MULcccc} -->\n" for each
  // when write is set.
  void Step(int32_t record, int32_t offset, bool write, PageWriter& out) {
    while (cursor_ < count_ && MarkerBefore(*sorted_[cursor_], record, offset)) ++cursor_;
    while (cursor_ < count_ && sorted_[cursor_]->record == record &&
           sorted_[cursor_]->offset == offset) {
      if (write) {
        out.Lit(kMarkerOpen);
        out.Lit(kMulMarker);
        out.Dec4(sorted_[cursor_]->code);
        out.Lit(kMarkerClose);
        ++written_;
      }
      ++cursor_;
    }
  }
  // Adds the markers written, and those of the index that were not, to the
  // page's figures.
  void Tally(PageTally* tally) const {
    tally->markers += written_;
    tally->markers_passed += count_ - written_;
  }

 private:
  const MarkerEntry* const* sorted_;
  int32_t count_;
  int32_t cursor_ = 0;
  int32_t written_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_HTML_MARKER_CURSOR_H_
