// End-to-end fuzz target: lays a fuzzed dictionary out in a private
// directory and runs the whole conversion, gaiji files included.
// Input: a sequence of (file number byte, part) pairs; the number picks one
// of the dictionary's files (below), the part is its content.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/run.h"
#include "fuzz/fuzz_support.h"

namespace {

const char* const kFiles[] = {
    "DATA/KX01.DAT", "DATA/KX01.INF", "DATA/KX02.DAT", "DATA/KX02.INF", "DATA/KX03.DAT",
    "DATA/KX03.INF", "DATA/KX04.DAT", "DATA/KX04.INF", "DATA/KX05.DAT", "DATA/KX05.INF",
    "DATA/KX06.DAT", "DATA/KX06.INF", "DATA/KXLINK01.TBL", "DATA/KXLINK02.TBL",
    "DATA/KXLINK03.TBL", "DATA/KXLINK04.TBL", "LIST/d100000.lst", "LIST/d200000.lst",
    "LIST/d201400.lst", "LIST/d400500.lst", "LIST/d900000.lst", "LIST/d900500.lst",
    "LIST/d900300.lst", "LIST/d300000.lst", "LIST/d310000.lst",
};
constexpr size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!std::freopen("/dev/null", "w", stdout)) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = hzfuzz::ScratchDir();
  std::string dict = dir + "/dict";
  mkdir(dict.c_str(), 0777);
  mkdir((dict + "/DATA").c_str(), 0777);
  mkdir((dict + "/LIST").c_str(), 0777);
  for (const char* f : kFiles) unlink((dict + "/" + f).c_str());
  hzfuzz::Parts parts(data, size);
  while (parts.More()) {
    const char* name = kFiles[parts.Byte() % kFileCount];
    std::string content = parts.Next();
    hzfuzz::WriteScratch(std::string("dict/") + name, reinterpret_cast<const uint8_t*>(content.data()),
                         content.size());
  }
  std::string out = dir + "/out";
  // With the gaiji files, whose inventory reads the text around each
  // reference.
  const char* argv[] = {"hz2html", "--gaiji", dict.c_str(), out.c_str(), nullptr};
  int status = hz::RunConverter(4, argv);
  if (status != 0) abort();  // a damaged dictionary is no reason to fail
  return 0;
}
