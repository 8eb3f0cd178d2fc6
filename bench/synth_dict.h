// A synthetic dictionary for the benchmarks: reproducible from a seed and a
// scale, shaped like a large CD-ROM dictionary.
#ifndef HZ2HTML_BENCH_SYNTH_DICT_H_
#define HZ2HTML_BENCH_SYNTH_DICT_H_

#include <cstdint>
#include <string>

#include "tools/dict_builder.h"

namespace hzbench {

struct Scale {
  const char* name;
  double factor;  // 1.0 is the full dictionary
};

// "small" (1/100), "medium" (1/10), "full", "stress" (10x), and
// "boundary" (a dictionary of prefix words, 220,000 entries, for the word
// indexes of hz2book's EPWING book); false for another name.
bool FindScale(const std::string& name, Scale* scale);

// Fills builder with the dictionary of the given scale and seed.
void MakeDictionary(const Scale& scale, uint64_t seed, hzb::DictBuilder* builder);

// One main-text record of about the given size, for the renderer benchmark.
hzb::Record MakeMainTextRecord(uint64_t seed, size_t entries);

}  // namespace hzbench

#endif  // HZ2HTML_BENCH_SYNTH_DICT_H_
