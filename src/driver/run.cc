#include "driver/run.h"

#include <cstdio>
#include <string>

#include "book/project_file.h"
#include "core/book_pages.h"
#include "driver/command_line.h"
#include "driver/output_dirs.h"
#include "driver/run_report.h"
#include "html/kanji_page.h"
#include "html/main_text_page.h"
#include "html/section_page.h"
#include "platform/file_system.h"
#include "platform/framework.h"
#include "platform/page_file.h"

namespace hz {

namespace {

// Checks that in_path holds name as a directory; prints the message and
// returns false otherwise.
bool CheckInputDirectory(const std::string& in_path, const char* name) {
  const std::string composed = in_path + name;
  bool is_directory = false;
  if (!QueryFileStatus(ResolveDictionaryName(in_path, name), &is_directory)) {
    std::printf("%s not found\n", composed.c_str());
    return false;
  }
  if (!is_directory) {
    std::printf("%s is not directory\n", composed.c_str());
    return false;
  }
  return true;
}

// Prints the progress line of a page and writes the page with its writer.
bool WritePage(const BookPage& page, const RunOptions& options, PageTally* tally) {
  const std::string path = options.out_path + page.file_name;
  std::printf("->%s\n", path.c_str());
  std::fflush(stdout);
  switch (page.kind) {
    case PageKind::kSection:
      return WriteSectionPage(options.in_path, path, page.section_id, page.title, options, tally);
    case PageKind::kMainText: return WriteMainTextPage(options.in_path, path, options, tally);
    case PageKind::kKanji: return WriteKanjiPage(options.in_path, path, options, tally);
  }
  return false;
}

// The six pages and the project file, in that order; false when one could
// not be written (the run stops there).
bool WriteBook(const RunOptions& options, RunReport* report) {
  for (const BookPage& page : kBookPages) {
    PageTally tally(page.file_name, report, nullptr);
    if (!WritePage(page, options, &tally)) return false;
    report->PageSummary(tally);
  }
  return WriteBookProjectFile(options.out_path);
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
  if (!StartFramework()) {
    std::fputs("Fatal Error: MFC initialization failed\n", stderr);
    std::fflush(stderr);
    return kExitFramework;
  }
  RunOptions options;
  switch (ParseCommandLine(argc, argv, &options)) {
    case CommandLineResult::kUsage:
      std::fputs(kUsageLine, stderr);
      return kExitUsage;
    case CommandLineResult::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return kExitSuccess;
    case CommandLineResult::kVersion:
      std::fputs(kBanner, stdout);
      return kExitSuccess;
    case CommandLineResult::kRun:
      break;
  }
  if (!CheckInputDirectory(options.in_path, "DATA") ||
      !CheckInputDirectory(options.in_path, "LIST")) {
    std::fflush(stdout);
    return kExitUsage;
  }
  CreateOutputDirectories(options.out_path);
  RemoveTemporaryFilesOnSignals();
  std::fputs(kBanner, stdout);
  RunReport report(options.verbose);
  const bool written = WriteBook(options, &report);
  report.Finish();
  std::fflush(stdout);
  if (!written) return kExitWriteFailure;
  return options.strict && report.warned() ? kExitDamaged : kExitSuccess;
}

}  // namespace hz
