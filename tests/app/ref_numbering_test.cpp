// Reference numbering over the gathered parts of a project: the counters, the
// step, the first number, the page offset, counting per sheet, the packing
// of gates, the part's own format, the counter overflow and cancelling; and
// the gathering itself (tags, what is left out, the order by position).
#include "app/ref_numbering.h"

#include <gtest/gtest.h>

#include "app/annotate_sheets.h"
#include "app/part_gather.h"
#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::PartSpec;

// Parts one below the other, in the order the gathering takes them.
std::vector<PartSpec> Column(std::vector<PartSpec> parts) {
  int y = 9000;
  for (PartSpec& p : parts) {
    p.x = 1000;
    p.y = y;
    y -= 300;
  }
  return parts;
}
PartSpec R(const char* ref) { return {0, 0, ref}; }
PartSpec Gate(const char* ref, unsigned gate, const char* value = "7400",
              const char* name = "7400") {
  return {0, 0, ref, name, value, 4, gate};
}

// The sheets gathered (sheet n is the n-th, from 1), numbered, and the
// references of each sheet in the order of the working sheet.
struct Numbered {
  NumberingOutcome outcome;
  std::vector<std::vector<std::string>> refs;
};
Numbered Number(const std::vector<std::vector<PartSpec>>& sheets, const NumberingOptions& o) {
  std::vector<CSheetDoc> docs;
  for (const auto& s : sheets) docs.push_back(test::SheetDoc(s));
  std::vector<GatherSource> sources;
  for (size_t i = 0; i < docs.size(); ++i)
    sources.push_back({&docs[i], "/p/s" + std::to_string(i + 1) + ".tcd", int(i) + 1});
  GatheredParts g;
  EXPECT_TRUE(GatherParts(sources, true, g));
  Numbered n;
  n.outcome = NumberGatheredParts(g.Sheet(), o);
  n.refs.resize(sheets.size());
  for (const auto& p : g.Sheet().Parts()) {
    const auto index = TagSheetIndex(GatheredDocName(*p));
    EXPECT_TRUE(index);
    if (index) n.refs[*index - 1].push_back(Cp932ToUtf8(p->GetRefName()));
  }
  return n;
}

NumberingOptions Mode(int mode, int step = 1, int first = 1, int offset = 0, bool each = false) {
  NumberingOptions o;
  o.mode = mode;
  o.step = step;
  o.firstNo = first;
  o.pageOffset = offset;
  o.eachSheet = each;
  return o;
}

struct Case {
  const char* name;
  std::vector<std::vector<PartSpec>> sheets;
  NumberingOptions options;
  std::vector<std::vector<std::string>> expected;
  int counters;
};

class NumberingTest : public ::testing::TestWithParam<Case> {};

TEST_P(NumberingTest, GivesTheNumbers) {
  const Case& c = GetParam();
  const Numbered n = Number(c.sheets, c.options);
  EXPECT_FALSE(n.outcome.cancelled);
  EXPECT_TRUE(n.outcome.messages.empty());
  EXPECT_EQ(n.refs, c.expected);
  EXPECT_EQ(n.outcome.counters, c.counters);
}

const std::vector<PartSpec> kR7R3 = Column({R("R7"), R("R?"), R("R3")});

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberingTest,
    ::testing::Values(
        // The next number after the highest in use, by +1 or +2.
        Case{"AfterR7AndR3", {kR7R3}, Mode(0), {{"R7", "R8", "R3"}}, 1},
        Case{"StepTwo", {kR7R3}, Mode(0, 2), {{"R7", "R9", "R3"}}, 1},
        // The first number only raises a counter (R7 is below 100).
        Case{"FirstNumber", {kR7R3}, Mode(0, 1, 100), {{"R7", "R100", "R3"}}, 1},
        Case{"FirstNumberBelowTheHighest", {kR7R3}, Mode(0, 1, 5), {{"R7", "R8", "R3"}}, 1},
        // Prefixes count apart; letter case does not make a new one.
        Case{"PrefixesApart",
             {Column({R("C4"), R("R2"), R("c?"), R("r?"), R("IC1-?")})},
             Mode(0),
             {{"C4", "R2", "c5", "r3", "IC1-1"}},
             3},
        // Mode 1 numbers every reference anew, from the top of the sheet.
        Case{"RenumberAll", {kR7R3}, Mode(1), {{"R1", "R2", "R3"}}, 1},
        // A page offset: each sheet starts a page further (mode 1 only).
        Case{"PageOffsetOverThreeSheets",
             {Column({R("R?"), R("R5"), R("C1")}), Column({R("R?"), R("R9")}),
              Column({R("R1"), R("R2")})},
             Mode(1, 1, 1, 100),
             {{"R1", "R2", "C1"}, {"R101", "R102"}, {"R201", "R202"}},
             4},
        Case{"PageOffsetAndFirstNumber",
             {Column({R("R?")}), Column({R("R?")})},
             Mode(1, 2, 10, 100),
             {{"R11"}, {"R111"}},
             2},
        Case{"PageOffsetOnlyInModeOne",
             {Column({R("R5")}), Column({R("R?")})},
             Mode(0, 1, 1, 100),
             {{"R5"}, {"R6"}},
             1},
        // Counting per sheet (mode 0 only).
        Case{"EachSheet",
             {Column({R("R5"), R("R?")}), Column({R("R?")})},
             Mode(0, 1, 1, 0, true),
             {{"R5", "R6"}, {"R1"}},
             2},
        Case{"EachSheetOnlyInModeZero",
             {Column({R("R5")}), Column({R("R?")})},
             Mode(1, 1, 1, 0, true),
             {{"R1"}, {"R2"}},
             1},
        // The gates of one package share its number: A and B of a 7400,
        // then a second A opens the next package.
        Case{"GatesPacked",
             {Column({Gate("U?A", 0), Gate("U?B", 1), Gate("U?A", 0)})},
             Mode(0),
             {{"U1A", "U1B", "U2A"}},
             1},
        Case{"GateJoinsADecidedPackage",
             {Column({Gate("U?B", 1), Gate("U3A", 0), Gate("U?A", 0)})},
             Mode(0),
             {{"U3B", "U3A", "U4A"}},
             1},
        // The lowest package with the gate free, across the sheets.
        Case{"LowestFreePackageAcrossSheets",
             {Column({Gate("U1A", 0), Gate("U2A", 0), Gate("U2B", 1)}),
              Column({Gate("U?B", 1), Gate("U?B", 1)})},
             Mode(0),
             {{"U1A", "U2A", "U2B"}, {"U1B", "U3B"}},
             1},
        // Per sheet, a package never spans two sheets.
        Case{"EachSheetPacksPerSheet",
             {Column({Gate("U?A", 0)}), Column({Gate("U?B", 1)})},
             Mode(0, 1, 1, 0, true),
             {{"U1A"}, {"U1B"}},
             2},
        // Another value (letter case aside) is another package.
        Case{"OtherValueOtherPackage",
             {Column({Gate("U?A", 0, "7400"), Gate("U?B", 1, "74hc00"), Gate("U?C", 2, "74HC00")})},
             Mode(0),
             {{"U1A", "U2B", "U2C"}},
             1},
        // Only a package of the same prefix: U?B never joins IC3 (a U3B
        // would share its number with whatever U3 comes next).
        Case{"OtherPrefixOtherPackage",
             {Column({Gate("IC3A", 0), Gate("U?B", 1)})},
             Mode(0),
             {{"IC3A", "U1B"}},
             2},
        // REFFORM shapes the number of a single-gate part only.
        Case{"RefFormSingleGate",
             {Column({R("R7"), {0, 0, "R?", "R", "", 1, 0, "&REFFORM&%03d"}})},
             Mode(0),
             {{"R7", "R008"}},
             1},
        Case{"RefFormIgnoredOnGates",
             {Column({{0, 0, "U?A", "7400", "7400", 4, 0, "&REFFORM&%03d"}})},
             Mode(0),
             {{"U1A"}},
             1},
        // References without a "?" are not numbered in mode 0: digits
        // alone and no digit at all stay as they are.
        Case{"NotUndecided",
             {Column({R("12"), R("ABC"), R("TP")})},
             Mode(0),
             {{"12", "ABC", "TP"}},
             3}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(NumberingOverflowTest, TheCountersStayTrueAndTheMessagesShow) {
  // 1000 prefixes fill the table; after the one that fills it, Q3N2 is
  // still counted (its counter exists), so Q3N? takes 3, not the 2 in use.
  // NEW? finds no counter and none can be added: pass 2 stops there.
  std::vector<PartSpec> parts;
  for (int i = 0; i < 1000; ++i) parts.push_back(R(("Q" + std::to_string(i) + "N1").c_str()));
  for (const char* ref : {"Q3N2", "NEW1", "Q3N?", "NEW?", "Q4N?"}) parts.push_back(R(ref));
  // One row, in list order.
  for (size_t i = 0; i < parts.size(); ++i) parts[i] = {int(i) * 10, 1000, parts[i].ref};
  const Numbered n = Number({parts}, Mode(0));
  EXPECT_EQ(n.outcome.messages,
            (std::vector<std::string>{kMsgCounterOverFlow, kMsgCounterOverflow}));
  EXPECT_EQ(n.outcome.counters, 1000);
  const auto& refs = n.refs[0];
  ASSERT_EQ(refs.size(), 1005u);
  EXPECT_EQ(refs[1002], "Q3N3");
  EXPECT_EQ(refs[1003], "NEW?");
  EXPECT_EQ(refs[1004], "Q4N?");  // the pass stopped before it
}

TEST(NumberingOverflowTest, AFullTableStillNumbersWithItsCounters) {
  // 998 prefixes, then R and C make 1000: pass 1 reports the full table as
  // it is reached, and pass 2 numbers both with the counters it has.
  std::vector<PartSpec> parts;
  for (int i = 0; i < 998; ++i) parts.push_back({i * 10, 2000, "Q" + std::to_string(i) + "N1"});
  parts.push_back({0, 1000, "R?"});
  parts.push_back({10, 1000, "C?"});
  const Numbered n = Number({parts}, Mode(0));
  EXPECT_EQ(n.outcome.messages, std::vector<std::string>{kMsgCounterOverFlow});
  EXPECT_EQ(n.refs[0][998], "R1");
  EXPECT_EQ(n.refs[0][999], "C1");
}

TEST(NumberingTest, ProgressAndCancel) {
  test::RecordingHost host;
  ScopedHost scoped(&host);
  Numbered n = Number({kR7R3}, Mode(0));
  EXPECT_FALSE(n.outcome.cancelled);
  std::vector<int> stages;
  for (const auto& s : host.stages) stages.push_back(s.stage);
  // The position sort, then the two passes, one step per part each.
  EXPECT_EQ(stages, (std::vector<int>{kStageSortParts, kStageRefCheck, kStageRefCalc}));
  EXPECT_EQ(host.stages[1].total, 3);
  EXPECT_STREQ(StageTextUtf8(kStageRefCheck), "リファレンスの最終部品番号をチェック");
  EXPECT_STREQ(StageTextUtf8(kStageRefCalc), "リファレンスを計算");

  for (int at : {3, 4, 6, 8}) {  // in pass 1, at the start and the end of pass 2
    SCOPED_TRACE(at);
    test::RecordingHost stop;
    stop.cancelAtStep = at;
    ScopedHost s(&stop);
    EXPECT_TRUE(Number({kR7R3}, Mode(0)).outcome.cancelled);
  }
}

TEST(NumberingTest, CounterMessage) {
  EXPECT_EQ(CounterMessage(5), "リファレンスカウンター    5");
  EXPECT_EQ(CounterMessage(1000), "リファレンスカウンター 1000");
}

TEST(PartGatherTest, TagsSkipsAndOrder) {
  // Sheet 2 is a block below sheet 1; sheet 1 holds a power symbol without
  // a reference and a free pin.
  CSheetDoc one = test::SheetDoc({{3000, 1000, "R2"},
                                  {1000, 1000, "R1"},
                                  {2000, 5000, "R3"},
                                  {4000, 5000, "", "GND"},
                                  {5000, 3000, "X?", "SUB", "", 1, 0, "&FILE&s2.tcd"},
                                  {6000, 3000, "Y?", "SUB", "", 1, 0, "&FILE&other.tcd"}});
  one.GetSheet().NewPin(CPoint(0, 0), CPoint(100, 0), 0).SetName("P1", CPoint(0, 0), 0);
  one.SetWorkSize(17000, 11000);
  CSheetDoc two = test::SheetDoc({{1000, 1000, "C1"}});
  const GatherSource sources[] = {{&one, "/p/s1.tcd", 1}, {&two, "/p/s2.tcd", 3}};
  test::RecordingHost host;
  host.openFiles = {"/p/s1.tcd", "/p/s2.tcd"};
  ScopedHost scoped(&host);
  GatheredParts g;
  ASSERT_TRUE(GatherParts(sources, true, g));
  // From the top row down, each row from the left; the block for an open
  // sheet and the part without a reference are left out.
  EXPECT_EQ(test::Refs(g.Sheet()), (std::vector<std::string>{"R3", "Y?", "R1", "R2", "C1"}));
  const CPart& r3 = *g.Sheet().Parts()[0];
  EXPECT_EQ(GatheredDocName(r3), "s1.tcd [1]");
  EXPECT_EQ(r3.FindString(kSizeTag), "17000,11000");
  EXPECT_EQ(GatheredDocName(*g.Sheet().Parts()[4]), "s2.tcd [3]");
  // Each copy knows the part it came from.
  ASSERT_NE(g.OriginOf(r3), nullptr);
  EXPECT_EQ(g.OriginOf(r3)->source, 0u);
  EXPECT_EQ(g.OriginOf(r3)->part, 2u);
  EXPECT_EQ(g.OriginOf(*g.Sheet().Parts()[4])->source, 1u);
  // The free pin comes along with its sheet's index.
  ASSERT_EQ(g.Sheet().Pins().size(), 1u);
  EXPECT_EQ(g.Sheet().Pins()[0]->GetName(), "P1 [1]");
  // Unsorted, the parts keep the order of their sheet.
  GatheredParts plain;
  ASSERT_TRUE(GatherParts(sources, false, plain));
  EXPECT_EQ(test::Refs(plain.Sheet()), (std::vector<std::string>{"R2", "R1", "R3", "Y?", "C1"}));
}

TEST(PartGatherTest, TagSheetIndex) {
  const struct {
    const char* text;
    std::optional<int> index;
  } cases[] = {{"a.tcd [1]", 1},
               {"a [2].tcd [12]", 12},
               {"a.tcd", std::nullopt},
               {"a.tcd []", std::nullopt},
               {"a.tcd [x]", std::nullopt},
               {"a.tcd [99999999999]", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TagSheetIndex(c.text), c.index);
  }
}

}  // namespace
}  // namespace tavro
