// The options of one run, filled from the command line and read-only
// afterwards.
#ifndef HZ2HTML_DRIVER_RUN_OPTIONS_H_
#define HZ2HTML_DRIVER_RUN_OPTIONS_H_

#include <string>

namespace hz {

struct RunOptions {
  // Extensions of the media files that entries reference: at most four
  // characters each.
  char imageExt[5] = {'j', 'p', 'g', 0, 0};
  char movieExt[5] = {'m', 'p', 'g', 0, 0};
  // The directory that holds DATA and LIST, and the directory that receives
  // the pages; both end in a separator once parsed. The strings keep the
  // dictionary platform's form (".\\", "\\" appended); the file system sees
  // them mapped.
  std::string inPath;
  std::string outPath = ".\\";
};

}  // namespace hz

#endif  // HZ2HTML_DRIVER_RUN_OPTIONS_H_
