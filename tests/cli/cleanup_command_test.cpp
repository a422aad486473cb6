// `tavro cleanup` end to end on the two-sheet project of tests/data/cleanup
// made into sheet files: what it prints, the log, the sheets saved with their
// backups, a second run with nothing left to do, the log on stdout, the nets
// kept, and bad usage.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file/document.h"
#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::MatchesGolden;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;
using test::WriteAll;

class CleanupCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"top", "bottom"}) {
      CSheetDoc d;
      ASSERT_TRUE(d.LoadText(ReadAll(DataPath(std::string("cleanup/project/") + name + ".txt")),
                             name, false)
                      .ok);
      ASSERT_TRUE(d.Save(tmp_.file(std::string(name) + ".tcd"), false).ok);
    }
    WriteAll(Project(), "Project File Ver 0.03\n1:top.tcd\n1:bottom.tcd\nEndFileList\n");
  }
  std::string Project() const { return tmp_.file("clean.tpj"); }
  std::string Neutral(std::string text) const {
    const std::string dir = tmp_.path().string();
    for (size_t at = text.find(dir); at != std::string::npos; at = text.find(dir, at))
      text.replace(at, dir.size(), "@DIR@");
    return text;
  }

  TempDir tmp_;
};

TEST_F(CleanupCommandTest, TidiesSavesAndLogs) {
  const std::string bottom = ReadAll(tmp_.file("bottom.tcd"));
  test::RunResult r = RunTavro({"cleanup", "--missing", "--html", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(MatchesGolden(Neutral(r.out), "cleanup/project/expected.cleanup.txt"));
  // The changed sheet is saved beside its backup; the other is left alone.
  EXPECT_TRUE(fs::exists(tmp_.file("top.bak")) || fs::exists(tmp_.file("top.tcd.bak")));
  EXPECT_EQ(ReadAll(tmp_.file("bottom.tcd")), bottom);
  const std::string log = Cp932ToUtf8(ReadAll(tmp_.file("clean.log")));
  EXPECT_NE(log.find("重複部品数\t      4\r\nR1\tR\ttop.tcd\tX:  10.00 Y:  80.32\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("欠番部品番号\r\n     R5\r\n"), std::string::npos) << log;
  EXPECT_NE(ReadAll(tmp_.file("clean.log.html")).find("<h2>"), std::string::npos);

  // Nothing is left to tidy; the log is the same.
  r = RunTavro({"cleanup", "--missing", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("top.tcd: nothing to tidy\nbottom.tcd: nothing to tidy\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(Cp932ToUtf8(ReadAll(tmp_.file("clean.log"))), log);

  // The log on stdout, the summary on stderr.
  r = RunTavro({"cleanup", "-o", "-", "--unix", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Cp932ToUtf8(r.out).rfind("使用部品数\t     22\n\n", 0), 0u) << r.out;
  EXPECT_NE(r.err.find("log: stdout"), std::string::npos) << r.err;
}

TEST_F(CleanupCommandTest, KeepsTheNetsWhenAsked) {
  // Two wires of one row meet a third at their joint, without a dot.
  CSheetDoc d;
  ASSERT_TRUE(d.LoadText("Line 1000 1000 2000 1000 8 0 0 0\nLine 2000 1000 3000 1000 8 0 0 0\n"
                         "Line 2000 1000 2000 2000 8 0 0 0\n"
                         "Part 800 1000 700 900 900 1100 1 0 0 0\nRef \"R1\" 800 1150 65 8\n"
                         "Pin 900 1000 1000 1000 0\nNo \"1\" 950 1000 70 8\nPartEnd\n"
                         "Part 3200 1000 3100 900 3300 1100 1 0 0 0\nRef \"R2\" 3200 1150 65 8\n"
                         "Pin 3100 1000 3000 1000 0\nNo \"1\" 3150 1000 70 8\nPartEnd\n"
                         "Part 2000 2200 1900 2100 2100 2300 1 0 0 0\nRef \"R3\" 2000 2350 65 8\n"
                         "Pin 2000 2100 2000 2000 0\nNo \"1\" 2000 2050 70 8\nPartEnd\n",
                         "row", false)
                  .ok);
  const std::string sheet = tmp_.file("row.tcd");
  ASSERT_TRUE(d.Save(sheet, false).ok);
  const std::string before = ReadAll(sheet);
  test::RunResult r = RunTavro({"cleanup", "--keep-nets", sheet});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("row.tcd: left as it was: tidying it would change its nets (lines merged or "
                       "cut: 1)\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("sheets left as they were: 1\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadAll(sheet), before);
}

TEST_F(CleanupCommandTest, BadUsage) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"cleanup"}, "expected a project file"},
      {{"cleanup", "--by-sheet", "--missing", "x.tpj"}, "excludes --by-sheet"},
      {{"cleanup", "--bogus", "x.tpj"}, "bogus"},
  };
  for (const auto& c : cases) {
    const test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  // A file that is not there fails without touching anything.
  const test::RunResult r = RunTavro({"cleanup", tmp_.file("none.tpj")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(fs::exists(tmp_.file("none.log")));
}

}  // namespace
}  // namespace tavro
