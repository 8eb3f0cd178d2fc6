// A session with the EB library (the library GoldenDict and eblook read
// EPWING books with) on a book's first subbook: its text as a reader sees
// it, its searches and its glyphs. Nothing here knows what the book should
// hold; book_check.h compares.
//
// Text comes back as the reader met it, marked:
//
//   characters     EUC-JP (JIS X 0208), ASCII for the narrow forms of ASCII
//   gaiji          kGaijiMark, 'n' or 'w' and the 32 bytes of its bitmap
//                  rows as 64 hexadecimal digits, kGaijiEnd
//   line end       '\n'
//   keyword        kKeywordOn ... kKeywordOff (an entry's heading)
//   styles         kStyleOn or kStyleOff and 'b' (emphasis), 'i' (italic),
//                  's' (subscript), 'u' (superscript)
//   reference      kLinkOn ... kLinkOff; its target in Reading::references
//   picture        kImageOn ... kImageOff; its data in Reading::pictures
#ifndef HZ2HTML_EBCHECK_EB_SESSION_H_
#define HZ2HTML_EBCHECK_EB_SESSION_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hz {

namespace eb_mark {
constexpr char kKeywordOn = '\x01';
constexpr char kKeywordOff = '\x02';
constexpr char kStyleOn = '\x03';
constexpr char kStyleOff = '\x04';
constexpr char kLinkOn = '\x05';
constexpr char kLinkOff = '\x06';
constexpr char kImageOn = '\x07';
constexpr char kImageOff = '\x08';
constexpr char kGaijiMark = '\x10';
constexpr char kGaijiEnd = '\x11';
}  // namespace eb_mark

// A position in the book: a page (from 1) and an offset in it.
struct EbPosition {
  int page = 0, offset = 0;
  int64_t linear() const { return int64_t{page} * 2048 + offset; }
  bool operator<(const EbPosition& o) const { return linear() < o.linear(); }
  bool operator==(const EbPosition& o) const { return page == o.page && offset == o.offset; }
};

struct EbHit {
  EbPosition text, heading;
};

// What a stretch of text held besides its characters, in order.
struct Reading {
  std::string text;  // marked, as above
  std::vector<EbPosition> references, pictures;
};

enum class EbSearch { kExact, kWord, kEndWord, kKeyword };

class EbSession {
 public:
  EbSession();
  ~EbSession();
  EbSession(const EbSession&) = delete;
  EbSession& operator=(const EbSession&) = delete;

  // Opens the book in dir and its first subbook; false with the library's
  // message in *error.
  bool Open(const std::string& dir, std::string* error);

  // The text's start, the menu's and the copyright notice's; false when the
  // book has none.
  bool TextStart(EbPosition* p);
  bool MenuStart(EbPosition* p);
  bool CopyrightStart(EbPosition* p);

  // Seeks to p; the next ReadOn reads from there.
  bool Seek(const EbPosition& p);
  // Where the next ReadOn begins.
  EbPosition Tell();
  // Reads on until the reader stops (where the next entry begins, or at the
  // end of a stretch), or max bytes of marked text; false on an error.
  bool ReadOn(Reading* r, size_t max = size_t{1} << 24);
  // Steps past the stop the last reading ended at; false at the end of the
  // text.
  bool Forward();

  // A search for an EUC-JP word; false when the library refuses it (an
  // empty word, a method the book lacks). Then Hits hands out at most max
  // of its hits (all when max is 0).
  bool Search(EbSearch how, const std::string& word);
  std::vector<EbHit> Hits(size_t max = 0);

  // The bitmap of a gaiji of the 16-dot fonts (narrow: 16 bytes, wide: 32);
  // "" when there is none.
  std::string NarrowGlyph(int code);
  std::string WideGlyph(int code);

  // The data of the picture at p (the bytes of its file), "" when there is
  // none.
  std::string Picture(const EbPosition& p);

  struct State;

 private:
  std::unique_ptr<State> s_;
};

}  // namespace hz

#endif  // HZ2HTML_EBCHECK_EB_SESSION_H_
