#include "driver/book_run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/run.h"
#include "epwing/book_check.h"
#include "epwing/book_chars.h"
#include "epwing/book_plan.h"
#include "epwing/book_text.h"
#include "epwing/work_files.h"
#include "platform/book_system.h"
#include "platform/file_system.h"
#include "platform/page_file.h"

namespace hz {

namespace {

const char kBookUsage[] =
    "Usage: hz2book [hz2html options] [--quiet] [--keep-work] <inpath> [<outpath>]\n"
    "       hz2book [--quiet] [--keep-work] --pages <outpath>\n";

const char kBookHelp[] =
    "Converts the dictionary with hz2html --gaiji into <outpath>, builds a searchable\n"
    "EPWING book from the pages into <outpath>/book with FreePWING, and proves every\n"
    "search word, reference and gaiji of it with the EB library.\n"
    "  --pages           build from the pages already in <outpath>\n"
    "  --quiet           print only warnings and errors\n"
    "  --keep-work       keep the work directory (<outpath>/.book-XXXXXX)\n"
    "  --help            print this help and exit\n"
    "  --version         print the version and exit\n"
    "hz2html's options (-f=, -m=, -o, --verbose, --strict, --gaiji-font) are passed on.\n"
    "Exit status: 0 book built and verified; 1 not built (a tool missing, no entries,\n"
    "FreePWING failed); 2 a file not written; 3 built, but with --strict a warning\n"
    "was printed; 4 built, but the check found misses; 255 usage error.\n";

struct BookOptions {
  bool pages_only = false, quiet = false, keep_work = false;
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
  if (o->pages_only) {
    // The one path is the pages' directory: hz2html's output path.
    args.insert(args.begin() + 2, ".");
  }
  if (ParseCommandLine(static_cast<int>(args.size()), args.data(), &o->run, &ignored) !=
      CommandLineResult::kRun) {
    return BookCommand::kUsage;
  }
  if (o->pages_only && o->converter_args.size() != 3) return BookCommand::kUsage;
  if (o->pages_only) o->run.out_path = o->converter_args[2], NormalisePath(&o->run.out_path);
  return BookCommand::kRun;
}

// The run's messages: "hz2book: ..." on stderr, and the progress line.
class BookConsole : public Report {
 public:
  BookConsole(bool quiet, bool converter_told_table)
      : quiet_(quiet), terminal_(StandardErrorIsTerminal()), told_table_(converter_told_table),
        start_(std::chrono::steady_clock::now()) {}

  void Missing(const std::string&) override {}
  void Damaged(const std::string& path, const std::string& what) override {
    // hz2html has told gaiji.tsv's problems in this run already.
    if (told_table_ && path == "gaiji.tsv") return;
    Say("warning: " + path + ": " + what);
    warned_ = true;
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

  // The stage of the build, with how far it has come when total is known:
  // one updating line on a terminal, a line every few seconds otherwise.
  void Progress(const std::string& stage, int64_t done, int64_t total) {
    if (quiet_) return;
    const auto now = std::chrono::steady_clock::now();
    const long elapsed = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(now - start_).count());
    std::string line = stage;
    if (total > 0) {
      line += " " + std::to_string(done) + "/" + std::to_string(total) + " (" +
              std::to_string(done * 100 / total) + "%)";
    }
    line += ", " + std::to_string(elapsed) + " s";
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
  std::chrono::steady_clock::time_point start_, last_line_;
  std::string last_stage_;
};

// What fpwmake's lines say of the stage the build is in.
const char* StageOf(const std::string& line) {
  static const struct {
    const char* program;
    const char* stage;
  } kStages[] = {{"fpwfullchar", "drawing the gaiji"},  {"fpwcgraph", "adding the images"},
                 {"parser.pl", "reading the pages"},   {"fpwsort", "sorting the search words"},
                 {"fpwindex", "indexing the search words"}, {"fpwcontrol", "writing the index"},
                 {"fpwlink", "linking the book"},      {"catdump", "writing the catalog"}};
  for (const auto& s : kStages) {
    if (line.find(s.program) != std::string::npos) return s.stage;
  }
  return nullptr;
}

// Runs fpwmake with its arguments in the work directory; its lines show
// the stage and, from the parser, the entries read. Returns its status.
int RunFpwmake(const std::vector<std::string>& argv, const std::string& work,
               BookConsole* console, std::deque<std::string>* last_lines) {
  std::string stage = "building the book";
  return RunProgram(argv, work, [&](const std::string& line) {
    int64_t done = 0, total = 0;
    char what[32];
    if (std::sscanf(line.c_str(), "hz2book-progress %31s %lld %lld", what,
                    reinterpret_cast<long long*>(&done), reinterpret_cast<long long*>(&total)) == 3) {
      console->Progress(stage, done, total);
      return;
    }
    if (const char* s = StageOf(line)) stage = s;
    console->Progress(stage, 0, 0);
    last_lines->push_back(line);
    if (last_lines->size() > 20) last_lines->pop_front();
  });
}

// Where the book parser is: beside the program in the build tree, in its
// share directory once installed.
std::string ParserScript() {
  const std::string dir = ProgramDirectory();
  for (const std::string& candidate : {dir + "/book_parser.pl", dir + "/../share/hz2html/book_parser.pl"}) {
    if (PathExists(candidate)) return candidate;
  }
  return dir + "/../share/hz2html/book_parser.pl";
}

// The tools the build runs, before anything is written.
bool ToolsPresent(BookConsole* console, std::string* parser) {
  static const struct {
    const char* program;
    const char* package;
  } kTools[] = {{"fpwmake", "freepwing"}, {"perl", "perl"}, {"make", "make"}};
  for (const auto& t : kTools) {
    if (FindProgram(t.program).empty()) {
      console->Say(std::string(t.program) + " not found: install " + t.package);
      return false;
    }
  }
  *parser = ParserScript();
  if (!PathExists(*parser)) {
    console->Say(*parser + " not found: the book parser belongs beside hz2book");
    return false;
  }
  return true;
}

}  // namespace

namespace {

struct Build {
  BookOptions options;
  bool converter_warned = false;  // hz2html ended with --strict's status
  std::string out;   // the pages' directory on the file system, without '/'
  std::string work;  // the work directory, once made
  BookPages pages;  // while the book's text is being written
  BookPlan plan;
  Manifest manifest;
};

// The book's text, from the pages, into out; its manifest into the build.
bool WriteText(Build* b, std::FILE* out) {
  std::string ebs, error;
  ReadPage(ToFileSystemPath(b->options.run.out_path + "harukaze.ebs"), &ebs, &error);
  const SearchSettings settings = ReadSearchSettings(ebs);
  const BookChars chars(b->plan, settings);
  return WriteBookText(b->plan, chars, settings, b->pages, out, &b->manifest);
}

// The stream as a file of the work directory, kept with it (--keep-work).
bool WriteStreamFile(Build* b, const std::string& path, BookConsole* console) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  bool ok = out != nullptr;
  if (ok) {
    std::setvbuf(out, nullptr, _IOFBF, size_t{1} << 20);
    ok = WriteText(b, out);
    ok = std::fclose(out) == 0 && ok;
  }
  if (!ok) console->Say("cannot write " + path + ": " + std::strerror(errno));
  return ok;
}

// Runs hz2html --gaiji; its status (0 or 3 to go on). With --quiet its
// banner and progress lines are left out; what else it says stays.
int Convert(const BookOptions& o) {
  std::vector<const char*> args;
  for (const std::string& a : o.converter_args) args.push_back(a.c_str());
  OutputCapture capture;
  if (o.quiet) capture = CaptureStandardOutput();
  const int status = RunConverter(static_cast<int>(args.size()), args.data());
  if (!o.quiet) return status;
  const std::string out = EndCapture(capture);
  for (size_t a = 0, b; (b = out.find('\n', a)) != std::string::npos; a = b + 1) {
    const std::string line = out.substr(a, b + 1 - a);
    if (line.compare(0, 2, "->") != 0 && line != kBanner) std::fputs(line.c_str(), stdout);
  }
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

int NoEntry(const Build& b, BookConsole* console) {
  console->Say(b.out + ": the pages hold no entry (no <dt> in honbun.html or kanji.html): no book");
  return kBookNotBuilt;
}

// fpwmake in the work directory, then the catalog. The parser reads the
// stream as it is written, through a FIFO; with --keep-work, from a file
// written first and kept.
int BuildBook(Build* b, BookConsole* console) {
  const std::string stream = b->work + "/stream.txt";
  std::deque<std::string> last;
  int status = 0;
  bool written = true;
  if (b->options.keep_work) {
    if (!WriteStreamFile(b, stream, console)) return kBookWriteFailure;
    b->pages.clear();
    status = RunFpwmake({"fpwmake"}, b->work, console, &last);
  } else {
    const int e = MakeFifo(stream);
    if (e != 0) {
      console->Say("cannot create " + stream + ": " + SystemErrorText(e));
      return kBookWriteFailure;
    }
    FifoWriter writer(stream, [b](std::FILE* out) { return WriteText(b, out); });
    status = RunFpwmake({"fpwmake"}, b->work, console, &last);
    written = writer.Finish();
    b->pages.clear();
  }
  // A <dt> that the first look counted may be no element of the text (one
  // in a comment, say).
  if (status >= 0 && written && b->manifest.entries.empty()) return NoEntry(*b, console);
  if (status == 0 && !written) {
    console->Say("cannot write the book's text to FreePWING's parser");
    return kBookWriteFailure;
  }
  if (status == 0) status = RunFpwmake({"fpwmake", "catalogs"}, b->work, console, &last);
  if (status < 0) return status;
  if (status != 0) {
    console->Say("FreePWING failed (fpwmake ended with status " + std::to_string(status) +
                 "); its last lines:");
    for (const std::string& line : last) std::fprintf(stderr, "  %s\n", line.c_str());
    return kBookNotBuilt;
  }
  std::string error;
  if (!AssembleBook(b->work, b->plan, &error)) {
    console->Say("cannot assemble the book: " + error);
    return kBookWriteFailure;
  }
  return 0;
}

// Checks the book; on success moves it into place.
int VerifyAndPlace(Build* b, BookConsole* console) {
  const std::string shown = b->out + "/book";
  const CheckResult r = CheckBook(
      b->work + "/book", b->manifest, b->plan,
      [console](const char* stage, int64_t done, int64_t total) {
        console->Progress(std::string("checking ") + stage, done, total);
      },
      [] { return Interrupted(); });
  if (Interrupted()) return -1;
  console->ClearProgress();
  const std::string figures = std::to_string(r.entries) + " entries, " + std::to_string(r.keys) +
                              " keys, " + std::to_string(r.references) + " references, " +
                              std::to_string(r.gaiji) + " gaiji";
  if (!r.error.empty() || !r.misses.empty()) {
    for (size_t i = 0; i < r.misses.size() && i < 20; ++i) console->Say("not found: " + r.misses[i]);
    if (!r.error.empty()) console->Say(r.error);
    console->Say(shown + ": " + figures + ": " + std::to_string(r.misses.size()) +
                 " not found; the book is kept for inspection in " + b->work + "/book");
    b->options.keep_work = true;
    return kBookMisses;
  }
  const std::string old = b->work + "/earlier-book";
  int e = PathExists(shown) ? MovePath(shown, old) : 0;
  if (e == 0) e = MovePath(b->work + "/book", shown);
  if (e != 0) {
    console->Say("cannot move the book into " + shown + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  if (!console->quiet()) std::fprintf(stderr, "hz2book: %s: %s: all found\n", shown.c_str(), figures.c_str());
  return 0;
}

int RunBuild(Build* b, BookConsole* console) {
  std::string parser;
  if (!ToolsPresent(console, &parser)) return kBookNotBuilt;
  if (!b->options.pages_only) {
    const int status = Convert(b->options);
    if (status != kExitSuccess && status != kExitDamaged) return status & 0xFF;
    b->converter_warned = status == kExitDamaged;
  }
  CatchInterruptions();
  console->Progress("reading the pages", 0, 0);
  std::string error;
  const PlanInputs inputs{b->options.run.out_path,
                          b->options.run.gaiji_font.empty() ? DefaultGaijiFont() : b->options.run.gaiji_font,
                          console};
  if (!ReadBookPages(b->options.run.out_path, &b->pages, &error)) {
    console->Say(error);
    return kBookNotBuilt;
  }
  MakeBookPlan(inputs, b->pages, &b->plan);
  if (b->plan.entries == 0) return NoEntry(*b, console);
  int e = 0;
  b->work = MakeWorkDirectory(b->out, &e);
  if (b->work.empty()) {
    console->Say("cannot create a work directory in " + b->out + ": " + SystemErrorText(e));
    return kBookWriteFailure;
  }
  if (!WriteWorkFiles(b->work, b->plan, parser, &error)) {
    console->Say("cannot write " + error);
    return kBookWriteFailure;
  }
  int status = BuildBook(b, console);
  if (status == 0) status = VerifyAndPlace(b, console);
  return status;
}

}  // namespace

int RunBookBuilder(int argc, const char* const* argv) {
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
  Abandon(b, &console);
  // An interruption ends the process as the signal would have, the work
  // directory gone.
  if (status < 0 || Interrupted()) ResumeInterruption();
  if (status != 0) return status;
  const bool warned = b.converter_warned || console.warned();
  return b.options.run.strict && warned ? kBookDamaged : kBookBuilt;
}

}  // namespace hz
