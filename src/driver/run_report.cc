#include "driver/run_report.h"

#include <cstdio>

#include "platform/page_file.h"

namespace hz {

namespace {

std::string Count(int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void RunReport::Missing(const std::string& path) {
  if (!verbose_ || !told_.insert(path + "\n").second) return;
  std::fprintf(stderr, "hz2html: %s: missing\n", path.c_str());
  std::fflush(stderr);
}

void RunReport::Damaged(const std::string& path, const std::string& what) {
  // A file read for several pages is told once.
  if (!told_.insert(path + "\n" + what).second) return;
  if (++warnings_ > kMaxWarnings) return;
  std::fprintf(stderr, "hz2html: warning: %s: %s\n", path.c_str(), what.c_str());
  std::fflush(stderr);
}

void RunReport::UnknownLinkKind(uint32_t kind) {
  // The kind in hexadecimal, as the unsigned 32-bit value it holds.
  char line[32];
  std::snprintf(line, sizeof line, "unknown link type %04x\n", static_cast<unsigned>(kind));
  if (out_) {
    out_->Line(ConsoleOutput::Kind::kMessage, line);
  } else {
    std::fputs(line, stdout);
  }
}

void RunReport::CannotWrite(const std::string& path, int error) {
  std::fprintf(stderr, "hz2html: cannot write %s: %s\n", path.c_str(),
               SystemErrorText(error).c_str());
  std::fflush(stderr);
}

void RunReport::Warn(const std::string& what) {
  own_warnings_ = true;
  std::fprintf(stderr, "hz2html: warning: %s\n", what.c_str());
  std::fflush(stderr);
}

void RunReport::Finish() {
  if (warnings_ <= kMaxWarnings) return;
  std::fprintf(stderr, "hz2html: warning: %lld more problems not shown\n",
               static_cast<long long>(warnings_ - kMaxWarnings));
  std::fflush(stderr);
}

std::string SummaryFigures(const PageTally& t) {
  std::string s = Count(t.entries, "entry", "entries");
  if (t.skipped) s += " (" + std::to_string(t.skipped) + " skipped)";
  if (t.keys) s += ", " + Count(t.keys, "key", "keys");
  if (t.markers || t.markers_passed) {
    s += ", " + Count(t.markers, "marker", "markers");
    if (t.markers_passed) s += " (" + std::to_string(t.markers_passed) + " passed over)";
  }
  if (t.unknown_links) s += ", " + Count(t.unknown_links, "unknown link kind", "unknown link kinds");
  if (t.char_refs) {
    s += ", " + Count(t.char_refs, "character reference", "character references") + " of " +
         Count(static_cast<int64_t>(t.Codes()), "private-area code", "private-area codes");
  }
  return s;
}

void RunReport::PageSummary(const PageTally& tally) {
  if (!verbose_) return;
  std::fprintf(stderr, "hz2html: %s: %s\n", tally.page_name().c_str(), SummaryFigures(tally).c_str());
  std::fflush(stderr);
}

}  // namespace hz
