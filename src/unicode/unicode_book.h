// The book model as the Unicode readers (StarDict, Yomitan) get it: the
// text is UTF-8 already; what is settled here, once for both exports, is
// how each private-area character appears and what word names each part.
//
//   a gaiji named in gaiji.tsv    its character, or its alt text when it
//                                 has only that
//   any other gaiji               a picture of its glyph (PNG, 16 dots high,
//                                 8 or 16 wide, "gaiji/F040.png") with its
//                                 code, "F040", as the text beside it
//
// No export holds a private-use character (U+E000 to U+F8FF) or U+FFFD: a
// name or alt text that would bring one in is not used, and the gaiji is a
// picture.
#ifndef HZ2HTML_UNICODE_UNICODE_BOOK_H_
#define HZ2HTML_UNICODE_UNICODE_BOOK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/book_model.h"

namespace hz {

struct UnicodeGaiji {
  std::string text;     // the character or the alt text; "" for a picture
  std::string picture;  // the picture's path: "gaiji/F040.png"
  std::string code;     // "F040"
  bool narrow = false;  // the picture is 8 dots wide
};

// What reading an export back found: the words, articles (or rows), links
// and pictures checked, and what was not found, each named.
struct ExportCheck {
  int64_t words = 0, articles = 0, links = 0, pictures = 0;
  std::vector<std::string> misses;
  std::string error;  // the export cannot be read at all
};

// The longest word the exports give (StarDict reads words under 256 bytes).
constexpr size_t kMaxExportWordBytes = 255;

class UnicodeBook {
 public:
  explicit UnicodeBook(const BookModel& model);

  const BookModel& model() const { return model_; }
  const UnicodeGaiji& Gaiji(uint32_t index) const { return gaiji_[index]; }
  // The pictures of the gaiji that have no text, in code order.
  const std::vector<BookFile>& pictures() const { return pictures_; }

  // The word that names a part: its heading as plain text (gaiji as their
  // text, pictures left out, line breaks as spaces), spaces trimmed, cut to
  // kMaxExportWordBytes; for a heading with no text, its first search word;
  // for a part with neither, its number in parentheses: "(12)".
  const std::string& Headword(uint32_t part) const { return headwords_[part]; }
  // Where a picture the pages name is kept beside an export: its name as
  // the pages give it when that is a plain relative path (letters, digits,
  // '.', '-', '_' between slashes) ending in its format's extension, else
  // "pictures/N.EXT"; "" for a picture the book lacks.
  const std::string& PicturePath(uint32_t image) const { return picture_paths_[image]; }
  // A part as a miss names it: "entry 12 (HEADWORD)", "the page HEADWORD".
  std::string PartName(uint32_t part) const;
  // The part a link's target stands in.
  uint32_t PartOfTarget(uint32_t target) const { return model_.targets[target].part; }

 private:
  const BookModel& model_;
  std::vector<UnicodeGaiji> gaiji_;
  std::vector<BookFile> pictures_;
  std::vector<std::string> headwords_;
  std::vector<std::string> picture_paths_;
};

// A picture of an entry as the exports show it: one the book has as the
// picture, its caption as its text (alt); one it lacks as its caption
// between 〔 and 〕. Fed every run of a content, it keeps the caption of a
// picture the book has.
class PictureRuns {
 public:
  static constexpr char kOpen[] = "\xE3\x80\x94";   // 〔
  static constexpr char kClose[] = "\xE3\x80\x95";  // 〕

  explicit PictureRuns(const UnicodeBook& book) : book_(book) {}
  // Whether the run is part of the caption kept (then nothing else shows it).
  bool Keep(const Run& r);
  // At an image's start: whether the book has the picture (its caption is
  // kept); when it lacks it, its caption shows between kOpen and kClose.
  bool Begin(uint32_t image);
  // At the image's end: the picture's path, or "" when the book lacks it.
  const std::string& End();
  const std::string& caption() const { return caption_; }

 private:
  const UnicodeBook& book_;
  bool keeping_ = false;
  uint32_t image_ = 0;
  std::string caption_;
};

// Whether a Unicode reader may be given the character: not private use, not
// U+FFFD, not a control character other than tab and line feed.
bool Exportable(uint32_t cp);
// Whether all of UTF-8 text is well formed and Exportable.
bool AllExportable(std::string_view text);
// The text cut to at most n bytes, at the end of a character.
std::string_view CutUtf8(std::string_view text, size_t n);
// The plain text of runs: text, gaiji as their text (pictures left out),
// line breaks as spaces; styles, links, anchors dropped; an image's caption
// kept.
void AppendPlain(const UnicodeBook& book, std::string_view content, std::string* out);
// A search word as the exports give it: the characters a reader may be
// given, spaces trimmed, cut to kMaxExportWordBytes; "" for none.
std::string ExportWord(std::string_view word);
// Text with the spaces (ASCII and ideographic) at both ends left out.
std::string_view TrimSpaces(std::string_view text);

}  // namespace hz

#endif  // HZ2HTML_UNICODE_UNICODE_BOOK_H_
