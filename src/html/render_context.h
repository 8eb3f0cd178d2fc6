// What the renderer and the overlays of one page work with: the page
// writer, the page's record file and layout file, the four link-name tables,
// the run's options and the page's tally. Each page builds one and hands it
// to every entry it renders.
#ifndef HZ2HTML_HTML_RENDER_CONTEXT_H_
#define HZ2HTML_HTML_RENDER_CONTEXT_H_

#include <string>

#include "core/run_options.h"
#include "data/dat_file.h"
#include "data/dict_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "html/page_tally.h"
#include "platform/page_writer.h"

namespace hz {

// The four link-name tables that every page hands to the renderer, in the
// order of their numbers.
struct LinkTables {
  // Loaded from the dictionary's KXLINK01.TBL to KXLINK04.TBL.
  explicit LinkTables(const Dictionary& dict);
  // From four named files (tests, the fuzz targets and the benchmark).
  LinkTables(const DictFile& t01, const DictFile& t02, const DictFile& t03, const DictFile& t04);
  CLinkTable link01;  // KXLINK01.TBL: images of links of kind 20001
  CLinkTable link02;  // KXLINK02.TBL: movies of links of kind 30001
  CLinkTable link03;  // KXLINK03.TBL: KNJ media of links of kind 30001
  CLinkTable link04;  // KXLINK04.TBL: images of links of kind 20003
};

// A page's record file and its layout file, "DATA\\<base>.DAT" and ".INF".
// A record file that holds more records than its layout file is told to the
// report, named on the layout file (when both counts are the files' own):
// those records are rendered without layout.
struct RecordFiles {
  RecordFiles(const Dictionary& dict, const std::string& base);
  RecordFiles(const DictFile& dat_file, const DictFile& inf_file);
  // Tells the report of the damaged layout records met while rendering.
  void ReportDamage() const { inf.ReportDamage(); }
  DictFile dat_name;
  CDatFile dat;
  CInfFile inf;
};

struct RenderContext {
  PageWriter& out;
  RecordFiles& files;
  const LinkTables& links;
  const RunOptions& options;
  PageTally& tally;
};

}  // namespace hz

#endif  // HZ2HTML_HTML_RENDER_CONTEXT_H_
