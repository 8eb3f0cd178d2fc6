#include "html/render_context.h"

#include <cstdint>

#include "core/book_pages.h"

namespace hz {

LinkTables::LinkTables(const Dictionary& dict)
    : LinkTables(dict.File(kDictionaryNames.link_tables[0]), dict.File(kDictionaryNames.link_tables[1]),
                 dict.File(kDictionaryNames.link_tables[2]), dict.File(kDictionaryNames.link_tables[3])) {}

LinkTables::LinkTables(const DictFile& t01, const DictFile& t02, const DictFile& t03,
                       const DictFile& t04)
    : link01(t01), link02(t02), link03(t03), link04(t04) {}

RecordFiles::RecordFiles(const Dictionary& dict, const std::string& base)
    : RecordFiles(dict.File("DATA\\" + base + ".DAT"), dict.File("DATA\\" + base + ".INF")) {}

RecordFiles::RecordFiles(const DictFile& dat_file, const DictFile& inf_file)
    : dat_name(dat_file), dat(dat_file), inf(inf_file) {
  const uint32_t records = static_cast<uint32_t>(dat.GetCount());
  const uint32_t layouts = inf.GetRecordCount();
  if (dat.HasTrustedCount() && inf.HasTrustedCount() && records > layouts) {
    inf_file.Damaged("the record file holds " + std::to_string(records) +
                     " records, the layout file " + std::to_string(layouts));
  }
}

}  // namespace hz
