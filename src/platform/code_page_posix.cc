#include "platform/code_page.h"

#include <iconv.h>

namespace hz {

bool AppendShiftJisAsUtf8(const char* sjis, size_t n, std::string* utf8) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char out[64];
  std::string converted;
  char* in = const_cast<char*>(sjis);
  size_t in_left = n;
  bool ok = true;
  while (ok && in_left > 0) {
    char* o = out;
    size_t out_left = sizeof out;
    ok = iconv(cd, &in, &in_left, &o, &out_left) != static_cast<size_t>(-1) || out_left < sizeof out;
    converted.append(out, sizeof out - out_left);
  }
  iconv_close(cd);
  if (ok) *utf8 += converted;
  return ok;
}

}  // namespace hz
