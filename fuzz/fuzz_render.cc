// Fuzz target for RenderEntry in both modes and the key writers.
// Input: mode byte, start offset (4 bytes), then parts: the record text, the
// layout record (its table offsets are absolute: the record starts at byte
// 16 of its layout file), and a link-name table used for all four tables.
#include <cstdint>
#include <cstdio>

#include "data/dat_file.h"
#include "data/inf_file.h"
#include "data/link_table.h"
#include "fuzz/fuzz_support.h"
#include "html/keys.h"
#include "html/render_entry.h"
#include "tools/dict_builder.h"

namespace {

std::string U32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The unknown-link message would flood the fuzzer's output.
  if (!std::freopen("/dev/null", "w", stdout)) return 0;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hzfuzz::Parts parts(data, size);
  const uint8_t mode = parts.Byte();
  const uint32_t start = parts.Word();
  const std::string text = parts.Next();
  const std::string layout = parts.Next();
  const std::string table = parts.Next();
  // One record in each file: text at byte 12, layout record at byte 16.
  std::string dat = U32(1) + U32(12) + U32(static_cast<uint32_t>(text.size())) + text;
  std::string inf = U32(1) + U32(0) + U32(16) + U32(static_cast<uint32_t>(layout.size())) + layout;
  auto write = [](const char* name, const std::string& bytes) {
    return hzfuzz::WriteScratch(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  };
  hz::CDatFile d(write("r.DAT", dat));
  hz::CInfFile i(write("r.INF", inf));
  hz::CLinkTable t(write("r.TBL", table));
  hz::RunOptions options;
  hz::PageWriter out;
  hz::RenderEntry(out, (mode & 1) != 0, hz::EntryRef{1, static_cast<int32_t>(start % (text.size() + 2)), 1}, d,
                  i, t, t, t, t, options);
  // Again from the record's start, reusing the loaded record and tables.
  hz::RenderEntry(out, ((mode >> 1) & 1) != 0, hz::EntryRef{1, 0, 2}, d, i, t, t, t, t, options);
  // The key writers on the raw text, zero-terminated as a record is.
  hz::WriteHeadwordKeys(text.c_str(), out);
  hz::WriteCapturedKeys(text.c_str(), out);
  return 0;
}
