#include "core/platform/paths.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

using test::CountEntries;

TEST(WriteFileAtomic, ReplacesTheFileAndKeepsItsPermissions) {
  TempDir dir;
  std::string path = dir.file("out.txt");
  ASSERT_TRUE(WriteFileAtomic(path, "first"));
  ::chmod(path.c_str(), 0600);
  ASSERT_TRUE(WriteFileAtomic(path, std::string("second\0x", 8)));
  EXPECT_EQ(ReadAll(path), std::string("second\0x", 8));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(CountEntries(dir.path()), 1u);  // no temporary file left behind
}

TEST(WriteFileAtomic, FailuresLeaveTheOldFileIntact) {
  TempDir dir;
  std::string error;
  // A target in a missing folder.
  EXPECT_FALSE(WriteFileAtomic(dir.file("missing/out.txt"), "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir.file("missing")));

  // A folder in the way of the target.
  fs::create_directory(dir.file("folder"));
  error.clear();
  EXPECT_FALSE(WriteFileAtomic(dir.file("folder"), "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(dir.file("folder")));
  EXPECT_EQ(CountEntries(dir.path()), 1u);

  // A write that runs out of room half way (file size limit, in a child
  // process so the limit stays there).
  std::string path = dir.file("keep.txt");
  WriteAll(path, "old contents");
  auto writeWithLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    bool ok = WriteFileAtomic(path, std::string(100000, 'n'));
    bool intact = ReadAll(path) == "old contents" && CountEntries(dir.path()) == 2;
    std::_Exit(!ok && intact ? 0 : 1);
  };
  EXPECT_EXIT(writeWithLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadAll(path), "old contents");
}

TEST(WriteFileAtomic, WritesTheTargetOfALink) {
  TempDir dir;
  fs::create_directory(dir.file("real"));
  const std::string real = dir.file("real/a.txt");
  WriteAll(real, "old");
  ::chmod(real.c_str(), 0640);
  // A chain: an absolute link to a relative one.
  fs::create_symlink("real/a.txt", dir.file("rel"));
  fs::create_symlink(dir.file("rel"), dir.file("abs"));
  ASSERT_TRUE(WriteFileAtomic(dir.file("abs"), "new"));
  EXPECT_EQ(ReadAll(real), "new");
  EXPECT_EQ(fs::read_symlink(dir.file("rel")), "real/a.txt");
  EXPECT_EQ(fs::read_symlink(dir.file("abs")), dir.file("rel"));
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(CountEntries(dir.file("real")), 1u);  // the temporary file was beside the target
  EXPECT_EQ(CountEntries(dir.path()), 3u);

  // A link to a missing file creates that file.
  fs::create_symlink("real/b.txt", dir.file("dangling"));
  ASSERT_TRUE(WriteFileAtomic(dir.file("dangling"), "b"));
  EXPECT_EQ(ReadAll(dir.file("real/b.txt")), "b");
  EXPECT_TRUE(fs::is_symlink(dir.file("dangling")));
}

TEST(WriteFileAtomic, KeepsOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  TempDir dir;
  const std::string path = dir.file("owned.txt");
  WriteAll(path, "old");
  ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
  ::chmod(path.c_str(), 02750);  // set-group-ID survives the change of owner
  ASSERT_TRUE(WriteFileAtomic(path, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 5678u);
  EXPECT_EQ(st.st_mode & 07777, 02750u);

  // A user who may not give the file back to its owner still keeps the mode.
  const std::string shared = dir.file("shared.txt");
  WriteAll(shared, "old");
  ::chmod(shared.c_str(), 0604);
  ::chmod(dir.path().c_str(), 0777);
  auto saveAsNobody = [&] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
    if (!WriteFileAtomic(shared, "new")) std::_Exit(3);
    struct stat after {};
    if (::stat(shared.c_str(), &after) != 0) std::_Exit(4);
    std::_Exit((after.st_mode & 07777) == 0604 && after.st_uid == 65534 ? 0 : 5);
  };
  EXPECT_EXIT(saveAsNobody(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadAll(shared), "new");
}

TEST(WriteFileAtomic, UnwritableTargetsLeaveNoLitter) {
  TempDir dir;
  WriteAll(dir.file("plain"), "plain");
  fs::create_symlink("loop2", dir.file("loop1"));
  fs::create_symlink("loop1", dir.file("loop2"));
  const std::string targets[] = {
      dir.file("plain/out.txt"),  // a regular file where a folder should be
      dir.file("loop1"),          // links that never reach a file
      "",
  };
  for (const std::string& target : targets) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(target, "data", &error)) << target;
    EXPECT_FALSE(error.empty()) << target;
  }
  EXPECT_EQ(ReadAll(dir.file("plain")), "plain");
  EXPECT_TRUE(fs::is_symlink(dir.file("loop1")));
  EXPECT_EQ(CountEntries(dir.path()), 3u);
}

TEST(WriteFileAtomic, ReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  const std::string path = dir.file("keep.txt");
  WriteAll(path, "old contents");
  ::chmod(dir.path().c_str(), 0555);
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(path, "new", &error));
  EXPECT_FALSE(error.empty());
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadAll(path), "old contents");
  EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(WriteFileAtomic, AKilledSaveLeavesNothingBehind) {
  TempDir dir;
  const std::string path = dir.file("keep.txt");
  WriteAll(path, "old contents");
  // The file size limit kills the process in the middle of the write.
  auto killedWhileWriting = [&] {
    ::prctl(PR_SET_DUMPABLE, 0);  // no core file
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit lim{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    WriteFileAtomic(path, std::string(100000, 'n'));
    std::_Exit(0);
  };
  EXPECT_EXIT(killedWhileWriting(), ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(ReadAll(path), "old contents");
  EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(ReadFile, MissingFilesAndFolders) {
  TempDir dir;
  EXPECT_FALSE(ReadFile(dir.file("none")).has_value());
  EXPECT_FALSE(ReadFile(dir.path().string()).has_value());
  WriteAll(dir.file("f"), std::string("a\0b", 3));
  EXPECT_EQ(ReadFile(dir.file("f")), std::string("a\0b", 3));
}

}  // namespace
}  // namespace tavro
