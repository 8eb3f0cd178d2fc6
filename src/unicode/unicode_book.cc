#include "unicode/unicode_book.h"

#include "core/hex.h"
#include "core/utf8.h"
#include "unicode/glyph_png.h"

namespace hz {

bool Exportable(uint32_t cp) {
  if (cp < 0x20) return cp == '\t' || cp == '\n';
  return cp != 0x7F && !(cp >= 0xE000 && cp <= 0xF8FF) && cp != 0xFFFD;
}

bool AllExportable(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    uint32_t cp;
    const size_t n = ReadUtf8(p, end, &cp);
    // A byte read as itself is no character.
    if ((n == 1 && static_cast<unsigned char>(*p) >= 0x80) || !Exportable(cp)) return false;
    p += n;
  }
  return true;
}

std::string_view CutUtf8(std::string_view text, size_t n) {
  if (text.size() <= n) return text;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

std::string_view TrimSpaces(std::string_view text) {
  static constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
      text.remove_prefix(1);
    } else if (text.substr(0, 3) == kIdeographicSpace) {
      text.remove_prefix(3);
    } else if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
      text.remove_suffix(1);
    } else if (text.size() >= 3 && text.substr(text.size() - 3) == kIdeographicSpace) {
      text.remove_suffix(3);
    } else {
      return text;
    }
  }
}

std::string ExportWord(std::string_view word) {
  std::string kept;
  kept.reserve(word.size());
  const char* p = word.data();
  const char* const end = p + word.size();
  while (p < end) {
    uint32_t cp;
    const size_t n = ReadUtf8(p, end, &cp);
    const bool character = n > 1 || static_cast<unsigned char>(*p) < 0x80;
    if (character && Exportable(cp) && cp >= 0x20) kept.append(p, n);
    p += n;
  }
  return std::string(CutUtf8(TrimSpaces(kept), kMaxExportWordBytes));
}

void AppendPlain(const UnicodeBook& book, std::string_view content, std::string* out) {
  ForEachRun(content, [&](const Run& r) {
    if (r.kind == Run::kText) {
      *out += r.text;
    } else if (r.kind == Run::kGaiji) {
      *out += book.Gaiji(r.index).text;
    } else if (r.kind == Run::kLineBreak) {
      *out += ' ';
    }
  });
}

namespace {

// How a gaiji appears: its named character, else its alt text, else a
// picture.
UnicodeGaiji FormOf(const BookGaiji& g) {
  UnicodeGaiji u;
  u.code = Hex4(g.code);
  if (g.character != 0 && Exportable(g.character) && g.character >= 0x20) {
    u.text = Utf8Of(g.character);
  } else if (!g.alt.empty() && AllExportable(g.alt)) {
    u.text = g.alt;
  } else {
    u.picture = "gaiji/" + u.code + ".png";
    u.narrow = g.glyph.width == 8;
  }
  return u;
}

const char* ExtensionOf(ImageFormat f) {
  switch (f) {
    case ImageFormat::kJpeg: return ".jpg";
    case ImageFormat::kBmp: return ".bmp";
    case ImageFormat::kPng: return ".png";
    case ImageFormat::kGif: return ".gif";
    case ImageFormat::kNone: break;
  }
  return "";
}

// Whether the pages' name of a picture is safe to keep it under: a
// relative path of plain names (no "..", nothing absolute) whose ending
// says what the picture is, as readers judge a picture by its name.
bool PlainPicturePath(const std::string& src, ImageFormat f) {
  if (src.empty() || src.size() > 200 || src.front() == '/' || src.back() == '/') return false;
  size_t component = 0;
  for (size_t i = 0; i <= src.size(); ++i) {
    if (i == src.size() || src[i] == '/') {
      const std::string_view name(src.data() + component, i - component);
      if (name.empty() || name == "." || name == "..") return false;
      component = i + 1;
      continue;
    }
    const char c = src[i];
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                       c == '-' || c == '_';
    if (!plain) return false;
  }
  if (src.compare(0, 6, "gaiji/") == 0 || src.compare(0, 9, "pictures/") == 0) return false;
  std::string ending = src.substr(src.rfind('.') == std::string::npos ? src.size() : src.rfind('.'));
  for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ending == ExtensionOf(f) || (f == ImageFormat::kJpeg && ending == ".jpeg");
}

}  // namespace

bool PictureRuns::Keep(const Run& r) {
  if (!keeping_ || r.kind == Run::kImageOff) return false;
  if (r.kind == Run::kText) caption_ += r.text;
  if (r.kind == Run::kGaiji) caption_ += book_.Gaiji(r.index).text;
  return true;
}

bool PictureRuns::Begin(uint32_t image) {
  image_ = image;
  keeping_ = !book_.PicturePath(image).empty();
  caption_.clear();
  return keeping_;
}

const std::string& PictureRuns::End() {
  static const std::string kNone;
  const bool shown = keeping_;
  keeping_ = false;
  return shown ? book_.PicturePath(image_) : kNone;
}

std::string UnicodeBook::PartName(uint32_t part) const {
  const std::string& word = headwords_[part];
  return part < model_.entry_count ? "entry " + std::to_string(part + 1) + " (" + word + ")" : "the page " + word;
}

UnicodeBook::UnicodeBook(const BookModel& model) : model_(model) {
  gaiji_.reserve(model.gaiji.size());
  for (const BookGaiji& g : model.gaiji) {
    gaiji_.push_back(FormOf(g));
    if (!gaiji_.back().picture.empty()) pictures_.push_back({gaiji_.back().picture, GlyphPng(g.glyph)});
  }
  picture_paths_.resize(model.images.size());
  for (uint32_t i = 0; i < model.images.size(); ++i) {
    const BookImage& image = model.images[i];
    if (!image.found()) continue;
    picture_paths_[i] = PlainPicturePath(image.src, image.format)
                            ? image.src
                            : "pictures/" + std::to_string(i + 1) + ExtensionOf(image.format);
  }
  headwords_.resize(model.parts.size());
  std::string plain;
  for (uint32_t i = 0; i < model.parts.size(); ++i) {
    const BookPart& p = model.parts[i];
    plain.clear();
    AppendPlain(*this, model.Heading(p), &plain);
    std::string_view word = TrimSpaces(plain);
    if (word.empty() && p.words_begin < p.words_end) word = model.Word(model.words[p.words_begin]);
    headwords_[i] = word.empty() ? "(" + std::to_string(i + 1) + ")" : std::string(CutUtf8(word, kMaxExportWordBytes));
  }
}

}  // namespace hz
