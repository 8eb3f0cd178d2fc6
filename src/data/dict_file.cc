#include "data/dict_file.h"

#include "platform/file_system.h"

namespace hz {

DictFile Dictionary::File(const std::string& rel) const {
  return DictFile(ResolveDictionaryName(in_path_, rel), in_path_ + rel, report_);
}

}  // namespace hz
