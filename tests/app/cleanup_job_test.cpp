// The clean-up job: the log of a two-sheet project (tests/data/cleanup,
// derived by hand in the README there), the reference rules one by one, a
// tidying refused because it would change the nets, a second run that finds
// nothing, and what is written when: saved sheets, dry runs, a log that
// cannot be written, a stop after the first sheet.
#include "app/cleanup_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/cleanup_log.h"
#include "app/cli/doc_input.h"
#include "app/part_gather.h"
#include "core/file/document.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::MatchesGolden;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A part of the fixtures: a 200 x 200 box at (x, y) with pin "1" ending at
// x - 200 and pin "2" at x + 200 (other numbers through `pins`).
std::string Part(int x, int y, const std::string& ref, const std::string& value = "10k",
                 int gates = 1, int gate = 0, const char* pin1 = "1", const char* pin2 = "2") {
  auto n = [](int v) { return std::to_string(v); };
  return "Part " + n(x) + " " + n(y) + " " + n(x - 100) + " " + n(y - 100) + " " + n(x + 100) +
         " " + n(y + 100) + " " + n(gates) + " " + n(gate) + " 0 0\n" + "Name \"R\" " + n(x) + " " +
         n(y - 150) + " 65 8\nRef \"" + ref + "\" " + n(x) + " " + n(y + 150) + " 65 8\nVal \"" +
         value + "\" " + n(x) + " " + n(y - 250) + " 65 8\nPin " + n(x - 100) + " " + n(y) + " " +
         n(x - 200) + " " + n(y) + " 0\nNo \"" + pin1 + "\" " + n(x - 150) + " " + n(y) +
         " 70 8\nPin " + n(x + 100) + " " + n(y) + " " + n(x + 200) + " " + n(y) + " 0\nNo \"" +
         pin2 + "\" " + n(x + 150) + " " + n(y) + " 70 8\nPartEnd\n";
}

class CleanupJobTest : public ::testing::Test {
 protected:
  // A sheet file (.tcd) from its text form.
  std::string Sheet(const std::string& name, const std::string& text) {
    CSheetDoc d;
    EXPECT_TRUE(d.LoadText(text, name, false).ok);
    const std::string path = tmp_.file(name);
    EXPECT_TRUE(d.Save(path, false).ok);
    return path;
  }
  std::string Project(const std::vector<std::string>& sheets) {
    std::string s = "Project File Ver 0.03\n";
    for (const std::string& f : sheets) s += "1:" + fs::path(f).filename().string() + "\n";
    WriteAll(tmp_.file("p.tpj"), s + "EndFileList\n");
    return tmp_.file("p.tpj");
  }
  static std::string Text(const std::string& path) {
    CSheetDoc d;
    EXPECT_TRUE(d.Open(path).ok);
    return d.WriteText();
  }
  static CleanupCallbacks Saving() { return FileTidyCallbacks(nullptr, SaveOptions{}, false); }

  TempDir tmp_;
};

// ---------------------------------------------------------------------------
// The log

TEST_F(CleanupJobTest, LogOfTheProjectMatchesTheHandDerivedFiles) {
  CleanupOptions o;
  o.missing = true;
  o.unixLineEnds = true;
  o.outputPath = tmp_.file("clean.log");
  CleanupCallbacks cb;
  cb.loader = cli::ReadInputDocument;  // the sheets are text forms; nothing is written back
  const std::string inputs[] = {DataPath("cleanup/project/clean.tpj")};
  const CleanupResult r = RunCleanup(inputs, o, cb);
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  EXPECT_TRUE(MatchesGolden(r.text, "cleanup/project/expected.log"));
  EXPECT_EQ(ReadAll(o.outputPath), r.text);
  ASSERT_EQ(r.sheets.size(), 2u);
  EXPECT_TRUE(r.sheets[0].changed);
  EXPECT_EQ(r.sheets[0].counts.empty, 1);
  EXPECT_EQ(r.sheets[0].counts.lines, 2);
  EXPECT_FALSE(r.sheets[0].written);
  EXPECT_FALSE(r.sheets[1].changed);

  // The HTML log of the same findings, the sheets recorded under /design.
  bool found = false;
  const HtmlTemplate tmpl =
      HtmlTemplate::Load(std::string(TAVRO_SOURCE_DIR) + "/data/tavrohtml.dat", &found);
  ASSERT_TRUE(found);
  const std::vector<LogSheet> sheets = {{"top.txt", "/design/top.txt", 1},
                                        {"bottom.txt", "/design/bottom.txt", 2}};
  const std::string html = ComposeCleanupHtml(
      r.findings, sheets, tmpl, {"/design/top.txt", "/design/bottom.txt"}, "2023/11/15  07:13:20");
  EXPECT_TRUE(MatchesGolden(html, "cleanup/project/expected.log.html"));

  // By sheet: one block of highest numbers per sheet, and no missing numbers.
  o.bySheet = true;
  const CleanupResult bySheet = RunCleanup(inputs, o, cb);
  ASSERT_EQ(bySheet.status, CleanupResult::kOk) << bySheet.message;
  const std::string log = Cp932ToUtf8(bySheet.text);
  EXPECT_NE(log.find("最終部品番号(シート毎)\ntop.txt\n    R12     U2     C3\nbottom.txt\n"
                     "    R11     Q2     C2\n\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("欠番部品番号"), std::string::npos);
}

// The reference rules on parts gathered in the order given.
TEST_F(CleanupJobTest, ReferenceRules) {
  struct Case {
    const char* what;
    std::vector<std::string> parts;  // text form of each part
    std::vector<std::string> duplicates = {}, undecided = {}, errors = {}, suffix = {};
  } cases[] = {
      {"equal references, letter case ignored",
       {Part(0, 0, "R1"), Part(0, 0, "r1"), Part(0, 0, "R2")},
       {"R1", "r1"}},
      {"one of prefix and number with a suffix",
       {Part(0, 0, "U1", "X", 2, 0), Part(0, 0, "U1A", "X", 2, 0)},
       {"U1", "U1A"},
       {},
       {},
       {"U1"}},
      {"gates of one package with another value",
       {Part(0, 0, "U1A", "LM358", 2, 0), Part(0, 0, "U1B", "lm358", 2, 1),
        Part(0, 0, "U1C", "TL072", 2, 0)},
       {"U1A", "U1B", "U1C"}},
      {"undecided references are not compared",
       {Part(0, 0, "R?"), Part(0, 0, "R?"), Part(0, 0, "R0"), Part(0, 0, "TP")},
       {},
       {"R?", "R?"},
       {"R0", "TP"}},
      {"a suffix on a single part", {Part(0, 0, "R1A")}, {}, {}, {}, {"R1A"}},
  };
  auto refs = [](const std::vector<PartFinding>& list) {
    std::vector<std::string> out;
    for (const PartFinding& p : list) out.push_back(p.ref);
    return out;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GatheredParts gathered;
    for (const std::string& text : c.parts) {
      CSheetDoc d;
      ASSERT_TRUE(d.LoadText(text, "s", false).ok);
      gathered.Add(*d.GetSheet().Parts()[0], {});
    }
    CleanupFindings f;
    std::vector<std::string> warnings;
    ASSERT_TRUE(CheckReferences(gathered, {}, f, warnings));
    EXPECT_EQ(refs(f.duplicates), c.duplicates);
    EXPECT_EQ(refs(f.undecided), c.undecided);
    EXPECT_EQ(refs(f.refErrors), c.errors);
    EXPECT_EQ(refs(f.suffixErrors), c.suffix);
  }

  // Missing numbers below an absurd highest number are listed up to a bound.
  GatheredParts gathered;
  CSheetDoc d;
  ASSERT_TRUE(d.LoadText(Part(0, 0, "R2000000000"), "s", false).ok);
  gathered.Add(*d.GetSheet().Parts()[0], {});
  CleanupFindings f;
  std::vector<std::string> warnings;
  ReferenceCheckOptions bounded;
  bounded.missing = true;
  bounded.maxMissing = 10;
  ASSERT_TRUE(CheckReferences(gathered, bounded, f, warnings));
  EXPECT_EQ(f.missing.size(), 10u);
  EXPECT_EQ(warnings.size(), 1u);
}

// ---------------------------------------------------------------------------
// Keeping the nets

// Three wires meet end to end at (2000, 1000); two of them lie on one row.
// Joined into one wire, the row would run through the third wire's end
// without a dot, and R3 would leave the net of R1 and R2.
const std::string kJoinedRow = Part(800, 1000, "R1") + Part(3200, 1000, "R2") +
                               Part(2200, 2000, "R3") + "Line 1000 1000 2000 1000 8 0 0 0\n" +
                               "Line 2000 1000 3000 1000 8 0 0 0\n" +
                               "Line 2000 1000 2000 2000 8 0 0 0\n";

TEST_F(CleanupJobTest, ATidyingThatWouldChangeTheNetsIsNotKept) {
  const std::string sheet = Sheet("row.tcd", kJoinedRow);
  const std::string before = ReadAll(sheet);
  const std::string inputs[] = {sheet};

  CleanupOptions o;
  o.keepNets = true;
  CleanupResult r = RunCleanup(inputs, o, Saving());
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  ASSERT_EQ(r.sheets.size(), 1u);
  EXPECT_TRUE(r.sheets[0].kept);
  EXPECT_FALSE(r.sheets[0].changed);
  EXPECT_EQ(ReadAll(sheet), before);
  ASSERT_EQ(r.findings.kept.size(), 1u);
  EXPECT_EQ(r.findings.kept[0].before,
            (std::vector<std::string>{"R1-2@10.00,10.00 R2-1@30.00,10.00 R3-1@20.00,20.00"}));
  EXPECT_EQ(r.findings.kept[0].after,
            (std::vector<std::string>{"R1-2@10.00,10.00 R2-1@30.00,10.00", "R3-1@20.00,20.00"}));
  const std::string log = Cp932ToUtf8(r.text);
  EXPECT_NE(log.find("接続が変わるため整理しなかったシート\t      "
                     "1\r\nrow.tcd\t整理前\tR1-2@10.00,10.00 R2-1"),
            std::string::npos)
      << log;

  // Without the check the row is joined.
  o.keepNets = false;
  r = RunCleanup(inputs, o, Saving());
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  EXPECT_TRUE(r.sheets[0].changed);
  EXPECT_NE(Text(sheet).find("Line 1000 1000 3000 1000"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Running twice

TEST_F(CleanupJobTest, ASecondRunFindsNothingToTidy) {
  std::vector<std::vector<std::string>> projects;
  // The demo project as shipped.
  std::vector<std::string> demo;
  for (const char* name : {"demo.tpj", "amp1.tcd", "amp2.tcd"}) {
    fs::copy_file(std::string(TAVRO_SOURCE_DIR) + "/examples/demo/" + name, tmp_.file(name));
    if (fs::path(name).extension() == ".tcd") demo.push_back(tmp_.file(name));
  }
  projects.push_back({tmp_.file("demo.tpj")});
  // The fixture sheets, with lines that merge into lines that merge again.
  projects.push_back({Sheet("top.tcd", ReadAll(DataPath("cleanup/project/top.txt"))),
                      Sheet("bottom.tcd", ReadAll(DataPath("cleanup/project/bottom.txt"))),
                      Sheet("chain.tcd",
                            "Line 0 0 100 0 8 0 0 0\nLine 200 0 300 0 8 0 0 0\n"
                            "Line 90 0 210 0 8 0 0 0\nLine 0 500 0 300 8 0 0 0\n"
                            "Line 0 100 0 400 8 0 0 0\n")});
  for (bool wireJunc : {false, true})
    for (const auto& inputs : projects) {
      SCOPED_TRACE(inputs[0] + (wireJunc ? " with junction rules" : ""));
      CleanupOptions o;
      o.wireJunc = wireJunc;
      o.outside = true;
      CleanupResult first = RunCleanup(inputs, o, Saving());
      ASSERT_EQ(first.status, CleanupResult::kOk) << first.message;
      CleanupResult second = RunCleanup(inputs, o, Saving());
      ASSERT_EQ(second.status, CleanupResult::kOk) << second.message;
      for (const SheetTidyReport& s : second.sheets) {
        EXPECT_FALSE(s.changed) << s.path;
        EXPECT_EQ(s.counts.Total(), 0) << s.path;
      }
      EXPECT_EQ(second.text, first.text);
    }
  EXPECT_EQ(Text(tmp_.file("chain.tcd")), "Line 0 0 300 0 8 0 0 0\nLine 0 500 0 100 8 0 0 0\n");
}

// ---------------------------------------------------------------------------
// What is written

TEST_F(CleanupJobTest, SavedSheetsDryRunsFailuresAndStops) {
  const std::string a = Sheet("a.tcd", "Line 0 0 100 0 8 0 0 0\nLine 50 0 150 0 8 0 0 0\n");
  const std::string b = Sheet("b.tcd", "Line 0 0 100 0 8 0 0 0\nLine 0 0 100 0 8 0 0 0\n");
  const std::string aBefore = ReadAll(a), bBefore = ReadAll(b);
  const std::string project = Project({a, b});
  const std::string inputs[] = {project};

  // A dry run writes the log of the tidied sheets and no sheet.
  CleanupResult r = RunCleanup(inputs, CleanupOptions{}, {});
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  EXPECT_EQ(r.logPath, tmp_.file("p.log"));
  EXPECT_EQ(ReadAll(r.logPath), r.text);
  EXPECT_TRUE(r.sheets[0].changed && r.sheets[1].changed);
  EXPECT_EQ(ReadAll(a), aBefore);
  EXPECT_EQ(ReadAll(b), bBefore);

  // A stop on the first sheet ends the run with that sheet saved.
  test::RecordingHost host;
  host.cancelAtStep = 2;  // two steps read the sheets; the third tidies a.tcd
  CleanupCallbacks cb = Saving();
  cb.progress = &host;
  fs::remove(r.logPath);
  r = RunCleanup(inputs, CleanupOptions{}, cb);
  EXPECT_EQ(r.status, CleanupResult::kCancelled);
  ASSERT_EQ(r.sheets.size(), 1u);
  EXPECT_TRUE(r.sheets[0].written);
  EXPECT_EQ(Text(a), "Line 0 0 150 0 8 0 0 0\n");
  EXPECT_TRUE(fs::exists(tmp_.file("a.tcd.bak")) || fs::exists(tmp_.file("a.bak")));
  EXPECT_EQ(ReadAll(b), bBefore);
  EXPECT_FALSE(fs::exists(tmp_.file("p.log")));

  // A log that cannot be written fails the run; the sheets stay tidied.
  CleanupOptions o;
  o.outputPath = tmp_.file("no/such/folder/p.log");
  r = RunCleanup(inputs, o, Saving());
  EXPECT_EQ(r.status, CleanupResult::kFailed);
  EXPECT_NE(r.message.find("を作成できません"), std::string::npos) << r.message;
  EXPECT_EQ(Text(b), "Line 0 0 100 0 8 0 0 0\n");

  // A log over an input is refused before anything is done.
  o.outputPath = a;
  r = RunCleanup(inputs, o, Saving());
  EXPECT_EQ(r.status, CleanupResult::kFailed);
  EXPECT_TRUE(r.sheets.empty());
}

}  // namespace
}  // namespace tavro
