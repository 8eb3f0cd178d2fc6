#include "html/overlay.h"

#include "core/book_pages.h"

namespace hz {

namespace {

enum LinkKind : int32_t {
  kLinkSameRecord = 1,
  kLinkOtherRecord = 2,
  kLinkMainText = 10001,
  kLinkImage = 20001,
  kLinkUseImage = 20003,
  kLinkMedia = 30001,
};

constexpr uint32_t kMovieCode1 = 0xF7DB;
constexpr uint32_t kMovieCode2 = 0xF7DC;
constexpr uint32_t kKnjCode = 0xF7DD;

// Copies a name field of N bytes (a label, an anchor name, a media stem),
// zero-terminated only when shorter, as a string cut at its first zero.
template <size_t N>
void CopyName(const char (&from)[N], char (&to)[N + 1]) {
  size_t i = 0;
  for (; i < N && from[i]; ++i) to[i] = from[i];
  to[i] = '\0';
}

// The tags a style code opens and closes with; empty for the codes that
// open and close nothing.
StyleTags TagsOfCode(int32_t style) {
  switch (style) {
    case 4: return TagsOf(PageStyle::kItalic);
    case 5: return TagsOf(PageStyle::kBold);
    case 100:
    case 102: return TagsOf(PageStyle::kSubscript);
    default: return {"", "", 0, 0};
  }
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

Overlay::Overlay(const RenderContext& page, bool list_mode, int32_t record,
                 const unsigned char* text, LineState& line, uint32_t start)
    : out_(page.out), page_(page), list_mode_(list_mode), record_(record), text_(text), line_(line) {
  CInfFile& inf = page.files.inf;
  inf.GetStyleSpans(&styles_);
  inf.GetLinkSpans(&links_);
  inf.GetAnchors(&anchors_);
  style_cursor_ = inf.StyleCursor(start);
  link_cursor_ = inf.LinkCursor(start);
  anchor_cursor_ = inf.AnchorCursor(start);
  style_next_ = style_cursor_ < styles_.count ? styles_.OffsetAt(style_cursor_) : kNone;
  link_next_ = link_cursor_ < links_.count ? links_.OffsetAt(link_cursor_) : kNone;
  anchor_next_ = anchor_cursor_ < anchors_.count ? anchors_.OffsetAt(anchor_cursor_) : kNone;
  UpdateNext();
  event_ = next_;
}

// Moves the cursor over the entries whose offset is below pos; returns the
// offset of the entry under it (kNone past the end).
template <typename T>
uint64_t Overlay::Advance(const TableView<T>& table, uint32_t* cursor, uint64_t pos) {
  uint32_t c = *cursor;
  while (c < table.count && table.OffsetAt(c) < pos) ++c;
  *cursor = c;
  return c < table.count ? table.OffsetAt(c) : kNone;
}

void Overlay::UpdateNext() {
  next_ = style_next_;
  if (link_next_ < next_) next_ = link_next_;
  if (anchor_next_ < next_) next_ = anchor_next_;
}

void Overlay::UpdateEvent(uint32_t pos) {
  event_ = next_;
  if (style_end_ > pos && style_end_ < event_) event_ = style_end_;
  if (link_end_ > pos && link_end_ < event_) event_ = link_end_;
}

void Overlay::Apply(uint32_t pos) {
  if (pos == style_end_) CloseStyle();
  if (pos == link_end_) CloseLink();
  if (pos >= style_next_) {
    style_next_ = Advance(styles_, &style_cursor_, pos);
    if (style_next_ == pos) OpenStyle(pos, styles_[style_cursor_]);
  }
  if (pos >= link_next_) {
    link_next_ = Advance(links_, &link_cursor_, pos);
    if (link_next_ == pos) OpenLink(pos, links_[link_cursor_]);
  }
  if (pos >= anchor_next_) {
    anchor_next_ = Advance(anchors_, &anchor_cursor_, pos);
    if (anchor_next_ == pos) WriteAnchor(anchors_[anchor_cursor_]);
  }
  // The entries at pos have done their work: the walk passes over them at
  // its next position anyway, so the cursors may leave them now, and the
  // next event lies after pos.
  const uint64_t after = uint64_t{pos} + 1;
  if (style_next_ == pos) style_next_ = Advance(styles_, &style_cursor_, after);
  if (link_next_ == pos) link_next_ = Advance(links_, &link_cursor_, after);
  if (anchor_next_ == pos) anchor_next_ = Advance(anchors_, &anchor_cursor_, after);
  UpdateNext();
  UpdateEvent(pos);
}

void Overlay::CloseStyle() {
  const StyleTags tags = TagsOfCode(style_code_);
  out_.Write(tags.close, tags.close_length);
  style_end_ = kNone;
  style_code_ = 0;
}

void Overlay::CloseLink() {
  link_end_ = kNone;
  switch (link_kind_) {
    case kLinkSameRecord:
    case kLinkOtherRecord:
    case kLinkMainText: out_.Lit(kLinkClose); break;
    case kLinkImage:
    case kLinkUseImage: out_.Lit(kTagEnd); break;
    case kLinkMedia: out_.Lit(kObjectClose); break;
    default: break;
  }
}

void Overlay::ClosePending() {
  if (style_end_ != kNone) CloseStyle();
  if (link_end_ != kNone) CloseLink();
}

// A span's end is its offset plus its length as an unsigned 32-bit sum; an
// end of 0 means nothing is pending, so such a span never closes.
static uint64_t SpanEnd(uint32_t pos, uint32_t length) {
  uint32_t end = pos + length;
  return end == 0 ? uint64_t{1} << 40 : end;
}

void Overlay::OpenStyle(uint32_t pos, const StyleSpan& span) {
  style_end_ = SpanEnd(pos, span.length);
  style_code_ = span.style;
  const StyleTags tags = TagsOfCode(span.style);
  out_.Write(tags.open, tags.open_length);
}

void Overlay::OpenLink(uint32_t pos, const LinkSpan& span) {
  link_end_ = SpanEnd(pos, span.length);
  link_kind_ = span.kind;
  char label[5];
  CopyName(span.label, label);
  switch (span.kind) {
    case kLinkSameRecord:
    case kLinkOtherRecord:
      out_.Lit(kLinkOpen);
      out_.Put('#');
      out_.Dec4(span.kind == kLinkSameRecord ? record_ : span.target);
      out_.Put('-');
      out_.Str(label);
      out_.Lit(kTagEnd);
      break;
    case kLinkMainText:
      if (label[0] >= '0' && label[0] <= '9') {
        out_.Lit(kLinkOpen);
        out_.Str(PageOf(PageKind::kMainText).file_name);
        out_.Put('#');
        out_.Dec4(span.target);
        out_.Put('-');
        out_.Str(label);
        out_.Lit(kTagEnd);
      } else {
        link_end_ = kNone;
        link_kind_ = 0;
      }
      break;
    case kLinkImage:
    case kLinkUseImage:
    case kLinkMedia:
      OpenMedia(pos, span);
      break;
    default:
      page_.tally.UnknownLink(static_cast<uint32_t>(span.kind));
      break;
  }
}

// An image or media object on the first line begins the definition in list
// mode (and the line after it then writes no break of its own), the next
// line in running text.
void Overlay::FirstLineBreak() {
  if (line_.BreakFirstLine(out_, list_mode_) && list_mode_) line_.media_break = true;
}

void Overlay::OpenMedia(uint32_t pos, const LinkSpan& span) {
  const CLinkTable* table;
  const char* dir;
  const char* ext;
  if (span.kind == kLinkUseImage) {
    table = &page_.links.link04;
    dir = "USE/";
    ext = page_.options.image_ext;
  } else {
    FirstLineBreak();
    if (span.kind == kLinkImage) {
      table = &page_.links.link01;
      dir = "FRACTAL/";
      ext = page_.options.image_ext;
    } else {
      uint32_t code = static_cast<uint32_t>(text_[pos]) << 8 | text_[pos + 1];
      if (code == kMovieCode1 || code == kMovieCode2) {
        table = &page_.links.link02;
        dir = "MOVIE/";
      } else if (code == kKnjCode) {
        table = &page_.links.link03;
        dir = "KNJ/";
      } else {
        table = nullptr;
        dir = nullptr;
      }
      ext = page_.options.movie_ext;
    }
  }
  const LinkName* name = table ? table->GetEntry(static_cast<int64_t>(span.target) - 1) : nullptr;
  if (!name) {
    // No media to name: the link is dropped, its text stays plain.
    link_end_ = kNone;
    link_kind_ = 0;
    return;
  }
  char stem[9];
  CopyName(name->stem, stem);
  const bool object = span.kind == kLinkMedia;
  if (object) {
    out_.Lit(kObjectOpen);
  } else {
    out_.Lit(kImageOpen);
  }
  out_.Str(dir);
  out_.Str(stem);
  out_.Put('.');
  out_.Str(ext);
  if (object) {
    out_.Lit(kObjectLabel);
  } else {
    out_.Lit(kImageCaption);
  }
}

void Overlay::WriteAnchor(const AnchorEntry& anchor) {
  char name[5];
  CopyName(anchor.name, name);
  if (!IsAsciiLetter(name[0])) return;
  out_.Lit(kAnchorOpen);
  out_.Dec4(record_);
  out_.Put('-');
  out_.Str(name);
  out_.Lit(kAnchorClose);
}

}  // namespace hz
