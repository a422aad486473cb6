// `tavro netlist` end to end: options, the stored settings as defaults,
// exit codes, messages and the files written.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

const std::string kGolden = DataPath("netlist/project/golden.tpj");

TEST(NetlistCommandTest, StoredSettingsAreTheDefaultsAndOptionsOverrideThem) {
  TempDir tmp;
  const std::string ini = tmp.file("tavro.ini");
  {
    Settings s(ini);
    s.WriteInt("Tool", "NetType", 20);  // SPICE
    s.WriteInt("Tool", "NetUnix", 1);
    s.WriteInt("Tool", "StartNo", 1);
  }
  const std::string stored = ReadAll(ini);
  const std::vector<std::string> env = {"TAVRO_SETTINGS=" + ini, "SOURCE_DATE_EPOCH=1700000000"};

  auto r = RunTavro({"netlist", "--pcb", "PCB", "-o", tmp.file("golden.cir"), kGolden}, env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(tmp.file("golden.cir")), ReadAll(DataPath("netlist/21/expected.cir")));

  // --start moves the unnamed nets; -f by number; the settings file is untouched.
  r = RunTavro({"netlist", "-f", "26", "--start", "7", "-o", tmp.file("dk.net"), kGolden}, env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string dk = ReadAll(tmp.file("dk.net"));
  EXPECT_NE(dk.find("\n7[R1-1,U1-1,U1-2]\nVCC[R1-2,U1-14]\n8[R2-1,U1-6]\n"), std::string::npos)
      << dk;
  EXPECT_EQ(ReadAll(ini), stored);
}

TEST(NetlistCommandTest, ComponentFileUnixAndAll) {
  TempDir tmp;
  fs::copy(DataPath("netlist/project"), tmp.path(), fs::copy_options::recursive);
  // Uncheck the second sheet: without --all the OUT net of sheet 1 has one pin.
  test::WriteAll(tmp.file("golden.tpj"),
                 "Project File Ver 0.03\n1:sheet1.txt\n0:sheet2.txt\nEndFileList\n");
  auto r = RunTavro({"netlist", "-f", "calay", "--compo", "cmp", "--unix", tmp.file("golden.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "netlist: " + tmp.file("golden.net") +
                       " (Calay)\ncomponents: " + tmp.file("golden.cmp") +
                       "\nindex: " + tmp.file("golden.net.csv") + "\nnets: 4\nconnections: 5\n");
  EXPECT_EQ(ReadAll(tmp.file("golden.net")).find('\r'), std::string::npos);
  EXPECT_EQ(ReadAll(tmp.file("golden.cmp")).rfind("R1  ", 0), 0u);

  r = RunTavro({"netlist", "-f", "calay", "--all", tmp.file("golden.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("nets: 7\nconnections: 11\n"), std::string::npos) << r.out;
  EXPECT_NE(ReadAll(tmp.file("golden.net")).find("\r\n"), std::string::npos);
}

TEST(NetlistCommandTest, FailuresAndUsage) {
  TempDir tmp;
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // a piece of stderr
  };
  const std::string missing = tmp.file("missing.tcd");
  const Case cases[] = {
      {{"netlist"}, 2, "expected one sheet file or project file"},
      {{"netlist", "-f", "nosuch", kGolden}, 2, "unknown format 'nosuch'"},
      {{"netlist", "-f", "30", kGolden}, 2, "unknown format '30'"},
      {{"netlist", "--start", "-1", kGolden}, 2, "--start needs a number"},
      {{"netlist", "--bogus", kGolden}, 2, "unknown option '--bogus'"},
      {{"netlist", missing}, 1, "tavro: ファイル " + missing + " を開けません"},
      {{"netlist", "--compo", "tcd", "-o", tmp.file("x.net"), kGolden},
       1,
       "tavro: ファイル拡張子が不正または使用できません。\n"},
      {{"netlist", "--compo", "", "-o", tmp.file("x.net"), kGolden},
       1,
       "tavro: コンポーネントファイル拡張子を設定してください。\n"},
  };
  for (const Case& c : cases) {
    const auto r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(tmp.file("x.net")));

  const auto help = RunTavro({"netlist", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("13  PADS-PCB"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("--compo EXT"), std::string::npos) << help.out;
  EXPECT_NE(RunTavro({"--help"}).out.find("netlist"), std::string::npos);
}

}  // namespace
}  // namespace tavro
