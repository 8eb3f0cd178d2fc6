// Writes the seed corpora of the fuzz targets from the sample dictionary and
// its conversion with --gaiji (the pages hz2book reads).
//   make_seeds SAMPLE_DICT OUTDIR [SAMPLE_PAGES]
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/book_pages.h"
#include "fuzz/fuzz_support.h"
#include "tools/dict_builder.h"

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    closedir(d);
  }
  return names;
}

void Seed(const std::string& out, const std::string& target, const std::string& name,
          const std::string& bytes) {
  mkdir((out + "/" + target).c_str(), 0777);
  hzb::WriteFileBytes(out + "/" + target + "/" + name, bytes);
}

bool EndsWith(const std::string& s, const char* tail) {
  std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: make_seeds SAMPLE_DICT OUTDIR [SAMPLE_PAGES]\n");
    return 2;
  }
  const std::string dict = argv[1], out = argv[2];
  mkdir(out.c_str(), 0777);
  std::string everything, lists;
  // The run target's file numbers: the dictionary's fixed files in order.
  std::vector<std::string> order = hz::DictionaryFileNames();
  for (size_t i = 0; i < order.size(); ++i) {
    std::replace(order[i].begin(), order[i].end(), '\\', '/');
    std::string bytes = Read(dict + "/" + order[i]);
    if (bytes.empty()) continue;
    everything.push_back(static_cast<char>(i));
    hzfuzz::AppendPart(&everything, bytes);
  }
  Seed(out, "run", "sample", everything);
  for (const std::string& sub : {"DATA", "LIST"}) {
    for (const std::string& name : Names(dict + "/" + sub)) {
      std::string bytes = Read(dict + "/" + sub + "/" + name);
      if (EndsWith(name, ".DAT")) Seed(out, "dat_file", name, bytes);
      if (EndsWith(name, ".INF")) Seed(out, "inf_file", name, bytes);
      if (EndsWith(name, ".TBL")) Seed(out, "link_table", name, bytes);
      if (EndsWith(name, ".lst")) {
        Seed(out, "list_file", name, bytes);
        hzfuzz::AppendPart(&lists, bytes);
      }
    }
  }
  Seed(out, "marker_index", "sample", lists);
  // The renderer: every record of the main text with its layout record.
  std::string dat = Read(dict + "/DATA/KX01.DAT"), inf = Read(dict + "/DATA/KX01.INF");
  std::string table = Read(dict + "/DATA/KXLINK01.TBL");
  auto u32 = [](const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4 && at + i < b.size(); ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    return v;
  };
  uint32_t count = u32(dat, 0);
  for (uint32_t r = 0; r < count && r < 16; ++r) {
    std::string text = dat.substr(u32(dat, 4 + 8 * r), u32(dat, 8 + 8 * r));
    uint32_t at = u32(inf, 8 + 8 * r), len = u32(inf, 12 + 8 * r);
    std::string layout = inf.substr(at, len);
    // Move the layout's absolute table offsets to where the target puts
    // the record (byte 16).
    for (size_t f : {8u, 16u, 24u}) {
      uint32_t v = u32(layout, f) - at + 16;
      for (int i = 0; i < 4; ++i) layout[f + i] = static_cast<char>(v >> (8 * i));
    }
    std::string seed(1, static_cast<char>(r & 3));
    seed += std::string(4, '\0');
    hzfuzz::AppendPart(&seed, text);
    hzfuzz::AppendPart(&seed, layout);
    hzfuzz::AppendPart(&seed, table);
    Seed(out, "render", "record" + std::to_string(r + 1), seed);
  }
  // Argument vectors, separated by zero bytes.
  const std::string kArgs[] = {
      std::string("in\0out", 6), std::string("-f=bmp\0/m=avi\0in", 17), std::string("in\0-o\0out", 10),
      std::string("/tmp/x\0/f=jpeg2\0-o", 19), std::string("--help"), std::string("\0\0", 2)};
  for (size_t i = 0; i < sizeof kArgs / sizeof kArgs[0]; ++i) {
    Seed(out, "command_line", "args" + std::to_string(i), kArgs[i]);
  }
  // The gaiji table as the user fills it in, and fonts of both kinds.
  Seed(out, "gaiji_table", "named",
       "code\tcount\tfirst\tcontext\tunicode\talt\r\nF040\t2\tKX01:1\t\"a\"\tU+9AD9\t\r\n"
       "F041\t1\tKX01:2\tb\t\xE9\xAB\x99\thashigo-daka\r\nF042\t0\t\t\t\t(x)\r\nF041\t\t\t\tU+D800\t\r\n");
  Seed(out, "gaiji_table", "shift-jis", "code\tunicode\talt\nF040\t\x8D\x82\t\x81\x69\x82\xA0\x81\x6A\n");
  const std::string wanted("\xD9\x9A\0\0\x60\x24\0\0", 8);
  Seed(out, "bitmap_font", "hex",
       wanted + "0041:0000000018242442427E424242420000\n"
                "9AD9:0100010001007FFC00001FF010101FF000003FF8200827C8244827C820082018\n"
                "2460:00000000000007C0082010102828444844484448282810100820 07C000000000\n");
  Seed(out, "bitmap_font", "bdf",
       wanted + "STARTFONT 2.1\nFONT_ASCENT 14\nFONT_DESCENT 2\nCHARSET_REGISTRY \"ISO10646\"\n"
                "STARTCHAR U+9AD9\nENCODING 39641\nBBX 16 16 0 -2\nBITMAP\n0100\n0100\n7FFC\n0000\n"
                "1FF0\n1010\n1FF0\n0000\n3FF8\n2008\n27C8\n2448\n27C8\n2008\n2018\n0000\nENDCHAR\n"
                "ENDFONT\n");
  // hz2book's reading: the sample's pages, project file and gaiji files, in
  // the book target's file numbers.
  if (argc == 4) {
    const char* const files[] = {"honbun.html", "kanji.html", "usage.html", "hanrei.html",
                                 "jo.html", "oku.html", "harukaze.ebs", "gaiji.tsv",
                                 "GaijiMap.xml", "Gaiji.xml"};
    std::string book;
    for (size_t i = 0; i < sizeof files / sizeof files[0]; ++i) {
      book.push_back(static_cast<char>(i));
      hzfuzz::AppendPart(&book, Read(std::string(argv[3]) + "/" + files[i]));
    }
    Seed(out, "book", "sample", book);
  }
  return 0;
}
