#include "driver/run.h"

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "book/gaiji_files.h"
#include "book/project_file.h"
#include "core/book_pages.h"
#include "core/gaiji_inventory.h"
#include "data/bitmap_font.h"
#include "data/gaiji_table.h"
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

// The run's own standard output.
class StandardOutput final : public ConsoleOutput {
 public:
  void Line(Kind kind, const std::string& line) override {
    std::fputs(line.c_str(), stdout);
    // A progress line is seen before its file is written.
    if (kind != Kind::kMessage) std::fflush(stdout);
  }
};

// Checks that in_path holds name as a directory; prints the message and
// returns false otherwise.
bool CheckInputDirectory(const std::string& in_path, const char* name, ConsoleOutput& out) {
  const std::string composed = in_path + name;
  bool is_directory = false;
  if (!QueryFileStatus(ResolveDictionaryName(in_path, name), &is_directory)) {
    out.Line(ConsoleOutput::Kind::kMessage, composed + " not found\n");
    return false;
  }
  if (!is_directory) {
    out.Line(ConsoleOutput::Kind::kMessage, composed + " is not directory\n");
    return false;
  }
  return true;
}

// Prints the progress line of a page and writes the page with its writer.
bool WritePage(const BookPage& page, const RunOptions& options, PageTally& tally, ConsoleOutput& out) {
  const std::string path = options.out_path + page.file_name;
  out.Line(ConsoleOutput::Kind::kProgress, "->" + path + "\n");
  switch (page.kind) {
    case PageKind::kSection:
      return WriteSectionPage(options.in_path, path, page.record_base, page.title, options, tally);
    case PageKind::kMainText: return WriteMainTextPage(options.in_path, path, options, tally);
    case PageKind::kKanji: return WriteKanjiPage(options.in_path, path, options, tally);
  }
  return false;
}

// The uses of the pages with the names the user gave in gaiji.tsv, and the
// glyphs of the named characters from the gaiji font (GNU Unifont unless
// --gaiji-font names another). A font that cannot be read is told once; the
// named characters then keep their placeholders.
GaijiFiles NameGaiji(const RunOptions& options, const GaijiInventory& inventory, RunReport* report) {
  const DictFile table(ToFileSystemPath(options.out_path + "gaiji.tsv"), "gaiji.tsv", report);
  GaijiFiles gaiji = MergeGaijiTable(inventory.Uses(), ReadGaijiTable(table));
  const std::vector<uint32_t> named = gaiji.NamedCharacters();
  if (named.empty()) return gaiji;
  const std::string font = options.gaiji_font.empty() ? DefaultGaijiFont() : options.gaiji_font;
  std::string error;
  if (!LoadFontGlyphs(ToFileSystemPath(font), std::set<uint32_t>(named.begin(), named.end()),
                      &gaiji.glyphs, &error)) {
    report->Warn(font + ": " + error + ", so the " + std::to_string(named.size()) +
                 " characters gaiji.tsv names keep their placeholder glyphs" +
                 (options.gaiji_font.empty() ? " (install GNU Unifont, or give --gaiji-font FILE)" : ""));
  }
  return gaiji;
}

// The gaiji files, each announced like a page. A GaijiMap.xml or Gaiji.xml
// that the converter did not write is the user's and is kept.
bool WriteGaijiFiles(const RunOptions& options, const GaijiInventory& inventory, RunReport* report,
                     ConsoleOutput& out) {
  const GaijiFiles gaiji = NameGaiji(options, inventory, report);
  struct {
    const char* name;
    int (*write)(const std::string&, const GaijiFiles&);
    bool users_own_kept;
  } const files[] = {{"gaiji.tsv", WriteGaijiTable, false},
                     {"GaijiMap.xml", WriteGaijiMap, true},
                     {"Gaiji.xml", WriteGaijiFont, true},
                     {"HARUKAZE.map", WriteGaijiReaderMap, false}};
  for (const auto& f : files) {
    const std::string path = options.out_path + f.name;
    if (f.users_own_kept && !IsOwnGaijiFile(path)) {
      std::fprintf(stderr, "hz2html: %s: kept (not written by hz2html)\n", f.name);
      std::fflush(stderr);
      continue;
    }
    out.Line(ConsoleOutput::Kind::kProgress, "->" + path + "\n");
    if (const int error = f.write(path, gaiji)) {
      report->CannotWrite(path, error);
      return false;
    }
  }
  return true;
}

// The six pages and the project file, in that order, and with --gaiji the
// gaiji files; false when one could not be written (the run stops there).
bool WriteBook(const RunOptions& options, RunReport* report, ConsoleOutput& out) {
  std::unique_ptr<GaijiInventory> gaiji;
  if (options.gaiji) gaiji = std::make_unique<GaijiInventory>();
  for (const BookPage& page : kBookPages) {
    PageTally tally(page.file_name, report, gaiji.get());
    if (!WritePage(page, options, tally, out)) return false;
    report->PageSummary(tally);
  }
  if (!WriteBookProjectFile(options.out_path, *report)) return false;
  return !gaiji || WriteGaijiFiles(options, *gaiji, report, out);
}

}  // namespace

int RunConverter(int argc, const char* const* argv, ConsoleOutput* console) {
  StandardOutput standard_output;
  ConsoleOutput& out = console ? *console : standard_output;
  if (!StartFramework()) {
    std::fputs("Fatal Error: MFC initialization failed\n", stderr);
    std::fflush(stderr);
    return kExitFramework;
  }
  RunOptions options;
  std::vector<std::string> ignored;
  const CommandLineResult parsed = ParseCommandLine(argc, argv, &options, &ignored);
  RunReport report(options.verbose, &out);
  if (parsed == CommandLineResult::kRun || parsed == CommandLineResult::kUsage) {
    for (const std::string& message : ignored) report.Warn(message);
  }
  switch (parsed) {
    case CommandLineResult::kUsage:
      std::fputs(kUsageLine, stderr);
      return kExitUsage;
    case CommandLineResult::kHelp:
      out.Line(ConsoleOutput::Kind::kMessage, HelpText());
      return kExitSuccess;
    case CommandLineResult::kVersion:
      out.Line(ConsoleOutput::Kind::kBanner, kBanner);
      return kExitSuccess;
    case CommandLineResult::kRun:
      break;
  }
  if (!CheckInputDirectory(options.in_path, "DATA", out) ||
      !CheckInputDirectory(options.in_path, "LIST", out)) {
    std::fflush(stdout);
    return kExitUsage;
  }
  out.Line(ConsoleOutput::Kind::kBanner, kBanner);
  std::string level;
  int error = 0;
  if (!CreateOutputDirectories(options.out_path, &level, &error)) {
    std::fprintf(stderr, "hz2html: cannot create directory %s: %s\n", level.c_str(),
                 SystemErrorText(error).c_str());
    return kExitWriteFailure;
  }
  RemoveTemporaryFileOnInterrupt();
  const bool written = WriteBook(options, &report, out);
  report.Finish();
  std::fflush(stdout);
  if (!written) return kExitWriteFailure;
  return options.strict && report.warned() ? kExitDamaged : kExitSuccess;
}

}  // namespace hz
