#include "epwing/honmon_text.h"

#include <map>

#include "core/utf8.h"
#include "epwing/book_bytes.h"
#include "platform/shift_jis.h"

namespace hz {

namespace {

constexpr uint8_t kBeginStretch = 0x02, kEndStretch = 0x03, kBeginNarrow = 0x04, kEndNarrow = 0x05;
constexpr uint8_t kBeginSubscript = 0x06, kEndSubscript = 0x07, kLineEnd = 0x0A;
constexpr uint8_t kBeginSuperscript = 0x0E, kEndSuperscript = 0x0F, kBeginEmphasis = 0x12, kEndEmphasis = 0x13;
constexpr uint8_t kBeginKeyword = 0x41, kEndKeyword = 0x61, kBeginReference = 0x42, kEndReference = 0x62;
constexpr uint8_t kBeginPicture = 0x4D, kEndPicture = 0x6D, kBeginFont = 0xE0, kEndFont = 0xE1;
constexpr uint16_t kEntryKeyword = 0x0100, kItalicFont = 0x0001;
constexpr uint16_t kBmpPicture = 0x0009, kJpegPicture = 0x1209;
constexpr size_t kBcdPositionSize = 6;

BookCharacter Jis(uint32_t cp) {
  BookCharacter c;
  c.code = JisOfUnicode(cp);
  return c;
}

}  // namespace

HonmonText::HonmonText(const BookModel& model, BookCharacters* chars, std::string* out)
    : model_(model), chars_(chars), out_(out), target_at_(model.targets.size(), 0) {}

void HonmonText::Escape(uint8_t code) {
  *out_ += '\x1F';
  *out_ += static_cast<char>(code);
}

void HonmonText::Escape(uint8_t code, uint16_t operand) {
  Escape(code);
  AppendBE16(operand, out_);
}

void HonmonText::Narrow(bool on) {
  if (narrow_ == on) return;
  narrow_ = on;
  Escape(on ? kBeginNarrow : kEndNarrow);
}

void HonmonText::Put(const BookCharacter& c) {
  Narrow(c.narrow);
  AppendBE16(c.code, out_);
  ++printable_;
}

void HonmonText::Text(std::string_view utf8) {
  const char* p = utf8.data();
  const char* const end = p + utf8.size();
  while (p < end) {
    uint32_t cp, next = 0;
    p += ReadUtf8(p, end, &cp);
    const size_t next_length = p < end ? ReadUtf8(p, end, &next) : 0;
    bool both = false;
    Put(chars_->OfCharacter(cp, next, &both));
    if (both) p += next_length;
  }
}

void HonmonText::Style(hz::Style s, bool on) {
  switch (s) {
    case hz::Style::kBold: Escape(on ? kBeginEmphasis : kEndEmphasis); break;
    case hz::Style::kItalic: on ? Escape(kBeginFont, kItalicFont) : Escape(kEndFont); break;
    case hz::Style::kSubscript: Escape(on ? kBeginSubscript : kEndSubscript); break;
    case hz::Style::kSuperscript: Escape(on ? kBeginSuperscript : kEndSuperscript); break;
  }
}

bool HonmonText::InBook(uint32_t image) const {
  const ImageFormat f = model_.images[image].format;
  return f == ImageFormat::kJpeg || f == ImageFormat::kBmp;
}

// A picture the book holds: its escape, the position of its data filled
// in later. One it does not hold: its caption in 〔〕.
void HonmonText::ImageOn(uint32_t index) {
  image_in_book_ = InBook(index);
  if (!image_in_book_) {
    Put(Jis(0x3014));
    return;
  }
  Escape(kBeginPicture);
  AppendBE16(model_.images[index].format == ImageFormat::kBmp ? kBmpPicture : kJpegPicture, out_);
  AppendBE16(0x0001, out_);
  out_->append(8, '\0');
  image_patches_.push_back({out_->size(), index});
  out_->append(kBcdPositionSize, '\0');
  caption_from_ = printable_;
}

void HonmonText::ImageOff() {
  if (!image_in_book_) {
    Put(Jis(0x3015));
    return;
  }
  if (printable_ == caption_from_) Put(Jis(0x56F3));  // 図, a caption for a picture without one
  Narrow(false);
  Escape(kEndPicture);
}

void HonmonText::WriteRun(const hz::Run& r) {
  if (r.kind == Run::kText) {
    Text(r.text);
    return;
  }
  if (r.kind == Run::kGaiji) {
    Put(chars_->OfGaiji(r.index));
    return;
  }
  Narrow(false);
  switch (r.kind) {
    case Run::kStyleOn:
    case Run::kStyleOff: Style(r.style, r.kind == Run::kStyleOn); break;
    case Run::kLineBreak: Escape(kLineEnd); break;
    case Run::kLinkOn: Escape(kBeginReference); break;
    case Run::kLinkOff:
      Escape(kEndReference);
      reference_patches_.push_back({out_->size(), link_target_});
      out_->append(kBcdPositionSize, '\0');
      ++references_;
      break;
    case Run::kAnchor: target_at_[r.index] = out_->size(); break;
    case Run::kImageOn: ImageOn(r.index); break;
    case Run::kImageOff: ImageOff(); break;
    default: break;
  }
  if (r.kind == Run::kLinkOn) link_target_ = r.index;
}

void HonmonText::Runs(std::string_view content) {
  ForEachRun(content, [this](const hz::Run& r) { WriteRun(r); });
  Narrow(false);
}

void HonmonText::BeginStretch() { Escape(kBeginStretch); }

void HonmonText::EndStretch() {
  Narrow(false);
  Escape(kEndStretch);
}

void HonmonText::LineEnd() {
  Narrow(false);
  Escape(kLineEnd);
}

uint64_t HonmonText::Entry(const BookPart& part) {
  const uint64_t start = out_->size();
  if (part.target != kNone) target_at_[part.target] = start;
  printable_ = 0;
  Escape(kBeginKeyword, kEntryKeyword);
  Runs(model_.Heading(part));
  Escape(kEndKeyword);
  Escape(kLineEnd);
  Runs(model_.Body(part));
  // A reader ends an entry where the next one's keyword begins after a
  // character: an entry without any gets a space.
  if (printable_ == 0) Put(Jis(0x3000));
  Narrow(false);
  return start;
}

uint64_t HonmonText::Page(const BookPart& part) {
  const uint64_t start = out_->size();
  if (part.target != kNone) target_at_[part.target] = start;
  BeginStretch();
  Runs(model_.Body(part));
  EndStretch();
  return start;
}

size_t HonmonText::ReferenceTo(const std::string& text) {
  Narrow(false);
  Escape(kBeginReference);
  Text(text);
  Narrow(false);
  Escape(kEndReference);
  const size_t at = out_->size();
  out_->append(kBcdPositionSize, '\0');
  ++references_;
  return at;
}

void HonmonText::FinishReferences() {
  std::map<uint32_t, uint64_t> data_at;
  for (const Patch& p : image_patches_) {
    auto found = data_at.find(p.index);
    if (found == data_at.end()) {
      const std::string& data = model_.images[p.index].data;
      found = data_at.emplace(p.index, out_->size()).first;
      *out_ += "data";
      const uint32_t size = static_cast<uint32_t>(data.size());
      for (int i = 0; i < 4; ++i) *out_ += static_cast<char>(size >> (8 * i) & 0xFF);
      *out_ += data;
    }
    StoreBcdPosition(found->second, &(*out_)[p.at]);
  }
  for (const Patch& p : reference_patches_) StoreBcdPosition(target_at_[p.index], &(*out_)[p.at]);
}

}  // namespace hz
