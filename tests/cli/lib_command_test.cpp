// `tavro lib` end to end: every subcommand on a small library, the answers
// to the questions, and usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::RunTavro;
using test::TempDir;
using test::WriteAll;

std::string Gate(const std::string& name, const std::string& ref, int unit, int units) {
  return "Part 0 0 -100 -50 100 150 " + std::to_string(units) + " " + std::to_string(unit) +
         " 0 0\nName \"" + name + "\" 0 100 65 8\nRef \"" + ref +
         "\" 0 -50 65 8\nPin -100 0 0 0 1\nNo \"1\" -50 0 70 8\nName \"IN\" 0 0 70 8\n"
         "Text \"&PCB&SOP8\" 0 0 50 32776\nPartEnd\n";
}

std::string TextLibrary() {
  return "# Tavro Text Library File Ver 1.02\n"
         "Package Name \"R\"\n" +
         Gate("R", "R?", 0, 0) +
         "Package End\n"
         "Package Name \"OP\"\n" +
         Gate("OP", "U?A", 1, 3) + "Package [2]\n" + Gate("OP", "U?B", 2, 3) +
         Gate("OP", "U?C", 3, 3) + "Package End\n";
}

TEST(LibCommandTest, EverySubcommandOnASmallLibrary) {
  TempDir dir;
  const std::string lib = dir.file("a.lib"), other = dir.file("b.lib");
  WriteAll(dir.file("a.txt"), TextLibrary());
  // The settings store of this run only, with an empty library list.
  const std::vector<std::string> env = {"TAVRO_SETTINGS=" + dir.file("s.ini")};
  auto run = [&](std::vector<std::string> args) { return RunTavro(args, env); };

  test::RunResult r = run({"lib", "from-text", dir.file("a.txt"), lib});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = run({"lib", "list", lib});
  EXPECT_EQ(r.out, "R\t1\nOP\t3\tU?A,U?B,U?C\n");
  EXPECT_TRUE(std::filesystem::exists(dir.file("a.tix")));

  r = run({"lib", "show", lib, "op", "--gate", "2"});
  EXPECT_EQ(r.out,
            "gate 2 of 3: part OP, reference U?B, value , unit 2 of 3, 1 pins\n"
            "  pin 1 IN (Input)\n  property PCB=SOP8\n");

  r = run({"lib", "delete", lib, "OP", "--gate", "2"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(run({"lib", "list", lib}).out, "R\t1\nOP\t2\tU?A,U?C\n");
  EXPECT_TRUE(std::filesystem::exists(dir.file("a.lbk")));

  // Extracting and adding back: a question is answered no without --force.
  r = run({"lib", "extract", lib, "R", "-o", dir.file("r.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = run({"lib", "add", other, "RES", dir.file("r.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavro: " + other +
                       " 部品ファイルが見つかりません 新規作成しますか？ (answered no: give "
                       "--force to answer yes)\n");
  EXPECT_FALSE(std::filesystem::exists(other));
  r = run({"lib", "add", other, "RES", dir.file("r.txt"), "--force", "-q"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = run({"lib", "add", other, "res", dir.file("r.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("同名の部品が存在します。"), std::string::npos);

  r = run({"lib", "copy", lib, "OP", other});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = run({"lib", "move", lib, "OP", other});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("OPは既に存在します。上書きしますか？"), std::string::npos);
  r = run({"lib", "move", lib, "OP", other, "--force"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(run({"lib", "list", lib}).out, "R\t1\n");
  EXPECT_EQ(run({"lib", "list", other}).out, "RES\t1\nOP\t2\tU?A,U?C\n");

  r = run({"lib", "rename", other, "RES", "op"});
  EXPECT_EQ(r.exitCode, 1);
  r = run({"lib", "rename", other, "RES", "R"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(run({"lib", "list", other}).out, "OP\t2\tU?A,U?C\nR\t1\n");

  // The text form: an existing output is kept without --force.
  WriteAll(dir.file("out.txt"), "keep");
  r = run({"lib", "to-text", other, dir.file("out.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(ReadAll(dir.file("out.txt")), "keep");
  r = run({"lib", "to-text", other, dir.file("out.txt"), "--force"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(ReadAll(dir.file("out.txt")).find("Package Name \"OP\"\nPackage Total 2\n"),
            std::string::npos);

  // The library list.
  r = run({"lib", "paths", "--add", other, "--add", lib});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.ends_with(other + "\n" + lib + "\n")) << r.out;
  r = run({"lib", "paths", "--remove", other});
  EXPECT_TRUE(r.out.ends_with(lib + "\n")) << r.out;
  EXPECT_EQ(r.out.find(other), std::string::npos);
}

TEST(LibCommandTest, FailuresAndUsage) {
  TempDir dir;
  WriteAll(dir.file("bad.txt"), "Package Name \"R\"\n");
  WriteAll(dir.file("broken.lib"), std::string("\xca\0\0\0\x01R\xff\xff\0\0", 10));
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // the start of stderr
  } cases[] = {
      {{"lib"}, 2, "tavro lib: expected a subcommand: list, show"},
      {{"lib", "sort", "a.lib"}, 2, "tavro lib: unknown subcommand: sort"},
      {{"lib", "list"}, 2, "tavro lib: usage: tavro lib list LIB"},
      {{"lib", "list", "a.lib", "--gate", "1"}, 2, "tavro lib: --gate does not apply to list"},
      {{"lib", "delete", "a.lib", "R", "--gate", "0"}, 2, "tavro lib: --gate needs"},
      {{"lib", "list", dir.file("none.lib")},
       1,
       "tavro: " + dir.file("none.lib") + " 部品ファイル"},
      {{"lib", "list", dir.file("broken.lib")},
       1,
       "tavro: 部品ファイル " + dir.file("broken.lib") + " が壊れています"},
      {{"lib", "from-text", dir.file("bad.txt"), dir.file("new.lib")},
       1,
       "tavro: テキスト部品ファイルではありません。"},
      {{"lib", "list", dir.file("x.lbk")}, 1, "tavro: バックアップファイルです。"},
  };
  for (const Case& c : cases) {
    test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[1] << " " << r.err;
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("new.lib")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.lib")));
}

}  // namespace
}  // namespace tavro
