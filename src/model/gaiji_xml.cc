#include "model/gaiji_xml.h"

#include <vector>

#include "core/hex.h"

namespace hz {

namespace {

// The value of attribute name in the element text (between '<' and '>').
std::string Attribute(const std::string& element, const std::string& name) {
  const size_t at = element.find(name + "=\"");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 2;
  const size_t end = element.find('"', start);
  return end == std::string::npos ? "" : element.substr(start, end - start);
}

// Calls each(element, after) for every element <tag ...> of xml; after is
// where the element ends.
template <typename Each>
void ForEachElement(const std::string& xml, const std::string& tag, Each each) {
  const std::string open = "<" + tag;
  for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
    const size_t end = xml.find('>', at);
    if (end == std::string::npos) return;
    each(xml.substr(at, end - at), end + 1);
  }
}

}  // namespace

std::map<uint32_t, std::string> ParseGaijiMap(const std::string& xml) {
  std::map<uint32_t, std::string> map;
  ForEachElement(xml, "gaijiMap", [&map](const std::string& element, size_t) {
    const std::string unicode = Attribute(element, "unicode");
    const std::string ebcode = Attribute(element, "ebcode");
    uint32_t code = 0;
    if (unicode.size() == 6 && unicode.compare(0, 2, "#x") == 0 && ebcode.size() == 4 &&
        ParseHexDigits(unicode.data() + 2, 4, &code) && map.count(code) == 0) {
      map[code] = ebcode;
    }
  });
  return map;
}

std::map<std::string, Glyph16> ParseGaijiFont(const std::string& xml) {
  std::map<std::string, Glyph16> font;
  ForEachElement(xml, "fontData", [&](const std::string& element, size_t after) {
    const std::string ebcode = Attribute(element, "ebcode");
    const size_t end = xml.find("</fontData>", after);
    if (ebcode.empty() || end == std::string::npos) return;
    // The lines between the element's tags, without the line end after the
    // opening tag.
    std::vector<std::string> lines;
    size_t start = xml.find('\n', after);
    if (start == std::string::npos || start > end) return;
    for (++start; start < end;) {
      size_t eol = xml.find('\n', start);
      if (eol == std::string::npos || eol > end) eol = end;
      std::string line = xml.substr(start, eol - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = eol + 1;
    }
    if (lines.size() != 16) return;
    Glyph16 glyph;
    for (size_t y = 0; y < 16; ++y) {
      if (lines[y].size() > 16) return;
      for (size_t x = 0; x < lines[y].size(); ++x) {
        if (lines[y][x] == '#') glyph.rows[y] |= static_cast<uint16_t>(0x8000 >> x);
      }
    }
    font.emplace(ebcode, glyph);
  });
  return font;
}

}  // namespace hz
