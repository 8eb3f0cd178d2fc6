#include "pages/page_grammar.h"

#include <cstring>

namespace hz {

char EntityAt(const char* p, size_t n, size_t* length) {
  static const struct {
    const char* name;
    size_t length;
    char c;
  } kEntities[] = {{"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''}};
  for (const auto& e : kEntities) {
    if (n >= e.length && std::memcmp(p, e.name, e.length) == 0) {
      *length = e.length;
      return e.c;
    }
  }
  return 0;
}

}  // namespace hz
