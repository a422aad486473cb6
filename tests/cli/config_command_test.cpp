// `tavro config` end to end: the settings in effect with what their codes
// mean, reading and setting one value, and values that are refused.
#include <gtest/gtest.h>

#include "support/test_util.h"

namespace tavro {
namespace {

using test::DataPath;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

const std::string kGolden = DataPath("netlist/project/golden.tpj");

TEST(ConfigCommandTest, ListGetSetPath) {
  TempDir tmp;
  const std::string ini = tmp.file("conf/tavro.ini");
  const std::vector<std::string> env = {"TAVRO_SETTINGS=" + ini};
  test::RunResult r = RunTavro({"config", "path"}, env);
  EXPECT_EQ(r.out, ini + "\n");

  r = RunTavro({"config", "list"}, env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("# settings file: " + ini + " (not written yet", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\nTool/NetType = 0 (CR3000, format 1) [default]\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nDefault/FontE = \"Arial\" [default]\n"), std::string::npos);
  EXPECT_NE(
      r.out.find("\nColor/Bus = \"16711680 1\" (red 0, green 0, blue 255, shown) [default]\n"),
      std::string::npos);

  // The stored value is a list position: 12 is Scicards, format 15.
  r = RunTavro({"config", "set", "tool/nettype", "12"}, env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Tool/NetType = 12 (Scicards, format 15)\n");
  EXPECT_EQ(RunTavro({"config", "get", "Tool/NetType"}, env).out, "12\n");
  r = RunTavro({"config", "-q", "set", "Default/Part VCC", "VCC 電源"}, env);
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(RunTavro({"config", "get", "Default/Part VCC"}, env).out, "VCC 電源\n");
  r = RunTavro({"config", "list"}, env);
  EXPECT_NE(r.out.find("\nTool/NetType = 12 (Scicards, format 15)\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nDefault/Part VCC = \"VCC 電源\"\n"), std::string::npos);
  // The netlist command takes the stored position as its default format.
  r = RunTavro({"netlist", "-o", tmp.file("x.net"), kGolden}, env);
  EXPECT_NE(r.out.find("(Scicards)"), std::string::npos) << r.out;

  // Bad values and keys change nothing.
  const std::string stored = ReadAll(ini);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  } bad[] = {
      {{"config", "set", "Tool/NetType", "99"}, 2, "tavro config: 'Tool/NetType' takes a position"},
      {{"config", "set", "Tool/StartNo", "x"},
       2,
       "tavro config: 'Tool/StartNo' takes a whole number"},
      {{"config", "set", "FileSave/UndoCount", "5"},
       2,
       "tavro config: 'FileSave/UndoCount' takes a number from 10 to 32767"},
      {{"config", "set", "Sheet/Cursor", "3"},
       2,
       "tavro config: 'Sheet/Cursor' takes a code from 0 to 2"},
      {{"config", "set", "Color/Wire", "red"}, 2, "tavro config: 'Color/Wire' takes a colour"},
      {{"config", "set", "Tool/NoSuchKey", "1"}, 1, "tavro: unknown setting 'Tool/NoSuchKey'"},
      {{"config", "get", "NoSlash"}, 2, "tavro config: a key is Section/Key"},
      {{"config", "frob"}, 2, "tavro config: unknown action 'frob'"},
      {{"config"}, 2, "tavro config: expected list"},
  };
  for (const Case& c : bad) {
    r = RunTavro(c.args, env);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
  }
  EXPECT_EQ(ReadAll(ini), stored);
}

}  // namespace
}  // namespace tavro
