// The text of HONMON, the book's main file: the model's parts as JIS X 0208
// characters and escape sequences (0x1F and a code byte, big-endian
// operands):
//
//   1F02 ... 1F03   a stretch of text (the entries; each menu page; the
//                   copyright notice)
//   1F41 0100 ... 1F61   an entry's heading, its keyword: a reader stops
//                   reading an entry where the next entry's keyword begins
//   1F0A            a line end
//   1F04 1F05       narrow (ASCII in full-width forms)
//   1F12 1F13       emphasis (bold)      1FE0 0001 1FE1   italic
//   1F06 1F07       subscript            1F0E 1F0F        superscript
//   1F42 ... 1F62 PPPPPPPP OOOO   a reference; BCD page and offset of the
//                   target
//   1F4D TTTT 0001 0(8 bytes) PPPPPPPP OOOO ... 1F6D   a picture (BMP
//                   0x0009, JPEG 0x1209) whose data stands at the BCD
//                   position, with its caption
//
// Gaiji are their numbers (first byte 0xA1 and up); a narrow gaiji stands
// inside a narrow span. References and pictures are written before their
// targets' positions are known and filled in at the end.
#ifndef HZ2HTML_EPWING_HONMON_TEXT_H_
#define HZ2HTML_EPWING_HONMON_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "epwing/book_characters.h"
#include "model/book_model.h"

namespace hz {

class HonmonText {
 public:
  HonmonText(const BookModel& model, BookCharacters* chars, std::string* out);

  // 1F02 and 1F03 around a stretch of text.
  void BeginStretch();
  void EndStretch();
  // An entry: its keyword, a line end, its body. Returns where it begins.
  uint64_t Entry(const BookPart& part);
  // A menu page or the copyright notice: its body. Returns where it begins
  // (at its stretch's 1F02).
  uint64_t Page(const BookPart& part);
  // A reference with that text; returns where its target's position goes
  // (the menu's items, whose targets follow them).
  size_t ReferenceTo(const std::string& text);
  void LineEnd();

  // Where each part begins, and where each anchor of the text stands.
  std::vector<uint64_t>& target_positions() { return target_at_; }

  // Fills in every reference and picture, the pictures' data written to
  // out first: BMP and JPEG pictures only, each once, "data", its size as
  // 4 bytes little-endian, its bytes.
  void FinishReferences();
  int64_t references() const { return references_; }

 private:
  struct Patch {
    uint64_t at;     // where the BCD position goes
    uint32_t index;  // the target or the picture
  };
  void Escape(uint8_t code);
  void Escape(uint8_t code, uint16_t operand);
  void Narrow(bool on);
  void Put(const BookCharacter& c);
  void Text(std::string_view utf8);
  void Runs(std::string_view content);
  void WriteRun(const hz::Run& r);
  void Style(hz::Style s, bool on);
  void ImageOn(uint32_t index);
  void ImageOff();
  bool InBook(uint32_t image) const;

  const BookModel& model_;
  BookCharacters* chars_;
  std::string* out_;
  bool narrow_ = false;
  int64_t printable_ = 0;
  int64_t references_ = 0;
  // The picture being read: in the book, or shown as its caption in 〔〕;
  // and whether its caption wrote anything yet.
  bool image_in_book_ = false;
  int64_t caption_from_ = 0;
  uint32_t link_target_ = 0;  // the target of the reference being written
  std::vector<uint64_t> target_at_;
  std::vector<Patch> reference_patches_, image_patches_;
};

}  // namespace hz

#endif  // HZ2HTML_EPWING_HONMON_TEXT_H_
