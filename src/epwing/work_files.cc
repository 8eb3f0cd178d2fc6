#include "epwing/work_files.h"

#include <cstdio>

#include "book/gaiji_files.h"
#include "core/book_pages.h"
#include "data/gaiji_table.h"
#include "epwing/gaiji_xml.h"
#include "platform/book_system.h"
#include "platform/code_page.h"
#include "platform/page_file.h"
#include "platform/page_writer.h"

namespace hz {

const char kSubbookDirectory[] = "HARUKAZE";

namespace {

// The book's title in EUC-JP.
std::string TitleInEuc() {
  std::string euc;
  for (const char* p = kBookTitle; p[0] && p[1]; p += 2) {
    euc += ShiftJisToEuc(static_cast<uint32_t>(static_cast<unsigned char>(p[0])) << 8 |
                         static_cast<unsigned char>(p[1]));
  }
  return euc;
}

// Writes a file of the work directory; false, with what failed, otherwise.
bool Write(const std::string& path, const std::string& bytes, std::string* error) {
  if (const int e = WriteWholeFile(path, bytes)) {
    *error = path + ": " + SystemErrorText(e);
    return false;
  }
  return true;
}

bool MakeDir(const std::string& path, std::string* error) {
  if (const int e = MakeDirectory(path)) {
    *error = path + ": " + SystemErrorText(e);
    return false;
  }
  return true;
}

bool Move(const std::string& from, const std::string& to, std::string* error) {
  if (const int e = MovePath(from, to)) {
    *error = from + ": " + SystemErrorText(e);
    return false;
  }
  return true;
}

std::string Catalog(bool gaiji) {
  std::string text =
      "[Catalog]\nFileName = catalogs\nType = EPWING1\nBooks = 1\n\n[Book]\nTitle = \"" +
      TitleInEuc() + "\"\nBookType = 6001\nDirectory = \"" + kSubbookDirectory + "\"\n";
  if (gaiji) text += "ZenGaiji = \"GAI16F\"\n";
  return text;
}

std::string Makefile(const BookPlan& plan) {
  std::string text =
      "# The book's build, run by fpwmake.\n"
      "FPWPARSER = parser.pl\n"
      "FPWPARSERFLAGS = stream.txt\n";
  if (!plan.gaiji.empty()) text += "FULLCHARS = fullchar.txt\n";
  if (!plan.images.empty()) text += "CGRAPHS = cgraphs.txt\n";
  return text + "include fpwutils.mk\n";
}

// The reader maps: the book's own gaiji numbers with their characters.
bool WriteReaderMaps(const std::string& book, const BookPlan& plan, std::string* error) {
  std::string map, afonts;
  for (size_t i = 0; i < plan.gaiji.size(); ++i) {
    const BookGaiji& g = plan.gaiji[i];
    const std::string number = Hex4(BookGaijiNumber(i));
    if (g.character != 0 || !g.alt.empty()) {
      const std::string line = ReaderMapLine(number, g.character, g.alt);
      map += line.substr(0, line.size() - 1) + "\r\n";
    }
    if (g.character != 0) {
      std::string lower = number;
      for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
      afonts += "w" + lower + " " + Utf8Of(g.character) + "\n";
    }
  }
  return Write(book + "/" + kSubbookDirectory + ".map", map, error) &&
         Write(book + "/afonts_0", afonts, error);
}

}  // namespace

uint32_t BookGaijiNumber(size_t n) {
  return static_cast<uint32_t>((0xA1 + n / 94) << 8 | (0x21 + n % 94));
}

std::string XbmOf(const Glyph16& glyph, const std::string& name) {
  std::string text = "#define " + name + "_width 16\n#define " + name + "_height 16\nstatic char " +
                     name + "_bits[] = {\n";
  for (size_t y = 0; y < 16; ++y) {
    // XBM keeps the leftmost dot in the lowest bit of each byte.
    for (int half = 0; half < 2; ++half) {
      const unsigned byte = (glyph.rows[y] >> (half == 0 ? 8 : 0)) & 0xFF;
      unsigned reversed = 0;
      for (int b = 0; b < 8; ++b) reversed |= ((byte >> b) & 1) << (7 - b);
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02x", reversed);
      text += std::string(hex) + (y == 15 && half == 1 ? "};\n" : ", ");
    }
  }
  return text;
}

bool WriteWorkFiles(const std::string& work, const BookPlan& plan, const std::string& parser,
                    std::string* error) {
  const std::string script = ReadSmallFile(parser);
  if (script.empty()) {
    *error = parser + ": cannot be read";
    return false;
  }
  if (!Write(work + "/parser.pl", script, error) ||
      !Write(work + "/Makefile", Makefile(plan), error) ||
      !Write(work + "/catalogs.txt", Catalog(!plan.gaiji.empty()), error)) {
    return false;
  }
  if (!plan.gaiji.empty()) {
    std::string list;
    if (!MakeDir(work + "/gaiji", error)) return false;
    for (size_t i = 0; i < plan.gaiji.size(); ++i) {
      const std::string file = "gaiji/g" + std::to_string(i + 1) + ".xbm";
      if (!Write(work + "/" + file, XbmOf(plan.gaiji[i].glyph, "g" + std::to_string(i + 1)), error)) {
        return false;
      }
      list += plan.gaiji[i].name + "\t" + file + "\n";
    }
    if (!Write(work + "/fullchar.txt", list, error)) return false;
  }
  if (!plan.images.empty()) {
    std::string list;
    if (!MakeDir(work + "/images", error)) return false;
    for (const BookImage& image : plan.images) {
      const std::string file = "images/" + image.name + (image.type == "bmp" ? ".bmp" : ".jpg");
      if (const int e = MakeLink(AbsolutePath(image.fs_path), work + "/" + file)) {
        *error = work + "/" + file + ": " + SystemErrorText(e);
        return false;
      }
      list += image.name + "\t" + file + "\n";
    }
    if (!Write(work + "/cgraphs.txt", list, error)) return false;
  }
  return true;
}

bool AssembleBook(const std::string& work, const BookPlan& plan, std::string* error) {
  const std::string book = work + "/book";
  const std::string subbook = book + "/" + kSubbookDirectory;
  if (!MakeDir(book, error) || !MakeDir(subbook, error) || !MakeDir(subbook + "/DATA", error) ||
      !Move(work + "/catalogs", book + "/catalogs", error) ||
      !Move(work + "/honmon", subbook + "/DATA/HONMON", error)) {
    return false;
  }
  if (!plan.gaiji.empty() &&
      (!MakeDir(subbook + "/GAIJI", error) || !Move(work + "/gai16f", subbook + "/GAIJI/GAI16F", error))) {
    return false;
  }
  return WriteReaderMaps(book, plan, error);
}

}  // namespace hz
