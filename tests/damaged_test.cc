// Damaged copies of the sample dictionary: every file truncated at many
// lengths and every count, offset and length field set to hostile values.
// Each run must end normally, write all seven files with their frame, and
// say on stderr no more than warnings about the dictionary's files.
#include <gtest/gtest.h>

#include "data/bytes.h"
#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;
using hzt::WriteFile;

namespace {

// Values set into every field; kFileSize stands for the file's own size.
constexpr uint32_t kFileSize = 2;
const uint32_t kHostile[] = {0, 1, kFileSize, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

class Damaged : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"DATA", "LIST"}) {
      for (const std::string& name : hzt::ListDir(hzt::SampleDict() + "/" + sub)) {
        std::string rel = std::string(sub) + "/" + name;
        files_.emplace_back(rel, ReadFile(hzt::SampleDict() + "/" + rel));
      }
    }
    ASSERT_GT(files_.size(), 20u);
    hzt::Build("@dir DATA\n@dir LIST\n", dict_.path());
    for (const auto& f : files_) WriteFile(dict_ / f.first, f.second);
    // The undamaged copy converts without a word on stderr.
    hzt::RunResult r = hzt::RunHz({dict_.path(), out_.path()});
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.err, "");
  }

  // Every line on stderr is a warning naming a file of the dictionary, or
  // the line that counts those not shown; at most 20 warnings.
  static void CheckWarnings(const std::string& err, const std::string& dict, const std::string& what) {
    size_t lines = 0, start = 0;
    for (size_t end; (end = err.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
      const std::string line = err.substr(start, end - start);
      const bool warning = line.rfind("hz2html: warning: " + dict, 0) == 0;
      const bool more = line.rfind("hz2html: warning: ", 0) == 0 &&
                        line.find(" more problems not shown") != std::string::npos;
      ASSERT_TRUE(warning || (more && end + 1 == err.size())) << what << "\n" << line;
    }
    ASSERT_EQ(start, err.size()) << what;
    ASSERT_LE(lines, 21u) << what;
  }

  // Runs the converter with rel holding bytes; checks the output; restores.
  void RunWith(const std::string& rel, const std::string& bytes, const std::string& what) {
    WriteFile(dict_ / rel, bytes);
    hzt::RunResult r = hzt::RunHz({dict_.path(), out_.path()});
    ASSERT_EQ(r.status, 0) << what << "\n" << r.err;
    CheckWarnings(r.err, dict_.path(), what);
    for (const char* page : {"usage.html", "hanrei.html", "jo.html", "oku.html", "honbun.html",
                             "kanji.html"}) {
      std::string p = ReadFile(out_ / page);
      ASSERT_EQ(p.rfind("<html>\r\n<head>\r\n<title>", 0), 0u) << what << " " << page;
      ASSERT_GE(p.size(), 18u);
      ASSERT_EQ(p.substr(p.size() - 18), hzt::kPageTail) << what << " " << page;
    }
    ASSERT_EQ(ReadFile(out_ / "harukaze.ebs").size(), 744u + 2 * out_.path().size() - 4) << what;
    ++runs_;
  }

  void Restore(const std::string& rel, const std::string& bytes) { WriteFile(dict_ / rel, bytes); }

  // Offsets of the integer fields of a file, by its kind.
  static std::vector<size_t> Fields(const std::string& rel, const std::string& bytes) {
    std::vector<size_t> at;
    if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".lst") == 0) {
      for (size_t r = 0; r + 54 <= bytes.size(); r += 54) {
        for (size_t f : {42, 46, 50}) at.push_back(r + f);
      }
    } else if (rel.find("KXLINK") == std::string::npos) {
      // Record and layout files hold their integers at word boundaries.
      for (size_t i = 0; i + 4 <= bytes.size(); i += 4) at.push_back(i);
    }
    return at;
  }

  TempDir dict_, out_;
  std::vector<std::pair<std::string, std::string>> files_;
  int runs_ = 0;
};

TEST_F(Damaged, Truncations) {
  for (const auto& f : files_) {
    const std::string& bytes = f.second;
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 64 && n < bytes.size(); ++n) lengths.push_back(n);
    for (size_t n = 64; n < bytes.size(); n += 37) lengths.push_back(n);
    lengths.push_back(bytes.size() - 1);
    for (size_t n : lengths) {
      RunWith(f.first, bytes.substr(0, n), f.first + " cut at " + std::to_string(n));
      if (HasFatalFailure()) return;
    }
    Restore(f.first, bytes);
  }
  EXPECT_GT(runs_, 1000);
}

TEST_F(Damaged, HostileFields) {
  for (const auto& f : files_) {
    for (size_t at : Fields(f.first, f.second)) {
      for (uint32_t value : kHostile) {
        std::string bad = f.second;
        if (value == kFileSize) value = static_cast<uint32_t>(bad.size());
        hzt::PutU32LE(reinterpret_cast<unsigned char*>(&bad[at]), value);
        RunWith(f.first, bad, f.first + " field " + std::to_string(at) + " = " + std::to_string(value));
        if (HasFatalFailure()) return;
      }
    }
    Restore(f.first, f.second);
  }
  EXPECT_GT(runs_, 1000);
}

}  // namespace
