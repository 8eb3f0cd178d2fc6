// A search index of the book (forward word, backward word or keyword), as
// the EB library reads it: a tree of 2048-byte pages.
//
//   every page   1 byte flags (0x80 leaf, 0x40 first and 0x20 last page of
//                its level), 1 byte entry length (0: variable), 2 bytes the
//                number of entries, then the entries
//   leaf entry   1 byte key length, the key, the text position (page 4
//                bytes, offset 2), the heading position (likewise)
//   upper entry  the key, NUL-padded to the page's entry length, then the
//                child page (4 bytes)
//
// Keys are JIS X 0208 bytes in bytewise order, a key at most 254 bytes;
// numbers are big-endian, pages numbered from 1. The leaf pages stand one
// after another, so that a search that runs off the end of one goes on in
// the next; the root page comes first, then each level down to the leaves.
//
// The library descends into the first child whose key is not less than the
// sought word, comparing at most the entry length's bytes and taking a key
// that the word merely begins with as equal. So an upper entry's key is
// not less than any key of its child and less than every key after it (the
// shortest beginning of the next child's first key that is, else the
// child's last key), and the entry length of an upper page is one more than
// its longest key: every key has a NUL after it, and a word that a key is a
// proper prefix of compares greater, as it is. Short keys make the upper
// pages hold many children: three levels hold a million words.
#ifndef HZ2HTML_EPWING_WORD_INDEX_H_
#define HZ2HTML_EPWING_WORD_INDEX_H_

#include <cstdint>
#include <string>
#include <vector>

namespace hz {

// The longest key the library can be asked for: 127 characters.
constexpr size_t kMaxIndexKeyBytes = 254;
// How deep the library descends: the root and five levels below it.
constexpr int kMaxIndexDepth = 6;

class WordIndex {
 public:
  // A key (at most kMaxIndexKeyBytes) found at the text position text and
  // the heading position heading (byte offsets in HONMON).
  void Add(const std::string& key, uint64_t text, uint64_t heading);
  size_t size() const { return entries_.size(); }

  // Appends the index's pages to honmon (whose size is a whole number of
  // pages); *first_page is the root's page, *pages the number written. An
  // index of no key is one empty leaf page. False when the tree would be
  // deeper than the library descends.
  bool Write(std::string* honmon, uint32_t* first_page, uint32_t* pages);

 private:
  struct Entry {
    uint64_t prefix;  // the key's first eight bytes, big-endian: most orders are told by it
    uint64_t text, heading;
    uint32_t key_at;
    uint8_t key_size;
  };
  // A page of one level: its entries [begin, end) of the level below (or of
  // the sorted keys) and the length of its longest key.
  struct Page {
    size_t begin, end;
    size_t longest;
  };
  // An upper entry's key: the first size bytes of an entry's key.
  struct Key {
    size_t entry;
    size_t size;
  };
  std::string KeyOf(const Entry& e) const { return pool_.substr(e.key_at, e.key_size); }
  bool Less(const Entry& a, const Entry& b) const;
  std::vector<Page> PackLeaves() const;
  std::vector<Key> Separators(const std::vector<Page>& leaves) const;
  std::vector<Page> PackUpper(const std::vector<Key>& keys) const;
  void WriteLeaf(const Page& page, uint8_t flags, char* out) const;
  void WriteUpper(const Page& page, uint8_t flags, const std::vector<Key>& keys, uint32_t first_child,
                  char* out) const;

  std::string pool_;
  std::vector<Entry> entries_;
};

}  // namespace hz

#endif  // HZ2HTML_EPWING_WORD_INDEX_H_
