// The single forward walk over a page's sorted marker index: the page's
// entries come in order, and each takes the markers at exactly its position.
#ifndef HZ2HTML_HTML_MARKER_CURSOR_H_
#define HZ2HTML_HTML_MARKER_CURSOR_H_

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "data/marker_index.h"
#include "driver/page_frame.h"
#include "platform/page_writer.h"

namespace hz {

// The name of the marker list of code: "list\\dCCCC00.lst".
inline std::string MarkerListName(int32_t code) {
  char name[32];
  std::snprintf(name, sizeof name, "list\\d%04d00.lst", static_cast<int>(code));
  return name;
}

// Adds the marker lists of codes, in that order, from the input path, and
// sorts the index.
inline void LoadMarkers(CMarkerIndex* index, const std::string& in_path,
                        std::initializer_list<int32_t> codes) {
  for (int32_t code : codes) index->AddList(DictionaryPath(in_path, MarkerListName(code)), code);
  index->Sort();
}

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
        out.Str("<!-- {MUL");
        out.Dec4(sorted_[cursor_]->code);
        out.Str("} -->\n");
      }
      ++cursor_;
    }
  }

 private:
  const MarkerEntry* const* sorted_;
  int32_t count_;
  int32_t cursor_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_HTML_MARKER_CURSOR_H_
