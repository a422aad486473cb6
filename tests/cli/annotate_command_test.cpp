// `tavro annotate` and `tavro wasis` end to end on a two-sheet project
// (tests/data/annotate/project, see the README there): number it, write the
// Was-Is template, edit it as a board designer would, try it with --dry-run
// and apply it; each output and the sheets at the end are golden files.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file/document.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::MatchesGolden;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

class AnnotateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The project lists the sheet files, made here from their text forms.
    fs::copy_file(DataPath("annotate/project/annotate.tpj"), tmp_.file("annotate.tpj"));
    for (const char* name : {"a1", "a2"}) {
      CSheetDoc d;
      ASSERT_TRUE(d.LoadText(ReadAll(DataPath(std::string("annotate/project/") + name + ".txt")),
                             name, false)
                      .ok);
      ASSERT_TRUE(d.Save(tmp_.file(std::string(name) + ".tcd"), false).ok);
    }
  }
  std::string Project() const { return tmp_.file("annotate.tpj"); }
  // The folder of the run made neutral, for the golden files.
  std::string Neutral(std::string text) const {
    const std::string dir = tmp_.path().string();
    for (size_t at = text.find(dir); at != std::string::npos; at = text.find(dir, at))
      text.replace(at, dir.size(), "@DIR@");
    return text;
  }
  std::string SheetText(const char* name) const {
    CSheetDoc d;
    EXPECT_TRUE(d.Open(tmp_.file(name)).ok);
    return d.WriteText();
  }
  static void Edit(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }

  TempDir tmp_;
};

TEST_F(AnnotateCommandTest, NumberWriteEditAndApply) {
  // A dry run of both modes changes no file.
  const std::string before = ReadAll(tmp_.file("a1.tcd"));
  test::RunResult r = RunTavro({"annotate", "--all", "--page-offset", "100", "-n", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.annotate-all.txt"));
  EXPECT_EQ(ReadAll(tmp_.file("a1.tcd")), before);

  // Numbering: one line per change, the sheets saved with their backups.
  r = RunTavro({"annotate", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.annotate.txt"));
  EXPECT_EQ(ReadAll(tmp_.file("a1.bak")), before);
  EXPECT_TRUE(fs::exists(tmp_.file("a2.bak")));

  // The template of both forms.
  r = RunTavro({"wasis", "write", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "wasis: " + tmp_.file("annotate.tws") + " (full)\nrecords: 14\n");
  std::string tws = ReadAll(tmp_.file("annotate.tws"));
  EXPECT_TRUE(MatchesGolden(Neutral(tws), "annotate/project/expected.tws"));
  r = RunTavro({"wasis", "write", "--simple", "-q", "-o", "-", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.simple.tws"));

  // Unchanged, the template changes nothing.
  r = RunTavro({"wasis", "apply", "-n", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "dry run: no file changed\nchanges: 0, conflicts: 0\n");

  // The board designer's edits: R8 and R9 swapped across the sheets, C2
  // takes C1 while C1 moves on to C3 with another value, a record of a part
  // that moved since (its Old position no longer fits), and U2A made U1A,
  // which U1A on the same sheet keeps.
  Edit(tws, "New:Name=\"R\" Ref=\"R8\"", "New:Name=\"R\" Ref=\"R9\"");
  Edit(tws, "New:Name=\"R\" Ref=\"R9\" Value=\"4.7k\"", "New:Name=\"R\" Ref=\"R8\" Value=\"4.7k\"");
  Edit(tws, "New:Name=\"C\" Ref=\"C2\" Value=\"0.1u\"", "New:Name=\"C\" Ref=\"C1\" Value=\"\"");
  Edit(tws, "New:Name=\"C\" Ref=\"C1\" Value=\"10u\"", "New:Name=\"C\" Ref=\"C3\" Value=\"22u\"");
  Edit(tws, "Ref=\"R3\" Value=\"1k\" x=5000", "Ref=\"R3\" Value=\"1k\" x=5100");
  Edit(tws, "New:Name=\"R\" Ref=\"R3\"", "New:Name=\"R\" Ref=\"R4\"");
  Edit(tws, "New:Name=\"7400\" Ref=\"U2A\"", "New:Name=\"7400\" Ref=\"U1A\"");
  test::WriteAll(tmp_.file("edited.tws"), tws);

  const std::string a1 = ReadAll(tmp_.file("a1.tcd")), a2 = ReadAll(tmp_.file("a2.tcd"));
  r = RunTavro({"wasis", "apply", "--dry-run", Project(), tmp_.file("edited.tws")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.dry-run.txt"));
  EXPECT_EQ(ReadAll(tmp_.file("a1.tcd")), a1);
  EXPECT_EQ(ReadAll(tmp_.file("a2.tcd")), a2);

  r = RunTavro({"wasis", "apply", Project(), tmp_.file("edited.tws")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.apply.txt"));
  EXPECT_TRUE(MatchesGolden(SheetText("a1.tcd"), "annotate/project/expected.a1.txt"));
  EXPECT_TRUE(MatchesGolden(SheetText("a2.tcd"), "annotate/project/expected.a2.txt"));
  // Applied once, its records find nothing more to rename.
  r = RunTavro({"wasis", "apply", "-n", "-q", Project(), tmp_.file("edited.tws")});
  EXPECT_EQ(r.out.find("a1.tcd\t"), std::string::npos) << r.out;
  // The parts list of the renumbered project.
  r = RunTavro({"bom", "-q", "--unix", "-o", "-", Project()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(MatchesGolden(r.out, "annotate/project/expected.bom.csv"));

  // The simple form renames a whole package: U1A, U1B, U1C and U1D.
  test::WriteAll(tmp_.file("simple.tws"), "# gates\nu1,U7\n");
  r = RunTavro({"wasis", "apply", "--simple", "-q", Project(), tmp_.file("simple.tws")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "a1.tcd\tU1A -> U7A\t7400\t7400\n"
            "a1.tcd\tU1B -> U7B\t7400\t7400\n"
            "a1.tcd\tU1A -> U7A\t7400\t7400\n"
            "a2.tcd\tU1C -> U7C\t7400\t7400\n"
            "a2.tcd\tU1D -> U7D\t7400\t7400\n"
            "conflict: line 2: U7A in a1.tcd: another part carries U7A too (a1.tcd)\n"
            "conflict: line 2: U7A in a1.tcd: another part carries U7A too (a1.tcd)\n");
}

TEST_F(AnnotateCommandTest, RefusesBadUseAndBadFiles) {
  const struct {
    std::vector<std::string> args;
    int exit;
    const char* err;  // a piece of stderr
  } cases[] = {
      {{"annotate"}, 2, "expected a project file"},
      {{"annotate", "--step", "3", "P"}, 2, "--step is 1 or 2"},
      {{"annotate", "--start", "0", "P"}, 2, "--start needs a number 1-9999"},
      {{"annotate", "--page-offset", "10", "P"}, 2, "only with --all"},
      {{"annotate", "--all", "--each-sheet", "P"}, 2, "only without --all"},
      {{"wasis"}, 2, "expected write or apply"},
      {{"wasis", "rename", "P"}, 2, "unknown subcommand"},
      {{"wasis", "write", "--simple", "--full", "P"}, 2, "exclude each other"},
      {{"wasis", "apply", "P", "missing.tws"}, 1, "missing.tws"},
      {{"annotate", "missing.tcd"}, 1, "missing.tcd"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    for (std::string& a : args)
      if (a == "P") a = Project();
    SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
    const test::RunResult r = RunTavro(args);
    EXPECT_EQ(r.exitCode, c.exit) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  // A text-form sheet is numbered nowhere: it would become a sheet file.
  fs::copy_file(DataPath("annotate/project/a1.txt"), tmp_.file("t.txt"));
  const test::RunResult r = RunTavro({"annotate", tmp_.file("t.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("not a sheet file"), std::string::npos) << r.err;
  EXPECT_EQ(ReadAll(tmp_.file("t.txt")), ReadAll(DataPath("annotate/project/a1.txt")));
  // Help for each.
  for (const char* cmd : {"annotate", "wasis"}) {
    const test::RunResult h = RunTavro({cmd, "--help"});
    EXPECT_EQ(h.exitCode, 0);
    EXPECT_NE(h.out.find("Usage: tavro"), std::string::npos) << h.out;
  }
}

}  // namespace
}  // namespace tavro
