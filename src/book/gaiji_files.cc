#include "book/gaiji_files.h"

#include <cstdio>
#include <cstring>

#include "core/hex.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/page_file.h"

namespace hz {

const char kGaijiComment[] =
    "<!-- Written by hz2html: the characters named in gaiji.tsv in their font's glyphs,\n"
    "     the others as placeholders that show their code. Draw over a glyph, then\n"
    "     delete this comment: hz2html rewrites this file only while it is here. -->\n";

namespace {

constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n";
constexpr size_t kGlyphsPerRow = 94;


void XmlHead(PageWriter& out) {
  out.Lit(kXmlDeclaration);
  out.Lit(kGaijiComment);
}

void WriteString(PageWriter& out, const std::string& s) { out.Write(s.data(), s.size()); }

// Text in an XML attribute value.
std::string XmlAttribute(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A row of gaiji.tsv.
std::string TableRow(const std::string& code, const std::string& count, const GaijiTableRow& user,
                     const std::string& first, const std::string& context) {
  return code + "\t" + count + "\t" + first + "\t" + context + "\t" + user.unicode_text + "\t" +
         user.alt_text + "\n";
}

}  // namespace

std::vector<uint32_t> GaijiFiles::NamedCharacters() const {
  std::vector<uint32_t> named;
  for (const GaijiTableRow& n : names) {
    if (n.character != 0) named.push_back(n.character);
  }
  return named;
}

GaijiFiles MergeGaijiTable(std::vector<GaijiUse> uses, std::vector<GaijiTableRow> table) {
  GaijiFiles gaiji;
  gaiji.uses = std::move(uses);
  std::map<uint32_t, size_t> used_at;
  for (size_t i = 0; i < gaiji.uses.size(); ++i) used_at[gaiji.uses[i].code] = i;
  gaiji.names.resize(gaiji.uses.size());
  for (GaijiTableRow& row : table) {
    const auto at = used_at.find(row.code);
    if (row.code != 0 && at != used_at.end()) {
      gaiji.names[at->second] = std::move(row);
    } else {
      gaiji.unreferenced.push_back(std::move(row));
    }
  }
  return gaiji;
}

std::string GaijiEbcode(size_t n) {
  return Hex4(static_cast<uint32_t>((0xB1 + n / kGlyphsPerRow) << 8 | (0x21 + n % kGlyphsPerRow)));
}

std::array<std::string, 16> GlyphLines(const Glyph16& glyph) {
  std::array<std::string, 16> lines;
  for (size_t y = 0; y < 16; ++y) {
    lines[y].resize(16);
    for (size_t x = 0; x < 16; ++x) lines[y][x] = (glyph.rows[y] >> (15 - x)) & 1 ? '#' : ' ';
  }
  return lines;
}

std::string ReaderMapLine(const std::string& ebcode, uint32_t character, const std::string& alt) {
  std::string code = "-";
  if (character != 0) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "u%04X", static_cast<unsigned>(character));
    code = hex;
  }
  return "z" + ebcode + "\t" + code + "\t" + alt + "\n";
}

int WriteGaijiTable(const std::string& path, const GaijiFiles& gaiji) {
  return WriteOutputFile(path, [&gaiji](PageWriter& out) {
    out.Lit("code\tcount\tfirst\tcontext\tunicode\talt\n");
    for (size_t i = 0; i < gaiji.uses.size(); ++i) {
      const GaijiUse& u = gaiji.uses[i];
      WriteString(out, TableRow(Hex4(u.code), std::to_string(u.count), gaiji.names[i], u.first, u.context));
    }
    // The user's rows that no page references any more: kept, count 0.
    for (const GaijiTableRow& r : gaiji.unreferenced) {
      WriteString(out, TableRow(r.code_text, "0", r, r.first, r.context));
    }
  });
}

int WriteGaijiMap(const std::string& path, const GaijiFiles& gaiji) {
  return WriteOutputFile(path, [&gaiji](PageWriter& out) {
    XmlHead(out);
    out.Lit("<gaijiSet>\n");
    for (size_t i = 0; i < gaiji.uses.size(); ++i) {
      std::string line = "  <gaijiMap unicode=\"#x" + Hex4(gaiji.uses[i].code) + "\" ebcode=\"" +
                         GaijiEbcode(i) + "\"";
      if (!gaiji.names[i].alt.empty()) line += " alt=\"" + XmlAttribute(gaiji.names[i].alt) + "\"";
      WriteString(out, line + "/>\n");
    }
    out.Lit("</gaijiSet>\n");
  });
}

int WriteGaijiFont(const std::string& path, const GaijiFiles& gaiji) {
  return WriteOutputFile(path, [&gaiji](PageWriter& out) {
    XmlHead(out);
    out.Lit("<gaijiData xml:space=\"preserve\">\n");
    if (!gaiji.uses.empty()) out.Lit("<fontSet size=\"16X16\" start=\"B121\">\n");
    for (size_t i = 0; i < gaiji.uses.size(); ++i) {
      WriteString(out, "<fontData ebcode=\"" + GaijiEbcode(i) + "\">\n");
      const auto font = gaiji.glyphs.find(gaiji.names[i].character);
      const Glyph16 glyph = gaiji.names[i].character != 0 && font != gaiji.glyphs.end()
                                ? font->second
                                : PlaceholderGlyph(gaiji.uses[i].code);
      for (const std::string& line : GlyphLines(glyph)) WriteString(out, line + "\n");
      out.Lit("</fontData>\n");
    }
    if (!gaiji.uses.empty()) out.Lit("</fontSet>\n");
    out.Lit("</gaijiData>\n");
  });
}

int WriteGaijiReaderMap(const std::string& path, const GaijiFiles& gaiji) {
  return WriteOutputFile(path, [&gaiji](PageWriter& out) {
    for (size_t i = 0; i < gaiji.uses.size(); ++i) {
      const GaijiTableRow& n = gaiji.names[i];
      if (n.named()) WriteString(out, ReaderMapLine(GaijiEbcode(i), n.character, n.alt));
    }
  });
}

bool IsOwnGaijiFile(const std::string& path) {
  InputFile file(ToFileSystemPath(path));
  if (!file.is_open()) return file.missing();
  // The comment follows the declaration at the top.
  char head[4096];
  const size_t n = file.ReadAt(0, head, sizeof head);
  const char* mark = "<!-- Written by hz2html";
  const size_t m = std::strlen(mark);
  for (size_t i = 0; i + m <= n; ++i) {
    if (std::memcmp(head + i, mark, m) == 0) return true;
  }
  return false;
}

}  // namespace hz
