// The book model: the dictionary as a book, read once from the pages,
// harukaze.ebs and the gaiji files (model_reader.h), in Unicode and in no
// book format. The EPWING, StarDict and Yomitan writers each take it, and
// the checkers compare what a writer wrote with it.
//
// The book is a list of parts: the entries of honbun.html and then of
// kanji.html, one per <dt>, followed by the four section pages (usage,
// hanrei and jo make the menu; oku is the copyright notice). A part has a
// heading (an entry's <dt> text, a section's title) and a body, each a
// sequence of runs (ForEachRun):
//
//   text          UTF-8, no control characters
//   style on/off  bold, italic, subscript, superscript; they nest
//   line break
//   link on/off   to a target (an entry's identifier or an anchor); links
//                 nest with the styles and never inside each other
//   anchor        a target that stands here
//   image on/off  a picture, its caption's runs between
//   gaiji         a character of the dictionary's private area
//
// Only targets that a link points at and that the pages define are kept
// (Linked): a link to anything else is left out with its text kept, an
// anchor nobody links to is left out. An entry has its search words (the
// keys of the pages and its heading's words, as harukaze.ebs says) and its
// markers (MUL and KAKU comments), each a UTF-8 word; the first of its
// heading's words, the text before kanaSep1, is its reading.
//
// Runs are stored as bytes: text as it is, every other run as a control
// byte and its operand (a 4-byte index, little-endian, or a style byte).
#ifndef HZ2HTML_MODEL_BOOK_MODEL_H_
#define HZ2HTML_MODEL_BOOK_MODEL_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/bitmap_font.h"

namespace hz {

constexpr uint32_t kNone = 0xFFFFFFFF;

enum class Style : uint8_t { kBold, kItalic, kSubscript, kSuperscript };
constexpr int kStyleCount = 4;

struct Run {
  enum Kind : uint8_t {
    kText,
    kStyleOn,
    kStyleOff,
    kLineBreak,
    kLinkOn,   // index: the target
    kLinkOff,
    kAnchor,   // index: the target
    kImageOn,  // index: the image; its caption's runs follow
    kImageOff,
    kGaiji,    // index: the private-area character
  };
  Kind kind = kText;
  Style style = Style::kBold;
  uint32_t index = 0;
  std::string_view text;
};

// The bytes that stand for runs other than text.
namespace run_code {
constexpr char kStyleOn = '\x01';    // + a style byte
constexpr char kStyleOff = '\x02';   // + a style byte
constexpr char kLinkOn = '\x03';     // + a 4-byte index
constexpr char kLinkOff = '\x04';
constexpr char kAnchor = '\x05';     // + a 4-byte index
constexpr char kImageOn = '\x06';    // + a 4-byte index
constexpr char kImageOff = '\x07';
constexpr char kGaiji = '\x08';      // + a 4-byte index
constexpr char kLineBreak = '\n';
}  // namespace run_code

// Calls run(const Run&) for each run of stored content, in order.
template <typename Each>
void ForEachRun(std::string_view content, Each run) {
  const char* p = content.data();
  const char* const end = p + content.size();
  const auto index = [](const char* at) {
    const auto* u = reinterpret_cast<const unsigned char*>(at);
    return static_cast<uint32_t>(u[0]) | static_cast<uint32_t>(u[1]) << 8 |
           static_cast<uint32_t>(u[2]) << 16 | static_cast<uint32_t>(u[3]) << 24;
  };
  Run r;
  while (p < end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20) {
      const char* q = p;
      while (q < end && static_cast<unsigned char>(*q) >= 0x20) ++q;
      r.kind = Run::kText;
      r.text = std::string_view(p, static_cast<size_t>(q - p));
      run(static_cast<const Run&>(r));
      p = q;
      continue;
    }
    r.text = {};
    switch (c) {
      case run_code::kStyleOn:
      case run_code::kStyleOff:
        if (end - p < 2) return;
        r.kind = c == run_code::kStyleOn ? Run::kStyleOn : Run::kStyleOff;
        r.style = static_cast<Style>(p[1]);
        p += 2;
        break;
      case run_code::kLineBreak: r.kind = Run::kLineBreak, ++p; break;
      case run_code::kLinkOff: r.kind = Run::kLinkOff, ++p; break;
      case run_code::kImageOff: r.kind = Run::kImageOff, ++p; break;
      default:
        if (end - p < 5) return;
        r.kind = c == run_code::kLinkOn   ? Run::kLinkOn
                 : c == run_code::kAnchor ? Run::kAnchor
                 : c == run_code::kImageOn ? Run::kImageOn
                                           : Run::kGaiji;
        r.index = index(p + 1);
        p += 5;
        break;
    }
    run(static_cast<const Run&>(r));
  }
}

enum class PartKind : uint8_t { kMainEntry, kKanjiEntry, kMenuPage, kCopyright };

struct BookPart {
  PartKind kind = PartKind::kMainEntry;
  uint8_t page = 0;           // the page it comes from: its index in kBookPages
  uint32_t target = kNone;    // the target it is (its <dt id>), when linked
  uint64_t heading_at = 0, body_at = 0;  // where its content is stored
  uint32_t heading_size = 0;
  uint64_t body_size = 0;
  uint32_t words_begin = 0, words_end = 0;      // its search words in words
  uint32_t markers_begin = 0, markers_end = 0;  // its markers in markers
  uint32_t reading = kNone;   // the search word that is its reading
};

// A search word or a marker: UTF-8 text stored in the model's word text.
struct BookWord {
  uint32_t at = 0;
  uint32_t size = 0;
  uint32_t part = 0;
};

// An entry's identifier or an anchor that a link points at.
struct BookTarget {
  uint8_t page = 0;        // the page of the identifier
  std::string id;          // "0012-0001", "0012-ab01"
  uint32_t part = kNone;   // the part it names or stands in
  bool anchor = false;     // an <a name> inside a part (not a part's start)
};

enum class ImageFormat : uint8_t { kNone, kJpeg, kBmp, kPng, kGif };

// A picture the pages name. Found when the file beside the pages holds a
// picture of a known format.
struct BookImage {
  std::string src;   // as the pages name it: "FRACTAL/f03518.jpg"
  ImageFormat format = ImageFormat::kNone;
  std::string data;  // the file's bytes
  bool found() const { return format != ImageFormat::kNone; }
};

// A character of the dictionary's private area.
struct BookGaiji {
  uint32_t code = 0;       // its Shift-JIS code: 0xF040 ...
  uint32_t character = 0;  // the character gaiji.tsv names it as, 0 when unnamed
  std::string alt;         // the replacement text gaiji.tsv gives (UTF-8)
  // How it looks: the user's drawing in Gaiji.xml, else the font's glyph of
  // its character, else a placeholder that shows its code.
  Glyph16 glyph;
};

// A file a writer made, in memory, for the driver to write.
struct BookFile {
  std::string path;  // relative to the output's directory, '/' between names
  std::string bytes;
};

struct BookModel {
  std::string title;  // the book's title (harukaze.ebs' Book=), UTF-8
  std::vector<BookPart> parts;
  uint32_t entry_count = 0;   // parts[0, entry_count) are entries
  std::string content;        // every part's heading and body
  std::vector<BookWord> words, markers;
  std::string word_text;
  std::vector<BookTarget> targets;  // linked targets only
  std::vector<BookImage> images;
  std::vector<BookGaiji> gaiji;
  // The glyph of every character of the text that JIS X 0208 lacks (and of
  // every named gaiji's character): from the font, else a placeholder.
  std::map<uint32_t, Glyph16> glyphs;

  std::string_view Heading(const BookPart& p) const { return {content.data() + p.heading_at, p.heading_size}; }
  std::string_view Body(const BookPart& p) const {
    return {content.data() + p.body_at, static_cast<size_t>(p.body_size)};
  }
  std::string_view Word(const BookWord& w) const { return {word_text.data() + w.at, w.size}; }
  // The part's plain heading: its text, each gaiji as its named character,
  // its alt text or nothing.
  std::string PlainHeading(const BookPart& p) const;
};

}  // namespace hz

#endif  // HZ2HTML_MODEL_BOOK_MODEL_H_
