// What every command shares, end to end: help, --quiet, "-o -", getopt
// forms, repeated options, and the man page covering every option that a
// command's --help lists.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "support/test_util.h"

namespace tavro {
namespace {

using test::DataPath;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

const std::string kGolden = DataPath("netlist/project/golden.tpj");
const std::string kDemo = std::string(TAVRO_SOURCE_DIR) + "/examples/demo/";

// The command names that `tavro --help` lists.
std::vector<std::string> CommandNames() {
  const test::RunResult r = RunTavro({"--help"});
  std::vector<std::string> names;
  const std::regex line("\n  ([a-z]+) +");
  for (std::sregex_iterator it(r.out.begin(), r.out.end(), line), end; it != end; ++it)
    names.push_back((*it)[1]);
  return names;
}

TEST(CommandLineTest, HelpForEveryCommand) {
  const std::vector<std::string> names = CommandNames();
  ASSERT_GE(names.size(), 5u);
  const std::string manPage = ReadAll(std::string(TAVRO_SOURCE_DIR) + "/doc/tavro.1");
  for (const std::string& name : names) {
    const test::RunResult help = RunTavro({name, "--help"});
    EXPECT_EQ(help.exitCode, 0) << name;
    EXPECT_EQ(help.out.rfind("Usage: tavro " + name + " ", 0), 0u) << name;
    // `tavro help CMD` is `tavro CMD --help`.
    const test::RunResult same = RunTavro({"help", name});
    EXPECT_EQ(same.exitCode, 0) << name;
    EXPECT_EQ(same.out, help.out) << name;
    EXPECT_NE(help.out.find("  -q, --quiet "), std::string::npos) << name;
    // The man page has a section for the command and names each option.
    EXPECT_NE(manPage.find(".SS \"" + name), std::string::npos) << name;
    const std::regex option("\n  (?:-[a-z], )?    ?--([a-z-]+)");
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), option), end; it != end; ++it) {
      std::string escaped = "\\-\\-" + std::regex_replace((*it)[1].str(), std::regex("-"), "\\-");
      EXPECT_NE(manPage.find(escaped), std::string::npos) << name << " --" << (*it)[1];
    }
  }
  EXPECT_EQ(RunTavro({"help"}).out, RunTavro({"--help"}).out);
  const test::RunResult bad = RunTavro({"help", "bogus"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(bad.err, "tavro: unknown command 'bogus'\nTry 'tavro --help'.\n");
}

TEST(CommandLineTest, OutputToStdoutAndQuiet) {
  TempDir tmp;
  const std::vector<std::string> env = {"SOURCE_DATE_EPOCH=1700000000"};
  test::RunResult file =
      RunTavro({"netlist", "-fSPICE", "-o" + tmp.file("golden.cir"), kGolden}, env);
  ASSERT_EQ(file.exitCode, 0) << file.err;
  EXPECT_EQ(file.err, "");
  // The stored Tool/Index is on by default: the net index follows, beside the netlist.
  EXPECT_EQ(file.out, "netlist: " + tmp.file("golden.cir") + " (SPICE)\nindex: " +
                          tmp.file("golden.net.csv") + "\nnets: 7\nconnections: 11\n");

  // "-o -": the netlist alone on stdout, the summary on stderr, no file.
  test::RunResult piped = RunTavro({"netlist", "--format", "SPICE", "-o", "-", kGolden}, env);
  ASSERT_EQ(piped.exitCode, 0) << piped.err;
  EXPECT_EQ(piped.out, ReadAll(tmp.file("golden.cir")));
  EXPECT_EQ(piped.err, "netlist: stdout (SPICE)\nnets: 7\nconnections: 11\n");
  EXPECT_FALSE(std::filesystem::exists("-"));
  // Only the netlist goes to stdout; the report and the index need a file.
  for (const char* extra : {"--report", "--index"}) {
    test::RunResult refused = RunTavro({"netlist", extra, "-o", "-", kGolden}, env);
    EXPECT_EQ(refused.exitCode, 2) << extra;
    EXPECT_EQ(refused.out, "") << extra;
  }

  // --quiet: nothing but the output itself.
  test::RunResult quiet = RunTavro({"netlist", "-q", "--format=SPICE", "-o", "-", kGolden}, env);
  ASSERT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.out, piped.out);
  EXPECT_EQ(quiet.err, "");
  quiet = RunTavro({"netlist", "--quiet", "-fSPICE", "-o", tmp.file("golden.cir"), kGolden}, env);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(ReadAll(tmp.file("golden.cir")), file.out.empty() ? "" : piped.out);
  // Errors still go to stderr.
  quiet = RunTavro({"netlist", "-q", tmp.file("missing.tpj")});
  EXPECT_EQ(quiet.exitCode, 1);
  EXPECT_NE(quiet.err, "");

  // The text form of a sheet on stdout.
  test::RunResult text = RunTavro({"convert", kDemo + "amp1.tcd", "-"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out, ReadAll(kDemo + "src/amp1.txt"));
  text = RunTavro({"convert", "--to", "tcd", kDemo + "amp1.tcd", "-"});
  EXPECT_EQ(text.exitCode, 2);
  EXPECT_EQ(text.out, "");

  // Options given twice, and a component file that cannot go to stdout.
  test::RunResult twice = RunTavro({"netlist", "-f", "1", "-f2", kGolden});
  EXPECT_EQ(twice.exitCode, 2);
  EXPECT_EQ(twice.err.rfind("tavro netlist: option '-f, --format' given more than once\n", 0), 0u);
  twice = RunTavro({"netlist", "-fcalay", "--compo", "cmp", "-o", "-", kGolden});
  EXPECT_EQ(twice.exitCode, 2) << twice.err;
}

TEST(CommandLineTest, ProjectSetRepeats) {
  TempDir tmp;
  const std::string tpj = tmp.file("p.tpj");
  test::WriteAll(tpj, "Project File Ver 0.03\n1:a.tcd\nEndFileList\n");
  test::RunResult r = RunTavro({"project", "--set", "A=1", "-sB=2", "--set=A=3", tpj});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(tpj),
            "Project File Ver 0.03\n1:a.tcd\nEndFileList\nProperty List\n&A&3\n&B&2\n"
            "EndPropertyList\n");
  // One bad pair sets nothing.
  r = RunTavro({"project", "--set", "C=1", "--set", "oops", tpj});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(ReadAll(tpj).find("&C&"), std::string::npos);
}

}  // namespace
}  // namespace tavro
