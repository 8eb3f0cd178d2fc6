// hzbench-gen: writes the synthetic benchmark dictionary.
//   hzbench-gen SCALE SEED OUTDIR     SCALE: small, medium, full, stress or
//                                     boundary
#include <cstdio>
#include <cstdlib>

#include "bench/synth_dict.h"

int main(int argc, char** argv) {
  hzbench::Scale scale;
  if (argc != 4 || !hzbench::FindScale(argv[1], &scale)) {
    std::fprintf(stderr, "usage: hzbench-gen {small|medium|full|stress|boundary} SEED OUTDIR\n");
    return 2;
  }
  hzb::DictBuilder builder;
  hzbench::MakeDictionary(scale, std::strtoull(argv[2], nullptr, 10), &builder);
  std::string error;
  if (!builder.Write(argv[3], &error)) {
    std::fprintf(stderr, "hzbench-gen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
