// Wire groups and the point-connection tests of the editor.
#include "core/net/connectivity.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/platform/settings.h"
#include "model/fixed_font_engine.h"
#include "net/net_sheets.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::AddGnd;
using test::AddPin;
using test::AddResistor;
using test::AddWire;
using test::HiddenPin;

class ConnectivityTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
  test::RecordingHost host_;
  ScopedHost scoped_{&host_};
};

std::vector<std::vector<std::string>> NamesOf(const NetList& nets) {
  std::vector<std::vector<std::string>> out;
  for (const auto& n : nets) out.push_back(n->Names());
  return out;
}

// --- wire groups ---------------------------------------------------------------

TEST_F(ConnectivityTest, SheetWithoutPartsHasNoGroups) {
  CSheet sheet;
  AddWire(sheet, {0, 0}, {1000, 0}, "VCC");
  NetList nets;
  EXPECT_EQ(sheet.CreateWireGroup(nets), 0);
  EXPECT_TRUE(nets.empty());
  EXPECT_TRUE(host_.stages.empty());
}

struct GroupCase {
  const char* name;
  std::function<void(CSheet&)> build;
  std::vector<std::vector<std::string>> names;  // names of each group, in list order
};

// Shown by the test runner (ctest lists each case by this, not by its bytes).
void PrintTo(const GroupCase& c, std::ostream* os) { *os << c.name; }

class WireGroupCases : public ConnectivityTest, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(WireGroupCases, Groups) {
  CSheet sheet;
  AddResistor(sheet, "R1", 20000, 20000);  // far away: a sheet without parts has no groups
  GetParam().build(sheet);
  NetList nets;
  ASSERT_EQ(sheet.CreateWireGroup(nets), 0);
  EXPECT_EQ(NamesOf(nets), GetParam().names);
  for (const auto& n : nets) EXPECT_TRUE(n->Entries().empty());
}

const GroupCase kGroupCases[] = {
    {"EndToEnd",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {500, 0});
       AddWire(s, {500, 0}, {500, 500});
     },
     {{}}},
    {"TJointWithoutDot",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0});
       AddWire(s, {500, 0}, {500, 500});
     },
     {{}, {}}},
    {"TJointWithDot",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0});
       AddWire(s, {500, 0}, {500, 500});
       s.NewJunc({500, 0});
     },
     {{}}},
    {"CrossingWithoutDot",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0});
       AddWire(s, {500, -500}, {500, 500});
     },
     {{}, {}}},
    {"CrossingWithDot",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0});
       AddWire(s, {500, -500}, {500, 500});
       s.NewJunc({500, 0});
     },
     {{}}},
    {"DotOnTheMiddleOfOneWireOnly",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0});
       AddWire(s, {0, 300}, {1000, 300});
       s.NewJunc({500, 0});
     },
     {{}, {}}},
    {"SameLabelFarApartCaseIgnored",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0}, "VCC");
       AddWire(s, {0, 5000}, {1000, 5000}, "vcc");
     },
     {{"VCC"}}},
    {"TouchingWiresKeepBothLabelsInOrderMet",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {500, 0}, "DATA");
       AddWire(s, {500, 0}, {1000, 0}, "DATA_B");
     },
     {{"DATA", "DATA_B"}}},
    {"FirstMatchLeavesABridgeToTheMerge",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {100, 0});
       AddWire(s, {1000, 0}, {1100, 0}, "B");
       AddWire(s, {100, 0}, {1000, 0});
     },
     {{"B"}}},
    {"LabelJoinsByNameBeforeContact",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {100, 0}, "A");
       AddWire(s, {0, 5000}, {100, 5000}, "B");
       AddWire(s, {100, 5000}, {200, 5000}, "A");  // touches B, carries A
     },
     {{"A", "B"}}},
    {"BusesAndLinesNeverConnect",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {500, 0});
       s.NewBus({500, 0}, {1000, 0});
       s.NewLine({500, 0}, {1000, 0});
       AddWire(s, {1000, 0}, {1500, 0});
     },
     {{}, {}}},
    {"MarkerLabelsNeverMergeByName",
     [](CSheet& s) {
       AddWire(s, {0, 0}, {1000, 0}, "{TAVRO}Open Pin1");
       AddWire(s, {0, 5000}, {1000, 5000}, "{TAVRO}Open Pin1");
     },
     {{"{TAVRO}Open Pin1"}, {"{TAVRO}Open Pin1"}}},
};

INSTANTIATE_TEST_SUITE_P(Sheets, WireGroupCases, ::testing::ValuesIn(kGroupCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectivityTest, DotInsideALabelJoinsTheLabelledWire) {
  CSheet sheet;
  AddResistor(sheet, "R1", 20000, 20000);
  CLine& labelled = AddWire(sheet, {0, 0}, {2000, 0}, "CLOCK");
  const CRect label = labelled.GetNameText().GetBoundingRect().Normalized();
  ASSERT_FALSE(label.IsRectEmpty());
  const CPoint dot = label.CenterPoint();
  ASSERT_GT(dot.y, labelled.GetWidth());  // off the stroke itself
  sheet.NewJunc(dot);
  AddWire(sheet, dot, dot + CPoint(0, 1000));

  NetList nets;
  ASSERT_EQ(sheet.CreateWireGroup(nets), 0);
  ASSERT_EQ(nets.size(), 1u);
  EXPECT_EQ(nets[0]->Wires().size(), 2u);
  EXPECT_EQ(nets[0]->Juncs().size(), 1u);
}

TEST_F(ConnectivityTest, GroupContactIsByExactPoints) {
  CNet a, b;
  a.Add(CLine({0, 0}, {100, 0}, kLineWire));
  a.Add(CJunc({50, 0}));
  CNetName hidden;
  hidden.SetPin(CPin({200, 200}, {300, 300}, HiddenPin(kPinPower)));
  a.Add(hidden);
  EXPECT_TRUE(a.CheckPoint(CPoint(100, 0)));
  EXPECT_TRUE(a.CheckPoint(CPoint(50, 0)));
  EXPECT_FALSE(a.CheckPoint(CPoint(60, 0)));     // on the wire, but not an end
  EXPECT_FALSE(a.CheckPoint(CPoint(300, 300)));  // hidden pins never touch

  b.Add(CLine({50, 0}, {50, 500}, kLineWire));  // ends on a's dot
  EXPECT_TRUE(a.CheckPoint(b));
  CNet c;
  CNetName shown;
  shown.SetPin(CPin({0, 100}, {0, 0}, kPinPassive));  // connection point on a's wire end
  c.Add(shown);
  EXPECT_TRUE(a.CheckPoint(c));
  EXPECT_TRUE(c.CheckPoint(a));
}

// --- counting and the junction rule --------------------------------------------

TEST_F(ConnectivityTest, GetOnCountSelectors) {
  CSheet sheet;
  AddWire(sheet, {0, 0}, {1000, 0});
  AddWire(sheet, {500, 0}, {500, 500});
  sheet.NewJunc({500, 0});
  CPart& r = AddResistor(sheet, "R1", 800, 0);  // pin 1 from (800, 0) to (500, 0)
  r.Pins()[1]->ModifyElect(kPinHidden, 0);
  struct {
    CPoint p;
    int selector;
    int count;
  } cases[] = {
      {{500, 0}, 1, 2},  {{100, 4}, 1, 1},   {{500, 0}, 7, 1},
      {{501, 0}, 7, 0},  {{500, 0}, 23, 1},  {{1300, 0}, 23, 0},  // hidden pin 2 is not counted
      {{500, 0}, 32, 1}, {{1000, 0}, 32, 1}, {{500, 0}, 2, 0},
      {{500, 0}, 33, 0}, {{500, 0}, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sheet.GetOnCount(c.p, c.selector), c.count)
        << c.p.x << "," << c.p.y << " selector " << c.selector;
}

TEST_F(ConnectivityTest, CheckJunc) {
  struct Case {
    const char* name;
    std::function<void(CSheet&)> build;
    CPoint at;
    bool allowTwo;
    bool want;
  } cases[] = {
      {"corner",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {500, 0});
         AddWire(s, {500, 0}, {500, 500});
       },
       {500, 0},
       false,
       false},
      {"end to end",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {500, 0});
         AddWire(s, {500, 0}, {900, 0});
       },
       {500, 0},
       true,
       false},
      {"third wire ends on a corner",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {500, 0});
         AddWire(s, {500, 0}, {500, 500});
         AddWire(s, {500, 0}, {500, -500});
       },
       {500, 0},
       false,
       true},
      {"wire ends on a through wire",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {1000, 0});
         AddWire(s, {500, 0}, {500, 500});
       },
       {500, 0},
       false,
       true},
      {"dot already there",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {1000, 0});
         AddWire(s, {500, 0}, {500, 500});
         s.NewJunc({500, 0});
       },
       {500, 0},
       false,
       false},
      {"one wire on one pin, allow two",
       [](CSheet& s) {
         AddResistor(s, "R1", 0, 0);
         AddWire(s, {700, 0}, {1200, 0});
       },
       {700, 0},
       true,
       true},
      {"one wire on one pin",
       [](CSheet& s) {
         AddResistor(s, "R1", 0, 0);
         AddWire(s, {700, 0}, {1200, 0});
       },
       {700, 0},
       false,
       false},
      {"three pins",
       [](CSheet& s) {
         AddResistor(s, "R1", 0, 0);
         AddResistor(s, "R2", 1000, 0);  // pin 1 ends where R1's pin 2 ends
         CPart& r3 = s.NewPart({700, 500}, {0, 0}, {0, 0}, 1, 0, 0, 0);
         r3.SetRefName("R3", {700, 600}, kOrgBottomLeft);
         AddPin(r3, {700, 300}, {700, 0}, "1");
       },
       {700, 0},
       false,
       true},
      {"nothing there",
       [](CSheet& s) {
         AddWire(s, {0, 0}, {500, 0});
       },
       {2000, 0},
       true,
       false},
  };
  for (const auto& c : cases) {
    CSheet sheet;
    c.build(sheet);
    EXPECT_EQ(sheet.CheckJunc(c.at, c.allowTwo), c.want) << c.name;
  }
}

// --- wires on pins ---------------------------------------------------------------

TEST_F(ConnectivityTest, CheckOnPinAtAPoint) {
  CSheet sheet;
  CPart& r = AddResistor(sheet, "R1", 0, 0);
  r.Pins()[0]->ModifyElect(kPinHidden, 0);
  sheet.NewPin({5000, 0}, {5300, 0}, kPinPassive);
  EXPECT_TRUE(sheet.CheckOnPin(CPoint(600, 0)));
  EXPECT_TRUE(sheet.CheckOnPin(CPoint(700, 1)));    // the pin box is grown by one
  EXPECT_FALSE(sheet.CheckOnPin(CPoint(-200, 0)));  // hidden pin
  EXPECT_TRUE(sheet.CheckOnPin(CPoint(5100, 0)));   // free pin
  EXPECT_FALSE(sheet.CheckOnPin(CPoint(600, 50)));
}

TEST_F(ConnectivityTest, WiresAlongPinsAreCutBackToTheConnectionPoint) {
  struct Case {
    CPoint a, b;
    bool hit;
    bool deleted;
    CPoint wantA, wantB;
  } cases[] = {
      // R1: pin 1 from (0, 0) to (-300, 0), pin 2 from (400, 0) to (700, 0).
      {{500, 0}, {1200, 0}, true, false, {700, 0}, {1200, 0}},
      {{1200, 0}, {500, 0}, true, false, {1200, 0}, {700, 0}},
      {{-100, 0}, {-800, 0}, true, false, {-300, 0}, {-800, 0}},
      {{450, 0}, {650, 0}, true, true, {}, {}},
      {{600, 0}, {600, 0}, true, true, {}, {}},
      {{700, 0}, {700, 0}, true, true, {}, {}},
      {{700, 0}, {1200, 0}, false, false, {700, 0}, {1200, 0}},
      {{600, -200}, {600, 200}, false, false, {600, -200}, {600, 200}},
      {{500, 10}, {1200, 10}, false, false, {500, 10}, {1200, 10}},
  };
  for (const auto& c : cases) {
    CSheet sheet;
    AddResistor(sheet, "R1", 0, 0);
    AddWire(sheet, {3000, 3000}, {3500, 3000});  // an unrelated wire stays
    AddWire(sheet, c.a, c.b);
    const std::string what = std::to_string(c.a.x) + "," + std::to_string(c.a.y) + " " +
                             std::to_string(c.b.x) + "," + std::to_string(c.b.y);
    EXPECT_EQ(sheet.CheckOnPin() > 0, c.hit) << what;
    ASSERT_EQ(sheet.Wires().size(), c.deleted ? 1u : 2u) << what;
    EXPECT_EQ(sheet.Wires()[0]->GetStartPoint(), CPoint(3000, 3000));
    if (!c.deleted) {
      EXPECT_EQ(sheet.Wires()[1]->GetStartPoint(), c.wantA) << what;
      EXPECT_EQ(sheet.Wires()[1]->GetEndPoint(), c.wantB) << what;
    }
  }
}

TEST_F(ConnectivityTest, HiddenPinsAndFreePinsInTheCutBack) {
  CSheet sheet;
  CPart& r = AddResistor(sheet, "R1", 0, 0);
  r.Pins()[1]->ModifyElect(kPinHidden, 0);
  sheet.NewPin({5000, 0}, {5300, 0}, kPinPassive);
  AddWire(sheet, {500, 0}, {1200, 0});   // along the hidden pin: left alone
  AddWire(sheet, {5100, 0}, {5800, 0});  // along the free pin: cut back
  EXPECT_EQ(sheet.CheckOnPin(), 1);
  EXPECT_EQ(sheet.Wires()[0]->GetStartPoint(), CPoint(500, 0));
  EXPECT_EQ(sheet.Wires()[1]->GetStartPoint(), CPoint(5300, 0));
}

// --- open-pin marks ---------------------------------------------------------------

class PinOpenTest : public ConnectivityTest {
 protected:
  void Set(int ncX, int openX) {
    AppSettings().WriteInt("Default", "Pin NCX", ncX);
    AppSettings().WriteInt("Default", "Pin OpenX", openX);
  }
  void TearDown() override { Set(0, 0); }
};

// A sheet with: R1 pin 1 on a wire end, pin 2 open; R2 and R3 touching pin to
// pin (their outer pins open); R4 pin 1 on a dot on a through wire, pin 2 on a lone dot; U1 with a
// No Connect pin on a wire end, an open No Connect pin and a hidden pin.
void BuildOpenPinSheet(CSheet& sheet) {
  AddResistor(sheet, "R1", 0, 0);
  AddWire(sheet, {-300, 0}, {-300, 500});
  AddResistor(sheet, "R2", 0, 2000);
  AddResistor(sheet, "R3", 1000, 2000);
  AddResistor(sheet, "R4", 0, 4000);
  AddWire(sheet, {-300, 3500}, {-300, 4500});
  sheet.NewJunc({-300, 4000});
  sheet.NewJunc({700, 4000});
  CPart& u = sheet.NewPart({5000, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  u.SetRefName("U1", {5000, 200}, kOrgBottomLeft);
  AddPin(u, {5000, 0}, {4700, 0}, "1", kPinNoConnect);
  AddPin(u, {5000, -200}, {4700, -200}, "2", kPinNoConnect);
  AddPin(u, {5000, -400}, {4700, -400}, "3", HiddenPin(kPinInput));
  u.CalcBoundRect();
  AddWire(sheet, {4700, 0}, {4200, 0});
}

std::vector<std::string> WithX(const CSheet& sheet) {
  std::vector<std::string> out;
  for (const auto& p : sheet.Parts())
    for (const auto& pin : p->Pins())
      if (pin->IsDispX()) out.push_back(p->GetRefName() + "-" + pin->GetNo());
  return out;
}

TEST_F(PinOpenTest, MarksFollowTheSettings) {
  struct {
    int ncX, openX;
    std::vector<std::string> want;
  } cases[] = {
      {0, 0, {}},
      {1, 0, {"U1-1", "U1-2"}},
      {0, 1, {"R1-2", "R2-1", "R3-2", "R4-2"}},
      {1, 1, {"R1-2", "R2-1", "R3-2", "R4-2", "U1-1", "U1-2"}},  // a No Connect pin keeps its X
  };
  for (const auto& c : cases) {
    Set(c.ncX, c.openX);
    CSheet sheet;
    BuildOpenPinSheet(sheet);
    ASSERT_EQ(sheet.GetCalcOpenMode(), 1);
    sheet.CalcPinOpen();
    EXPECT_EQ(WithX(sheet), c.want) << c.ncX << c.openX;
    EXPECT_EQ(sheet.GetCalcOpenMode(), 0);
  }
}

// Marks are set and cleared on displayed pins only: a hidden pin keeps the
// mark it held before it was hidden, whatever the settings, and that mark
// does not take away the mark of a displayed pin at the same point (hidden
// pins connect nothing by position).
TEST_F(PinOpenTest, HiddenPinsKeepTheirMarkAsItStands) {
  struct {
    int ncX, openX;
    std::vector<std::string> want;
  } cases[] = {
      {0, 0, {"U1-3", "U1-4"}},
      {1, 0, {"U1-1", "U1-2", "U1-3", "U1-4"}},
      {0, 1, {"R1-2", "R2-1", "R3-2", "R4-2", "U1-3", "U1-4", "U1-5"}},
      {1, 1, {"R1-2", "R2-1", "R3-2", "R4-2", "U1-1", "U1-2", "U1-3", "U1-4", "U1-5"}},
  };
  for (const auto& c : cases) {
    Set(c.ncX, c.openX);
    CSheet sheet;
    BuildOpenPinSheet(sheet);
    CPart& u = *sheet.Parts().back();
    // Pin 3 (hidden Input) and a hidden No Connect pin 4 were marked before
    // they were hidden; the displayed Input pin 5 ends where pin 3 ends.
    AddPin(u, {5000, -600}, {4700, -600}, "4", HiddenPin(kPinNoConnect));
    AddPin(u, {5000, -400}, {4700, -400}, "5", kPinInput);
    u.CalcBoundRect();
    u.Pins()[2]->ModifyElect(kPinOpenX, 0);
    u.Pins()[3]->ModifyElect(kPinOpenX, 0);
    sheet.SetCalcOpenMode(1);
    sheet.CalcPinOpen();
    EXPECT_EQ(WithX(sheet), c.want) << c.ncX << c.openX;
  }
}

TEST_F(PinOpenTest, NothingHappensUntilTheSheetChanged) {
  Set(0, 1);
  CSheet sheet;
  BuildOpenPinSheet(sheet);
  sheet.CalcPinOpen();
  const std::vector<std::string> before = {"R1-2", "R2-1", "R3-2", "R4-2"};
  EXPECT_EQ(WithX(sheet), before);
  // Connect R1's open pin without telling the sheet: the marks stay.
  sheet.Wires()[0]->SetStartPoint({700, 0});
  sheet.CalcPinOpen();
  EXPECT_EQ(WithX(sheet), before);
  sheet.SetCalcOpenMode(1);
  sheet.CalcPinOpen();
  EXPECT_EQ(WithX(sheet), (std::vector<std::string>{"R1-1", "R2-1", "R3-2", "R4-2"}));
  // Switching the marks off clears every one.
  Set(0, 0);
  sheet.SetCalcOpenMode(1);
  sheet.CalcPinOpen();
  EXPECT_TRUE(WithX(sheet).empty());
}

// --- highlight and cross references ---------------------------------------------

// A: CLK wire; B touches A's end; F ends on A's middle on a dot; G crosses A
// without a dot; C, D: a far wire named clk and one touching it; E alone.
void BuildHighlightSheet(CSheet& sheet) {
  AddWire(sheet, {0, 0}, {500, 0}, "CLK");  // A
  AddWire(sheet, {500, 0}, {500, 500});     // B
  AddWire(sheet, {250, 0}, {250, -500});    // F
  sheet.NewJunc({250, 0});
  AddWire(sheet, {400, 500}, {400, -500});      // G
  AddWire(sheet, {3000, 0}, {3500, 0}, "clk");  // C
  AddWire(sheet, {3500, 0}, {3500, 500});       // D
  AddWire(sheet, {0, 2000}, {500, 2000});       // E
}

std::vector<bool> Lit(const CSheet& sheet) {
  std::vector<bool> out;
  for (const auto& w : sheet.Wires()) out.push_back((w->GetType() & kLineHighlight) != 0);
  return out;
}

TEST_F(ConnectivityTest, HighlightFollowsTouchingDottedAndSameNamedWires) {
  const std::vector<bool> want = {true, true, true, false, true, true, false};
  {
    CSheet sheet;
    BuildHighlightSheet(sheet);
    std::vector<std::string> names;
    const CRect box = sheet.SetHighlight({0, 0}, names, false);
    EXPECT_EQ(Lit(sheet), want);
    EXPECT_EQ(names, std::vector<std::string>{"CLK"});
    CRect expect;
    for (size_t i = 0; i < want.size(); ++i)
      if (want[i]) expect |= sheet.Wires()[i]->GetBoundingRect();
    EXPECT_EQ(box, expect);
  }
  {
    CSheet sheet;
    BuildHighlightSheet(sheet);
    std::vector<std::string> names = {"NONE", "clk"};
    sheet.SetHighlight({}, names, true);
    EXPECT_EQ(Lit(sheet), want);
    EXPECT_EQ(names, (std::vector<std::string>{"NONE", "clk"}));
  }
  {
    CSheet sheet;
    BuildHighlightSheet(sheet);
    std::vector<std::string> names = {"NONE"};
    EXPECT_TRUE(sheet.SetHighlight({}, names, true).IsRectEmpty());
    EXPECT_EQ(Lit(sheet), std::vector<bool>(want.size(), false));
  }
}

TEST_F(ConnectivityTest, HighlightKeepsFarApartPointsApart) {
  // Points that agree in their low 16 bits are still different points.
  CSheet sheet;
  AddWire(sheet, {0, 0}, {100, 0});
  AddWire(sheet, {65536, 0}, {65636, 0});
  std::vector<std::string> names;
  sheet.SetHighlight({0, 0}, names, false);
  EXPECT_EQ(Lit(sheet), (std::vector<bool>{true, false}));
}

TEST_F(ConnectivityTest, CrossReferencesOfSameNamedWires) {
  CSheet sheet;
  CLine& a = AddWire(sheet, {0, 0}, {100, 0}, "SDA");
  AddWire(sheet, {0, 1000}, {100, 1000}, "sda");
  AddWire(sheet, {0, 2000}, {100, 2000}, "SCL");
  AddWire(sheet, {0, 3000}, {100, 3000});
  CLine& bus = sheet.NewBus({0, 4000}, {100, 4000});
  bus.SetName("SDA", {0, 4010}, kOrgBottomLeft);

  sheet.SetRecalcCrossNet(a);
  std::vector<bool> marked;
  for (const auto& w : sheet.Wires()) marked.push_back((w->GetType() & kLineRecalcCross) != 0);
  EXPECT_EQ(marked, (std::vector<bool>{false, true, false, false}));
  EXPECT_EQ(bus.GetType() & kLineRecalcCross, 0u);

  std::vector<const CLine*> list = {&a};
  sheet.GetCrossNet(list);
  EXPECT_EQ(list, (std::vector<const CLine*>{&a, sheet.Wires()[1].get(), &a}));
  // An unnamed wire has no cross references.
  std::vector<const CLine*> none = {sheet.Wires()[3].get()};
  sheet.GetCrossNet(none);
  EXPECT_EQ(none.size(), 1u);
}

}  // namespace
}  // namespace tavro
