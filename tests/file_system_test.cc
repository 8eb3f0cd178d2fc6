// Names on the file system: separators, letter case, directory creation.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "driver/output_dirs.h"
#include "platform/page_file.h"
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

// Creates the output directories of path; the level that failed, with the
// system's text for its error, or "" when all is there.
std::string Create(const std::string& path) {
  std::string level;
  int error = 0;
  if (hz::CreateOutputDirectories(path, &level, &error)) return "";
  return level + ": " + hz::SystemErrorText(error);
}

TEST(FileSystem, CreatesOutputLevelsInOrder) {
  TempDir dir;
  ASSERT_TRUE(hzt::MakeDir(dir / "one"));
  EXPECT_EQ(Create(dir.path() + "\\one\\two/three\\"), "");
  EXPECT_TRUE(IsDir(dir / "one/two/three"));
  // A name whose double-byte character ends in 0x5C is one level.
  EXPECT_EQ(Create(dir.path() + "/\x95\x5C" "a\\b\\"), "");
  EXPECT_TRUE(IsDir(dir / "\x95\x5C" "a/b"));
  // A path ending in that character: its last level is created.
  EXPECT_EQ(Create(dir.path() + "/c\\\x95\x5C\\"), "");
  EXPECT_TRUE(IsDir(dir / "c/\x95\x5C"));
#ifndef _WIN32
  // A UTF-8 name before a separator (on Windows every name is Shift-JIS).
  EXPECT_EQ(Create(dir.path() + "/\xE3\x81\x81\\d\\"), "");
  EXPECT_TRUE(IsDir(dir / "\xE3\x81\x81/d"));
#endif
}

TEST(FileSystem, LevelThatCannotBeMadeIsNamed) {
  TempDir dir;
  hzt::WriteFile(dir / "f", "x");
  // Below a file, and in a file's place: the level as composed, without its
  // trailing separator, and the system's reason.
  EXPECT_EQ(Create(dir.path() + "/f/g/h\\"),
            dir.path() + "/f/g: " + hz::SystemErrorText(hzt::kNotADirectory));
  EXPECT_FALSE(Exists(dir / "f/g"));
  EXPECT_EQ(Create(dir.path() + "/f\\"), dir.path() + "/f: " + hz::SystemErrorText(hz::kNameTaken));
}

TEST(FileSystem, CurrentDirectoryCreatesNothing) {
  TempDir dir;
  std::vector<std::string> created;
  {
    hzt::InDirectory in(dir.path());
    EXPECT_EQ(Create(".\\"), "");
    created = hzt::ListDir(".");
  }
  EXPECT_TRUE(created.empty());
}

#ifndef _WIN32
// POSIX names and modes.
TEST(FileSystem, NewDirectoriesFollowTheUmask) {
  TempDir dir;
  mode_t old = umask(027);
  EXPECT_EQ(Create(dir.path() + "/m/"), "");
  umask(old);
  struct stat st;
  ASSERT_EQ(stat((dir / "m").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0750u);
}

// Under a read-only directory the reason is the permission. Permissions do
// not bind the superuser: as root the check runs in a child process that
// drops to the unprivileged user "nobody".
TEST(FileSystem, ReadOnlyParentIsNamed) {
  TempDir dir;
  chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(hzt::MakeDir(dir / "ro"));
  chmod((dir / "ro").c_str(), 0555);
  const std::string expected = dir / "ro/book: " + hz::SystemErrorText(EACCES);
  if (geteuid() != 0) {
    EXPECT_EQ(Create(dir / "ro/book\\"), expected);
  } else {
    const pid_t pid = fork();
    if (pid == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
      _exit(Create(dir / "ro/book\\") == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  chmod((dir / "ro").c_str(), 0755);
  EXPECT_FALSE(Exists(dir / "ro/book"));
}
#endif  // _WIN32

}  // namespace
