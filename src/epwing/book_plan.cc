#include "epwing/book_plan.h"

#include <bitset>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "book/gaiji_files.h"
#include "core/book_pages.h"
#include "core/hex.h"
#include "data/dict_file.h"
#include "data/gaiji_table.h"
#include "epwing/gaiji_xml.h"
#include "epwing/page_tokens.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/lead_byte.h"
#include "platform/page_writer.h"

namespace hz {

namespace {

constexpr uint32_t kPrivateFirst = 0xF040;
constexpr uint32_t kPrivateLast = 0xF9FC;

bool IsPrivate(uint32_t code) { return code >= kPrivateFirst && code <= kPrivateLast; }

// A name from the dictionary's files may hold any byte; one with a control
// character cannot stand in the plan's lines (nor be a file name of the
// book), so it is passed over.
bool HasControl(std::string_view s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// What the pages hold: their characters, in a pass over their bytes, and
// their entries, identifiers, links and images, read as the book's text
// reads them (PageTokens), so that the plan and the text agree on each.
struct PageScan {
  std::bitset<0x10000> codes;  // double-byte characters
  std::bitset<0x10000> private_codes;  // references and private-area characters
  // Identifiers that the text places, and those links point at, in the
  // order of their first link.
  std::unordered_set<PageId, PageIdHash> defined, referenced;
  std::vector<PageId> references;
  std::vector<std::string> images;  // src of each <img>, once
  std::set<std::string> image_seen;
  int64_t entries = 0;
};

// An <a>: an anchor the text places, or a link.
void ScanAnchor(const PageToken& t, std::string_view page, PageScan* scan) {
  if (t.closing) return;
  const std::string_view anchor = AttributeValue(t.attributes, "name");
  const std::string_view href = AttributeValue(t.attributes, "href");
  const size_t hash = href.find('#');
  if (!anchor.empty()) {
    scan->defined.insert({page, anchor});
  } else if (hash != std::string_view::npos) {
    const PageId target{hash == 0 ? page : href.substr(0, hash), href.substr(hash + 1)};
    if (scan->referenced.insert(target).second) scan->references.push_back(target);
  }
}

// The page's markup: what the page head holds is no text; inside an image's
// alt text only anchors count; a <dt> begins an entry of an entry page.
void ScanMarkup(const std::string& bytes, std::string_view page, bool entries, PageScan* scan) {
  bool head = true, alt = false;
  PageTokens tokens(bytes);
  for (PageToken t = tokens.Next(); t.kind != PageToken::kEnd; t = tokens.Next()) {
    if (t.kind == PageToken::kImage) {
      alt = true;
      const std::string src(t.text);
      if (scan->image_seen.insert(src).second) scan->images.push_back(src);
    } else if (t.kind == PageToken::kAltEnd) {
      alt = false;
    } else if (t.kind != PageToken::kElement) {
      continue;
    } else if (alt || (!head && t.name == "a")) {
      if (t.name == "a") ScanAnchor(t, page, scan);
    } else if (t.name == "body" && !t.closing) {
      head = false;
    } else if (!head && entries && t.name == "dt" && !t.closing) {
      ++scan->entries;
      if (t.attributes.find("id=\"") != std::string_view::npos) {
        scan->defined.insert({page, AttributeValue(t.attributes, "id")});
      }
    }
  }
}

// The page's characters.
void ScanCharacters(const std::string& bytes, PageScan* scan) {
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  while (p < end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '&') {
      uint32_t code = 0;
      if (end - p >= 8 && p[1] == '#' && p[2] == 'x' && p[7] == ';' && ParseHexDigits(p + 3, 4, &code)) {
        scan->private_codes.set(code);
        p += 8;
      } else {
        ++p;
      }
    } else if (IsLeadByte(c) && p + 1 < end) {
      const uint32_t code = static_cast<uint32_t>(c) << 8 | static_cast<unsigned char>(p[1]);
      if (IsPrivate(code)) {
        scan->private_codes.set(code);
      } else {
        scan->codes.set(code);
      }
      p += 2;
    } else {
      ++p;
    }
  }
}

// The Unicode code point of a Shift-JIS character, 0 when it has none.
uint32_t CodePointOf(uint32_t code) {
  const char sjis[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  std::string utf8;
  if (!AppendShiftJisAsUtf8(sjis, 2, &utf8)) return 0;
  return ParseGaijiCharacter(utf8);
}

// The code points of Shift-JIS characters, 0 for one that has none: in one
// conversion when every one has one, else one by one.
std::vector<uint32_t> CodePointsOf(const std::vector<uint32_t>& codes) {
  std::string sjis, utf8;
  for (uint32_t code : codes) {
    sjis += static_cast<char>(code >> 8);
    sjis += static_cast<char>(code & 0xFF);
    sjis += '\n';
  }
  std::vector<uint32_t> points;
  if (AppendShiftJisAsUtf8(sjis.data(), sjis.size(), &utf8)) {
    for (size_t a = 0, b; (b = utf8.find('\n', a)) != std::string::npos; a = b + 1) {
      points.push_back(ParseGaijiCharacter(utf8.substr(a, b - a)));
    }
  }
  if (points.size() == codes.size()) return points;
  points.clear();
  for (uint32_t code : codes) points.push_back(CodePointOf(code));
  return points;
}

// The text the book writes for character cp when JIS X 0208 (or ASCII)
// holds it: EUC-JP bytes; "" when it does not.
std::string JisTextOf(uint32_t cp) {
  std::string sjis;
  if (cp == 0 || !Utf8AsShiftJis(Utf8Of(cp), &sjis)) return "";
  if (sjis.size() == 1 && static_cast<unsigned char>(sjis[0]) >= 0x20 &&
      static_cast<unsigned char>(sjis[0]) < 0x7F) {
    return sjis;
  }
  if (sjis.size() != 2) return "";
  const uint32_t code = static_cast<uint32_t>(static_cast<unsigned char>(sjis[0])) << 8 |
                        static_cast<unsigned char>(sjis[1]);
  return IsJisX0208Row(code) ? ShiftJisToEuc(code) : "";
}

// Builds the plan from what the pages hold.
class Planner {
 public:
  Planner(const PlanInputs& inputs, BookPlan* plan) : in_(inputs), plan_(plan) {}

  void Characters(const PageScan& scan) {
    std::vector<uint32_t> codes;
    for (uint32_t code = 0x8100; code < 0x10000; ++code) {
      if (scan.codes.test(code)) codes.push_back(code);
    }
    const std::vector<uint32_t> points = CodePointsOf(codes);
    for (size_t i = 0; i < codes.size(); ++i) {
      const uint32_t code = codes[i], cp = points[i];
      if (IsJisX0208Row(code) && cp != 0) continue;  // written as it is
      if (cp == 0) {
        AddGaiji(code, "s" + Hex4(code), 0, "");
        continue;
      }
      const std::string text = JisTextOf(cp);
      if (!text.empty()) {
        plan_->text[code] = text;
      } else {
        AddGaiji(code, "u" + HexOf(cp), cp, "");
      }
    }
  }

  // Private-area characters: as gaiji.tsv names them and GaijiMap.xml and
  // Gaiji.xml draw them.
  void PrivateCharacters(const PageScan& scan) {
    const DictFile table(ToFileSystemPath(in_.out_path + "gaiji.tsv"), "gaiji.tsv", in_.report);
    std::map<uint32_t, GaijiTableRow> names;
    for (GaijiTableRow& row : ReadGaijiTable(table)) {
      if (row.code != 0) names.emplace(row.code, std::move(row));
    }
    const std::map<uint32_t, std::string> map =
        ParseGaijiMap(ReadSmallFile(ToFileSystemPath(in_.out_path + "GaijiMap.xml")));
    const std::map<std::string, Glyph16> font =
        ParseGaijiFont(ReadSmallFile(ToFileSystemPath(in_.out_path + "Gaiji.xml")));
    for (uint32_t code = kPrivateFirst; code < 0x10000; ++code) {
      if (!scan.private_codes.test(code)) continue;
      // The character the user names it as; else, for a character that code
      // page 932 has (the IBM extensions, such as 髙), that character.
      const auto n = names.find(code);
      uint32_t cp = n == names.end() ? 0 : n->second.character;
      if (cp == 0) {
        const uint32_t own = CodePointOf(code);
        if (own < 0xE000 || own > 0xF8FF) cp = own;
      }
      const std::string alt = n == names.end() ? "" : n->second.alt;
      const std::string text = JisTextOf(cp);
      if (!text.empty()) {
        plan_->text[code] = text;
        continue;
      }
      const auto ebcode = map.find(code);
      const std::string name = ebcode != map.end() ? ebcode->second : "p" + Hex4(code);
      const size_t index = AddGaiji(code, name, cp, alt);
      // Gaiji.xml's glyph, unless it is still the placeholder of a character
      // that gaiji.tsv names: then the font draws it.
      const auto drawn = ebcode != map.end() ? font.find(ebcode->second) : font.end();
      if (drawn != font.end() && !(cp != 0 && drawn->second == PlaceholderGlyph(code))) {
        plan_->gaiji[index].glyph = drawn->second;
        drawn_.insert(index);
      }
    }
  }

  // Glyphs of the gaiji that Gaiji.xml does not draw: the font's, else a
  // placeholder that shows the code.
  void Glyphs() {
    std::set<uint32_t> wanted;
    for (size_t i = 0; i < plan_->gaiji.size(); ++i) {
      if (!drawn_.count(i) && plan_->gaiji[i].character != 0) wanted.insert(plan_->gaiji[i].character);
    }
    std::map<uint32_t, Glyph16> glyphs;
    std::string error;
    if (!wanted.empty() && !LoadFontGlyphs(ToFileSystemPath(in_.font), wanted, &glyphs, &error)) {
      in_.report->Damaged(in_.font, error + ", so " + std::to_string(wanted.size()) +
                                        " characters of the book keep placeholder glyphs");
    }
    for (size_t i = 0; i < plan_->gaiji.size(); ++i) {
      if (drawn_.count(i)) continue;
      BookGaiji& g = plan_->gaiji[i];
      const auto found = glyphs.find(g.character);
      g.glyph = found != glyphs.end() ? found->second : PlaceholderGlyph(first_code_[i]);
    }
  }

  void Images(const PageScan& scan) {
    for (const std::string& src : scan.images) {
      if (HasControl(src)) continue;
      const size_t dot = src.rfind('.');
      std::string ext = dot == std::string::npos ? "" : src.substr(dot + 1);
      for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      const std::string type = ext == "jpg" || ext == "jpeg" ? "jpeg" : ext == "bmp" ? "bmp" : "";
      const std::string fs = ToFileSystemPath(in_.out_path + src);
      // Only a file that is what its name says: FreePWING would stop at
      // anything else.
      InputFile file(fs);
      char magic[2] = {0, 0};
      if (type.empty() || !file.is_open() || file.ReadAt(0, magic, 2) != 2) continue;
      const bool jpeg = magic[0] == '\xFF' && magic[1] == '\xD8';
      const bool bmp = magic[0] == 'B' && magic[1] == 'M';
      if ((type == "jpeg" && !jpeg) || (type == "bmp" && !bmp)) continue;
      plan_->images.push_back({src, "img" + std::to_string(plan_->images.size() + 1), type, fs});
    }
  }

  void Targets(const PageScan& scan) {
    plan_->targets.reserve(scan.references.size());
    for (const PageId& target : scan.references) {
      if (HasControl(target.page) || HasControl(target.id) || scan.defined.count(target) == 0) continue;
      plan_->targets.push_back({std::string(target.page), std::string(target.id),
                                "t" + std::to_string(plan_->targets.size() + 1)});
    }
  }

 private:
  static std::string HexOf(uint32_t cp) {
    std::string hex = Hex4(cp);
    if (cp > 0xFFFF) hex = Hex4(cp >> 16).substr(cp > 0xFFFFF ? 2 : 3) + hex;
    return hex;
  }

  // The gaiji of that name, made the first time it is asked for.
  size_t AddGaiji(uint32_t code, const std::string& name, uint32_t cp, const std::string& alt) {
    auto found = by_name_.find(name);
    size_t index;
    if (found == by_name_.end()) {
      index = plan_->gaiji.size();
      BookGaiji g;
      g.name = name;
      g.character = cp;
      g.alt = alt;
      plan_->gaiji.push_back(g);
      first_code_.push_back(code);
      by_name_[name] = index;
    } else {
      index = found->second;
    }
    plan_->gaiji_of[code] = index;
    return index;
  }

  const PlanInputs& in_;
  BookPlan* plan_;
  std::map<std::string, size_t> by_name_;
  std::vector<uint32_t> first_code_;  // the code each gaiji was made for
  std::set<size_t> drawn_;            // gaiji that Gaiji.xml draws
};

}  // namespace

bool ReadPage(const std::string& fs_path, std::string* bytes, std::string* error) {
  InputFile file(fs_path);
  if (!file.is_open()) {
    *error = file.missing() ? "missing" : "cannot be read: " + file.open_error();
    return false;
  }
  bytes->assign(static_cast<size_t>(file.size()), '\0');
  bytes->resize(file.ReadAt(0, &(*bytes)[0], bytes->size()));
  return true;
}

bool IsJisX0208Row(uint32_t code) {
  const uint32_t lead = code >> 8;
  const uint32_t trail = code & 0xFF;
  const bool lead_ok = (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
                       (lead >= 0xE0 && lead <= 0xEA);
  return lead_ok && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
}

std::string ShiftJisToEuc(uint32_t code) {
  const uint32_t lead = code >> 8;
  uint32_t trail = code & 0xFF;
  const uint32_t row = (lead <= 0x9F ? lead - 0x70 : lead - 0xB0) * 2;
  if (trail >= 0x9F) {
    return {static_cast<char>(row | 0x80), static_cast<char>((trail - 0x7E) | 0x80)};
  }
  if (trail >= 0x80) --trail;
  return {static_cast<char>((row - 1) | 0x80), static_cast<char>((trail - 0x1F) | 0x80)};
}

bool ReadBookPages(const std::string& out_path, BookPages* pages, std::string* error) {
  for (const BookPage& page : kBookPages) {
    const std::string path = out_path + page.file_name;
    std::string why;
    if (!ReadPage(ToFileSystemPath(path), &(*pages)[page.file_name], &why)) {
      *error = path + ": " + why;
      return false;
    }
  }
  return true;
}

void MakeBookPlan(const PlanInputs& inputs, const BookPages& pages, BookPlan* plan) {
  PageScan scan;
  // Room for an identifier in every few hundred bytes of the pages.
  size_t bytes = 0;
  for (const auto& p : pages) bytes += p.second.size();
  scan.defined.reserve(bytes / 256);
  scan.referenced.reserve(bytes / 512);
  for (const BookPage& page : kBookPages) {
    const auto bytes = pages.find(page.file_name);
    if (bytes == pages.end()) continue;
    ScanCharacters(bytes->second, &scan);
    ScanMarkup(bytes->second, page.file_name, page.kind != PageKind::kSection, &scan);
  }
  *plan = BookPlan();
  plan->entries = scan.entries;
  Planner planner(inputs, plan);
  planner.Characters(scan);
  planner.PrivateCharacters(scan);
  planner.Glyphs();
  planner.Images(scan);
  planner.Targets(scan);
}

}  // namespace hz
