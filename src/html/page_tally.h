// What a page writer tells the run besides the page itself: the report in
// which its readers tell what they found, the page's figures for the run's
// summary line, and every private-area reference for the run's gaiji
// inventory. Counted as the page is written, never read back from the page.
#ifndef HZ2HTML_HTML_PAGE_TALLY_H_
#define HZ2HTML_HTML_PAGE_TALLY_H_

#include <bitset>
#include <cstdint>
#include <string>
#include <utility>

#include "core/gaiji_inventory.h"
#include "core/report.h"

namespace hz {

// Where a referenced character stands in its record's text: the entry's
// first byte (the text runs on to the record's terminating zero) and the
// character itself.
struct TextSpot {
  const unsigned char* entry;
  const unsigned char* at;
  bool list_mode;  // a double CR ends the entry
};

class PageTally {
 public:
  // page_name: the page's file name; report and gaiji may be null.
  PageTally(std::string page_name, Report* report, GaijiInventory* gaiji)
      : page_name_(std::move(page_name)), report_(report), gaiji_(gaiji) {}

  Report* report() const { return report_; }
  const std::string& page_name() const { return page_name_; }

  // The entry whose "<dt id>" was written last.
  void EnterEntry(int32_t record, int32_t entry_no) {
    record_ = record;
    entry_no_ = entry_no;
    in_entry_ = true;
  }
  // A character reference written to the page. spot: where its character
  // stands in the text, or null for the copy inside a captured key.
  void Reference(uint32_t code, const TextSpot* spot) {
    ++char_refs;
    codes_.set(code & 0xFFFF);
    if (gaiji_ && gaiji_->Count(code)) First(code, spot);
  }
  // A link of a kind the converter does not know: counted, and told to the
  // report, which names it on stdout.
  void UnknownLink(uint32_t kind) {
    ++unknown_links;
    if (report_) report_->UnknownLinkKind(kind);
  }
  // The number of private-area codes the page references.
  size_t Codes() const { return codes_.count(); }

  int64_t entries = 0;         // entries (or records) rendered
  int64_t skipped = 0;         // headword-list entries that point to no text
  int64_t keys = 0;            // key elements written
  int64_t markers = 0;         // marker comments written
  int64_t markers_passed = 0;  // markers of the index not written
  int64_t unknown_links = 0;   // links of a kind the converter does not know
  int64_t char_refs = 0;       // character references written

 private:
  void First(uint32_t code, const TextSpot* spot);

  std::string page_name_;
  Report* report_;
  GaijiInventory* gaiji_;
  std::bitset<0x10000> codes_;
  int32_t record_ = 0, entry_no_ = 0;
  bool in_entry_ = false;
};

// The text around the character at spot for a person to find it in the
// printed dictionary: up to ten characters on each side within the entry,
// in UTF-8, line ends as spaces, private-area characters as 〓, and the
// character itself as its code in brackets ("[F040]").
std::string ContextAround(const TextSpot& spot, uint32_t code);

}  // namespace hz

#endif  // HZ2HTML_HTML_PAGE_TALLY_H_
