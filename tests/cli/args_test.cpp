// The option parser: getopt's forms, repeats, and what is bad usage.
#include "app/cli/args.h"

#include <gtest/gtest.h>

namespace tavro::cli {
namespace {

const std::vector<OptionSpec> kSpecs = {
    {"format", 'f', true, "F", ""},      {"output", 'o', true, "FILE", ""},
    {"all", 'a', false, nullptr, ""},    {"unix", 0, false, nullptr, ""},
    {"set", 's', true, "N=V", "", true},
};

TEST(ParseArgs, GetoptForms) {
  struct Case {
    std::vector<std::string> args;
    std::string format, output;
    bool all, quiet;
    std::vector<std::string> positional;
  } cases[] = {
      {{"-fSPICE", "in.tpj"}, "SPICE", "", false, false, {"in.tpj"}},
      {{"-f", "SPICE", "in.tpj"}, "SPICE", "", false, false, {"in.tpj"}},
      {{"--format", "SPICE", "in.tpj"}, "SPICE", "", false, false, {"in.tpj"}},
      {{"--format=SPICE", "in.tpj"}, "SPICE", "", false, false, {"in.tpj"}},
      {{"--format=", "in.tpj"}, "", "", false, false, {"in.tpj"}},
      // Flags grouped behind one dash, the last one taking the rest as its value.
      {{"-aqfSPICE", "-o/tmp/x.net", "in"}, "SPICE", "/tmp/x.net", true, true, {"in"}},
      {{"-qa", "in"}, "", "", true, true, {"in"}},
      // "-" is an argument (stdout), also as a value; options after arguments.
      {{"in", "-o", "-", "--quiet"}, "", "-", false, true, {"in"}},
      {{"-", "--all"}, "", "", true, false, {"-"}},
      // A value that looks like an option is still the value.
      {{"-o", "-a", "in"}, "", "-a", false, false, {"in"}},
      // "--" ends the options.
      {{"--", "-a", "--format=x"}, "", "", false, false, {"-a", "--format=x"}},
  };
  for (const Case& c : cases) {
    std::string error;
    auto p = ParseArgs(c.args, kSpecs, error);
    ASSERT_TRUE(p) << c.args[0] << ": " << error;
    EXPECT_EQ(p->Get("format").value_or(""), c.format) << c.args[0];
    EXPECT_EQ(p->Get("output").value_or(""), c.output) << c.args[0];
    EXPECT_EQ(p->Has("all"), c.all) << c.args[0];
    EXPECT_EQ(p->quiet, c.quiet) << c.args[0];
    EXPECT_EQ(p->positional, c.positional) << c.args[0];
  }
}

TEST(ParseArgs, RepeatsKeepEveryValueAndOthersGivenTwiceAreErrors) {
  std::string error;
  auto p = ParseArgs({"--set", "A=1", "-sB=2", "--set=C=3"}, kSpecs, error);
  ASSERT_TRUE(p) << error;
  EXPECT_EQ(p->GetAll("set"), (std::vector<std::string>{"A=1", "B=2", "C=3"}));

  struct Case {
    std::vector<std::string> args;
    std::string error;
  } bad[] = {
      {{"-f", "A", "--format=B"}, "option '--format' given more than once"},
      {{"-fA", "-fB"}, "option '-f, --format' given more than once"},
      {{"-a", "--all"}, "option '--all' given more than once"},
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"-x"}, "unknown option '-x'"},
      {{"-ax"}, "unknown option '-x'"},
      {{"--all=1"}, "option '--all' takes no value"},
      {{"--format"}, "option '--format' needs a value"},
      {{"in", "-f"}, "option '-f' needs a value"},
  };
  for (const Case& c : bad) {
    error.clear();
    EXPECT_FALSE(ParseArgs(c.args, kSpecs, error)) << c.args[0];
    EXPECT_EQ(error, c.error);
  }
}

TEST(PadRight, CountsCharactersNotBytes) {
  EXPECT_EQ(PadRight("DK-Σ/Magic", 12), "DK-Σ/Magic  ");
  EXPECT_EQ(PadRight("部品", 4), "部品  ");
  EXPECT_EQ(PadRight("toolong", 3), "toolong");
}

}  // namespace
}  // namespace tavro::cli
