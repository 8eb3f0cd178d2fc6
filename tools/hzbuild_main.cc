// hzbuild-dict: builds a dictionary data directory from its readable source.
//   hzbuild-dict SOURCE.hzs OUTDIR
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/dict_source.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hzbuild-dict SOURCE OUTDIR\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "hzbuild-dict: cannot read %s\n", argv[1]);
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  if (!hzb::BuildDictionary(text.str(), argv[2], &error)) {
    std::fprintf(stderr, "hzbuild-dict: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
