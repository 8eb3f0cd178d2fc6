// The options of one run, filled from the command line and read-only
// afterwards. The page writers hand them to the renderer, which reads only
// the two extensions; the rest are the run's.
#ifndef HZ2HTML_CORE_RUN_OPTIONS_H_
#define HZ2HTML_CORE_RUN_OPTIONS_H_

#include <string>

namespace hz {

struct RunOptions {
  // Extensions of the media files that entries reference: at most four
  // characters each.
  char image_ext[5] = {'j', 'p', 'g', 0, 0};
  char movie_ext[5] = {'m', 'p', 'g', 0, 0};
  // The directory that holds DATA and LIST, and the directory that receives
  // the pages; both end in a separator once parsed. The strings keep the
  // dictionary platform's form (".\\", "\\" appended); the file system sees
  // them mapped.
  std::string in_path;
  std::string out_path = ".\\";
  // --verbose: name missing input files and sum up each page on stderr.
  bool verbose = false;
  // --strict: a run that warned of damaged data ends with status 3.
  bool strict = false;
  // --gaiji: write the gaiji inventory and the book's gaiji files too.
  bool gaiji = false;
  // --gaiji-font FILE: the bitmap font of the characters gaiji.tsv names
  // (empty: GNU Unifont where the platform has it).
  std::string gaiji_font;
};

}  // namespace hz

#endif  // HZ2HTML_CORE_RUN_OPTIONS_H_
