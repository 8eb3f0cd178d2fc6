#include "driver/book_run.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/run.h"
#include "ebcheck/book_check.h"
#include "epwing/epwing_book.h"
#include "model/model_reader.h"
#include "platform/book_system.h"
#include "stardict/stardict_check.h"
#include "stardict/stardict_dictionary.h"
#include "unicode/unicode_book.h"
#include "yomitan/yomitan_check.h"
#include "yomitan/yomitan_dictionary.h"
#include "platform/file_system.h"
#include "platform/framework.h"
#include "platform/page_file.h"

namespace hz {

namespace {

const char kBookUsage[] =
    "Usage: hz2book [hz2html options] [hz2book options] <inpath> [<outpath>]\n"
    "       hz2book [--strict] [--gaiji-font FILE] [hz2book options] --pages <outpath>\n";

const char kBookHelp[] =
    "Converts the dictionary with hz2html --gaiji into <outpath>, writes a searchable\n"
    "EPWING book from the pages into <outpath>/book, and proves every entry, search\n"
    "word, reference and gaiji of it with the EB library.\n"
    "  --pages           build from the pages already in <outpath>\n"
    "  --stardict        also write a StarDict dictionary into <outpath>/stardict\n"
    "  --yomitan         also write a Yomitan dictionary, <outpath>/yomitan/harukaze.zip\n"
    "  --no-epwing       leave out the EPWING book (with --stardict or --yomitan)\n"
    "  --quiet           print only warnings and errors\n"
    "  --keep-work       keep the work directory (<outpath>/.book-XXXXXX)\n"
    "  --help            print this help and exit\n"
    "  --version         print the version and exit\n"
    "hz2html's options (-f=, -m=, -o, --verbose, --strict, --gaiji-font) are passed on;\n"
    "--verbose also prints how long each stage took.\n"
    "Each dictionary is checked by reading it back as its readers do, and replaces an\n"
    "earlier one only then.\n"
    "Exit status: 0 built and proved; 1 no book (no entries, a page unreadable, the\n"
    "words too many for an index); 2 a file not written; 3 built, but with --strict a\n"
    "warning was printed; 4 built, but a check found misses; 255 usage error.\n";

struct BookOptions {
  bool pages_only = false, quiet = false, keep_work = false;
  bool epwing = true, stardict = false, yomitan = false;
  std::vector<std::string> converter_args;  // for hz2html, --gaiji first
  RunOptions run;                           // as hz2html reads them
};

enum class BookCommand { kRun, kUsage, kHelp, kVersion };

BookCommand ParseBookCommandLine(int argc, const char* const* argv, BookOptions* o) {
  o->converter_args = {"hz2html", "--gaiji"};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pages") {
      o->pages_only = true;
    } else if (a == "--quiet") {
      o->quiet = true;
    } else if (a == "--keep-work") {
      o->keep_work = true;
    } else if (a == "--stardict") {
      o->stardict = true;
    } else if (a == "--yomitan") {
      o->yomitan = true;
    } else if (a == "--no-epwing") {
      o->epwing = false;
    } else if (a == "--help") {
      return BookCommand::kHelp;
    } else if (a == "--version") {
      return BookCommand::kVersion;
    } else {
      o->converter_args.push_back(a);
    }
  }
  std::vector<const char*> args;
  for (const std::string& a : o->converter_args) args.push_back(a.c_str());
  std::vector<std::string> ignored;
  if (ParseCommandLine(static_cast<int>(args.size()), args.data(), &o->run, &ignored) != CommandLineResult::kRun) {
    return BookCommand::kUsage;
  }
  // Something to write.
  if (!o->epwing && !o->stardict && !o->yomitan) return BookCommand::kUsage;
  if (o->pages_only) {
    // The one path is the pages' directory, the converter's output path.
    if (o->run.out_path != RunOptions().out_path || !ignored.empty()) return BookCommand::kUsage;
    o->run.out_path = o->run.in_path;
  }
  return BookCommand::kRun;
}

// The run's messages: "hz2book: ..." on stderr, warnings counted, and the
// progress line.
class BookConsole final : public Report {
 public:
  static constexpr int kMaxWarnings = 20;

  BookConsole(bool quiet, bool converter_told_table)
      : quiet_(quiet), terminal_(StandardErrorIsTerminal()), told_table_(converter_told_table),
        start_(std::chrono::steady_clock::now()) {}

  void Missing(const std::string&) override {}
  void Damaged(const std::string& path, const std::string& what) override {
    // hz2html has told gaiji.tsv's problems in this run already.
    if (told_table_ && path == "gaiji.tsv") return;
    warned_ = true;
    if (++warnings_ <= kMaxWarnings) Say("warning: " + path + ": " + what);
  }
  void UnknownLinkKind(uint32_t) override {}
  void CannotWrite(const std::string& path, int error) override {
    Say("cannot write " + path + ": " + SystemErrorText(error));
  }

  void Say(const std::string& line) {
    ClearProgress();
    std::fprintf(stderr, "hz2book: %s\n", line.c_str());
    std::fflush(stderr);
  }

  void FinishWarnings() {
    if (warnings_ > kMaxWarnings) Say("warning: " + std::to_string(warnings_ - kMaxWarnings) + " more problems not shown");
  }

  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  // The stage of the build, with how far it has come when total is known:
  // one updating line on a terminal, a line every few seconds otherwise.
  void Progress(const std::string& stage, int64_t done, int64_t total) {
    if (quiet_) return;
    const auto now = std::chrono::steady_clock::now();
    std::string line = stage;
    if (total > 0) {
      line += " " + std::to_string(done) + "/" + std::to_string(total) + " (" + std::to_string(done * 100 / total) + "%)";
    }
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, ", %.1f s", Seconds());
    line += elapsed;
    if (terminal_) {
      std::fprintf(stderr, "\r\033[Khz2book: %s", line.c_str());
      shown_ = true;
    } else if (stage != last_stage_ || now - last_line_ >= std::chrono::seconds(5)) {
      std::fprintf(stderr, "hz2book: %s\n", line.c_str());
      last_line_ = now;
    }
    last_stage_ = stage;
    std::fflush(stderr);
  }

  void ClearProgress() {
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K");
    shown_ = false;
  }

  bool warned() const { return warned_; }
  bool quiet() const { return quiet_; }

 private:
  bool quiet_, terminal_, told_table_, shown_ = false, warned_ = false;
  int64_t warnings_ = 0;
  std::chrono::steady_clock::time_point start_, last_line_;
  std::string last_stage_;
};

// hz2html's standard output with --quiet: its banner and its progress lines
// left out, what else it says kept.
class QuietConverter final : public ConsoleOutput {
 public:
  void Line(Kind kind, const std::string& line) override {
    if (kind == Kind::kMessage) std::fputs(line.c_str(), stdout);
  }
};

struct Build {
  BookOptions options;
  bool converter_warned = false;  // hz2html ended with --strict's status
  std::string out;   // the pages' directory on the file system, without a final '/'
  std::string work;  // the work directory, once made
  BookModel model;
  std::vector<std::pair<const char*, double>> times;  // each stage's seconds
};

// Runs hz2html --gaiji; its status (0 or 3 to go on).
int Convert(const BookOptions& o) {
  std::vector<const char*> args;
  for (const std::string& a : o.converter_args) args.push_back(a.c_str());
  QuietConverter quiet;
  const int status = RunConverter(static_cast<int>(args.size()), args.data(), o.quiet ? &quiet : nullptr);
  std::fflush(stdout);
  return status;
}

void Abandon(const Build& b, BookConsole* console) {
  if (b.work.empty()) return;
  if (b.options.keep_work) {
    console->Say("the work directory is kept: " + b.work);
  } else {
    RemoveTree(b.work);
  }
}

// Writes the files under dir, making the directories they stand in.
int WriteFiles(const std::string& dir, const std::vector<BookFile>& files, BookConsole* console) {
  if (const int e = MakeDirectory(dir)) {
    console->Say("cannot create directory " + dir + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  std::set<std::string> made;
  for (const BookFile& f : files) {
    const std::string path = dir + "/" + f.path;
    for (size_t slash = path.find('/', dir.size() + 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
      const std::string level = path.substr(0, slash);
      if (made.insert(level).second && !PathExists(level)) {
        if (const int e = MakeDirectory(level)) {
          console->Say("cannot create directory " + level + ": " + SystemErrorText(e));
          return kBookWriteFailure;
        }
      }
    }
    if (const int e = WriteWholeFile(path, f.bytes)) {
      console->Say("cannot write " + path + ": " + SystemErrorText(e));
      return kBookWriteFailure;
    }
  }
  return 0;
}

// Tells what the check of the output work/name found; when it found
// everything, moves the output into place (an earlier one aside first).
int Place(Build* b, const std::string& name, const std::string& figures, const std::vector<std::string>& misses,
          const std::string& error, BookConsole* console) {
  const std::string shown = b->out + "/" + name, made = b->work + "/" + name;
  console->ClearProgress();
  if (!error.empty() || !misses.empty()) {
    for (size_t i = 0; i < misses.size() && i < 20; ++i) console->Say("not found: " + misses[i]);
    if (!error.empty()) console->Say(error);
    console->Say(shown + ": " + figures + ": " + std::to_string(misses.size()) +
                 " not found; kept for inspection in " + made);
    b->options.keep_work = true;
    return kBookMisses;
  }
  int e = PathExists(shown) ? MovePath(shown, b->work + "/earlier-" + name) : 0;
  if (e == 0) e = MovePath(made, shown);
  if (e != 0) {
    console->Say("cannot move " + made + " into " + shown + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  if (!console->quiet()) std::fprintf(stderr, "hz2book: %s: %s: all found\n", shown.c_str(), figures.c_str());
  return 0;
}

// The EPWING book of the model, in the work directory.
int WriteBook(Build* b, BookConsole* console) {
  console->Progress("writing the book", 0, 0);
  const double start = console->Seconds();
  EpwingBook book;
  std::string error;
  if (!WriteEpwingBook(b->model, &book, &error)) {
    console->Say(b->out + ": " + error + ": no book");
    return kBookNotBuilt;
  }
  const int status = WriteFiles(b->work + "/book", book.files, console);
  b->times.emplace_back("the EPWING book", console->Seconds() - start);
  return status;
}

// Checks the book; on success moves it into place.
int ProveAndPlace(Build* b, BookConsole* console) {
  const double start = console->Seconds();
  const CheckResult r = CheckEpwingBook(
      b->work + "/book", b->model,
      [console](const char* stage, int64_t done, int64_t total) {
        console->Progress(std::string("checking ") + stage, done, total);
      },
      [] { return Interrupted(); });
  b->times.emplace_back("its check", console->Seconds() - start);
  if (Interrupted()) return -1;
  const std::string figures = std::to_string(r.entries) + " entries, " + std::to_string(r.keys) + " keys, " +
                              std::to_string(r.references) + " references, " + std::to_string(r.gaiji) + " gaiji";
  return Place(b, "book", figures, r.misses, r.error, console);
}

// What the exports say they are.
std::string Description(const Build& b) {
  return (b.model.title.empty() ? std::string("The dictionary") : b.model.title) +
         ", from the dictionary's own data, converted by hz2html and hz2book " HZ2HTML_VERSION ".";
}

std::string ExportFigures(const ExportCheck& r, const char* articles) {
  return std::to_string(r.articles) + " " + articles + ", " + std::to_string(r.words) + " words, " +
         std::to_string(r.links) + " links, " + std::to_string(r.pictures) + " pictures";
}

// The StarDict dictionary, written, checked and placed.
int StarDict(Build* b, const UnicodeBook& book, BookConsole* console) {
  console->Progress("writing the StarDict dictionary", 0, 0);
  double start = console->Seconds();
  int status;
  {
    StarDictDictionary dict;
    std::string error;
    if (!WriteStarDict(book, Description(*b), &dict, &error)) {
      console->Say(b->out + "/stardict: " + error + ": no StarDict dictionary");
      return kBookNotBuilt;
    }
    status = WriteFiles(b->work + "/stardict", dict.files, console);
  }
  b->times.emplace_back("the StarDict dictionary", console->Seconds() - start);
  if (status != 0) return status;
  if (Interrupted()) return -1;
  console->Progress("checking the StarDict dictionary", 0, 0);
  start = console->Seconds();
  const ExportCheck r = CheckStarDict(b->work + "/stardict", book);
  b->times.emplace_back("its check", console->Seconds() - start);
  return Place(b, "stardict", ExportFigures(r, "articles"), r.misses, r.error, console);
}

// The Yomitan dictionary, written, checked and placed.
int Yomitan(Build* b, const UnicodeBook& book, BookConsole* console) {
  console->Progress("writing the Yomitan dictionary", 0, 0);
  double start = console->Seconds();
  const std::string dir = b->work + "/yomitan", zip = dir + "/" + kYomitanFile;
  if (const int e = MakeDirectory(dir)) {
    console->Say("cannot create directory " + dir + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  YomitanInfo info;
  info.revision = "hz2book " HZ2HTML_VERSION;
  info.description = Description(*b);
  YomitanCounts counts;
  std::string error;
  if (!WriteYomitan(book, info, zip, &counts, &error)) {
    console->Say(error + ": no Yomitan dictionary");
    return kBookWriteFailure;
  }
  b->times.emplace_back("the Yomitan dictionary", console->Seconds() - start);
  if (Interrupted()) return -1;
  console->Progress("checking the Yomitan dictionary", 0, 0);
  start = console->Seconds();
  const ExportCheck r = CheckYomitan(zip, book);
  b->times.emplace_back("its check", console->Seconds() - start);
  return Place(b, "yomitan", ExportFigures(r, "rows"), r.misses, r.error, console);
}

// The model of the pages.
int ReadModel(Build* b, BookConsole* console) {
  console->Progress("reading the pages", 0, 0);
  const double start = console->Seconds();
  ModelSources sources;
  sources.pages_dir = b->options.run.out_path;
  sources.font = b->options.run.gaiji_font.empty() ? DefaultGaijiFont() : b->options.run.gaiji_font;
  sources.report = console;
  std::string error;
  if (!ReadBookModel(sources, &b->model, &error)) {
    console->Say(error + ": no book");
    return kBookNotBuilt;
  }
  b->times.emplace_back("the model", console->Seconds() - start);
  if (b->model.entry_count == 0) {
    console->Say(b->out + ": the pages hold no entry (no <dt> in honbun.html or kanji.html): no book");
    return kBookNotBuilt;
  }
  return 0;
}

int RunBuild(Build* b, BookConsole* console) {
  if (!b->options.pages_only) {
    const double start = console->Seconds();
    const int status = Convert(b->options);
    b->times.emplace_back("the conversion", console->Seconds() - start);
    if (status != kExitSuccess && status != kExitDamaged) return status & 0xFF;
    b->converter_warned = status == kExitDamaged;
  }
  CatchInterruptions();
  int status = ReadModel(b, console);
  if (status != 0) return status;
  int e = 0;
  b->work = MakeWorkDirectory(b->out, &e);
  if (b->work.empty()) {
    console->Say("cannot create a work directory in " + b->out + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  // Each output on its own: one that fails does not keep back the next,
  // and the first failure gives the status.
  if (b->options.epwing) {
    status = WriteBook(b, console);
    if (status == 0 && Interrupted()) status = -1;
    if (status == 0) status = ProveAndPlace(b, console);
  }
  if (status < 0 || status == kBookWriteFailure || (!b->options.stardict && !b->options.yomitan)) return status;
  const UnicodeBook book(b->model);
  for (const auto& export_one : {std::make_pair(b->options.stardict, StarDict), std::make_pair(b->options.yomitan, Yomitan)}) {
    if (!export_one.first) continue;
    if (Interrupted()) return -1;
    const int s = export_one.second(b, book, console);
    if (s < 0 || s == kBookWriteFailure) return s;
    if (status == 0) status = s;
  }
  return Interrupted() ? -1 : status;
}

}  // namespace

int RunBookBuilder(int argc, const char* const* argv) {
  // The allocator keeps freed memory for the next stage (the exports build
  // and free buffers of many megabytes, each faulted in anew otherwise).
  StartFramework();
  Build b;
  switch (ParseBookCommandLine(argc, argv, &b.options)) {
    case BookCommand::kUsage: std::fputs(kBookUsage, stderr); return kExitUsage & 0xFF;
    case BookCommand::kHelp: std::fputs(kBookUsage, stdout), std::fputs(kBookHelp, stdout); return 0;
    case BookCommand::kVersion: std::fputs(kBanner, stdout); return 0;
    case BookCommand::kRun: break;
  }
  b.out = ToFileSystemPath(b.options.run.out_path);
  while (b.out.size() > 1 && b.out.back() == '/') b.out.pop_back();
  BookConsole console(b.options.quiet, !b.options.pages_only);
  const int status = RunBuild(&b, &console);
  console.ClearProgress();
  console.FinishWarnings();
  Abandon(b, &console);
  // An interruption ends the process as the signal would have, the work
  // directory gone.
  if (status < 0 || Interrupted()) ResumeInterruption();
  if (b.options.run.verbose) {
    std::string line = "times:";
    for (size_t i = 0; i < b.times.size(); ++i) {
      char t[64];
      std::snprintf(t, sizeof t, "%s %s %.2f s", i ? "," : "", b.times[i].first, b.times[i].second);
      line += t;
    }
    console.Say(line);
  }
  if (status != 0) return status;
  const bool warned = b.converter_warned || console.warned();
  return b.options.run.strict && warned ? kBookDamaged : kBookBuilt;
}

}  // namespace hz
