// The markup overlays of an entry: style spans, links and named anchors that
// a record's layout tables lay over byte ranges of its text.
//
// At every position P that the walk visits, before the character at P:
//   1. close the pending style if it ends at P;
//   2. close the pending link if it ends at P;
//   3. open the style span that begins at P;
//   4. open the link that begins at P;
//   5. write the anchor that stands at P.
// Each table is walked by a cursor that only moves forward: at P it passes
// over the entries whose offset is below P, and the entry under it applies
// when its offset is P. At most one style and one link are pending; a new
// one replaces the old without writing its close.
#ifndef HZ2HTML_HTML_OVERLAY_H_
#define HZ2HTML_HTML_OVERLAY_H_

#include <cstdint>

#include "data/records.h"
#include "html/render_context.h"
#include "pages/page_grammar.h"
#include "platform/page_writer.h"

namespace hz {

// The line structure of the walk, which the character walk and the media
// links both change.
struct LineState {
  bool first_line = true;    // still on the entry's first line
  bool media_break = false;  // a media link on the first line opened the <dd>
  int64_t line_bytes = 0;    // text bytes written since the last line end

  // Ends the first line if the walk is still on it: "</dt>\n<dd>" in list
  // mode, "<br />\n" in running text. Returns whether it did.
  bool BreakFirstLine(PageWriter& out, bool list_mode) {
    if (!first_line) return false;
    if (list_mode) {
      out.Lit(kTermEnd);
    } else {
      out.Lit(kLineBreak);
    }
    first_line = false;
    line_bytes = 0;
    return true;
  }
  // A CR that does not end the entry: the first line's break, or a break
  // after a later line that wrote text and did not open with a media link.
  void EndLine(PageWriter& out, bool list_mode) {
    if (!BreakFirstLine(out, list_mode) && line_bytes > 0 && !media_break) out.Lit(kLineBreak);
    media_break = false;
    line_bytes = 0;
  }
};

class Overlay {
 public:
  // The tables are those of the record loaded through the page's layout
  // file. Cursors start where a walk from the table's start would have them
  // at the entry's first position, start.
  Overlay(const RenderContext& page, bool list_mode, int32_t record, const unsigned char* text,
          LineState& line, uint32_t start);

  // The overlay step at position pos.
  void Step(uint32_t pos) {
    if (pos >= event_) Apply(pos);
  }
  // Closes a style and a link still pending (style first).
  void ClosePending();
  // After the step at a position: the next position at which a step may
  // act. Positions before it may be rendered without their steps.
  uint64_t NextEvent() const { return event_; }

 private:
  static constexpr uint64_t kNone = uint64_t{1} << 40;

  void Apply(uint32_t pos);
  void OpenStyle(uint32_t pos, const StyleSpan& span);
  void OpenLink(uint32_t pos, const LinkSpan& span);
  void OpenMedia(uint32_t pos, const LinkSpan& span);
  void WriteAnchor(const AnchorEntry& anchor);
  void FirstLineBreak();
  void CloseStyle();
  void CloseLink();
  void UpdateNext();
  void UpdateEvent(uint32_t pos);
  template <typename T>
  static uint64_t Advance(const TableView<T>& table, uint32_t* cursor, uint64_t pos);

  PageWriter& out_;
  const RenderContext& page_;
  bool list_mode_;
  int32_t record_;
  const unsigned char* text_;
  LineState& line_;

  TableView<StyleSpan> styles_;
  TableView<LinkSpan> links_;
  TableView<AnchorEntry> anchors_;
  uint32_t style_cursor_, link_cursor_, anchor_cursor_;
  uint64_t style_next_, link_next_, anchor_next_;  // offsets under the cursors
  uint64_t next_;                                  // the lowest of the three
  // The next position where a step may act: next_, or the end of a pending
  // span that lies ahead. A pending end already passed can never be met.
  uint64_t event_;

  uint64_t style_end_ = kNone;
  int32_t style_code_ = 0;
  uint64_t link_end_ = kNone;
  int32_t link_kind_ = 0;
};

}  // namespace hz

#endif  // HZ2HTML_HTML_OVERLAY_H_
