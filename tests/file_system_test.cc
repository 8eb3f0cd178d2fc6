// Names on the file system: separators, letter case, directory creation.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "driver/output_dirs.h"
#include "platform/file_system.h"
#include "tests/test_support.h"

using hzt::Exists;
using hzt::IsDir;
using hzt::TempDir;

namespace {


#ifndef _WIN32
// POSIX names and modes.
TEST(FileSystem, Separators) {
  EXPECT_EQ(hz::ToFileSystemPath("a\\b/c\\"), "a/b/c/");
  EXPECT_EQ(hz::ToFileSystemPath(".\\"), "./");
  // Shift-JIS: the second byte of 表 stays; the separator after it does not.
  EXPECT_EQ(hz::ToFileSystemPath("\x95\x5C\\x"), "\x95\x5C/x");
  // UTF-8: ぁ is E3 81 81, whose last byte is a lead byte in Shift-JIS; the
  // separator after it is still one.
  EXPECT_EQ(hz::ToFileSystemPath("\xE3\x81\x81\\x"), "\xE3\x81\x81/x");
  EXPECT_TRUE(hz::IsValidUtf8("\xE3\x81\x81"));
  EXPECT_FALSE(hz::IsValidUtf8("\x95\x5C"));
  EXPECT_FALSE(hz::IsValidUtf8("\xC0\x80"));
  EXPECT_FALSE(hz::IsValidUtf8("\xE3\x81"));
}
#endif  // _WIN32

#ifndef _WIN32
// POSIX names and modes.
TEST(FileSystem, DictionaryNamesIgnoreLetterCase) {
  TempDir dir;
  ASSERT_TRUE(hzt::MakeDir(dir / "DATA"));
  hzt::WriteFile(dir / "DATA/kx01.dat", "x");
  std::string base = dir.path() + "\\";
  EXPECT_EQ(hz::ResolveDictionaryName(base, "data\\KX01.DAT"), dir / "DATA/kx01.dat");
  EXPECT_EQ(hz::ResolveDictionaryName(base, "DATA"), dir / "DATA");
  // Nothing matches: the name as given.
  EXPECT_EQ(hz::ResolveDictionaryName(base, "list\\d100000.lst"), dir / "list/d100000.lst");
  // The exact spelling first, else the first match in byte order.
  hzt::WriteFile(dir / "DATA/Kx02.dat", "");
  hzt::WriteFile(dir / "DATA/kX02.dat", "");
  EXPECT_EQ(hz::ResolveDictionaryName(base, "data\\KX02.DAT"), dir / "DATA/Kx02.dat");
  hzt::WriteFile(dir / "DATA/KX02.DAT", "");
  EXPECT_EQ(hz::ResolveDictionaryName(base, "data\\KX02.DAT"), dir / "DATA/KX02.DAT");
}
#endif  // _WIN32

TEST(FileSystem, CreatesOutputLevelsInOrder) {
  TempDir dir;
  ASSERT_TRUE(hzt::MakeDir(dir / "one"));
  hz::CreateOutputDirectories(dir.path() + "\\one\\two/three\\");
  EXPECT_TRUE(IsDir(dir / "one/two/three"));
  // A name whose double-byte character ends in 0x5C is one level.
  hz::CreateOutputDirectories(dir.path() + "/\x95\x5C" "a\\b\\");
  EXPECT_TRUE(IsDir(dir / "\x95\x5C" "a/b"));
  // A path ending in that character: its last level is created.
  hz::CreateOutputDirectories(dir.path() + "/c\\\x95\x5C");
  EXPECT_TRUE(IsDir(dir / "c/\x95\x5C"));
#ifndef _WIN32
  // A UTF-8 name before a separator (on Windows every name is Shift-JIS).
  hz::CreateOutputDirectories(dir.path() + "/\xE3\x81\x81\\d\\");
  EXPECT_TRUE(IsDir(dir / "\xE3\x81\x81/d"));
#endif
  // An existing file on the way is left alone.
  hzt::WriteFile(dir / "f", "x");
  hz::CreateOutputDirectories(dir.path() + "/f/g/");
  EXPECT_FALSE(Exists(dir / "f/g"));
}

TEST(FileSystem, CurrentDirectoryCreatesNothing) {
  TempDir dir;
  std::vector<std::string> created;
  {
    hzt::InDirectory in(dir.path());
    hz::CreateOutputDirectories(".\\");
    hz::CreateOutputDirectories("\\");
    created = hzt::ListDir(".");
  }
  EXPECT_TRUE(created.empty());
}

#ifndef _WIN32
// POSIX names and modes.
TEST(FileSystem, NewDirectoriesFollowTheUmask) {
  TempDir dir;
  mode_t old = umask(027);
  hz::CreateOutputDirectories(dir.path() + "/m/");
  umask(old);
  struct stat st;
  ASSERT_EQ(stat((dir / "m").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0750u);
}
#endif  // _WIN32

}  // namespace
