// What the converter's layers tell the run while they work. The readers,
// the page writers and the book files never print; they tell the run's
// report, and only the driver decides what reaches stdout and stderr.
#ifndef HZ2HTML_CORE_REPORT_H_
#define HZ2HTML_CORE_REPORT_H_

#include <cstdint>
#include <string>

namespace hz {

class Report {
 public:
  // path: a dictionary file as the run shows it ("in\\DATA\\KX01.DAT").
  virtual void Missing(const std::string& path) = 0;
  // what: what was expected and what was found, in numbers.
  virtual void Damaged(const std::string& path, const std::string& what) = 0;
  // A link of a kind the converter does not know (its 32-bit value).
  virtual void UnknownLinkKind(uint32_t kind) = 0;
  // An output file that could not be created, written or closed: its
  // composed path and the system's error code.
  virtual void CannotWrite(const std::string& path, int error) = 0;

 protected:
  ~Report() = default;
};

}  // namespace hz

#endif  // HZ2HTML_CORE_REPORT_H_
