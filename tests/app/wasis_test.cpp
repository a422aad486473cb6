// The Was-Is file: its readers (fields, sheet names, records, the simple
// form's lines, versions and damage), its writers, and applying an edited
// template to sheet files: swaps and chains rename each part once, the
// simple form renames every gate of a base, and every record that cannot be
// applied is reported.
#include <gtest/gtest.h>

#include <functional>

#include "app/annotate_sheets.h"
#include "app/part_gather.h"
#include "app/wasis_file.h"
#include "app/wasis_job.h"
#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::PartSpec;
using test::ReadAll;
using test::TempDir;

TEST(WasisFileTest, Fields) {
  const struct {
    const char* text;
    std::optional<std::string> name, ref, value;
    std::optional<int> x, y;
  } cases[] = {
      {"Name=\"R\" Ref=\"R1\" Value=\"10k\" x=100 y=-200", "R", "R1", "10k", 100, -200},
      {"Name=\"R\" Ref=\"R1\"", "R", "R1", std::nullopt, std::nullopt, std::nullopt},
      {"X=5 Y=6 Value=\"\"", std::nullopt, std::nullopt, "", 5, 6},
      // A name holding what looks like another key is still one name.
      {"Name=\"Ref=\" Ref=\"U2\"", "Ref=", "U2", std::nullopt, std::nullopt, std::nullopt},
      {"Name=\"a b\"Ref=\"c\"", "a b", "c", std::nullopt, std::nullopt, std::nullopt},
      // The text runs to the next double quote, or to the end.
      {"Ref=\"U1", std::nullopt, "U1", std::nullopt, std::nullopt, std::nullopt},
      // The first of a key counts; a position needs digits within 32 bits.
      {"Ref=\"A\" Ref=\"B\" x=abc y=99999999999", std::nullopt, "A", std::nullopt, std::nullopt,
       std::nullopt},
      {"garbage words = x=+7", std::nullopt, std::nullopt, std::nullopt, 7, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const WasisFields f = ParseWasisFields(c.text);
    EXPECT_EQ(f.name, c.name);
    EXPECT_EQ(f.ref, c.ref);
    EXPECT_EQ(f.value, c.value);
    EXPECT_EQ(f.x, c.x);
    EXPECT_EQ(f.y, c.y);
  }
}

TEST(WasisFileTest, FileNames) {
  const struct {
    const char* text;
    const char* name;
    std::optional<int> index;
  } cases[] = {
      {"\"a1.tcd [1]\"", "a1.tcd", 1},
      {"  \"a1.tcd [12]\"  ", "a1.tcd", 12},
      {"\"my [old] sheet.tcd [3]\"", "my [old] sheet.tcd", 3},
      {"\"a1.tcd\"", "a1.tcd", std::nullopt},
      {"a1.tcd", "a1.tcd", std::nullopt},
      // The bracket is cut whatever it holds; only a number is an index.
      {"\"a1.tcd [x]\"", "a1.tcd", std::nullopt},
      {"\"a [1]\"", "a", 1},
      {"\"[1]\"", "", 1},
      {"[1]\"", "[1]", std::nullopt},  // no "[" after the first character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const WasisSheetName n = ParseWasisFileName(c.text);
    EXPECT_EQ(n.name, c.name);
    EXPECT_EQ(n.index, c.index);
  }
}

constexpr const char* kHead = "Tavro Was-Is File Version 1.03\n#\n";
constexpr const char* kRecord =
    "File:\"a.tcd [1]\"\nOld:Name=\"R\" Ref=\"R1\" x=1 y=2\nNew:Name=\"R\" Ref=\"R2\"\n";

TEST(WasisFileTest, FullFormReading) {
  const struct {
    const char* name;
    std::string text;
    WasisRead::Error error;
    int errorLine;
    size_t records;
    std::vector<int> incomplete;
  } cases[] = {
      {"template", std::string(kHead) + kRecord + "\n" + kRecord, WasisRead::kNone, 0, 2, {}},
      {"CR LF and blanks",
       "  # c\r\n\r\n  Tavro Was-Is File Version 1.03 \r\n  File:\"a\"\r\n"
       "  New:Name=\"R\"\r\n\tOld:Ref=\"R1\" x=1 y=2 \r\n",
       WasisRead::kNone,
       0,
       1,
       {}},
      {"any order",
       std::string(kHead) + "New:Ref=\"R2\"\nOld:Ref=\"R1\" X=1 Y=2\nFile:\"a\"\n",
       WasisRead::kNone,
       0,
       1,
       {}},
      {"incomplete at the end",
       std::string(kHead) + kRecord + "File:\"b\"\n",
       WasisRead::kNone,
       0,
       1,
       {6}},
      {"empty file", "", WasisRead::kVersion, 0, 0, {}},
      {"other version",
       "# x\nTavro Was-Is File Version 1.02\n" + std::string(kRecord),
       WasisRead::kVersion,
       2,
       0,
       {}},
      {"simple form", "U1\tU2\n", WasisRead::kVersion, 1, 0, {}},
      {"a key twice",
       std::string(kHead) + "File:\"a\"\nFile:\"b\"\n",
       WasisRead::kFormat,
       4,
       0,
       {}},
      {"no key", std::string(kHead) + kRecord + "U1 U2\n", WasisRead::kFormat, 6, 0, {}},
      {"no position",
       std::string(kHead) + "File:\"a\"\nOld:Ref=\"R1\" x=1\n",
       WasisRead::kFormat,
       4,
       0,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const WasisRead r = ReadWasisFull(c.text);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.errorLine, c.errorLine);
    EXPECT_EQ(r.records.size(), c.records);
    EXPECT_EQ(r.incomplete, c.incomplete);
  }
  const WasisRead r = ReadWasisFull(std::string(kHead) + kRecord);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(r.records[0].line, 3);
  EXPECT_EQ(r.records[0].sheet.name, "a.tcd");
  EXPECT_EQ(r.records[0].position, CPoint(1, 2));
  EXPECT_EQ(r.records[0].newText, "Name=\"R\" Ref=\"R2\"");
  EXPECT_FALSE(r.records[0].Unchanged());
  EXPECT_EQ(ReadWasisFull("x").Message(), "バージョンが違います (line 1)");
  EXPECT_EQ(ReadWasisFull(std::string(kHead) + "x").Message(),
            "ファイルフォーマットが異常です (line 3)");
}

TEST(WasisFileTest, SimpleFormReading) {
  const WasisRead r = ReadWasisSimple(
      "# comment\n;c\n/c\n\nU1\tU5\nu2,U6\n  R1 ,, R9 # after\nC1,C1\nc2 C2\nD1\nE1,#x\n"
      "F1,F2;x\r\n");
  EXPECT_EQ(r.error, WasisRead::kNone);
  std::vector<std::string> lines;
  for (const auto& l : r.lines)
    lines.push_back(std::to_string(l.line) + ":" + l.oldBase + ">" + l.newBase);
  // Equal bases (letter case aside) change nothing; D1 and E1 have no new base.
  EXPECT_EQ(lines, (std::vector<std::string>{"5:U1>U5", "6:u2>U6", "7:R1>R9", "12:F1>F2"}));
  EXPECT_EQ(r.unusable, (std::vector<int>{10, 11}));
  // A full file is refused, wherever its version line stands.
  const WasisRead full = ReadWasisSimple("U1 U2\nTavro Was-Is File Version 1.03\n");
  EXPECT_EQ(full.error, WasisRead::kVersion);
  EXPECT_EQ(full.errorLine, 2);
  EXPECT_TRUE(full.lines.empty());
}

TEST(WasisFileTest, Writers) {
  CSheetDoc a = test::SheetDoc({{1000, 3000, "R1", "R", "10k"}, {2000, 1000, "U1A", "7400"}});
  CSheetDoc b = test::SheetDoc({{1000, 1000, "u1B", "7400", "7400", 4, 1}});
  const GatherSource sources[] = {{&a, "/p/a.tcd", 1}, {&b, "/p/b.tcd", 2}};
  GatheredParts g;
  ASSERT_TRUE(GatherParts(sources, true, g));
  EXPECT_EQ(WriteWasisFull(g.Sheet(), "/p/p.tpj"),
            "Tavro Was-Is File Version 1.03\n#\n"
            "# Project File Name:\n#  /p/p.tpj\n#\n"
            "#\n#---- \"a.tcd [1]\" ----\n#\n"
            "File:\"a.tcd [1]\"\n"
            "Old:Name=\"R\" Ref=\"R1\" Value=\"10k\" x=1000 y=3000\n"
            "New:Name=\"R\" Ref=\"R1\" Value=\"10k\"\n\n"
            "File:\"a.tcd [1]\"\n"
            "Old:Name=\"7400\" Ref=\"U1A\" x=2000 y=1000\n"
            "New:Name=\"7400\" Ref=\"U1A\"\n\n"
            "#\n#---- \"b.tcd [2]\" ----\n#\n"
            "File:\"b.tcd [2]\"\n"
            "Old:Name=\"7400\" Ref=\"u1B\" Value=\"7400\" x=1000 y=1000\n"
            "New:Name=\"7400\" Ref=\"u1B\" Value=\"7400\"\n\n");
  ASSERT_EQ(g.Sheet().SortPartRef(), 0);
  // One line per base, letter case aside.
  EXPECT_EQ(WriteWasisSimple(g.Sheet()), "R1\tR1\nU1\tU1\n");
}

// Applying to sheet files: the template of the sheets (or a simple file) is
// edited, applied and the files read back.
struct ApplyCase {
  const char* name;
  std::vector<std::vector<PartSpec>> sheets;
  bool simple;
  // Full form: edits of the template (from, to); simple form: the file.
  std::vector<std::pair<std::string, std::string>> edits;
  std::string simpleText;
  // After: "REF/VALUE" of each part, sheet by sheet.
  std::vector<std::vector<std::string>> parts;
  std::vector<std::string> conflicts;  // a piece of each conflict, in order
};

const std::vector<PartSpec> kSheetA = {
    {1000, 3000, "R1", "R", "10k"}, {2000, 3000, "R2", "R", "22k"}, {3000, 3000, "R3", "R", "1k"}};
const std::vector<PartSpec> kGates = {{1000, 3000, "U1A", "7400", "7400", 4, 0},
                                      {2000, 3000, "U1B", "7400", "7400", 4, 1},
                                      {3000, 3000, "U1", "LM358", "LM358"},
                                      {4000, 3000, "U2", "LM358", "LM358"},
                                      {5000, 3000, "U12", "LM358", "LM358"}};

std::pair<std::string, std::string> New(const char* from, const char* to) {
  return {std::string("New:Name=\"R\" Ref=\"") + from, std::string("New:Name=\"R\" Ref=\"") + to};
}

class WasisApplyTest : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(WasisApplyTest, RenamesAndReports) {
  const ApplyCase& c = GetParam();
  TempDir tmp;
  std::vector<std::string> inputs;
  for (size_t i = 0; i < c.sheets.size(); ++i) {
    CSheetDoc d = test::SheetDoc(c.sheets[i]);
    inputs.push_back(tmp.file(std::string(1, char('a' + i)) + ".tcd"));
    ASSERT_TRUE(d.Save(inputs.back(), false).ok);
  }
  WasisOptions o;
  o.simple = c.simple;
  o.filePath = tmp.file("edited.tws");
  std::string text = c.simpleText;
  if (!c.simple) {
    WasisOptions w;
    w.writeFile = false;
    const WasisWriteResult t = RunWasisWrite(inputs, w);
    ASSERT_EQ(t.status, WasisWriteResult::kOk) << t.message;
    text = t.text;
    for (const auto& [from, to] : c.edits) {
      const size_t at = text.find(from);
      ASSERT_NE(at, std::string::npos) << from;
      text.replace(at, from.size(), to);
    }
  }
  test::WriteAll(o.filePath, text);
  AnnotateCallbacks cb;
  cb.loader = ReadSheetFileForChange;
  cb.writeBack = [](const SheetChanges& s, std::string& error) {
    const SheetWriteResult w = SaveSheetChanges(s, SaveOptions{});
    error = w.message;
    return w.ok;
  };
  const WasisApplyResult r = RunWasisApply(inputs, o, cb);
  ASSERT_EQ(r.status, WasisApplyResult::kOk) << r.message;
  for (size_t i = 0; i < c.sheets.size(); ++i) {
    CSheetDoc back;
    ASSERT_TRUE(back.Open(inputs[i]).ok);
    std::vector<std::string> parts;
    for (const auto& p : back.GetSheet().Parts())
      parts.push_back(Cp932ToUtf8(p->GetRefName()) + "/" + Cp932ToUtf8(p->GetValName()));
    EXPECT_EQ(parts, c.parts[i]) << "sheet " << i;
  }
  ASSERT_EQ(r.conflicts.size(), c.conflicts.size()) << ::testing::PrintToString(r.conflicts);
  for (size_t i = 0; i < c.conflicts.size(); ++i)
    EXPECT_NE(r.conflicts[i].find(c.conflicts[i]), std::string::npos) << r.conflicts[i];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WasisApplyTest,
    ::testing::Values(
        // Each New line is held by its Old line: nothing changes.
        ApplyCase{"TemplateUnchanged",
                  {kSheetA, kGates},
                  false,
                  {},
                  "",
                  {{"R1/10k", "R2/22k", "R3/1k"},
                   {"U1A/7400", "U1B/7400", "U1/LM358", "U2/LM358", "U12/LM358"}},
                  {}},
        ApplyCase{"Swap",
                  {kSheetA},
                  false,
                  {New("R1", "R2"), New("R2\" Value=\"22k", "R1\" Value=\"22k")},
                  "",
                  {{"R2/10k", "R1/22k", "R3/1k"}},
                  {}},
        ApplyCase{"Chain",
                  {kSheetA},
                  false,
                  {New("R1", "R2"), New("R2\" Value=\"22k", "R3\" Value=\"22k"),
                   New("R3\" Value=\"1k", "R4\" Value=\"1k")},
                  "",
                  {{"R2/10k", "R3/22k", "R4/1k"}},
                  {}},
        // An empty or missing value leaves the value; a value given replaces it.
        ApplyCase{"Values",
                  {kSheetA},
                  false,
                  {{"Ref=\"R1\" Value=\"10k\"\n", "Ref=\"R5\" Value=\"\"\n"},
                   {"Ref=\"R2\" Value=\"22k\"\n", "Ref=\"R6\"\n"},
                   {"Ref=\"R3\" Value=\"1k\"\n", "Ref=\"R3\" Value=\"2k2\"\n"}},
                  "",
                  {{"R5/10k", "R6/22k", "R3/2k2"}},
                  {}},
        // A part that moved since the template is not found, and says so.
        ApplyCase{"MovedPart",
                  {kSheetA},
                  false,
                  {{"x=1000 y=3000", "x=1100 y=3000"}, New("R1", "R7")},
                  "",
                  {{"R1/10k", "R2/22k", "R3/1k"}},
                  {"line 9: no part matches Old:"}},
        // The Old reference matches whatever its letter case.
        ApplyCase{"OldRefAnyCase",
                  {kSheetA},
                  false,
                  {{"Old:Name=\"R\" Ref=\"R1\"", "Old:Name=\"R\" Ref=\"r1\""}, New("R1", "R8")},
                  "",
                  {{"R8/10k", "R2/22k", "R3/1k"}},
                  {}},
        // Two records name one part: the first wins, the second is reported.
        ApplyCase{"OnePartTwice",
                  {kSheetA},
                  false,
                  {New("R1", "R7"),
                   {"File:\"a.tcd [1]\"\nOld:Name=\"R\" Ref=\"R2\"",
                    "File:\"a.tcd [1]\"\nOld:Name=\"R\" Ref=\"R1\" Value=\"10k\" x=1000 y=3000\n"
                    "New:Name=\"R\" Ref=\"R9\"\n\nFile:\"a.tcd [1]\"\nOld:Name=\"R\" Ref=\"R2\""}},
                  "",
                  {{"R7/10k", "R2/22k", "R3/1k"}},
                  {"line 13: the part of Old:Name=\"R\" Ref=\"R1\" Value=\"10k\" x=1000 y=3000 in "
                   "a.tcd is "
                   "changed by line 9 already"}},
        // A new reference another part keeps is applied, and reported.
        ApplyCase{"DuplicateAfterTheChange",
                  {kSheetA},
                  false,
                  {New("R1", "R3")},
                  "",
                  {{"R3/10k", "R2/22k", "R3/1k"}},
                  {"line 9: R3 in a.tcd: another part carries R3"}},
        // A record for a sheet that is not covered.
        ApplyCase{"SheetNotCovered",
                  {kSheetA},
                  false,
                  {{"File:\"a.tcd [1]\"", "File:\"z.tcd [1]\""}, New("R1", "R7")},
                  "",
                  {{"R1/10k", "R2/22k", "R3/1k"}},
                  {"line 9: no sheet \"z.tcd\""}},
        // The simple form: every gate of the base, whatever the case in the file.
        ApplyCase{"SimpleGates",
                  {kGates},
                  true,
                  {},
                  "U1,U5\n",
                  {{"U5A/7400", "U5B/7400", "U5/LM358", "U2/LM358", "U12/LM358"}},
                  {}},
        ApplyCase{"SimpleLowerCase",
                  {kGates},
                  true,
                  {},
                  "u1\tU5\n",
                  {{"U5A/7400", "U5B/7400", "U5/LM358", "U2/LM358", "U12/LM358"}},
                  {}},
        ApplyCase{"SimpleChainAndSwap",
                  {kGates, kSheetA},
                  true,
                  {},
                  "U1 U2\nU2 U1\nR1,R2\nR2,R3\n",
                  {{"U2A/7400", "U2B/7400", "U2/LM358", "U1/LM358", "U12/LM358"},
                   {"R2/10k", "R3/22k", "R3/1k"}},
                  {"line 4: R3 in b.tcd: another part carries R3"}},
        ApplyCase{"SimpleConflicts",
                  {kGates},
                  true,
                  {},
                  "U1,U5\nu1 U6\nU9,U10\nU2\n",
                  {{"U5A/7400", "U5B/7400", "U5/LM358", "U2/LM358", "U12/LM358"}},
                  {"line 2: U1A in a.tcd is changed by line 1", "line 2: U1B", "line 2: U1 in",
                   "line 3: no part has the reference U9", "line 4: no old or no new"}}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST(WasisJobTest, ADamagedOrForeignFileChangesNothing) {
  TempDir tmp;
  CSheetDoc d = test::SheetDoc(kSheetA);
  const std::string sheet = tmp.file("a.tcd");
  ASSERT_TRUE(d.Save(sheet, false).ok);
  const std::string before = ReadAll(sheet);
  const std::string inputs[] = {sheet};
  const struct {
    const char* name;
    std::string text;
    bool simple;
    const char* message;
  } cases[] = {
      // The first record is good; the damage after it stops the whole file.
      {"format",
       std::string(kHead) + "File:\"a.tcd [1]\"\nOld:Name=\"R\" Ref=\"R1\" Value=\"10k\" x=1000 "
                            "y=3000\nNew:Ref=\"R9\"\nOld:x=1\n",
       false, "ファイルフォーマットが異常です (line 6)"},
      {"version", "Tavro Was-Is File Version 1.00\n", false, "バージョンが違います (line 1)"},
      {"full file read as simple", "R1 R9\n" + std::string(kHead), true,
       "バージョンが違います (line 2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WasisOptions o;
    o.simple = c.simple;
    o.filePath = tmp.file("x.tws");
    test::WriteAll(o.filePath, c.text);
    AnnotateCallbacks cb;
    cb.writeBack = [](const SheetChanges& s, std::string& error) {
      const SheetWriteResult w = SaveSheetChanges(s, SaveOptions{});
      error = w.message;
      return w.ok;
    };
    const WasisApplyResult r = RunWasisApply(inputs, o, cb);
    EXPECT_EQ(r.status, WasisApplyResult::kFailed);
    EXPECT_EQ(r.message.rfind(c.message, 0), 0u) << r.message;
    EXPECT_EQ(ReadAll(sheet), before);
  }
  // A file that is not there.
  WasisOptions o;
  o.filePath = tmp.file("none.tws");
  const WasisApplyResult r = RunWasisApply(inputs, o);
  EXPECT_EQ(r.status, WasisApplyResult::kFailed);
  EXPECT_NE(r.message.find("none.tws"), std::string::npos);
}

TEST(WasisJobTest, TheIndexTellsSheetsOfOneNameApart) {
  // Two sheets named a.tcd in two folders: the index of the File line says
  // which one; without it the record is reported.
  TempDir tmp;
  std::filesystem::create_directory(tmp.file("sub"));
  const std::string inputs[] = {tmp.file("a.tcd"), tmp.file("sub/a.tcd")};
  for (const std::string& path : inputs) ASSERT_TRUE(test::SheetDoc(kSheetA).Save(path, false).ok);
  WasisOptions o;
  o.filePath = tmp.file("x.tws");
  test::WriteAll(o.filePath, std::string(kHead) +
                                 "File:\"a.tcd [2]\"\nOld:Name=\"R\" Ref=\"R1\" Value=\"10k\" "
                                 "x=1000 y=3000\nNew:Ref=\"R9\"\n"
                                 "File:\"a.tcd\"\nOld:Name=\"R\" Ref=\"R2\" Value=\"22k\" "
                                 "x=2000 y=3000\nNew:Ref=\"R8\"\n");
  const WasisApplyResult r = RunWasisApply(inputs, o);
  ASSERT_EQ(r.status, WasisApplyResult::kOk) << r.message;
  ASSERT_EQ(r.sheets.size(), 1u);
  EXPECT_EQ(r.sheets[0].path, inputs[1]);
  EXPECT_EQ(r.sheets[0].changes.size(), 1u);
  ASSERT_EQ(r.conflicts.size(), 1u);
  EXPECT_NE(r.conflicts[0].find("line 6: several sheets"), std::string::npos) << r.conflicts[0];
  // Without a write-back the files stay as they were.
  EXPECT_EQ(test::Refs([&] {
              CSheetDoc d;
              d.Open(inputs[1]);
              return CSheet(d.GetSheet());
            }()),
            (std::vector<std::string>{"R1", "R2", "R3"}));
  // The report names the sheets from the first one's folder.
  EXPECT_EQ(WasisReport(r), (std::vector<std::string>{
                                "sub/a.tcd\tR1 -> R9\tR\t10k",
                                "conflict: " + r.conflicts[0],
                            }));
}

}  // namespace
}  // namespace tavro
