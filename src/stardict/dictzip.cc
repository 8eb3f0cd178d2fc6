#include "stardict/dictzip.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/in_shares.h"
#include "platform/mapped_file.h"

namespace hz {

namespace {

// gzip's header bytes and flags.
constexpr unsigned char kMagic1 = 0x1F, kMagic2 = 0x8B, kDeflated = 8;
constexpr unsigned char kHeaderCrc = 0x02, kExtra = 0x04, kName = 0x08, kComment = 0x10;
constexpr unsigned char kUnix = 3;
constexpr size_t kMaxChunks = (0xFFFF - 10) / 2;

void PutLe16(uint32_t v, std::string* out) {
  *out += static_cast<char>(v & 0xFF);
  *out += static_cast<char>(v >> 8 & 0xFF);
}

void PutLe32(uint32_t v, std::string* out) {
  PutLe16(v & 0xFFFF, out);
  PutLe16(v >> 16, out);
}

uint32_t Le(std::string_view s, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
  return v;
}

// Data in pieces, read a chunk at a time: in place when the chunk lies in
// one piece, else joined into room.
class Pieces {
 public:
  explicit Pieces(const std::vector<std::string_view>& pieces) : pieces_(pieces) {
    for (std::string_view p : pieces) {
      starts_.push_back(size_);
      size_ += p.size();
    }
  }
  size_t size() const { return size_; }
  std::string_view At(size_t at, size_t n, std::string* room) const {
    size_t k = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin()) - 1;
    if (at - starts_[k] + n <= pieces_[k].size()) return pieces_[k].substr(at - starts_[k], n);
    room->clear();
    for (; room->size() < n && k < pieces_.size(); ++k) {
      const size_t from = at + room->size() - starts_[k];
      room->append(pieces_[k].substr(from, n - room->size()));
    }
    return *room;
  }

 private:
  const std::vector<std::string_view>& pieces_;
  std::vector<size_t> starts_;
  size_t size_ = 0;
};

struct Chunk {
  std::string packed;
  uLong crc = 0;
  size_t size = 0;
  bool ok = false;
};

// Compresses chunks [begin, end) of data, each ending with a full flush (the
// last of all with the stream's end). zlib's fastest level: on the articles
// it takes a tenth more room than the default and less than half the time.
void Compress(const Pieces& data, size_t begin, size_t end, size_t count, std::vector<Chunk>* chunks) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  std::string room;
  for (size_t i = begin; i < end; ++i) {
    Chunk& c = (*chunks)[i];
    const size_t at = i * kDictzipChunk;
    c.size = std::min(kDictzipChunk, data.size() - std::min(at, data.size()));
    const std::string_view chunk = data.At(at, c.size, &room);
    c.crc = crc32(0L, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(c.size));
    c.packed.resize(deflateBound(&z, static_cast<uLong>(c.size)) + 16);
    deflateReset(&z);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
    z.avail_in = static_cast<uInt>(c.size);
    z.next_out = reinterpret_cast<Bytef*>(c.packed.data());
    z.avail_out = static_cast<uInt>(c.packed.size());
    const int flush = i + 1 == count ? Z_FINISH : Z_FULL_FLUSH;
    const int e = deflate(&z, flush);
    c.ok = (flush == Z_FINISH ? e == Z_STREAM_END : e == Z_OK) && z.avail_in == 0;
    c.packed.resize(c.packed.size() - z.avail_out);
  }
  deflateEnd(&z);
}

}  // namespace

bool Dictzip(std::string_view data, int threads, std::string* file, std::string* error) {
  return Dictzip(std::vector<std::string_view>{data}, threads, file, error);
}

bool Dictzip(const std::vector<std::string_view>& pieces, int threads, std::string* file, std::string* error) {
  const Pieces data(pieces);
  const size_t count = std::max<size_t>(1, (data.size() + kDictzipChunk - 1) / kDictzipChunk);
  if (count > kMaxChunks) {
    *error = std::to_string(data.size()) + " bytes of articles, more than dictzip's " +
             std::to_string(kMaxChunks) + " chunks hold";
    return false;
  }
  std::vector<Chunk> chunks(count);
  InShares(count, threads, [&](size_t begin, size_t end) { Compress(data, begin, end, count, &chunks); });
  size_t total = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  for (const Chunk& c : chunks) {
    if (!c.ok || c.packed.size() > 0xFFFF) {
      *error = "zlib could not compress the articles";
      return false;
    }
    total += c.packed.size();
    crc = crc32_combine(crc, c.crc, static_cast<z_off_t>(c.size));
  }
  file->clear();
  ReserveLarge(file, total + 2 * count + 32);
  *file += static_cast<char>(kMagic1);
  *file += static_cast<char>(kMagic2);
  *file += static_cast<char>(kDeflated);
  *file += static_cast<char>(kExtra);
  PutLe32(0, file);  // no time: the same data gives the same file
  *file += '\0';
  *file += static_cast<char>(kUnix);
  PutLe16(static_cast<uint32_t>(10 + 2 * count), file);  // the extra field
  *file += "RA";
  PutLe16(static_cast<uint32_t>(6 + 2 * count), file);
  PutLe16(1, file);  // version
  PutLe16(kDictzipChunk, file);
  PutLe16(static_cast<uint32_t>(count), file);
  for (const Chunk& c : chunks) PutLe16(static_cast<uint32_t>(c.packed.size()), file);
  for (const Chunk& c : chunks) *file += c.packed;
  PutLe32(static_cast<uint32_t>(crc), file);
  PutLe32(static_cast<uint32_t>(data.size() & 0xFFFFFFFFu), file);
  return true;
}

namespace {

struct ChunkTable {
  size_t length = 0;                 // uncompressed bytes a chunk
  std::vector<size_t> offsets, sizes;  // of each compressed chunk in the file
  size_t end = 0;                    // where the compressed data ends
};

// The header and its chunk table; false, with the reason, when there is
// none to read.
bool ReadHeader(std::string_view f, ChunkTable* t, std::string* error) {
  if (f.size() < 18 || static_cast<unsigned char>(f[0]) != kMagic1 || static_cast<unsigned char>(f[1]) != kMagic2 ||
      f[2] != kDeflated) {
    *error = "not a gzip file";
    return false;
  }
  const unsigned char flags = static_cast<unsigned char>(f[3]);
  if (!(flags & kExtra)) {
    *error = "a gzip file without dictzip's chunk table";
    return false;
  }
  const size_t xlen = Le(f, 10, 2);
  size_t at = 12;
  if (at + xlen > f.size() || xlen < 10 || f.substr(at, 2) != "RA") {
    *error = "no dictzip chunk table (RA) in the extra field";
    return false;
  }
  const size_t count = Le(f, at + 8, 2);
  t->length = Le(f, at + 6, 2);
  if (Le(f, at + 4, 2) != 1 || 10 + 2 * count > xlen || t->length == 0) {
    *error = "a dictzip chunk table of an unknown version or size";
    return false;
  }
  std::vector<size_t> sizes(count);
  for (size_t i = 0; i < count; ++i) sizes[i] = Le(f, at + 10 + 2 * i, 2);
  at += xlen;
  for (unsigned char flag : {kName, kComment}) {
    if (!(flags & flag)) continue;
    const size_t nul = f.find('\0', at);
    if (nul == std::string_view::npos) {
      *error = "a gzip header without its end";
      return false;
    }
    at = nul + 1;
  }
  if (flags & kHeaderCrc) at += 2;
  for (size_t i = 0; i < count; ++i) {
    t->offsets.push_back(at);
    t->sizes.push_back(sizes[i]);
    at += sizes[i];
  }
  if (at + 8 > f.size()) {
    *error = "the chunks run past the end of the file";
    return false;
  }
  t->end = at;
  return true;
}

}  // namespace

bool ReadDictzip(std::string_view f, std::string* data, std::string* error) {
  ChunkTable t;
  if (!ReadHeader(f, &t, error)) return false;
  const size_t count = t.offsets.size();
  const size_t size = Le(f, t.end + 4, 4);  // the length, modulo 2^32
  data->clear();
  ReserveLarge(data, count * t.length);
  data->resize(count * t.length);
  std::vector<size_t> got(count, 0);
  std::vector<char> bad(count, 0);
  InShares(count, WorkThreads(), [&](size_t begin, size_t end) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
      for (size_t i = begin; i < end; ++i) bad[i] = 1;
      return;
    }
    // Room for a chunk and more: a chunk that inflates to more than its
    // length is damaged.
    std::string room(t.length + 1, '\0');
    for (size_t i = begin; i < end; ++i) {
      // Each chunk on its own, as a reader that seeks to it inflates it.
      inflateReset(&z);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(f.data() + t.offsets[i]));
      z.avail_in = static_cast<uInt>(t.sizes[i]);
      z.next_out = reinterpret_cast<Bytef*>(room.data());
      z.avail_out = static_cast<uInt>(room.size());
      const int e = inflate(&z, Z_SYNC_FLUSH);
      got[i] = room.size() - z.avail_out;
      bad[i] = (e != Z_OK && e != Z_STREAM_END) || z.avail_in != 0 || got[i] > t.length ||
               (i + 1 < count && got[i] != t.length) || (i + 1 == count && e != Z_STREAM_END);
      if (!bad[i]) std::copy(room.data(), room.data() + got[i], data->data() + i * t.length);
    }
    inflateEnd(&z);
  });
  for (size_t i = 0; i < count; ++i) {
    if (bad[i]) {
      *error = "chunk " + std::to_string(i + 1) + " of " + std::to_string(count) + " does not inflate";
      return false;
    }
  }
  data->resize(count == 0 ? 0 : (count - 1) * t.length + got[count - 1]);
  uLong sum = crc32(0L, Z_NULL, 0);
  for (size_t at = 0; at < data->size(); at += size_t{1} << 30) {
    const size_t n = std::min(data->size() - at, size_t{1} << 30);
    sum = crc32(sum, reinterpret_cast<const Bytef*>(data->data() + at), static_cast<uInt>(n));
  }
  if ((data->size() & 0xFFFFFFFFu) != size || static_cast<uint32_t>(sum) != Le(f, t.end, 4)) {
    *error = "the inflated articles do not match the file's length and checksum";
    return false;
  }
  return true;
}

}  // namespace hz
