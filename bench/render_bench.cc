// RenderEntry alone on a large record: every entry of one main-text record
// of some 2,000 entries rendered in list mode, as the main-text page does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/synth_dict.h"
#include "html/render_entry.h"
#include "tools/dict_builder.h"

namespace {

struct Fixture {
  Fixture() {
    char templ[] = "/tmp/hz2html-bench-XXXXXX";
    dir = mkdtemp(templ);
    hzb::DictBuilder b;
    hzb::Record rec = hzbench::MakeMainTextRecord(7, 2000);
    text_bytes = rec.text.size();
    // Entry starts: after every double CR.
    starts.push_back(0);
    for (size_t i = 0; i + 2 < rec.text.size(); ++i) {
      if (rec.text[i] == '\r' && rec.text[i + 1] == '\r') starts.push_back(static_cast<int32_t>(i + 2));
    }
    b.record_files["DATA/KX01"].push_back(std::move(rec));
    for (const char* t : {"DATA/KXLINK01.TBL", "DATA/KXLINK02.TBL", "DATA/KXLINK03.TBL", "DATA/KXLINK04.TBL"}) {
      for (int i = 0; i < 5000; ++i) b.link_tables[t].push_back("m" + std::to_string(i));
    }
    std::string error;
    if (!b.Write(dir, &error)) std::abort();
  }
  ~Fixture() { std::system(("rm -rf " + dir).c_str()); }
  std::string dir;
  size_t text_bytes = 0;
  std::vector<int32_t> starts;
};

void BM_RenderEntry(benchmark::State& state) {
  static Fixture f;
  hz::RecordFiles files(f.dir + "/DATA/KX01.DAT", f.dir + "/DATA/KX01.INF");
  const hz::LinkTables links(f.dir + "/DATA/KXLINK01.TBL", f.dir + "/DATA/KXLINK02.TBL",
                             f.dir + "/DATA/KXLINK03.TBL", f.dir + "/DATA/KXLINK04.TBL");
  hz::RunOptions options;
  hz::PageWriter out;
  hz::PageTally tally("", nullptr, nullptr);
  const hz::RenderContext page{out, files, links, options, tally};
  for (auto _ : state) {
    out.Clear();
    int32_t n = 1;
    for (int32_t start : f.starts) hz::RenderEntry(page, true, hz::EntryRef{1, start, n++});
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.text_bytes));
  state.counters["entries/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * f.starts.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderEntry)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
