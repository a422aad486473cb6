// `tavro bom` end to end: the file beside the project, "-o -", the options
// that override the stored settings, --store, and the usage errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

std::string Crlf(const std::string& lf) {
  std::string out;
  for (char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class BomCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"small.tpj", "s1.txt", "s2.txt"})
      fs::copy_file(DataPath(std::string("bom/small/") + f), tmp_.path() / f);
  }
  // A settings store of the test's own, so that stored values play no part.
  test::RunResult Bom(std::vector<std::string> args) {
    args.insert(args.begin(), "bom");
    return RunTavro(args, {"TAVRO_SETTINGS=" + tmp_.file("tavro.ini")});
  }
  std::string File(const char* name) const { return tmp_.file(name); }
  TempDir tmp_;
};

TEST_F(BomCommand, WritesTheListBesideTheProject) {
  test::RunResult r = Bom({"--count", "--properties", "maker", File("small.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "parts list: " + File("small.csv") +
                       "\nlines: 6\nused parts: 10\nNOPARTLIST: 2\nNOMOUNT: 1\n");
  EXPECT_EQ(ReadAll(File("small.csv")), Crlf(ReadAll(DataPath("bom/small/expected.csv"))));

  // "-o -": the list alone on stdout (LF with --unix), the summary on stderr.
  r = Bom({"-c", "-pMAKER", "--unix", "-o", "-", File("small.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, ReadAll(DataPath("bom/small/expected.csv")));
  EXPECT_EQ(r.err.rfind("parts list: stdout\n", 0), 0u) << r.err;
  r = Bom({"-q", "--unix", "-o", "-", File("small.tpj")});
  EXPECT_EQ(r.err, "");

  // -o names the file; the defaults (no count, no properties) list less.
  r = Bom({"-q", "--unix", "-o", File("out.csv"), File("small.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  const std::string plain = ReadAll(File("out.csv"));
  EXPECT_NE(plain.find("\nRES,10k,R1,R2,R10\n"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("REFCOUNT"), std::string::npos);
}

// The stored settings are the defaults; options override them for one run.
TEST_F(BomCommand, OptionsOverrideTheSettings) {
  ASSERT_EQ(RunTavro({"config", "set", "Tool/PartCount", "1"},
                     {"TAVRO_SETTINGS=" + tmp_.file("tavro.ini")})
                .exitCode,
            0);
  ASSERT_EQ(RunTavro({"config", "set", "Tool/ListProperty", "MAKER"},
                     {"TAVRO_SETTINGS=" + tmp_.file("tavro.ini")})
                .exitCode,
            0);
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> present, absent;
  } cases[] = {
      {{}, {"REFCOUNT\n", "PROPERTY,MAKER\n", "NOPARTLIST,TP1,TP2\n"}, {}},
      {{"--no-count", "--properties", ""}, {"RES,1k,R?,R?\n"}, {"REFCOUNT", "PROPERTY"}},
      {{"--force-nopartlist"}, {"TP,,,2,TP1,TP2\n"}, {"NOPARTLIST"}},
      {{"--sheetno", "Z-9", "--setname", "基板", "--pcbmake", "3"},
       {"SHEETNO,Z-9\n", "SETNAME," + J("基板") + "\n", "PCBMAKE,3\n"},
       {"B-100"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-q", "--unix", "-o", "-", File("small.tpj")});
    const test::RunResult r = Bom(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const std::string& p : c.present) EXPECT_NE(r.out.find(p), std::string::npos) << p;
    for (const std::string& a : c.absent) EXPECT_EQ(r.out.find(a), std::string::npos) << a;
  }
}

// --store writes the three values into the project and changes nothing
// else of the file; without it the project is left alone.
TEST_F(BomCommand, StoreChangesOnlyTheThreeProperties) {
  test::WriteAll(File("small.tpj"),
                 "Project File Ver 0.03\n1:s1.txt\n# a comment\n1:s2.txt\nEndFileList\n"
                 "Property List\n&PDFTITLE&T\n&SHEETNO&B-100\n&PRODUCT&P\nEndPropertyList\n");
  const std::string before = ReadAll(File("small.tpj"));
  test::RunResult r = Bom({"-q", "--sheetno", "C-1", "--pcbmake", "8", File("small.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(File("small.tpj")), before);

  r = Bom(
      {"--store", "--sheetno", "C-1", "--setname", "製品", "--pcbmake", "8", File("small.tpj")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("stored into the project"), std::string::npos) << r.out;
  EXPECT_EQ(ReadAll(File("small.tpj")),
            "Project File Ver 0.03\n1:s1.txt\n# a comment\n1:s2.txt\nEndFileList\n"
            "Property List\n&PDFTITLE&T\n&SHEETNO&C-1\n&PRODUCT&P\n&SETNAME&" +
                J("製品") + "\n&PCBMAKE&8\nEndPropertyList\n");
  const std::string list = ReadAll(File("small.csv"));
  EXPECT_EQ(list.rfind("NOPARTLIST,TP1,TP2\r\nNOMOUNT,C1\r\nSHEETNO,C-1\r\nSETNAME," + J("製品") +
                           "\r\nPCBMAKE,8\r\n",
                       0),
            0u)
      << list;
  // The stored values are the next run's header.
  r = Bom({"-q", "--unix", "-o", "-", File("small.tpj")});
  EXPECT_NE(r.out.find("SHEETNO,C-1\nSETNAME," + J("製品") + "\nPCBMAKE,8\n"), std::string::npos);
}

TEST_F(BomCommand, SheetsWithoutAProject) {
  const test::RunResult r = Bom({File("s2.txt"), File("s1.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("parts list: " + File("s2.csv") + "\n", 0), 0u) << r.out;
  EXPECT_EQ(ReadAll(File("s2.csv")).rfind("NOPARTLIST,TP2,TP1\r\n", 0), 0u);
}

TEST_F(BomCommand, UsageAndFailures) {
  const struct {
    std::vector<std::string> args;
    int exit;
    const char* err;  // a part of stderr
  } cases[] = {
      {{}, 2, "expected a project file"},
      {{"--pcbmake", "0", "small.tpj"}, 2, "--pcbmake"},
      {{"--pcbmake", "32768", "small.tpj"}, 2, "--pcbmake"},
      {{"--pcbmake", "x", "small.tpj"}, 2, "--pcbmake"},
      {{"--store", "s1.txt"}, 2, "--store needs a project file"},
      {{"--count", "--no-count", "small.tpj"}, 2, "--no-count"},
      {{"--setname", "\xF0\x9F\x98\x80", "small.tpj"}, 2, "CP932"},
      {{"-o", "", "small.tpj"}, 2, "--output"},
      {{"missing.tpj"}, 1, "missing.tpj"},
      {{"small.tpj", "-o", "s1.txt"}, 1, "s1.txt"},
      {{"--store", "--sheetno", "A\nB", "small.tpj"}, 1, "SHEETNO"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& a : c.args)
      args.push_back(a.size() > 4 && (a.ends_with(".tpj") || a.ends_with(".txt")) ? File(a.c_str())
                                                                                  : a);
    const std::string before = ReadAll(File("small.tpj"));
    const test::RunResult r = Bom(args);
    EXPECT_EQ(r.exitCode, c.exit) << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(File("small.csv")));
    EXPECT_EQ(ReadAll(File("small.tpj")), before);
  }
}

}  // namespace
}  // namespace tavro
