// Creation of the output directory, one level at a time, from the outermost
// inwards.
#ifndef HZ2HTML_DRIVER_OUTPUT_DIRS_H_
#define HZ2HTML_DRIVER_OUTPUT_DIRS_H_

#include <string>

namespace hz {

// path: the normalised output path. Every level that does not exist is
// created; a level that exists is left alone, whatever it is. Nothing is
// reported: a page that cannot then be written is reported by its writer.
void CreateOutputDirectories(const std::string& path);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_OUTPUT_DIRS_H_
