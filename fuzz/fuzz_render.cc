// Fuzz target for RenderEntry in both modes and the key writers.
// Input: mode byte, start offset (4 bytes), then parts: the record text, the
// layout record (its table offsets are absolute: the record starts at byte
// 16 of its layout file), and a link-name table used for all four tables.
#include <cstdint>

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
  const std::string dat_path = write("r.DAT", dat);
  const std::string inf_path = write("r.INF", inf);
  const std::string table_path = write("r.TBL", table);
  hz::RecordFiles files(dat_path, inf_path);
  const hz::LinkTables links(table_path, table_path, table_path, table_path);
  hz::RunOptions options;
  hz::PageWriter out;
  hz::PageTally tally("", nullptr, nullptr);
  const hz::RenderContext page{out, files, links, options, tally};
  hz::RenderEntry(page, (mode & 1) != 0,
                  hz::EntryRef{1, static_cast<int32_t>(start % (text.size() + 2)), 1});
  // Again from the record's start, reusing the loaded record and tables.
  hz::RenderEntry(page, ((mode >> 1) & 1) != 0, hz::EntryRef{1, 0, 2});
  // The key writers on the raw text, zero-terminated as a record is.
  hz::WriteHeadwordKeys(text.c_str(), out, tally);
  hz::WriteCapturedKeys(text.c_str(), out, tally);
  return 0;
}
