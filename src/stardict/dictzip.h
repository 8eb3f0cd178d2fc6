// dictzip, the compressed form of StarDict's articles (and dictd's): a gzip
// file (RFC 1952) whose extra field "RA" (version 1, the chunk length, the
// chunk count, each chunk's compressed size, 16 bits each, little-endian)
// lets a reader inflate only the chunks an article lies in. Each chunk is
// compressed apart and ends with a full flush, so the chunks are compressed
// on several threads and joined into one deflate stream. zlib does the
// compressing and the checksums.
#ifndef HZ2HTML_STARDICT_DICTZIP_H_
#define HZ2HTML_STARDICT_DICTZIP_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hz {

// The uncompressed bytes of a chunk (dictzip's own choice).
constexpr size_t kDictzipChunk = 58315;

// The dictzip file of data, compressed on up to threads threads; false,
// with the reason in *error, when the data has more chunks than the header
// can list (about 1.9 GB).
bool Dictzip(std::string_view data, int threads, std::string* file, std::string* error);
// The same for data in pieces, one after the other (no copy of them joined).
bool Dictzip(const std::vector<std::string_view>& pieces, int threads, std::string* file, std::string* error);

// Reads a dictzip file as a reader does, chunk by chunk from the header's
// table, and checks its length and checksum; false, with the reason in
// *error, when it is no dictzip file or is damaged.
bool ReadDictzip(std::string_view file, std::string* data, std::string* error);

}  // namespace hz

#endif  // HZ2HTML_STARDICT_DICTZIP_H_
