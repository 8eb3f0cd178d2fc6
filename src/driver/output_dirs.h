// Creation of the output directory, one level at a time, from the outermost
// inwards.
#ifndef HZ2HTML_DRIVER_OUTPUT_DIRS_H_
#define HZ2HTML_DRIVER_OUTPUT_DIRS_H_

#include <string>

namespace hz {

// path: the normalised output path. Every level that does not exist is
// created, as mkdir -p would. Returns false at the first level that cannot
// be made (or whose place a file takes, for the last level), with that
// level as composed (without its trailing separator) in *level and the
// system's error code in *error.
bool CreateOutputDirectories(const std::string& path, std::string* level, int* error);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_OUTPUT_DIRS_H_
