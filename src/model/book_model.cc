#include "model/book_model.h"

#include "core/utf8.h"

namespace hz {

std::string BookModel::PlainHeading(const BookPart& p) const {
  std::string plain;
  ForEachRun(Heading(p), [this, &plain](const Run& r) {
    if (r.kind == Run::kText) {
      plain += r.text;
    } else if (r.kind == Run::kGaiji && r.index < gaiji.size()) {
      const BookGaiji& g = gaiji[r.index];
      if (g.character != 0) {
        AppendUtf8(g.character, &plain);
      } else {
        plain += g.alt;
      }
    }
  });
  return plain;
}

}  // namespace hz
