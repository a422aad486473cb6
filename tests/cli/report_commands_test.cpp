// `tavro check` and `tavro index` end to end: the files they write, their
// summaries, "-o -", and the exit code that stops a build script.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

const std::vector<std::string> kEnv = {"SOURCE_DATE_EPOCH=1700000000"};

TEST(CheckCommandTest, WritesTheReportAndFailsOnViolations) {
  TempDir tmp;
  fs::copy_file(DataPath("report/edges/edges.txt"), tmp.file("edges.txt"));
  test::RunResult r = RunTavro({"check", "--html", tmp.file("edges.txt")}, kEnv);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "report: " + tmp.file("edges.nrp") + "\nhtml: " + tmp.file("edges.nrp.html") +
                       "\nopen nets: 4\nopen alias nets: 1\nalias nets: 1\n"
                       "DRC Output-Output: 1\nDRC All Input: 2\n総ネット数    3 /     6\n");
  // The report is the golden one, with CR LF line ends.
  std::string expected = ReadAll(DataPath("report/edges/expected.nrp"));
  std::string crlf;
  for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ReadAll(tmp.file("edges.nrp")), crlf);

  // --fail-on-violations: exit 3; "-o -": the report alone on stdout.
  r = RunTavro({"check", "--fail-on-violations", "-o", "-", tmp.file("edges.txt")}, kEnv);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, crlf);
  EXPECT_EQ(r.err.rfind("report: stdout\n", 0), 0u) << r.err;
  // A clean demo passes.
  fs::copy(std::string(TAVRO_SOURCE_DIR) + "/examples/demo", tmp.file("demo"),
           fs::copy_options::recursive);
  r = RunTavro({"check", "-q", "--fail-on-violations", tmp.file("demo/demo.tpj")}, kEnv);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_TRUE(fs::exists(tmp.file("demo/demo.nrp")));

  r = RunTavro({"check"});
  EXPECT_EQ(r.exitCode, 2);
  r = RunTavro({"check", tmp.file("missing.tcd")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("missing.tcd"), std::string::npos) << r.err;
}

TEST(IndexCommandTest, WritesTheIndexBesideTheProject) {
  TempDir tmp;
  for (const char* f : {"index.tpj", "idx1.txt", "idx2.txt", "idx3.txt"})
    fs::copy_file(DataPath(std::string("report/index/") + f), tmp.file(f));
  test::RunResult r = RunTavro({"index", tmp.file("index.tpj")}, kEnv);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("index: " + tmp.file("index.net.csv") + "\n", 0), 0u) << r.out;
  const std::string csv = ReadAll(tmp.file("index.net.csv"));
  EXPECT_NE(csv.find("Wire net index\r\n"), std::string::npos);
  // The same index on stdout; --xy and --no-single change it.
  r = RunTavro({"index", "-q", "-o", "-", tmp.file("index.tpj")}, kEnv);
  EXPECT_EQ(r.out, csv);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(RunTavro({"index", "-q", "--xy", "-o", "-", tmp.file("index.tpj")}, kEnv).out, csv);
  EXPECT_NE(RunTavro({"index", "-q", "--no-single", "-o", "-", tmp.file("index.tpj")}, kEnv).out,
            csv);
  // An unreadable sheet is skipped with a warning naming it.
  fs::remove(tmp.file("idx2.txt"));
  r = RunTavro({"index", "-q", "-o", "-", tmp.file("index.tpj")}, kEnv);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("idx2.txt"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tavro
