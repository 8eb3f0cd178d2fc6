// What the run tells on standard error besides its fixed messages: warnings
// of damaged data (always), missing input files and a summary line per page
// (with --verbose).
//
//   hz2html: warning: PATH: WHAT          once per file and kind, at most 20,
//   hz2html: warning: N more problems not shown
//   hz2html: PATH: missing                --verbose, once per file
//   hz2html: PAGE: 12 entries, ...        --verbose, after each page
#ifndef HZ2HTML_DRIVER_RUN_REPORT_H_
#define HZ2HTML_DRIVER_RUN_REPORT_H_

#include <cstdint>
#include <set>
#include <string>

#include "data/dict_file.h"
#include "html/page_tally.h"

namespace hz {

class RunReport final : public ReaderReport {
 public:
  static constexpr int kMaxWarnings = 20;

  explicit RunReport(bool verbose) : verbose_(verbose) {}

  void Missing(const std::string& path) override;
  void Damaged(const std::string& path, const std::string& what) override;
  // With --verbose, the page's figures (those that are not zero).
  void PageSummary(const PageTally& tally);
  // The count of warnings past the first twenty, if any.
  void Finish();
  // True once any warning was found (printed or not).
  bool warned() const { return warnings_ > 0; }

 private:
  bool verbose_;
  std::set<std::string> told_;  // path and kind (or "missing") already told
  int64_t warnings_ = 0;
};

// The summary line's figures: "250000 entries (3 skipped), 412345 keys, ...".
std::string SummaryFigures(const PageTally& tally);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_RUN_REPORT_H_
