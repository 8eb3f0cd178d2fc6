#include "ebcheck/eb_session.h"

#include <eb/binary.h>
#include <eb/eb.h>
#include <eb/error.h>
#include <eb/font.h>
#include <eb/text.h>

#include <algorithm>
#include <vector>

#include "ebcheck/book_file_reads.h"
#include "platform/shift_jis.h"

namespace hz {

struct EbSession::State {
  EB_Book book;
  EB_Hookset hooks;
  bool bound = false;
  Reading* reading = nullptr;
  std::vector<unsigned> decorations;  // the decorations open, innermost last
  std::map<int, std::string> narrow, wide;  // the fonts' bitmaps, as gaiji marks
  std::map<unsigned, char> ascii;  // the EUC-JP forms of ASCII characters
  std::vector<EB_Hit> hits;
  bool searched = false;
  std::unique_ptr<BookFileReads> reads;  // the book's files, from memory
};

namespace {

EbSession::State* StateOf(void* container) { return static_cast<EbSession::State*>(container); }

void Mark(EB_Book* book, char mark, char what = 0) {
  eb_write_text_byte1(book, mark);
  if (what) eb_write_text_byte1(book, what);
}

EB_Error_Code OnNarrowJis(EB_Book* book, EB_Appendix*, void* c, EB_Hook_Code, int, const unsigned int* argv) {
  const auto a = StateOf(c)->ascii.find(argv[0]);
  if (a != StateOf(c)->ascii.end()) {
    eb_write_text_byte1(book, a->second);
  } else {
    eb_write_text_byte2(book, static_cast<int>(argv[0] >> 8), static_cast<int>(argv[0] & 0xFF));
  }
  return EB_SUCCESS;
}

EB_Error_Code OnGaiji(EB_Book* book, EB_Appendix*, void* c, EB_Hook_Code code, int, const unsigned int* argv) {
  const std::map<int, std::string>& font = code == EB_HOOK_NARROW_FONT ? StateOf(c)->narrow : StateOf(c)->wide;
  const auto g = font.find(static_cast<int>(argv[0]));
  if (g != font.end()) {
    eb_write_text(book, g->second.data(), g->second.size());
  } else {
    // A gaiji the font lacks: its number, which no glyph mark equals.
    const std::string none = std::string(1, eb_mark::kGaijiMark) + "?" + std::to_string(argv[0]) + eb_mark::kGaijiEnd;
    eb_write_text(book, none.data(), none.size());
  }
  return EB_SUCCESS;
}

EB_Error_Code OnMark(EB_Book* book, EB_Appendix*, void* c, EB_Hook_Code code, int, const unsigned int* argv) {
  EbSession::State* s = StateOf(c);
  switch (code) {
    case EB_HOOK_NEWLINE: eb_write_text_byte1(book, '\n'); break;
    case EB_HOOK_BEGIN_KEYWORD: Mark(book, eb_mark::kKeywordOn); break;
    case EB_HOOK_END_KEYWORD: Mark(book, eb_mark::kKeywordOff); break;
    case EB_HOOK_BEGIN_EMPHASIS: Mark(book, eb_mark::kStyleOn, 'b'); break;
    case EB_HOOK_END_EMPHASIS: Mark(book, eb_mark::kStyleOff, 'b'); break;
    case EB_HOOK_BEGIN_SUBSCRIPT: Mark(book, eb_mark::kStyleOn, 's'); break;
    case EB_HOOK_END_SUBSCRIPT: Mark(book, eb_mark::kStyleOff, 's'); break;
    case EB_HOOK_BEGIN_SUPERSCRIPT: Mark(book, eb_mark::kStyleOn, 'u'); break;
    case EB_HOOK_END_SUPERSCRIPT: Mark(book, eb_mark::kStyleOff, 'u'); break;
    case EB_HOOK_BEGIN_DECORATION:
      // 1 italic, 3 bold.
      s->decorations.push_back(argv[1]);
      if (argv[1] == 1 || argv[1] == 3) Mark(book, eb_mark::kStyleOn, argv[1] == 1 ? 'i' : 'b');
      break;
    case EB_HOOK_END_DECORATION:
      if (!s->decorations.empty()) {
        const unsigned d = s->decorations.back();
        s->decorations.pop_back();
        if (d == 1 || d == 3) Mark(book, eb_mark::kStyleOff, d == 1 ? 'i' : 'b');
      }
      break;
    case EB_HOOK_BEGIN_REFERENCE: Mark(book, eb_mark::kLinkOn); break;
    case EB_HOOK_END_REFERENCE:
      s->reading->references.push_back({static_cast<int>(argv[1]), static_cast<int>(argv[2])});
      Mark(book, eb_mark::kLinkOff);
      break;
    case EB_HOOK_BEGIN_COLOR_BMP:
    case EB_HOOK_BEGIN_COLOR_JPEG:
      s->reading->pictures.push_back({static_cast<int>(argv[2]), static_cast<int>(argv[3])});
      Mark(book, eb_mark::kImageOn);
      break;
    case EB_HOOK_END_COLOR_GRAPHIC: Mark(book, eb_mark::kImageOff); break;
    default: break;
  }
  return EB_SUCCESS;
}

// A glyph's bitmap as a gaiji mark: 'n' or 'w' and 64 hexadecimal digits
// of 16 rows of 16 dots (a narrow glyph in the middle 8 columns).
std::string GaijiMarkOf(const char* bitmap, bool narrow) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string m(1, eb_mark::kGaijiMark);
  m += narrow ? 'n' : 'w';
  for (int y = 0; y < 16; ++y) {
    uint32_t row = narrow ? static_cast<uint32_t>(static_cast<unsigned char>(bitmap[y])) << 4
                          : static_cast<uint32_t>(static_cast<unsigned char>(bitmap[2 * y])) << 8 |
                                static_cast<unsigned char>(bitmap[2 * y + 1]);
    for (int shift = 12; shift >= 0; shift -= 4) m += kDigits[row >> shift & 0xF];
  }
  m += eb_mark::kGaijiEnd;
  return m;
}

}  // namespace

EbSession::EbSession() : s_(std::make_unique<State>()) {
  eb_initialize_library();
  eb_initialize_book(&s_->book);
  eb_initialize_hookset(&s_->hooks);
  const EB_Hook hooks[] = {{EB_HOOK_NARROW_JISX0208, OnNarrowJis},
                           {EB_HOOK_NARROW_FONT, OnGaiji},
                           {EB_HOOK_WIDE_FONT, OnGaiji},
                           {EB_HOOK_NEWLINE, OnMark},
                           {EB_HOOK_BEGIN_KEYWORD, OnMark},
                           {EB_HOOK_END_KEYWORD, OnMark},
                           {EB_HOOK_BEGIN_EMPHASIS, OnMark},
                           {EB_HOOK_END_EMPHASIS, OnMark},
                           {EB_HOOK_BEGIN_SUBSCRIPT, OnMark},
                           {EB_HOOK_END_SUBSCRIPT, OnMark},
                           {EB_HOOK_BEGIN_SUPERSCRIPT, OnMark},
                           {EB_HOOK_END_SUPERSCRIPT, OnMark},
                           {EB_HOOK_BEGIN_DECORATION, OnMark},
                           {EB_HOOK_END_DECORATION, OnMark},
                           {EB_HOOK_BEGIN_REFERENCE, OnMark},
                           {EB_HOOK_END_REFERENCE, OnMark},
                           {EB_HOOK_BEGIN_COLOR_BMP, OnMark},
                           {EB_HOOK_BEGIN_COLOR_JPEG, OnMark},
                           {EB_HOOK_END_COLOR_GRAPHIC, OnMark},
                           {EB_HOOK_NULL, nullptr}};
  eb_set_hooks(&s_->hooks, hooks);
  for (unsigned c = 0x20; c < 0x7F; ++c) s_->ascii[JisOfAscii(static_cast<unsigned char>(c)) | 0x8080u] = static_cast<char>(c);
}

EbSession::~EbSession() {
  eb_finalize_hookset(&s_->hooks);
  eb_finalize_book(&s_->book);
  eb_finalize_library();
}

bool EbSession::Open(const std::string& dir, std::string* error) {
  EB_Subbook_Code subbooks[EB_MAX_SUBBOOKS];
  int count = 0;
  s_->reads = std::make_unique<BookFileReads>(dir);
  EB_Error_Code e = eb_bind(&s_->book, dir.c_str());
  if (e == EB_SUCCESS) e = eb_subbook_list(&s_->book, subbooks, &count);
  if (e == EB_SUCCESS && count < 1) e = EB_ERR_NO_SUCH_SUB;
  if (e == EB_SUCCESS) e = eb_set_subbook(&s_->book, subbooks[0]);
  if (e != EB_SUCCESS) {
    *error = dir + ": " + eb_error_message(e);
    return false;
  }
  // The 16-dot fonts, read whole now: a hook that meets a gaiji cannot ask
  // the library for its glyph while the library reads.
  if (eb_have_font(&s_->book, EB_FONT_16) && eb_set_font(&s_->book, EB_FONT_16) == EB_SUCCESS) {
    int start = 0, end = 0;
    char bitmap[EB_SIZE_WIDE_FONT_16];
    if (eb_narrow_font_start(&s_->book, &start) == EB_SUCCESS && eb_narrow_font_end(&s_->book, &end) == EB_SUCCESS) {
      for (int code = start; code <= end; ++code) {
        if (eb_narrow_font_character_bitmap(&s_->book, code, bitmap) == EB_SUCCESS) {
          s_->narrow[code] = GaijiMarkOf(bitmap, true);
        }
      }
    }
    if (eb_wide_font_start(&s_->book, &start) == EB_SUCCESS && eb_wide_font_end(&s_->book, &end) == EB_SUCCESS) {
      for (int code = start; code <= end; ++code) {
        if (eb_wide_font_character_bitmap(&s_->book, code, bitmap) == EB_SUCCESS) {
          s_->wide[code] = GaijiMarkOf(bitmap, false);
        }
      }
    }
  }
  s_->bound = true;
  return true;
}

namespace {

bool Start(EB_Error_Code (*where)(EB_Book*, EB_Position*), EB_Book* book, EbPosition* p) {
  EB_Position pos;
  if (where(book, &pos) != EB_SUCCESS) return false;
  *p = {pos.page, pos.offset};
  return true;
}

}  // namespace

bool EbSession::TextStart(EbPosition* p) { return Start(eb_text, &s_->book, p); }

bool EbSession::MenuStart(EbPosition* p) { return eb_have_menu(&s_->book) && Start(eb_menu, &s_->book, p); }

bool EbSession::CopyrightStart(EbPosition* p) {
  return eb_have_copyright(&s_->book) && Start(eb_copyright, &s_->book, p);
}

bool EbSession::Seek(const EbPosition& p) {
  EB_Position pos;
  pos.page = p.page;
  pos.offset = p.offset;
  return eb_seek_text(&s_->book, &pos) == EB_SUCCESS;
}

EbPosition EbSession::Tell() {
  EB_Position pos;
  if (eb_tell_text(&s_->book, &pos) != EB_SUCCESS) return {};
  return {pos.page, pos.offset};
}

bool EbSession::ReadOn(Reading* r, size_t max) {
  s_->reading = r;
  s_->decorations.clear();
  char buf[16384];
  ssize_t n = 0;
  while (r->text.size() < max) {
    if (eb_read_text(&s_->book, nullptr, &s_->hooks, s_.get(), sizeof buf - 1, buf, &n) != EB_SUCCESS) {
      s_->reading = nullptr;
      return false;
    }
    r->text.append(buf, static_cast<size_t>(n));
    if (eb_is_text_stopped(&s_->book) || n == 0) break;
  }
  s_->reading = nullptr;
  return true;
}

bool EbSession::Forward() { return eb_forward_text(&s_->book, nullptr) == EB_SUCCESS; }

bool EbSession::Search(EbSearch how, const std::string& word) {
  s_->searched = false;
  EB_Error_Code e = EB_ERR_NO_SUCH_SEARCH;
  switch (how) {
    case EbSearch::kExact: e = eb_search_exactword(&s_->book, word.c_str()); break;
    case EbSearch::kWord: e = eb_search_word(&s_->book, word.c_str()); break;
    case EbSearch::kEndWord: e = eb_search_endword(&s_->book, word.c_str()); break;
    case EbSearch::kKeyword: {
      const char* const words[] = {word.c_str(), nullptr};
      e = eb_search_keyword(&s_->book, words);
      break;
    }
  }
  s_->searched = e == EB_SUCCESS;
  return s_->searched;
}

std::vector<EbHit> EbSession::Hits(size_t max) {
  std::vector<EbHit> hits;
  if (!s_->searched) return hits;
  EB_Hit batch[256];
  for (;;) {
    const size_t want = max == 0 ? 256 : std::min<size_t>(256, max - hits.size());
    int count = 0;
    if (want == 0 || eb_hit_list(&s_->book, static_cast<int>(want), batch, &count) != EB_SUCCESS || count <= 0) break;
    for (int i = 0; i < count; ++i) {
      hits.push_back({{batch[i].text.page, batch[i].text.offset}, {batch[i].heading.page, batch[i].heading.offset}});
    }
    if (static_cast<size_t>(count) < want) break;
  }
  return hits;
}

std::string EbSession::NarrowGlyph(int code) {
  const auto g = s_->narrow.find(code);
  return g == s_->narrow.end() ? "" : g->second;
}

std::string EbSession::WideGlyph(int code) {
  const auto g = s_->wide.find(code);
  return g == s_->wide.end() ? "" : g->second;
}

std::string EbSession::Picture(const EbPosition& p) {
  EB_Position pos;
  pos.page = p.page;
  pos.offset = p.offset;
  std::string data;
  if (eb_set_binary_color_graphic(&s_->book, &pos) != EB_SUCCESS) return data;
  char buf[16384];
  for (;;) {
    ssize_t n = 0;
    if (eb_read_binary(&s_->book, sizeof buf, buf, &n) != EB_SUCCESS || n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

}  // namespace hz
