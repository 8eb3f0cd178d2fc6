// The private-area characters (gaiji) that the pages reference, gathered as
// the pages are written: how often each code is referenced, and where its
// first reference stands, in the run's page order.
#ifndef HZ2HTML_CORE_GAIJI_INVENTORY_H_
#define HZ2HTML_CORE_GAIJI_INVENTORY_H_

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace hz {

struct GaijiUse {
  uint32_t code;        // the code the references carry ("F040")
  uint64_t count;       // references in all pages, keys and captured copies included
  std::string first;    // "honbun.html#0012-0004", or the page alone
  std::string context;  // UTF-8: the text around the first reference
};

class GaijiInventory {
 public:
  GaijiInventory() : counts_(0x10000, 0) {}

  // Counts one reference to code (below 0x10000); true for the first.
  bool Count(uint32_t code) { return counts_[code & 0xFFFF]++ == 0; }
  void SetFirst(uint32_t code, std::string first, std::string context) {
    firsts_[code] = {std::move(first), std::move(context)};
  }
  // One use per code referenced, in ascending order of code.
  std::vector<GaijiUse> Uses() const {
    std::vector<GaijiUse> uses;
    for (uint32_t code = 0; code < counts_.size(); ++code) {
      if (counts_[code] == 0) continue;
      auto f = firsts_.find(code);
      uses.push_back({code, counts_[code], f == firsts_.end() ? std::string() : f->second.first,
                      f == firsts_.end() ? std::string() : f->second.second});
    }
    return uses;
  }

 private:
  std::vector<uint64_t> counts_;
  std::map<uint32_t, std::pair<std::string, std::string>> firsts_;
};

}  // namespace hz

#endif  // HZ2HTML_CORE_GAIJI_INVENTORY_H_
