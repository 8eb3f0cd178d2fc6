// The book compiler's project file, "harukaze.ebs": 27 settings lines that
// name the six pages as the book's sources. Only the InPath= and OutPath=
// lines vary: both carry the run's output path.
#ifndef HZ2HTML_BOOK_PROJECT_FILE_H_
#define HZ2HTML_BOOK_PROJECT_FILE_H_

#include <string>

#include "core/report.h"

namespace hz {

// Writes out_path + "harukaze.ebs"; returns false (after telling the report)
// when the file could not be written. The file is Shift-JIS throughout: an
// output path in UTF-8 is written in Shift-JIS (on POSIX), and one holding a
// character that Shift-JIS lacks is written as given, with a warning.
bool WriteBookProjectFile(const std::string& out_path, Report& report);

}  // namespace hz

#endif  // HZ2HTML_BOOK_PROJECT_FILE_H_
