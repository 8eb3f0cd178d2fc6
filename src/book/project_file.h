// The book compiler's project file, "harukaze.ebs": 27 settings lines that
// name the six pages as the book's sources. Only the InPath= and OutPath=
// lines vary: both carry the run's output path.
#ifndef HZ2HTML_BOOK_PROJECT_FILE_H_
#define HZ2HTML_BOOK_PROJECT_FILE_H_

#include <string>

namespace hz {

// Writes out_path + "harukaze.ebs"; returns false (after reporting it) when
// the file could not be written.
bool WriteBookProjectFile(const std::string& out_path);

}  // namespace hz

#endif  // HZ2HTML_BOOK_PROJECT_FILE_H_
