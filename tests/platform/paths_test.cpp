#include "core/platform/paths.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

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

size_t CountEntries(const fs::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

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

TEST(ReadFile, MissingFilesAndFolders) {
  TempDir dir;
  EXPECT_FALSE(ReadFile(dir.file("none")).has_value());
  EXPECT_FALSE(ReadFile(dir.path().string()).has_value());
  WriteAll(dir.file("f"), std::string("a\0b", 3));
  EXPECT_EQ(ReadFile(dir.file("f")), std::string("a\0b", 3));
}

}  // namespace
}  // namespace tavro
