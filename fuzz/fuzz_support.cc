#include "fuzz/fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace hzfuzz {

const std::string& ScratchDir() {
  static const std::string dir = [] {
    const char* base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/hz2html-fuzz-XXXXXX";
    std::vector<char> name(templ.begin(), templ.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) abort();
    return std::string(name.data());
  }();
  return dir;
}

std::string WriteScratch(const std::string& name, const uint8_t* data, size_t size) {
  std::string path = ScratchDir() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) abort();
  if (size && std::fwrite(data, 1, size, f) != size) abort();
  std::fclose(f);
  return path;
}

std::string Parts::Next() {
  size_t n = static_cast<size_t>(Byte());
  n |= static_cast<size_t>(Byte()) << 8;
  size_t have = static_cast<size_t>(end_ - p_);
  if (n > have) n = have;
  std::string part(reinterpret_cast<const char*>(p_), n);
  p_ += n;
  return part;
}

uint32_t Parts::Word() {
  uint32_t w = 0;
  for (int i = 0; i < 4; ++i) w |= static_cast<uint32_t>(Byte()) << (8 * i);
  return w;
}

void AppendPart(std::string* out, const std::string& part) {
  size_t n = part.size() < 0xFFFF ? part.size() : 0xFFFF;
  out->push_back(static_cast<char>(n & 0xFF));
  out->push_back(static_cast<char>(n >> 8));
  out->append(part, 0, n);
}

}  // namespace hzfuzz
