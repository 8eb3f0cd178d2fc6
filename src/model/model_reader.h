// Reads the book model (book_model.h) from the pages' directory: the six
// pages, harukaze.ebs, gaiji.tsv, GaijiMap.xml and Gaiji.xml beside them,
// the pictures the pages name, and the glyphs of a bitmap font.
//
// honbun.html and then kanji.html: one entry per <dt>, its heading the <dt>
// text, everything up to the next <dt> (definition, keys, markers) its own;
// a <br /> inside a heading is passed over. Then usage, hanrei, jo and oku,
// a part each, headed by the page's title; a section's <h1> is a bold line.
// Styles are made to nest: a style closed out of order closes and reopens
// those opened after it; a second link closes the first; what a heading, a
// definition (at its </dd>) or a page leaves open is closed. Inside an
// image's caption only text and anchors count.
//
// What cannot be read is told to the report as a warning, with its reason,
// before defaults stand in for it: harukaze.ebs (the default search
// settings); GaijiMap.xml and Gaiji.xml when the pages hold private-area
// characters (placeholder glyphs); the font (placeholder glyphs). A page
// that cannot be read leaves no book.
#ifndef HZ2HTML_MODEL_MODEL_READER_H_
#define HZ2HTML_MODEL_MODEL_READER_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/book_pages.h"
#include "core/report.h"
#include "model/book_model.h"
#include "model/search_settings.h"

namespace hz {

struct ModelSources {
  std::string pages_dir;  // the pages' directory, composed (it ends in a separator)
  std::string font;       // the bitmap font's path, composed
  Report* report = nullptr;
};

// The six pages' bytes, by their index in kBookPages (views of bytes that
// outlive the reading).
struct ModelPages {
  std::string_view bytes[sizeof kBookPages / sizeof kBookPages[0]];
};

// What gaiji.tsv names a private-area code as.
struct GaijiName {
  uint32_t character = 0;
  std::string alt;  // UTF-8
};

// Reads the model; false, with the page and the reason in *error, when a
// page cannot be read.
bool ReadBookModel(const ModelSources& sources, BookModel* model, std::string* error);

// Reads the pages into the model: parts, runs, words, targets, and the
// pictures, private-area characters and characters outside JIS X 0208 that
// they hold (model->images with their src, model->gaiji with their names,
// model->glyphs with placeholder glyphs). Nothing is read from files.
void ReadModelPages(const ModelPages& pages, const SearchSettings& settings,
                    const std::map<uint32_t, GaijiName>& names, Report* report, BookModel* model);

}  // namespace hz

#endif  // HZ2HTML_MODEL_MODEL_READER_H_
