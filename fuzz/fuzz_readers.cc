// Fuzz targets for the readers, from raw file bytes. One source, built into
// one target per reader (HZ_FUZZ_TARGET selects which).
#include <cstdint>
#include <cstring>

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "data/list_file.h"
#include "data/marker_index.h"
#include "fuzz/fuzz_support.h"

// The targets have external linkage: each build uses one of them.
namespace hzfuzz_readers {

namespace {
// Touches every byte a pointer hands out, so the sanitizers see any read
// outside what was loaded.
volatile unsigned g_sink;
void Touch(const void* p, size_t n) {
  const unsigned char* b = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; ++i) g_sink = g_sink + b[i];
}
}  // namespace

void DatFile(const uint8_t* data, size_t size) {
  hz::CDatFile dat(hzfuzz::WriteScratch("f.DAT", data, size));
  int32_t count = dat.GetCount();
  if (count < 0 || static_cast<uint64_t>(count) * 8 + 4 > size + 8) abort();
  for (int32_t n : {-1, 0, 1, 2, count, count + 1, count / 2, 3, 2}) {
    const char* text = dat.LoadRecord(n);
    if (text) Touch(text, dat.GetLength() + 1);
  }
}

namespace {
template <typename T>
void TouchTable(const hz::TableView<T>& t) {
  for (uint32_t i = 0; i < t.count; ++i) {
    T entry = t[i];
    Touch(&entry, sizeof entry);
  }
}
}  // namespace

void InfFile(const uint8_t* data, size_t size) {
  hz::CInfFile inf(hzfuzz::WriteScratch("f.INF", data, size));
  for (int32_t n : {1, 2, 3, 0, -1, 1, 100}) {
    inf.LoadRecord(n);
    hz::TableView<hz::StyleSpan> s;
    hz::TableView<hz::LinkSpan> l;
    hz::TableView<hz::AnchorEntry> a;
    inf.GetStyleSpans(&s);
    inf.GetLinkSpans(&l);
    inf.GetAnchors(&a);
    TouchTable(s);
    TouchTable(l);
    TouchTable(a);
    for (uint32_t pos : {0u, 1u, 7u, 100u, 0xFFFFFFFFu, 3u}) {
      if (inf.StyleCursor(pos) > s.count || inf.LinkCursor(pos) > l.count ||
          inf.AnchorCursor(pos) > a.count) {
        abort();
      }
    }
  }
}

void LinkTable(const uint8_t* data, size_t size) {
  hz::CLinkTable t(hzfuzz::WriteScratch("f.TBL", data, size));
  if (static_cast<size_t>(t.GetCount()) != size / 16) abort();
  for (int64_t n : {int64_t{-1}, int64_t{0}, int64_t{t.GetCount()} - 1, int64_t{t.GetCount()}}) {
    if (const hz::LinkName* e = t.GetEntry(n)) Touch(e, sizeof *e);
  }
}

void ListFile(const uint8_t* data, size_t size) {
  std::string path = hzfuzz::WriteScratch("f.lst", data, size);
  for (int32_t mode : {0, 1}) {
    hz::CListFile list(path, mode);
    int32_t count = list.GetCount();
    if (count < 0 || (size < 54 ? count != 0 : static_cast<size_t>(count) > (size - 54) / 54)) abort();
    for (int32_t i = -1; i <= count; ++i) {
      if (mode == 0) {
        if (const hz::ListEntry* e = list.GetEntry(i)) Touch(e, sizeof *e);
      } else if (const hz::KeyEntry* k = list.GetKeyEntry(i)) {
        Touch(k, sizeof *k);
      }
    }
  }
}

void MarkerIndex(const uint8_t* data, size_t size) {
  hzfuzz::Parts parts(data, size);
  hz::CMarkerIndex index;
  for (int32_t code = 2000; parts.More() && code < 2008; ++code) {
    std::string list = parts.Next();
    index.AddList(hzfuzz::WriteScratch("m.lst", reinterpret_cast<const uint8_t*>(list.data()), list.size()),
                  code);
  }
  int32_t n = index.Sort();
  const hz::MarkerEntry* const* sorted = index.GetSorted();
  for (int32_t i = 1; i < n; ++i) {
    // Ascending by unsigned position, equal positions in ascending code.
    int c = hz::CompareMarkers(&sorted[i - 1], &sorted[i]);
    if (c > 0 || (c == 0 && sorted[i - 1]->code > sorted[i]->code)) abort();
  }
}

}  // namespace hzfuzz_readers

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hzfuzz_readers::HZ_FUZZ_TARGET(data, size);
  return 0;
}
