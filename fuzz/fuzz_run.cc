// End-to-end fuzz target: lays a fuzzed dictionary out in a private
// directory and runs the whole conversion, gaiji files included.
// Input: a sequence of (file number byte, part) pairs; the number picks one
// of the dictionary's files (below), the part is its content.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/book_pages.h"
#include "driver/run.h"
#include "fuzz/fuzz_support.h"

namespace {

// The dictionary's fixed files, with '/' between components.
const std::vector<std::string>& Files() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> names = hz::DictionaryFileNames();
    for (std::string& name : names) std::replace(name.begin(), name.end(), '\\', '/');
    return names;
  }();
  return files;
}

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
  const std::vector<std::string>& files = Files();
  for (const std::string& f : files) unlink((dict + "/" + f).c_str());
  hzfuzz::Parts parts(data, size);
  while (parts.More()) {
    const std::string& name = files[parts.Byte() % files.size()];
    std::string content = parts.Next();
    hzfuzz::WriteScratch("dict/" + name, reinterpret_cast<const uint8_t*>(content.data()),
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
