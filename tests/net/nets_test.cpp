// Pin groups, merging and sorting: the nets of a sheet and of a project.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/platform/codec.h"
#include "model/fixed_font_engine.h"
#include "net/net_sheets.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::Entry;

using test::AddGate;
using test::AddGnd;
using test::AddPin;
using test::AddResistor;
using test::AddWire;
using test::HiddenPin;
using test::NetOf;
using test::Nodes;
using Strings = std::vector<std::string>;

constexpr const char* kSheetA = "/work/project/top.tcd";
constexpr const char* kSheetB = "/work/project/sub.tcd";

class NetsTest : public ::testing::Test {
 protected:
  // The nets of one sheet, as the netlist command builds them.
  NetList Build(CSheet& sheet, const std::string& path = kSheetA) {
    const NetSheet one[] = {{&sheet, path}};
    NetList nets;
    EXPECT_EQ(BuildNets(one, nets), 0);
    return nets;
  }

  test::FixedFontEngine engine_;
  test::RecordingHost host_;
  ScopedHost scoped_{&host_};
};

// --- pin groups on one sheet ------------------------------------------------------

TEST_F(NetsTest, ResistorWithTwoOpenPinsGivesTwoOpenPinNetsThatNeverMerge) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  CSheet other;
  AddResistor(other, "R1", 0, 0);
  const NetSheet both[] = {{&sheet, kSheetA}, {&other, kSheetB}};
  NetList nets;
  ASSERT_EQ(BuildNets(both, nets), 0);
  ASSERT_EQ(nets.size(), 4u);
  for (const auto& net : nets) {
    EXPECT_EQ(net->Names(), Strings{std::string(kOpenPin1)});
    EXPECT_EQ(net->Entries().size(), 1u);
    EXPECT_TRUE(net->IsOpenPinNet());
    EXPECT_FALSE(net->CheckNet());
  }
  EXPECT_EQ(nets[0]->Entries()[0]->GetFileName(), kSheetA);
  EXPECT_EQ(nets[3]->Entries()[0]->GetFileName(), kSheetB);
}

// Every pin entry records its sheet's number: the number given (the sheet's
// place in the project), or the sheet's place in the list.
TEST_F(NetsTest, PinEntriesRecordTheSheetNumber) {
  CSheet sheet, other;
  AddResistor(sheet, "R1", 0, 0);
  AddResistor(other, "R2", 0, 0);
  const std::pair<int, int> given[] = {{0, 0}, {1, 3}};
  const std::pair<int, int> recorded[] = {{1, 2}, {1, 3}};
  for (size_t i = 0; i < std::size(given); ++i) {
    const NetSheet both[] = {{&sheet, kSheetA, given[i].first}, {&other, kSheetB, given[i].second}};
    NetList nets;
    ASSERT_EQ(BuildNets(both, nets), 0);
    ASSERT_EQ(nets.size(), 4u);
    EXPECT_EQ(nets[0]->Entries()[0]->GetFileNo(), recorded[i].first);
    EXPECT_EQ(nets[3]->Entries()[0]->GetFileNo(), recorded[i].second);
    EXPECT_EQ(nets[3]->Entries()[0]->GetSheetName(), "sub.tcd");
  }
}

TEST_F(NetsTest, TwoPinsTouchingEndToEndFormOneUnnamedNet) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  AddResistor(sheet, "R2", 1000, 0);  // its pin 1 ends where R1's pin 2 ends
  NetList nets = Build(sheet);
  ASSERT_EQ(nets.size(), 3u);
  EXPECT_EQ(Nodes(*nets[1]), (Strings{"R1-2", "R2-1"}));
  EXPECT_TRUE(nets[1]->Names().empty());
  EXPECT_TRUE(nets[1]->CheckNet());
  EXPECT_TRUE(nets[0]->IsOpenPinNet());
  EXPECT_TRUE(nets[2]->IsOpenPinNet());
}

TEST_F(NetsTest, NoConnectPinTouchingNothingJoinsNoNet) {
  CSheet sheet;
  CPart& u = sheet.NewPart({0, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  u.SetRefName("U1", {0, 200}, kOrgBottomLeft);
  AddPin(u, {0, 0}, {-300, 0}, "1", kPinNoConnect);
  AddPin(u, {0, -200}, {-300, -200}, "2", HiddenPin(kPinNoConnect));
  AddPin(u, {0, -400}, {-300, -400}, "3", HiddenPin(kPinInput));
  AddPin(u, {0, -600}, {-300, -600}, "4", kPinNoConnect);
  AddWire(sheet, {-300, -600}, {-800, -600});
  AddResistor(sheet, "R1", -1500, -600);  // pin 2 ends on the wire's end
  NetList nets = Build(sheet);
  ASSERT_NE(NetOf(nets, "U1-4"), nullptr);  // a connected No Connect pin is a node
  EXPECT_EQ(Nodes(*NetOf(nets, "U1-4")), (Strings{"R1-2", "U1-4"}));
  EXPECT_EQ(NetOf(nets, "U1-1"), nullptr);
  EXPECT_EQ(NetOf(nets, "U1-2"), nullptr);
  ASSERT_NE(NetOf(nets, "U1-3"), nullptr);
  EXPECT_EQ(NetOf(nets, "U1-3")->Names(), Strings{std::string(kOpenPin2)});
  EXPECT_TRUE(NetOf(nets, "U1-3")->IsOpenPinNet());
}

TEST_F(NetsTest, PowerSymbolNamesTheWireNetAndHiddenPowerPinsJoinIt) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  AddWire(sheet, {700, 0}, {1200, 0});
  AddGnd(sheet, 1200, 0);
  AddGate(sheet, "U1", 1, 0, 5000, 5000, {}, {{"7", "GND"}, {"14", "VCC"}});
  NetList nets = Build(sheet);
  const CNet* gnd = NetOf(nets, "R1-2");
  ASSERT_NE(gnd, nullptr);
  EXPECT_EQ(gnd->Names(), Strings{"GND"});
  EXPECT_EQ(Nodes(*gnd), (Strings{"R1-2", "U1-7"}));
  EXPECT_TRUE(gnd->GetPower());
  EXPECT_EQ(gnd->Juncs().size(), 1u);  // the symbol's point
  // A hidden VCC with no visible VCC anywhere forms its own net.
  const CNet* vcc = NetOf(nets, "U1-14");
  ASSERT_NE(vcc, nullptr);
  EXPECT_EQ(vcc->Names(), Strings{"VCC"});
  EXPECT_EQ(vcc->Entries().size(), 1u);
  EXPECT_FALSE(vcc->CheckNet());
  EXPECT_FALSE(vcc->IsOpenPinNet());
}

TEST_F(NetsTest, SymbolPinsNameByNameOrNumber) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  AddResistor(sheet, "R2", 0, 1000);
  AddResistor(sheet, "R3", 0, 2000);
  AddResistor(sheet, "R4", 0, 3000);
  // A label symbol whose pin has only a number, one with neither, a power
  // symbol with a hidden pin on the wire at R3's pin 2, and one with a hidden
  // pin on R4's pin 2 where no wire is.
  CPart& label = sheet.NewPart({700, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  AddPin(label, {900, 0}, {700, 0}, "RESET");
  CPart& blank = sheet.NewPart({700, 1000}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  AddPin(blank, {900, 1000}, {700, 1000}, "");
  AddWire(sheet, {700, 2000}, {1200, 2000});
  AddGnd(sheet, 700, 2000, "AGND", true);
  AddGnd(sheet, 700, 3000, "AGND2", true);
  NetList nets = Build(sheet);
  ASSERT_NE(NetOf(nets, "R1-2"), nullptr);
  EXPECT_EQ(NetOf(nets, "R1-2")->Names(), Strings{"RESET"});
  // The blank symbol's pin touches R2's pin: the two share a point, unnamed.
  ASSERT_NE(NetOf(nets, "R2-2"), nullptr);
  EXPECT_TRUE(NetOf(nets, "R2-2")->Names().empty());
  // A hidden Power pin of a symbol on a net only sets the power flag.
  ASSERT_NE(NetOf(nets, "R3-2"), nullptr);
  EXPECT_TRUE(NetOf(nets, "R3-2")->GetPower());
  EXPECT_TRUE(NetOf(nets, "R3-2")->Names().empty());
  // Touching no net, it starts a net of its name at its point.
  ASSERT_NE(NetOf(nets, "R4-2"), nullptr);
  EXPECT_EQ(NetOf(nets, "R4-2")->Names(), Strings{"AGND2"});
  EXPECT_TRUE(NetOf(nets, "R4-2")->GetPower());
}

TEST_F(NetsTest, AliasNetIsNamedByItsFirstLabel) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  AddResistor(sheet, "R2", 2000, 0);
  AddWire(sheet, {700, 0}, {1200, 0}, "DATA");
  AddWire(sheet, {1200, 0}, {1700, 0}, "DATA_B");
  NetList nets = Build(sheet);
  const CNet* net = NetOf(nets, "R1-2");
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(net->GetName(), "DATA");
  EXPECT_EQ(net->Names(), (Strings{"DATA", "DATA_B"}));
  EXPECT_FALSE(net->CheckAliasNet());
  EXPECT_EQ(Nodes(*net), (Strings{"R1-2", "R2-1"}));
}

TEST_F(NetsTest, MultiGateHiddenPowerPinsEndOnce) {
  CSheet sheet;
  AddGate(sheet, "U1A", 4, 1, 0, 0, {"1", "2"}, {{"14", "VCC"}, {"7", "GND"}});
  AddGate(sheet, "U1B", 4, 2, 0, 2000, {"4", "5"}, {{"14", "VCC"}, {"7", "GND"}});
  // Gate C draws pin 7 on a net of its own: the hidden copies go.
  AddGate(sheet, "U1C", 4, 3, 0, 4000, {"7"}, {{"14", "VCC"}});
  AddWire(sheet, {-300, 4000}, {-800, 4000}, "AGND");
  AddResistor(sheet, "R1", -1500, 4000);
  NetList nets = Build(sheet);
  int vccEntries = 0, pin7Entries = 0;
  for (const auto& net : nets)
    for (const auto& e : net->Entries()) {
      EXPECT_EQ(e->GetRefName(), e->GetPartName() == "7400" ? "U1" : "R1");
      if (e->GetPinNo() == "14") ++vccEntries;
      if (e->GetPinNo() == "7") {
        ++pin7Entries;
        EXPECT_TRUE(e->GetPin().IsDisp());
      }
    }
  EXPECT_EQ(vccEntries, 1);
  EXPECT_EQ(pin7Entries, 1);
  EXPECT_EQ(Nodes(*NetOf(nets, "U1-7")), (Strings{"R1-2", "U1-7"}));
  EXPECT_EQ(NetOf(nets, "U1-14")->Names(), Strings{"VCC"});
}

TEST_F(NetsTest, HierarchicalBlockSymbolsWhoseSheetIsOpenAreLeftOut) {
  struct {
    const char* file;
    Strings open;
    bool leftOut;
  } cases[] = {
      {"sub.tcd", {"/WORK/PROJECT/SUB.TCD"}, true},  // relative to the sheet, case ignored
      {"..\\project\\sub.tcd", {"/work/project/sub.tcd"}, true},
      {"/other/sub.tcd", {"/other/sub.tcd"}, true},
      {"sub.tcd", {"/elsewhere/sub.tcd"}, false},
      {"sub.tcd", {}, false},
  };
  for (const auto& c : cases) {
    CSheet sheet;
    CPart& block = AddResistor(sheet, "B1", 0, 0);
    block.NewText(std::string("&FILE&") + c.file, {0, -200}, 50, kOrgBottomLeft | kTextHidden);
    AddResistor(sheet, "R1", -1000, 0);  // pin 2 ends on the block's pin 1
    host_.openFiles = c.open;
    NetList nets = Build(sheet);
    EXPECT_EQ(NetOf(nets, "B1-1") == nullptr, c.leftOut) << c.file;
    EXPECT_EQ(NetOf(nets, "R1-2")->CheckNet(), !c.leftOut) << c.file;
  }
}

TEST(ResolveSheetFile, Names) {
  const std::string table = J("表");  // its second byte is a backslash
  struct {
    std::string value, sheet, want;
  } cases[] = {
      {"", "/a/b/top.tcd", ""},
      {"sub.tcd", "/a/b/top.tcd", "/a/b/sub.tcd"},
      {"lower\\sub.tcd", "/a/b/top.tcd", "/a/b/lower/sub.tcd"},
      {"..\\c\\x.tcd", "/a/b/top.tcd", "/a/c/x.tcd"},
      {"/abs/y.tcd", "/a/b/top.tcd", "/abs/y.tcd"},
      {table + ".tcd", "/a/b/top.tcd", "/a/b/表.tcd"},  // a platform (UTF-8) path
      {"sub.tcd", "", "sub.tcd"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveSheetFile(c.value, c.sheet), c.want) << c.value;
}

// --- a project --------------------------------------------------------------------

TEST_F(NetsTest, ProjectMergesByNameButNotByPosition) {
  // Both sheets: R1-R2 joined by an unlabelled wire, and a CLK wire on R's pin 1.
  CSheet a, b;
  for (auto [sheet, first] : {std::pair{&a, 1}, std::pair{&b, 3}}) {
    const std::string r1 = "R" + std::to_string(first), r2 = "R" + std::to_string(first + 1);
    AddResistor(*sheet, r1, 0, 0);
    AddResistor(*sheet, r2, 2000, 0);
    AddWire(*sheet, {700, 0}, {1700, 0});
    AddWire(*sheet, {-300, 0}, {-300, 500}, "CLK");
  }
  const NetSheet both[] = {{&a, kSheetA}, {&b, kSheetB}};
  NetList nets;
  ASSERT_EQ(BuildNets(both, nets), 0);
  const CNet* clk = NetOf(nets, "R1-1");
  ASSERT_NE(clk, nullptr);
  EXPECT_EQ(clk->Names(), Strings{"CLK"});
  EXPECT_EQ(Nodes(*clk), (Strings{"R1-1", "R3-1"}));
  EXPECT_EQ(clk->Entries()[1]->GetFileName(), kSheetB);
  EXPECT_EQ(Nodes(*NetOf(nets, "R1-2")), (Strings{"R1-2", "R2-1"}));
  EXPECT_EQ(Nodes(*NetOf(nets, "R3-2")), (Strings{"R3-2", "R4-1"}));
  EXPECT_NE(NetOf(nets, "R1-2"), NetOf(nets, "R3-2"));
}

TEST_F(NetsTest, ProgressStagesAndTotals) {
  CSheet sheet;
  AddResistor(sheet, "R1", 0, 0);
  AddResistor(sheet, "R2", 2000, 0);
  AddWire(sheet, {700, 0}, {1200, 0}, "SIG");
  AddWire(sheet, {1200, 0}, {1700, 0});
  Build(sheet);
  std::vector<std::pair<int, int>> stages;
  for (const auto& s : host_.stages) stages.emplace_back(s.stage, s.total);
  const std::vector<std::pair<int, int>> want = {
      {kStageWireGroups, 2}, {kStageMerge, 1},     // wire groups: 2 wires, 1 group
      {kStagePinGroups, 2},  {kStageMerge, 1},     // pin groups: 2 parts
      {kStageMerge, 3},      {kStageSortNets, 3},  // the project merge and sort
      {kStageSortNets, 3},
  };
  EXPECT_EQ(stages, want);
  EXPECT_GT(host_.polls, 0);
}

TEST_F(NetsTest, CancelAtAnyStepReturnsOneAndNothing) {
  CSheet a, b;
  for (CSheet* s : {&a, &b}) {
    AddResistor(*s, "R1", 0, 0);
    AddResistor(*s, "R2", 2000, 0);
    AddWire(*s, {700, 0}, {1200, 0}, "SIG");
    AddWire(*s, {1200, 0}, {1700, 0});
    AddGnd(*s, -300, 0);
    AddGate(*s, "U1A", 2, 1, 5000, 0, {"1"}, {{"14", "VCC"}});
  }
  const NetSheet both[] = {{&a, kSheetA}, {&b, kSheetB}};
  test::RecordingHost full;
  {
    ScopedHost h(&full);
    NetList nets;
    ASSERT_EQ(BuildNets(both, nets), 0);
    ASSERT_FALSE(nets.empty());
  }
  const int calls = full.steps + full.polls;
  std::set<int> stagesCancelled;
  for (int k = 0; k <= calls; ++k) {
    test::RecordingHost host;
    host.cancelAtStep = k;
    ScopedHost h(&host);
    NetList nets;
    nets.push_back(std::make_unique<CNet>());  // whatever the caller held goes
    const int result = BuildNets(both, nets);
    if (k == calls) {
      EXPECT_EQ(result, 0);
      break;
    }
    EXPECT_EQ(result, 1) << "cancel at call " << k;
    EXPECT_TRUE(nets.empty()) << "cancel at call " << k;
    stagesCancelled.insert(host.stages.back().stage);
  }
  EXPECT_EQ(stagesCancelled,
            (std::set<int>{kStagePinGroups, kStageWireGroups, kStageSortNets, kStageMerge}));
}

TEST_F(NetsTest, HiddenDuplicatesGoWhereverTheDisplayedPinIs) {
  auto entry = [](const std::string& ref, const std::string& no, bool hidden) {
    CNetName e;
    e.SetRefName(ref);
    CPin pin({0, 0}, {300, 0}, kPinPower | (hidden ? uint32_t{kPinHidden} : 0u));
    pin.SetNo(no, {0, 0}, kOrgBottomLeft);
    e.SetPin(pin);
    return e;
  };
  NetList nets;
  nets.push_back(std::make_unique<CNet>());
  nets[0]->SetNetName("VCC");
  for (const auto& e : {entry("U1", "14", true), entry("R1", "1", false), entry("U2", "14", true),
                        entry("U3", "14", true)})
    nets[0]->Entries().push_back(std::make_unique<CNetName>(e));
  nets.push_back(std::make_unique<CNet>());
  nets[1]->SetNetName("P5V");
  nets[1]->Add(entry("U1", "14", false));
  nets[1]->Add(entry("U3", "14", false));
  ASSERT_EQ(CSheet::NetCorrection(nets, 0), 0);
  EXPECT_EQ(Nodes(*nets[0]), (Strings{"R1-1", "U2-14"}));
  EXPECT_EQ(Nodes(*nets[1]), (Strings{"U1-14", "U3-14"}));
}

// --- order ------------------------------------------------------------------------

TEST(NetOrder, EntriesSortByReferenceThenPinNumber) {
  CNet net;
  for (const auto& [ref, no] : std::vector<std::pair<std::string, std::string>>{{"U10", "1"},
                                                                                {"U1", "A2"},
                                                                                {"U1", "10"},
                                                                                {"U2", "1"},
                                                                                {"u1", "2"},
                                                                                {"U1", "1"},
                                                                                {"C1", "1"},
                                                                                {"U1", "B1"},
                                                                                {"U1", "A10"}})
    net.Add(Entry(ref, no));
  net.Sort();
  EXPECT_EQ(Nodes(net), (Strings{"C1-1", "U1-1", "u1-2", "U1-10", "U1-A2", "U1-A10", "U1-B1",
                                 "U2-1", "U10-1"}));
  EXPECT_EQ(net.Entries()[1]->GetRefPrefix(), "U");
  EXPECT_EQ(net.Entries()[1]->GetRefNo(), 1);
}

TEST(NetOrder, EqualEntriesKeepTheirOrderAndMarkedNetsAreNotSorted) {
  CNet net;
  CNetName first = Entry("R1", "1"), second = Entry("R1", "1");
  first.SetPartName("first");
  second.SetPartName("second");
  net.Append2([&] {
    CNet n;
    n.Add(Entry("R2", "1"));
    return n;
  }());
  net.Entries().push_back(std::make_unique<CNetName>(first));
  net.Entries().push_back(std::make_unique<CNetName>(second));
  net.Sort();
  EXPECT_EQ(net.Entries()[0]->GetPartName(), "first");
  EXPECT_EQ(net.Entries()[1]->GetPartName(), "second");

  CNet open;
  open.Add(Entry("R2", "1"));
  open.Add(Entry("R1", "1"));
  open.SetNetName(kOpenPin1);
  open.Sort();
  EXPECT_EQ(Nodes(open), (Strings{"R2-1", "R1-1"}));
}

TEST(NetOrder, BreakPinNoAndBreakPartRef) {
  struct {
    std::string text, letters;
    int number;
  } pins[] = {{"A12", "A", 12},
              {"12", "", 12},
              {"GND", "GND", -1},
              {"", "", -1},
              {"1A", "", 1},
              {"B1C2", "B", 1},
              {"99999999999", "", 2147483647}};
  for (const auto& c : pins) {
    std::string text = c.text;
    int n = 0;
    CNetName::BreakPinNo(text, n);
    EXPECT_EQ(text, c.letters) << c.text;
    EXPECT_EQ(n, c.number) << c.text;
  }
  struct {
    std::string ref, prefix, suffix;
    int number;
  } refs[] = {{"U12A", "U", "A", 12}, {"12", "", "", 12},   {"CONN", "CONN", "", 0},
              {"R?", "R", "", 0},     {"U?B", "U", "B", 0}, {"U1B2", "U1B", "", 2}};
  for (const auto& c : refs) {
    CNetName e;
    e.SetRefName(c.ref);
    e.BreakPartRef();
    EXPECT_EQ(e.GetRefPrefix(), c.prefix) << c.ref;
    EXPECT_EQ(e.GetRefSuffix(), c.suffix) << c.ref;
    EXPECT_EQ(e.GetRefNo(), c.number) << c.ref;
  }
}

TEST_F(NetsTest, SortNetOrdersRealNetsAndLeavesTheOthersInPlace) {
  NetList nets;
  auto add = [&](std::vector<std::pair<std::string, std::string>> entries, const char* name) {
    auto net = std::make_unique<CNet>();
    for (const auto& [ref, no] : entries) net->Add(Entry(ref, no));
    if (name) net->SetNetName(name);
    nets.push_back(std::move(net));
  };
  add({{"U2", "3"}, {"R1", "1"}}, nullptr);
  add({{"R9", "1"}}, kOpenPin1.data());
  add({{"U10", "1"}, {"U2", "1"}}, "B");
  add({{"C1", "1"}, {"C2", "2"}}, "{TAVRO}Open Pin2");
  add({{"C5", "1"}, {"U1", "1"}}, "A");
  ASSERT_EQ(CSheet::SortNet(nets), 0);
  std::vector<Strings> order;
  for (const auto& n : nets) order.push_back(Nodes(*n));
  EXPECT_EQ(
      order,
      (std::vector<Strings>{
          {"C5-1", "U1-1"}, {"R9-1"}, {"R1-1", "U2-3"}, {"C1-1", "C2-2"}, {"U2-1", "U10-1"}}));
}

// --- net records ----------------------------------------------------------------------

TEST(NetRecord, PredicatesOfTheWriters) {
  struct {
    const char* what;
    int entries;
    Strings names;
    bool real, alias, openPin, openWire;
  } cases[] = {
      {"two pins", 2, {}, true, true, false, false},
      {"two pins named", 2, {"A"}, true, true, false, false},
      {"alias", 2, {"A", "B"}, true, false, false, false},
      {"open pin", 1, {std::string(kOpenPin1)}, false, true, true, false},
      {"open hidden pin", 1, {std::string(kOpenPin2)}, false, true, true, false},
      {"marked pair", 2, {std::string(kOpenPin1)}, false, true, true, false},
      {"single pin", 1, {}, false, true, false, true},
      {"named single pin", 1, {"VCC"}, false, true, false, true},
      {"wire only", 0, {}, false, true, false, true},
      {"alias single pin", 1, {"A", "B"}, false, false, false, false},
  };
  for (const auto& c : cases) {
    CNet net;
    for (int i = 0; i < c.entries; ++i) net.Add(Entry("R" + std::to_string(i + 1), "1"));
    for (const auto& n : c.names) net.SetNetName(n);
    EXPECT_EQ(net.CheckNet(), c.real) << c.what;
    EXPECT_EQ(net.CheckAliasNet(), c.alias) << c.what;
    EXPECT_EQ(net.IsOpenPinNet(), c.openPin) << c.what;
    EXPECT_EQ(net.IsOpenWireNet(), c.openWire) << c.what;
    EXPECT_TRUE(net.CheckPowerNet());
    EXPECT_FALSE(net.CheckHideNet());
  }
}

TEST(NetRecord, AddingAppendingAndCleaningUp) {
  CNet a;
  a.Add(CLine({0, 0}, {100, 0}, kLineWire));
  a.Add(CLine({0, 0}, {100, 0}, kLineWire));
  a.Add(CJunc({5, 5}));
  a.Add(CJunc({5, 5}));
  a.Add(Entry("R1", "1"));
  a.Add(Entry("r1", "1"));  // equal: reference and number compared without case
  a.SetNetName("VCC");
  a.SetNetName("vcc");
  EXPECT_EQ(a.Wires().size(), 1u);
  EXPECT_EQ(a.Juncs().size(), 1u);
  EXPECT_EQ(a.Entries().size(), 1u);
  EXPECT_EQ(a.Names(), Strings{"VCC"});
  EXPECT_TRUE(a.CheckItem(CPin({0, 0}, {300, 0}, kPinInput)));  // a bare pin: by position

  CNet b;
  b.Add(Entry("R1", "1"));
  b.Add(Entry("R2", "1"));
  b.SetNetName("P5V");
  b.SetNetName("Vcc");
  CNet merged = a;
  merged.Append(b);
  EXPECT_EQ(Nodes(merged), (Strings{"R1-1", "R2-1"}));
  EXPECT_EQ(merged.Names(), (Strings{"VCC", "P5V"}));
  CNet kept = a;
  kept.Append2(b);
  EXPECT_EQ(Nodes(kept), (Strings{"R1-1", "R1-1", "R2-1"}));
  EXPECT_TRUE(kept.Wires().size() == 1u && kept.Juncs().size() == 1u);
  kept.NetRefPinCorrection();
  EXPECT_EQ(Nodes(kept), (Strings{"R1-1", "R2-1"}));

  // Names shared only through a marker never match.
  CNet m1, m2;
  m1.SetNetName(kOpenPin1);
  m2.SetNetName(kOpenPin1);
  EXPECT_FALSE(m1.CheckNetName(m2));
  EXPECT_TRUE(m1.CheckNetName(kOpenPin1));
  EXPECT_TRUE(merged.CheckNetName(b));
}

}  // namespace
}  // namespace tavro
