// The files of a book build in its work directory, and the book that the
// build leaves there.
//
//   parser.pl     the book parser (a copy, so that no path holds a space)
//   stream.txt    what the parser tells FreePWING (written by WriteBookText)
//   Makefile      fpwmake's: the parser and its arguments, the gaiji and the
//                 images
//   catalogs.txt  the book's catalog: one subbook, HARUKAZE
//   fullchar.txt  the gaiji: a name and an XBM image (gaiji/gN.xbm) each
//   cgraphs.txt   the images: a name and a link to the file (images/...)
//
//   book/catalogs, book/HARUKAZE/DATA/HONMON, book/HARUKAZE/GAIJI/GAI16F
//   book/HARUKAZE.map   the reader map of EBWin and EBPocket (Shift-JIS)
//   book/afonts_0       the reader map of GoldenDict and qolibri (UTF-8)
#ifndef HZ2HTML_EPWING_WORK_FILES_H_
#define HZ2HTML_EPWING_WORK_FILES_H_

#include <string>

#include "data/bitmap_font.h"
#include "epwing/book_plan.h"

namespace hz {

// The book's subbook directory and its title (JIS X 0208, EUC-JP).
extern const char kSubbookDirectory[];

// Writes the work files for the plan into work (an absolute path); parser:
// the book parser's source. False with what failed in *error.
bool WriteWorkFiles(const std::string& work, const BookPlan& plan, const std::string& parser,
                    std::string* error);

// Puts the book that fpwmake made in work together in work/book, with the
// reader maps. False with what failed in *error.
bool AssembleBook(const std::string& work, const BookPlan& plan, std::string* error);

// The book's number of its n-th gaiji (from 0): A121 ... A17E, A221, ...
uint32_t BookGaijiNumber(size_t n);

// An XBM image of a glyph, as FreePWING reads one.
std::string XbmOf(const Glyph16& glyph, const std::string& name);

}  // namespace hz

#endif  // HZ2HTML_EPWING_WORK_FILES_H_
