// `tavro project` end to end: listing, --all, --set, --unset, failures and
// usage.
#include <gtest/gtest.h>

#include <string>

#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::RunTavro;
using test::TempDir;
using test::WriteAll;

TEST(ProjectCommandTest, ListsFilesAndPropertiesAndSetsOne) {
  TempDir dir;
  const std::string proj = dir.file("p.tpj");
  WriteAll(proj,
           "Project File Ver 0.03\n1:a.tcd\n0:sub\\b.tcd\nEndFileList\n"
           "Property List\n&SHEETNO&A-1\nEndPropertyList\n");

  test::RunResult r = RunTavro({"project", proj});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "1:" + dir.file("a.tcd") + "\nproperty: SHEETNO=A-1\n");

  r = RunTavro({"project", "--all", proj});
  EXPECT_EQ(r.out, "1:" + dir.file("a.tcd") + "\n0:" + dir.file("sub/b.tcd") +
                       "\nproperty: SHEETNO=A-1\n");

  // A Japanese value goes into the file as CP932 and comes back as UTF-8.
  r = RunTavro({"project", proj, "--set", "SETNAME=アンプ"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_NE(ReadAll(proj).find("&SETNAME&\x83\x41\x83\x93\x83\x76\n"), std::string::npos);
  r = RunTavro({"project", proj});
  EXPECT_NE(r.out.find("property: SETNAME=アンプ\n"), std::string::npos);

  // --unset deletes (letter case aside) before --set sets, in one write.
  r = RunTavro({"project", proj, "--unset", "setname", "-u", "SHEETNO", "--set", "SHEETNO=B-2"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(proj),
            "Project File Ver 0.03\n1:a.tcd\n0:sub\\b.tcd\nEndFileList\n"
            "Property List\n&SHEETNO&B-2\nEndPropertyList\n");
}

TEST(ProjectCommandTest, FailuresAndUsage) {
  TempDir dir;
  WriteAll(dir.file("bad.tpj"), "not a project\n");
  WriteAll(dir.file("good.tpj"), "Project File Ver 0.03\nEndFileList\n");
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string errStart;
  } cases[] = {
      {{"project", dir.file("missing.tpj")}, 1, "tavro: ファイル " + dir.file("missing.tpj")},
      {{"project", dir.file("bad.tpj")}, 1, "tavro: ファイル " + dir.file("bad.tpj")},
      {{"project"}, 2, "tavro project: expected one project file"},
      {{"project", "a.tpj", "b.tpj"}, 2, "tavro project: expected one project file"},
      {{"project", "--set", "NOVALUE", dir.file("bad.tpj")}, 1, "tavro: "},
      {{"project", "--unset=", dir.file("good.tpj")}, 2, "tavro project: --unset needs NAME"},
      {{"project", "--bogus", "a.tpj"}, 2, "tavro project: unknown option '--bogus'"},
  };
  for (const Case& c : cases) {
    const test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
    EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << r.err;
    EXPECT_EQ(r.out, "");
  }
  const test::RunResult help = RunTavro({"project", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: tavro project"), std::string::npos);
}

}  // namespace
}  // namespace tavro
