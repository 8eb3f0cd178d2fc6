#include "driver/run.h"

#include <cstdio>
#include <string>

#include "book/project_file.h"
#include "driver/command_line.h"
#include "driver/output_dirs.h"
#include "driver/page_frame.h"
#include "driver/section_page.h"
#include "html/kanji_page.h"
#include "html/main_text_page.h"
#include "platform/file_system.h"
#include "platform/framework.h"
#include "platform/page_file.h"

namespace hz {

namespace {

struct SectionStep {
  const char* file_name;
  const char* section_id;
  const char* title;  // Shift-JIS
};

// 春風典の使い方, 凡例, 序, 奥付
const SectionStep kSections[] = {
    {"usage.html", "KX03", "\x8F\x74\x95\x97\x93\x54\x82\xCC\x8E\x67\x82\xA2\x95\xFB"},
    {"hanrei.html", "KX04", "\x96\x7D\x97\xE1"},
    {"jo.html", "KX05", "\x8F\x98"},
    {"oku.html", "KX06", "\x89\x9C\x95\x74"},
};

// Checks that in_path holds name as a directory; prints the message and
// returns false otherwise.
bool CheckInputDirectory(const std::string& in_path, const char* name) {
  const std::string composed = in_path + name;
  bool is_directory = false;
  if (!QueryFileStatus(DictionaryPath(in_path, name), &is_directory)) {
    std::printf("%s not found\n", composed.c_str());
    return false;
  }
  if (!is_directory) {
    std::printf("%s is not directory\n", composed.c_str());
    return false;
  }
  return true;
}

// Prints the progress line of a page and returns its composed path.
std::string AnnouncePage(const RunOptions& options, const char* file_name) {
  std::string page = options.outPath + file_name;
  std::printf("->%s\n", page.c_str());
  std::fflush(stdout);
  return page;
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
      std::fputs(kUsageLine, stdout);
      return kExitSuccess;
    case CommandLineResult::kVersion:
      std::fputs(kBanner, stdout);
      return kExitSuccess;
    case CommandLineResult::kRun:
      break;
  }
  if (!CheckInputDirectory(options.inPath, "DATA") ||
      !CheckInputDirectory(options.inPath, "LIST")) {
    std::fflush(stdout);
    return kExitUsage;
  }
  CreateOutputDirectories(options.outPath);
  RemoveTemporaryFilesOnSignals();
  std::fputs(kBanner, stdout);
  for (const SectionStep& step : kSections) {
    std::string page = AnnouncePage(options, step.file_name);
    if (!WriteSectionPage(options.inPath, page, step.section_id, step.title, options)) {
      return kExitWriteFailure;
    }
  }
  if (!WriteMainTextPage(options.inPath, AnnouncePage(options, "honbun.html"), options) ||
      !WriteKanjiPage(options.inPath, AnnouncePage(options, "kanji.html"), options) ||
      !WriteBookProjectFile(options.outPath)) {
    return kExitWriteFailure;
  }
  std::fflush(stdout);
  return kExitSuccess;
}

}  // namespace hz
