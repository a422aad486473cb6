// `tavro find` end to end: the listing of a project in project order, the
// options and the stored settings they override, and the exit codes (1 when
// nothing was found, without a message; 2 on bad usage).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::RunTavro;
using test::TempDir;
using test::WriteAll;

// a.txt: a wire VCC, a part R1 with a hidden pin named VCC and a hidden part
// name, a free text "電源 VCC"; b.txt a wire vcc; c.txt (unchecked in the
// project) a text "VCC NOTE".
class FindCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteAll(tmp_.file("a.txt"),
             "Line 1000 1000 2000 1000 8 0 0 0\n"
             "Name \"VCC\" 1100 1020 70 0\n"
             "Part 3000 3000 2800 2800 3200 3200 1 0 0 0\n"
             "Name \"RES\" 3000 3150 70 32768\n"
             "Ref \"R1\" 3000 3200 70 0\n"
             "Val \"10k\" 3000 2850 70 0\n"
             "Pin 3000 2900 3000 2800 32768\n"
             "Name \"VCC\" 3020 2900 70 0\n"
             "No \"1\" 3020 2850 70 0\n"
             "PartEnd\n"
             "Text \"" +
                 J("電源 VCC") + "\" -1250 50 70 0\n");
    WriteAll(tmp_.file("b.txt"), "Line 0 0 500 0 8 0 0 0\nName \"vcc\" 100 20 70 0\n");
    WriteAll(tmp_.file("c.txt"), "Text \"VCC NOTE\" 0 0 70 0\n");
    WriteAll(tmp_.file("p.tpj"), "Project File Ver 0.03\n1:a.txt\n0:c.txt\n1:b.txt\nEndFileList\n");
  }

  // Runs with a settings file of its own (empty unless `ini` is given).
  test::RunResult Find(std::vector<std::string> args, const std::string& ini = "") {
    WriteAll(tmp_.file("tavro.ini"), ini);
    args.insert(args.begin(), "find");
    return RunTavro(args, {"TAVRO_SETTINGS=" + tmp_.file("tavro.ini")});
  }

  std::string A() const { return tmp_.file("a.txt"); }
  std::string B() const { return tmp_.file("b.txt"); }

  // The listing lines of the fixture.
  std::string AWire() const { return A() + "\twire\tVCC\t11.00\t10.20\n"; }
  std::string AText() const { return A() + "\ttext\t電源 VCC\t-12.50\t0.50\n"; }
  std::string BWire() const { return B() + "\twire\tvcc\t1.00\t0.20\n"; }

  TempDir tmp_;
};

TEST_F(FindCommandTest, ListsAProjectInProjectOrder) {
  // The stored defaults: references, wire names and free texts, letter case ignored.
  test::RunResult r = Find({tmp_.file("p.tpj"), "vcc"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, AWire() + AText() + BWire());
  EXPECT_EQ(r.err, "");
  // --all takes the unchecked sheet too, in its place; -q changes nothing.
  r = Find({"-qa", tmp_.file("p.tpj"), "vcc"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            AWire() + AText() + tmp_.file("c.txt") + "\ttext\tVCC NOTE\t0.00\t0.00\n" + BWire());
}

TEST_F(FindCommandTest, OptionsAndStoredSettingsChooseTheMatches) {
  struct Case {
    std::vector<std::string> options;
    const char* pattern;
    std::string ini;  // the stored settings
    std::string out;  // empty: nothing found
  } cases[] = {
      {{"--match-case"}, "vcc", "", BWire()},
      {{"--match-case", "--word"}, "VCC", "", AWire()},
      {{"--target", "pin-name"}, "VCC", "", ""},
      {{"--hidden", "--target", "part-name,pin-name"},
       "vcc",
       "",
       A() + "\tpin-name\tVCC\t30.20\t29.00\n"},
      {{"--hidden", "--target=3"},
       "r",
       "",
       A() + "\tpart-name\tRES\t30.00\t31.50\n" + A() + "\tref\tR1\t30.00\t32.00\n"},
      {{"--target", "0x4"}, "10K", "", A() + "\tvalue\t10k\t30.00\t28.50\n"},
      {{}, "電源", "", AText()},
      // Stored: letter case matters, wire names only; the command line adds hidden.
      {{}, "vcc", "[Find]\nMatchCase=1\nTarget=256\n", BWire()},
      {{"--hidden"}, "VCC", "[Find]\nTarget=8\n", A() + "\tpin-name\tVCC\t30.20\t29.00\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    args.push_back(A());
    args.push_back(B());
    args.push_back(c.pattern);
    const test::RunResult r = Find(args, c.ini);
    const std::string what = testing::PrintToString(c.options) + " " + c.pattern;
    EXPECT_EQ(r.exitCode, c.out.empty() ? 1 : 0) << what;
    EXPECT_EQ(r.out, c.out) << what;
    EXPECT_EQ(r.err, "") << what;
  }
}

TEST_F(FindCommandTest, BadUsageAndUnreadableSheets) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* err;  // a part of stderr
  } cases[] = {
      {{A()}, 2, "expected a project file or one or more sheet files, and a pattern"},
      {{A(), ""}, 2, "the pattern is empty"},
      {{"--target", "ref,bogus", A(), "x"}, 2, "unknown target 'bogus'"},
      {{"--target", "0x400", A(), "x"}, 2, "--target 0x400"},
      {{"--target", "0", A(), "x"}, 2, "--target 0"},
      {{"--color", A(), "x"}, 2, "unknown option '--color'"},
      {{tmp_.file("missing.txt"), "x"}, 1, "missing.txt"},
      {{tmp_.file("p.tpj"), A(), "x"}, 1, "a project file is given alone"},
  };
  for (const Case& c : cases) {
    const test::RunResult r = Find(c.args);
    const std::string what = testing::PrintToString(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << what;
    EXPECT_EQ(r.out, "") << what;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << what << ": " << r.err;
  }
  // A pattern that starts with a dash follows "--".
  WriteAll(B(), "Text \"-5V\" 0 0 70 0\n");
  const test::RunResult r = Find({B(), "--", "-5v"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, B() + "\ttext\t-5V\t0.00\t0.00\n");
}

}  // namespace
}  // namespace tavro
