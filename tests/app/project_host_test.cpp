// The command line's macro host: numbering, path, author and properties from
// the project file, everything else passed to the host it wraps.
#include "app/project_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/covered_sheets.h"
#include "core/file/document.h"
#include "core/platform/codec.h"
#include "core/platform/font.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::TempDir;
using test::WriteAll;

// A project of three files, the second unchecked and in a sub-folder.
std::string WriteProject(const TempDir& dir) {
  const std::string path = dir.file("設計.tpj");
  WriteAll(path, J("Project File Ver 0.03\n"
                   "1:main.tcd\n"
                   "0:sub\\power.tcd\n"
                   "1:third.tcd\n"
                   "EndFileList\n"
                   "Property List\n"
                   "&SHEETNO&図-1\n"
                   "&Author&Hanako\n"
                   "EndPropertyList\n"));
  return path;
}

TEST(ProjectHostTest, AnswersFromTheProject) {
  TempDir dir;
  WriteProject(dir);
  test::RecordingHost target;
  // Given with a detour; the host works with the normalised full path.
  ProjectHost host(target, dir.file(".") + "/" + "設計.tpj");
  ASSERT_TRUE(host.HasProject());
  struct Case {
    std::string path;
    int number;
  } cases[] = {
      {dir.file("main.tcd"), 1},
      {dir.file("sub/power.tcd"), 2},  // unchecked entries keep their number
      {dir.file("third.tcd"), 3},
      {dir.file("sub/../third.tcd"), 3},
      {dir.file("MAIN.TCD"), 1},  // a list written where names ignore case
      {dir.file("other.tcd"), 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(host.ProjectFileNumber(c.path), c.number) << c.path;
  EXPECT_EQ(host.ProjectFileCount(), 3);
  EXPECT_EQ(host.ProjectPath(), Utf8ToCp932(dir.file("設計.tpj")));
  EXPECT_EQ(host.Author(), "Hanako");
  EXPECT_EQ(host.ProjectProperty("sheetno"), J("図-1"));
  EXPECT_EQ(host.ProjectProperty("SHEETNO"), J("図-1"));
  EXPECT_EQ(host.ProjectProperty("PDFTITLE"), "");
  EXPECT_EQ(host.ProjectProperty(""), "");
}

TEST(ProjectHostTest, WithoutAProjectAnswersAsTheDefaultHost) {
  TempDir dir;
  WriteAll(dir.file("notes.tpj"), "Hello\n1:main.tcd\nEndFileList\n&SHEETNO&x\n");
  test::RecordingHost target;
  for (const std::string& project :
       {std::string(), dir.file("notes.tpj"), dir.file("missing.tpj")}) {
    ProjectHost host(target, project);
    EXPECT_FALSE(host.HasProject()) << project;
    EXPECT_EQ(host.ProjectFileNumber(dir.file("main.tcd")), 0) << project;
    EXPECT_EQ(host.ProjectFileCount(), 0) << project;
    EXPECT_EQ(host.ProjectPath(), "") << project;
    EXPECT_EQ(host.Author(), "") << project;
    EXPECT_EQ(host.ProjectProperty("SHEETNO"), "") << project;
  }
}

// A wrapped host with an answer of its own for every call.
class TargetHost : public test::RecordingHost {
 public:
  int FontNo(const LogFont&) override { return 7; }
  uint32_t DisplayColor(int item) override { return 0x100u + static_cast<uint32_t>(item); }
  bool DisplaySwitch(int item) override { return item == kDispTitle; }
};

TEST(ProjectHostTest, ForwardsEverythingElse) {
  TempDir dir;
  TargetHost target;
  target.openFiles = {"/x/a.tcd"};
  target.gridStep = 50;
  target.cancelAtStep = 1;
  ProjectHost host(target, WriteProject(dir));
  host.BeginStage(kStagePdf, 4);
  EXPECT_EQ(host.Step(true), 0);
  EXPECT_EQ(host.Step(false), 1);  // the wrapped host's cancel
  ASSERT_EQ(target.stages.size(), 1u);
  EXPECT_EQ(target.stages[0].stage, kStagePdf);
  EXPECT_EQ(target.stages[0].total, 4);
  EXPECT_EQ(target.steps, 1);
  EXPECT_EQ(target.polls, 1);
  EXPECT_TRUE(host.IsFileOpen("/x/a.tcd"));
  EXPECT_FALSE(host.IsFileOpen("/x/b.tcd"));
  EXPECT_EQ(host.GridStep(), 50);
  EXPECT_EQ(host.FontNo(LogFont()), 7);
  EXPECT_EQ(host.DisplayColor(kDispWire), 0x101u);
  EXPECT_TRUE(host.DisplaySwitch(kDispTitle));
  EXPECT_FALSE(host.DisplaySwitch(kDispWire));
}

TEST(ProjectHostTest, NumbersTheTitleBlockOfASheet) {
  TempDir dir;
  const std::string project = WriteProject(dir);
  CSheetDoc doc;
  ASSERT_TRUE(doc.Save(dir.file("third.tcd"), false).ok);
  const CText text(J("&P&/&T& &PFILE2& &SHEETNO& &AUTHOR&"), {0, 0}, 70, kOrgBottomLeft);

  test::RecordingHost target;
  std::string error;
  const std::vector<std::string> inputs = {project};
  const auto coverage = ResolveCoverage(inputs, false, error);
  ASSERT_TRUE(coverage) << error;
  ProjectHost host(target, *coverage);
  {
    ScopedHost scoped(&host);
    EXPECT_EQ(doc.GetSheet().GetPrintProperty(text, doc), J("3/3 設計 図-1 Hanako"));
  }
  // Sheets given without a project: no numbers, the macros of the project stay.
  const std::vector<std::string> sheets = {dir.file("third.tcd")};
  const auto sheetsOnly = ResolveCoverage(sheets, false, error);
  ASSERT_TRUE(sheetsOnly) << error;
  ProjectHost none(target, *sheetsOnly);
  ScopedHost scoped(&none);
  EXPECT_EQ(doc.GetSheet().GetPrintProperty(text, doc), J("--/-- &PFILE2& &SHEETNO& &AUTHOR&"));
}

}  // namespace
}  // namespace tavro
