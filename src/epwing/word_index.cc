#include "epwing/word_index.h"

#include <algorithm>
#include <cstring>

#include "epwing/book_bytes.h"

namespace hz {

namespace {

constexpr size_t kPageHeader = 4;
constexpr size_t kLeafEntryExtra = 13;  // length byte and two positions
constexpr size_t kChildPointer = 4;
constexpr uint8_t kLeafPage = 0x80, kFirstPage = 0x40, kLastPage = 0x20;

uint8_t EdgeFlags(size_t i, size_t count) {
  return static_cast<uint8_t>((i == 0 ? kFirstPage : 0) | (i + 1 == count ? kLastPage : 0));
}

}  // namespace

void WordIndex::Add(const std::string& key, uint64_t text, uint64_t heading) {
  Entry e;
  e.key_at = static_cast<uint32_t>(pool_.size());
  e.key_size = static_cast<uint8_t>(std::min(key.size(), kMaxIndexKeyBytes));
  e.text = text;
  e.heading = heading;
  e.prefix = 0;
  for (size_t i = 0; i < 8; ++i) {
    e.prefix = e.prefix << 8 | (i < e.key_size ? static_cast<unsigned char>(key[i]) : 0);
  }
  pool_.append(key, 0, e.key_size);
  entries_.push_back(e);
}

// Bytewise order of the keys (a key before the longer keys it begins), then
// text order.
bool WordIndex::Less(const Entry& a, const Entry& b) const {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  if (a.key_size > 8 && b.key_size > 8) {
    const int c = std::memcmp(pool_.data() + a.key_at + 8, pool_.data() + b.key_at + 8,
                              std::min(a.key_size, b.key_size) - 8u);
    if (c != 0) return c < 0;
  }
  if (a.key_size != b.key_size) return a.key_size < b.key_size;
  return a.text < b.text;
}

// Leaf pages, filled in order as far as each holds.
std::vector<WordIndex::Page> WordIndex::PackLeaves() const {
  std::vector<Page> pages;
  Page page{0, 0, 0};
  size_t used = kPageHeader;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const size_t need = entries_[i].key_size + kLeafEntryExtra;
    if (used + need > kBookPageSize && page.end > page.begin) {
      pages.push_back(page);
      page = Page{i, i, 0};
      used = kPageHeader;
    }
    used += need;
    page.end = i + 1;
    page.longest = std::max<size_t>(page.longest, entries_[i].key_size);
  }
  pages.push_back(page);
  return pages;
}

// The keys of the leaf pages in the level above: between two pages whose
// last and first keys are A and B (A before B), the shortest beginning of B
// that comes after A and before B; A itself when there is none (when A
// begins B, or they are equal). The last page's key is its last key.
std::vector<WordIndex::Key> WordIndex::Separators(const std::vector<Page>& leaves) const {
  std::vector<Key> keys;
  for (size_t i = 0; i < leaves.size(); ++i) {
    const size_t last = leaves[i].end == leaves[i].begin ? leaves[i].begin : leaves[i].end - 1;
    const Key whole{last, leaves[i].end == leaves[i].begin ? size_t{0} : size_t{entries_[last].key_size}};
    if (i + 1 == leaves.size()) {
      keys.push_back(whole);
      continue;
    }
    const Entry& a = entries_[last];
    const Entry& b = entries_[leaves[i + 1].begin];
    const char* ka = pool_.data() + a.key_at;
    const char* kb = pool_.data() + b.key_at;
    size_t common = 0;
    while (common < a.key_size && common < b.key_size && ka[common] == kb[common]) ++common;
    // B's first common + 1 bytes come after A when A has a byte there (and
    // it is smaller); they come before B when B is longer.
    if (common < a.key_size && common + 1 < b.key_size) {
      keys.push_back(Key{leaves[i + 1].begin, common + 1});
    } else {
      keys.push_back(whole);
    }
  }
  return keys;
}

// Upper pages over keys: each entry as long as its page's longest key and
// one NUL.
std::vector<WordIndex::Page> WordIndex::PackUpper(const std::vector<Key>& keys) const {
  std::vector<Page> pages;
  Page page{0, 0, 0};
  for (size_t i = 0; i < keys.size(); ++i) {
    const size_t longest = std::max(page.longest, keys[i].size);
    const size_t count = page.end - page.begin + 1;
    if (kPageHeader + count * (longest + 1 + kChildPointer) > kBookPageSize && page.end > page.begin) {
      pages.push_back(page);
      page = Page{i, i, 0};
    }
    page.end = i + 1;
    page.longest = std::max(page.longest, keys[i].size);
  }
  pages.push_back(page);
  return pages;
}

void WordIndex::WriteLeaf(const Page& page, uint8_t flags, char* out) const {
  out[0] = static_cast<char>(kLeafPage | flags);
  StoreBE16(static_cast<uint32_t>(page.end - page.begin), out + 2);
  char* p = out + kPageHeader;
  for (size_t i = page.begin; i < page.end; ++i) {
    const Entry& e = entries_[i];
    *p++ = static_cast<char>(e.key_size);
    std::memcpy(p, pool_.data() + e.key_at, e.key_size);
    p += e.key_size;
    StoreBE32(PageOf(e.text), p);
    StoreBE16(OffsetOf(e.text), p + 4);
    StoreBE32(PageOf(e.heading), p + 6);
    StoreBE16(OffsetOf(e.heading), p + 10);
    p += 12;
  }
}

void WordIndex::WriteUpper(const Page& page, uint8_t flags, const std::vector<Key>& keys, uint32_t first_child,
                           char* out) const {
  const size_t length = page.longest + 1;
  out[0] = static_cast<char>(flags);
  out[1] = static_cast<char>(length);
  StoreBE16(static_cast<uint32_t>(page.end - page.begin), out + 2);
  char* p = out + kPageHeader;
  for (size_t c = page.begin; c < page.end; ++c) {
    std::memcpy(p, pool_.data() + entries_[keys[c].entry].key_at, keys[c].size);
    StoreBE32(first_child + static_cast<uint32_t>(c), p + length);
    p += length + kChildPointer;
  }
}

bool WordIndex::Write(std::string* honmon, uint32_t* first_page, uint32_t* pages) {
  std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) { return Less(a, b); });
  // The key and the entry of a word an entry holds twice (two of its words
  // that become one key) is indexed once.
  entries_.erase(std::unique(entries_.begin(), entries_.end(),
                             [this](const Entry& a, const Entry& b) {
                               return a.text == b.text && a.key_size == b.key_size &&
                                      std::memcmp(pool_.data() + a.key_at, pool_.data() + b.key_at, a.key_size) == 0;
                             }),
                 entries_.end());
  // The levels from the leaves up; each page's last key stands for it in
  // the level above.
  std::vector<std::vector<Page>> levels{PackLeaves()};
  std::vector<std::vector<Key>> keys;  // the keys of each level's pages in the level above
  while (levels.back().size() > 1) {
    if (levels.size() == 1) {
      keys.push_back(Separators(levels.back()));
    } else {
      // A page's key is its last child's.
      std::vector<Key> last;
      for (const Page& p : levels.back()) last.push_back(keys.back()[p.end - 1]);
      keys.push_back(last);
    }
    levels.push_back(PackUpper(keys.back()));
    if (static_cast<int>(levels.size()) > kMaxIndexDepth) return false;
  }
  // Page numbers: the root first, then each level down.
  const uint32_t base = static_cast<uint32_t>(honmon->size() / kBookPageSize) + 1;
  std::vector<uint32_t> level_start(levels.size());
  uint32_t next = base;
  for (size_t l = levels.size(); l-- > 0;) {
    level_start[l] = next;
    next += static_cast<uint32_t>(levels[l].size());
  }
  const size_t start = honmon->size();
  honmon->resize(start + (next - base) * kBookPageSize, '\0');
  char* out = &(*honmon)[start];
  for (size_t l = levels.size(); l-- > 1;) {
    const std::vector<Page>& level = levels[l];
    for (size_t i = 0; i < level.size(); ++i) {
      WriteUpper(level[i], EdgeFlags(i, level.size()), keys[l - 1], level_start[l - 1],
                 out + (level_start[l] - base + i) * kBookPageSize);
    }
  }
  for (size_t i = 0; i < levels[0].size(); ++i) {
    WriteLeaf(levels[0][i], EdgeFlags(i, levels[0].size()), out + (level_start[0] - base + i) * kBookPageSize);
  }
  *first_page = base;
  *pages = next - base;
  return true;
}

}  // namespace hz
