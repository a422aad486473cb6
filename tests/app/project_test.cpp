#include "app/project.h"

#include <gtest/gtest.h>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(ProjectFileTest, VersionOfTheFirstLine) {
  struct Case {
    const char* line;
    int version;
  } cases[] = {
      {"Project File Ver 0.03", 3}, {"Project File Ver 0.01", 1}, {"xx Project File Ver 1.2", 12},
      {"Project File Ver 0.00", 0}, {"Project file ver 0.03", 0}, {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ProjectFile::ParseVersion(c.line), c.version) << c.line;
}

TEST(ProjectFileTest, ReadsVersion3WithFlagsCommentsAndRelativePaths) {
  TempDir dir;
  std::string proj = dir.file("amp.tpj");
  WriteAll(proj,
           "Project File Ver 0.03\r\n"
           "1:main.tcd\r\n"
           "# a comment\r\n"
           "0:  sub\\power.tcd\r\n"
           "1:/abs/other.tcd\r\n"
           "EndFileList   \r\n"
           "1:after.tcd\r\n");
  std::vector<std::string> files;
  ASSERT_EQ(ProjectFile::ReadFileList(proj, files, false, false), 2);
  EXPECT_EQ(files[0], dir.file("main.tcd"));
  EXPECT_EQ(files[1], "/abs/other.tcd");

  ASSERT_EQ(ProjectFile::ReadFileList(proj, files, true, true), 3);
  EXPECT_EQ(files[0], "1:" + dir.file("main.tcd"));
  EXPECT_EQ(files[1], "0:" + dir.file("sub/power.tcd"));
  EXPECT_EQ(files[2], "1:/abs/other.tcd");
}

TEST(ProjectFileTest, NotAProjectFile) {
  TempDir dir;
  std::vector<std::string> files{"stale"};
  EXPECT_EQ(ProjectFile::ReadFileList(dir.file("missing.tpj"), files, true, false), -1);
  EXPECT_TRUE(files.empty());
  WriteAll(dir.file("bad.tpj"), "Hello\n1:a.tcd\nEndFileList\n");
  EXPECT_EQ(ProjectFile::ReadFileList(dir.file("bad.tpj"), files, true, false), -1);
  WriteAll(dir.file("empty.tpj"), "");
  EXPECT_EQ(ProjectFile::ReadFileList(dir.file("empty.tpj"), files, true, false), -1);
}

TEST(ProjectFileTest, Version1IsAllCheckedAndRewritesAsVersion3) {
  TempDir dir;
  std::string proj = dir.file("old.tpj");
  WriteAll(proj, "Project File Ver 0.01\na.tcd\nsub\\b.tcd\nEndFileList\n");
  auto entries = ProjectFile::ReadEntries(proj);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_TRUE((*entries)[0].checked && (*entries)[1].checked);
  ASSERT_TRUE(ProjectFile::WriteFileList(proj, *entries));
  EXPECT_EQ(ReadAll(proj), "Project File Ver 0.03\n1:a.tcd\n1:sub\\b.tcd\nEndFileList\n");
}

TEST(ProjectFileTest, WritesPathsRelativeWherePossible) {
  TempDir dir;
  std::string proj = dir.file("p.tpj");
  std::vector<ProjectEntry> entries = {
      {dir.file("a.tcd"), true},  {dir.file("sub/deeper/b.tcd"), false},
      {"/elsewhere/c.tcd", true}, {"\\\\server\\share\\d.tcd", true},
      {"D:\\work\\e.tcd", false},
  };
  ASSERT_TRUE(ProjectFile::WriteFileList(proj, entries));
  EXPECT_EQ(ReadAll(proj),
            "Project File Ver 0.03\n1:a.tcd\n0:sub\\deeper\\b.tcd\n1:/elsewhere/c.tcd\n"
            "1:\\\\server\\share\\d.tcd\n0:D:\\work\\e.tcd\nEndFileList\n");
  auto back = ProjectFile::ReadEntries(proj);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ((*back)[i].path, entries[i].path);
    EXPECT_EQ((*back)[i].checked, entries[i].checked);
  }
}

TEST(ProjectFileTest, JapaneseNamesConvertAtTheBoundary) {
  // "表" and "ソ" end in the byte 0x5C in CP932: it is not a folder separator.
  TempDir dir;
  std::string proj = dir.file("p.tpj");
  std::string stored = J("1:表\\ソ.tcd");
  ASSERT_EQ(stored.size(), 2u + 2 + 1 + 2 + 4);
  WriteAll(proj, "Project File Ver 0.03\n" + stored + "\nEndFileList\n");
  auto entries = ProjectFile::ReadEntries(proj);
  ASSERT_TRUE(entries && entries->size() == 1);
  EXPECT_EQ((*entries)[0].path, dir.file("表/ソ.tcd"));
  ASSERT_TRUE(ProjectFile::WriteFileList(proj, *entries));
  EXPECT_EQ(ReadAll(proj), "Project File Ver 0.03\n" + stored + "\nEndFileList\n");
}

TEST(ProjectFileTest, PropertiesAndFileListSurviveEachOther) {
  TempDir dir;
  std::string proj = dir.file("p.tpj");
  WriteAll(proj,
           "Project File Ver 0.03\n1:a.tcd\nEndFileList\nPropaty List\n&SHEETNO&A-1\n"
           "not a property\n&SETNAME&Amp\nEndPropatyList\n");
  // Replacing an existing property keeps its place; the old marker is renamed.
  ASSERT_TRUE(ProjectFile::SetProperty(proj, "SHEETNO", "B-2"));
  EXPECT_EQ(ReadAll(proj),
            "Project File Ver 0.03\n1:a.tcd\nEndFileList\nProperty List\n&SHEETNO&B-2\n"
            "not a property\n&SETNAME&Amp\nEndPropatyList\n");
  // A new property goes just before the end of the list, "&" escaped.
  ASSERT_TRUE(ProjectFile::SetProperty(proj, "PDFTITLE", "R&D"));
  EXPECT_EQ(ProjectFile::GetProperty(proj, "pdftitle"), "R&D");
  EXPECT_EQ(ProjectFile::GetProperty(proj, "SETNAME"), "Amp");
  EXPECT_EQ(ProjectFile::GetProperty(proj, "NONE"), "");

  // Rewriting the file list keeps the properties unchanged and in order.
  std::string before = ReadAll(proj);
  std::string tail = before.substr(before.find("EndFileList\n") + 12);
  ASSERT_TRUE(ProjectFile::WriteFileList(proj, {{dir.file("x.tcd"), false}}));
  std::string after = ReadAll(proj);
  EXPECT_EQ(after, "Project File Ver 0.03\n0:x.tcd\nEndFileList\n" + tail);
  auto props = ProjectFile::GetProperties(proj);
  ASSERT_EQ(props.size(), 3u);
  EXPECT_EQ(props[0], (std::pair<std::string, std::string>{"SHEETNO", "B-2"}));
  EXPECT_EQ(props[2], (std::pair<std::string, std::string>{"PDFTITLE", "R&D"}));
}

TEST(ProjectFileTest, SetPropertyWithoutAListAppendsOne) {
  TempDir dir;
  std::string proj = dir.file("p.tpj");
  WriteAll(proj, "Project File Ver 0.03\n1:a.tcd\nEndFileList\n");
  ASSERT_TRUE(ProjectFile::SetProperty(proj, "PCBMAKE", "10"));
  EXPECT_EQ(ReadAll(proj),
            "Project File Ver 0.03\n1:a.tcd\nEndFileList\nProperty List\n&PCBMAKE&10\n"
            "EndPropertyList\n");
  EXPECT_FALSE(ProjectFile::SetProperty(dir.file("missing.tpj"), "A", "1"));
}

TEST(ProjectFileTest, UpdatePropertiesRemovesThenSetsInOneWrite) {
  TempDir dir;
  std::string proj = dir.file("p.tpj");
  const std::string head = "Project File Ver 0.03\n1:a.tcd\nEndFileList\n";
  WriteAll(proj, head +
                     "Propaty List\n&SHEETNO&A-1\n# kept\n&setname&Amp\n&SETNAME&dup\n"
                     "&PCBMAKE&5\nEndPropatyList\n&SETNAME&outside the list\n");
  // Every line of a removed name goes (case aside), other lines stay in place;
  // the set replaces in place or adds before the end of the list.
  ASSERT_TRUE(ProjectFile::UpdateProperties(proj, {"SetName", "NONE"},
                                            {{"PCBMAKE", "6"}, {"PDFTITLE", "T"}}));
  EXPECT_EQ(ReadAll(proj), head +
                               "Property List\n&SHEETNO&A-1\n# kept\n&PCBMAKE&6\n&PDFTITLE&T\n"
                               "EndPropatyList\n&SETNAME&outside the list\n");
  // Removing the last property leaves the markers around an empty list.
  ASSERT_TRUE(ProjectFile::UpdateProperties(proj, {"SHEETNO", "PCBMAKE", "PDFTITLE"}, {}));
  EXPECT_EQ(ReadAll(proj), head +
                               "Property List\n# kept\nEndPropatyList\n"
                               "&SETNAME&outside the list\n");
  EXPECT_TRUE(ProjectFile::GetProperties(proj).empty());

  // A file that cannot be written is left as it was.
  const std::string before = ReadAll(proj);
  std::string error;
  EXPECT_FALSE(ProjectFile::UpdateProperties(dir.file("missing.tpj"), {"A"}, {}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadAll(proj), before);
}

TEST(ProjectFileTest, CheckPropertyRefusesWhatCannotBeReadBack) {
  struct Case {
    const char* name;
    const char* value;
    bool good;
  } cases[] = {
      {"SHEETNO", "A-1", true},
      {" SETNAME ", " Amp ", true},
      {"PDFTITLE", "R&D \\&", true},
      {"EMPTY", "", true},
      {"", "x", false},
      {"  ", "x", false},
      {"A&B", "x", false},
      {"NAME\\", "x", false},
      {"LINE", "a\nb", false},
      {"LI\rNE", "x", false},
  };
  for (const Case& c : cases) {
    auto problem = ProjectFile::CheckProperty(c.name, c.value);
    EXPECT_EQ(!problem.has_value(), c.good) << c.name << "=" << c.value;
    if (!c.good) continue;
    // What the check lets through comes back from the file as it was given.
    TempDir dir;
    std::string proj = dir.file("p.tpj");
    WriteAll(proj, "Project File Ver 0.03\nEndFileList\n");
    ASSERT_TRUE(ProjectFile::SetProperty(proj, c.name, c.value));
    auto props = ProjectFile::GetProperties(proj);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].first, Trim(c.name));
    EXPECT_EQ(props[0].second, Trim(c.value));
  }
}

}  // namespace
}  // namespace tavro
