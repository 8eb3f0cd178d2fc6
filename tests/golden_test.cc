// The bundled sample dictionary converted whole, compared byte for byte with
// the expected result kept in tests/golden/sample/. Set HZ2HTML_UPDATE_GOLDEN=1
// to rewrite the expected files after an intended change, then read the
// difference before committing it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/test_support.h"

using hzt::ReadFile;
using hzt::TempDir;

namespace {

TEST(Golden, SampleDictionary) {
  const std::string expected_dir = hzt::SourceDir() + "/tests/golden/sample/";
  const bool update = std::getenv("HZ2HTML_UPDATE_GOLDEN") != nullptr;
  TempDir dir;
  hzt::RunResult r;
  {
    hzt::InDirectory in(dir.path());
    r = hzt::RunHz({hzt::SampleDict(), "out"});
  }
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::vector<std::string> files = hzt::ListDir(dir / "out");
  ASSERT_EQ(files.size(), 7u);
  std::vector<std::pair<std::string, std::string>> outputs{{"stdout.txt", r.out}};
  for (const std::string& f : files) outputs.emplace_back(f, ReadFile(dir / "out/" + f));
  for (const auto& o : outputs) {
    if (update) hzt::WriteFile(expected_dir + o.first, o.second);
    EXPECT_EQ(o.second, ReadFile(expected_dir + o.first)) << o.first << " differs";
  }
}

}  // namespace
