// Everything the run tells besides the banner and the progress lines: what
// the readers, the page writers and the book files report, and the run's
// own warnings. Only the driver prints.
//
//   hz2html: warning: PATH: WHAT          once per file and kind, at most 20,
//   hz2html: warning: N more problems not shown
//   hz2html: warning: WHAT                an argument the run leaves unused
//   hz2html: PATH: missing                --verbose, once per file
//   hz2html: PAGE: 12 entries, ...        --verbose, after each page
//   hz2html: cannot write PATH: REASON    a file that could not be written
//   unknown link type 0007                (stdout) a link of an unknown kind
#ifndef HZ2HTML_DRIVER_RUN_REPORT_H_
#define HZ2HTML_DRIVER_RUN_REPORT_H_

#include <cstdint>
#include <set>
#include <string>

#include "core/report.h"
#include "driver/run.h"
#include "html/page_tally.h"

namespace hz {

class RunReport final : public Report {
 public:
  static constexpr int kMaxWarnings = 20;

  // out: where "unknown link type" goes (standard output when null).
  explicit RunReport(bool verbose, ConsoleOutput* out = nullptr) : verbose_(verbose), out_(out) {}

  void Missing(const std::string& path) override;
  void Damaged(const std::string& path, const std::string& what) override;
  void UnknownLinkKind(uint32_t kind) override;
  void CannotWrite(const std::string& path, int error) override;
  // A warning of the run's own, not about a file (counts for --strict).
  void Warn(const std::string& what);
  // With --verbose, the page's figures (those that are not zero).
  void PageSummary(const PageTally& tally);
  // The count of warnings past the first twenty, if any.
  void Finish();
  // True once any warning was found (printed or not).
  bool warned() const { return warnings_ > 0 || own_warnings_; }

 private:
  bool verbose_;
  ConsoleOutput* out_;
  std::set<std::string> told_;  // path and kind (or "missing") already told
  int64_t warnings_ = 0;    // about files, the first 20 printed
  bool own_warnings_ = false;
};

// The summary line's figures: "250000 entries (3 skipped), 412345 keys, ...".
std::string SummaryFigures(const PageTally& tally);

}  // namespace hz

#endif  // HZ2HTML_DRIVER_RUN_REPORT_H_
