#include "core/model/sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform/settings.h"
#include "model/fixed_font_engine.h"
#include "support/test_util.h"

namespace tavro {
namespace {

class SheetTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

// A part drawn as a diagonal stroke centred on c, so that its centre is c.
CPart& PartAt(CSheet& s, CPoint c, const std::string& ref = "R?") {
  CPart& p = s.NewPart(c, {0, 0}, {0, 0}, 1, 0, 0, 0);
  p.NewLine(c - CPoint(100, 100), c + CPoint(100, 100));
  p.SetRefName(ref, c, kOrgBottomLeft);
  p.CalcBoundRect();
  return p;
}

std::vector<std::string> Refs(const CSheet& s) {
  std::vector<std::string> out;
  for (const auto& p : s.Parts()) out.push_back(p->GetRefName());
  return out;
}

// --- adding and removing -----------------------------------------------------

TEST_F(SheetTest, LinesLandInTheListOfTheirType) {
  CSheet s(kSheetScratch);
  s.NewLine(CLine({0, 0}, {100, 0}, 3));  // not a known type: a wire
  s.NewLine(CLine({0, 0}, {100, 0}, kLineGraphic));
  s.NewLine(CLine({0, 0}, {100, 0}, kLineBus | kLinePower));
  s.NewWire({0, 0}, {0, 100});
  s.NewBus({5, 5});
  s.NewLine({7, 7});
  EXPECT_EQ(s.Wires().size(), 2u);
  EXPECT_EQ(s.Wires()[0]->GetType(), 3u);
  EXPECT_EQ(s.Buses().size(), 2u);
  EXPECT_EQ(s.Lines().size(), 2u);
  EXPECT_EQ(s.Lines()[1]->GetStartPoint(), s.Lines()[1]->GetEndPoint());
  EXPECT_EQ(s.GetItemCount(), 6);
}

TEST_F(SheetTest, AddDeleteAndIdentity) {
  CSheet s(kSheetScratch);
  CLine wire({0, 0}, {100, 0}, kLineWire);
  CText text("hello", {10, 10}, 70, kOrgBottomLeft);
  CPin pin({0, 0}, {300, 0}, 0);
  CJunc junc({5, 5});
  CArc arc({0, 0}, 100, 0, 90, 0, 8);
  CPart part({0, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  part.SetRefName("R1", {0, 0}, kOrgBottomLeft);

  std::vector<CObject*> added;
  for (const CObject* item : std::vector<const CObject*>{&wire, &text, &pin, &junc, &arc, &part})
    added.push_back(s.AddItem(*item));
  EXPECT_EQ(s.GetItemCount(), 6);
  for (CObject* item : added) EXPECT_TRUE(s.CheckItem(item)) << item->GetRuntimeClass();
  // Equal copies are not the items the sheet holds.
  EXPECT_FALSE(s.CheckItem(&wire));
  EXPECT_FALSE(s.CheckItem(&part));

  // Appending a sheet appends copies of its items; the sheet itself is returned.
  CSheet other(kSheetScratch);
  other.NewJunc({9, 9});
  EXPECT_EQ(s.AddItem(other), &s);
  EXPECT_EQ(s.GetItemCount(), 7);

  CPart partCopy = part;
  EXPECT_TRUE(s.DeleteItem(wire));
  EXPECT_TRUE(s.DeleteItem(text));
  EXPECT_TRUE(s.DeleteItem(pin));
  EXPECT_TRUE(s.DeleteItem(junc));
  EXPECT_TRUE(s.DeleteItem(arc));
  EXPECT_TRUE(s.DeleteItem(partCopy));
  EXPECT_FALSE(s.DeleteItem(partCopy));  // no longer there
  EXPECT_FALSE(s.DeleteText(CText("absent", {0, 0}, 70, kOrgBottomLeft)));
  EXPECT_EQ(s.GetItemCount(), 1);
  EXPECT_EQ(s.Juncs().size(), 1u);
}

TEST_F(SheetTest, TakePartsMovesTheChosenPartsInOrder) {
  CSheet from(kSheetScratch), to(kSheetScratch);
  std::vector<const CPart*> made;
  for (const char* ref : {"R1", "", "R2", "U1", ""}) {
    CPart& p = from.NewPart({0, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
    p.SetRefName(ref, {0, 0}, kOrgBottomLeft);
    made.push_back(&p);
  }
  to.NewJunc({1, 1});
  to.TakeParts(from, [](const CPart& p) { return !p.GetRefName().empty(); });
  // The parts themselves, in their order, after what the sheet held.
  ASSERT_EQ(to.Parts().size(), 3u);
  EXPECT_EQ(to.Parts()[0].get(), made[0]);
  EXPECT_EQ(to.Parts()[1].get(), made[2]);
  EXPECT_EQ(to.Parts()[2].get(), made[3]);
  ASSERT_EQ(from.Parts().size(), 2u);
  EXPECT_EQ(from.Parts()[0].get(), made[1]);
  EXPECT_EQ(to.GetItemCount(), 4);
  EXPECT_EQ(from.GetItemCount(), 2);
}

TEST_F(SheetTest, DeleteLineLooksInTheListOfItsType) {
  CSheet s(kSheetScratch);
  s.NewBus({0, 0}, {100, 0});
  // A wire at the same place is not the bus.
  EXPECT_FALSE(s.DeleteLine(CLine({0, 0}, {100, 0}, kLineWire)));
  EXPECT_TRUE(s.DeleteLine(CLine({0, 0}, {100, 0}, kLineBus)));
  EXPECT_EQ(s.GetItemCount(), 0);
}

TEST_F(SheetTest, NewJuncCheck) {
  CSheet s(kSheetScratch);
  CJunc& first = s.NewJuncCheck({100, 100});
  CJunc& again = s.NewJuncCheck({100, 100});
  EXPECT_EQ(&first, &again);
  EXPECT_EQ(s.GetItemCount(), 1);
  s.NewJuncCheck({100, 101});
  EXPECT_EQ(s.GetItemCount(), 2);
}

TEST_F(SheetTest, CalcOpenModeOnTheMainSheet) {
  struct Case {
    const char* what;
    void (*add)(CSheet&);
    int expected;
  };
  const Case cases[] = {
      {"wire",
       [](CSheet& s) {
         s.NewWire({0, 0}, {1, 0});
       },
       1},
      {"type-3 line",
       [](CSheet& s) {
         s.NewLine(CLine({0, 0}, {1, 0}, 3));
       },
       1},
      {"junction",
       [](CSheet& s) {
         s.NewJunc({0, 0});
       },
       1},
      {"part",
       [](CSheet& s) {
         s.NewPart({0, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
       },
       1},
      {"bus",
       [](CSheet& s) {
         s.NewBus({0, 0}, {1, 0});
       },
       0},
      {"graphic line",
       [](CSheet& s) {
         s.NewLine({0, 0}, {1, 0});
       },
       0},
      {"pin",
       [](CSheet& s) {
         s.NewPin({0, 0}, {300, 0}, 0);
       },
       0},
      {"text",
       [](CSheet& s) {
         s.NewText("x", {0, 0}, 70, kOrgBottomLeft);
       },
       0},
      {"arc",
       [](CSheet& s) {
         s.NewArc({0, 0}, 10, 0, 0, 0, 8);
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSheet main(kSheetMain);
    c.add(main);
    EXPECT_EQ(main.GetCalcOpenMode(), c.expected);
    CSheet scratch(kSheetScratch);
    c.add(scratch);
    EXPECT_EQ(scratch.GetCalcOpenMode(), 0);

    // Removing the item again sets the mode the same way.
    main.SetCalcOpenMode(0);
    CSheet taken(kSheetScratch);
    const unsigned all[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    main.GetItemTail(all, taken);
    EXPECT_EQ(main.GetItemCount(), 0);
    EXPECT_EQ(main.GetCalcOpenMode(), c.expected);
  }
}

TEST_F(SheetTest, NamedLineHook) {
  struct Call {
    std::string name;
    bool added;
  };
  std::vector<Call> calls;
  CSheet main(kSheetMain);
  main.SetCrossNameNotify([&](const CLine& l, bool added) {
    calls.push_back({l.GetName(), added});
  });
  CLine named({0, 0}, {100, 0}, kLineWire);
  named.SetName("DATA0", {0, 10}, 0);
  main.NewLine(named);
  main.NewWire({0, 50}, {100, 50});  // no name: no call
  CLine bus = named;
  bus.ModifyType(kLineKindMask, kLineBus);
  main.NewLine(bus);
  EXPECT_TRUE(main.DeleteLine(named));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_TRUE(calls[0].added && calls[1].added && !calls[2].added);
  EXPECT_EQ(calls[2].name, "DATA0");

  // Other sheets never call it.
  CSheet scratch(kSheetScratch);
  scratch.SetCrossNameNotify([&](const CLine&, bool) { calls.push_back({"scratch", true}); });
  scratch.NewLine(named);
  EXPECT_EQ(calls.size(), 3u);
}

// --- whole sheet -------------------------------------------------------------

TEST_F(SheetTest, CopiesAndComparison) {
  CSheet a(kSheetScratch);
  a.NewWire({0, 0}, {1000, 0});
  a.NewText("note", {100, 100}, 70, kOrgBottomLeft);
  a.NewJunc({500, 0});
  PartAt(a, {2000, 2000}, "R1");

  CSheet b(a);
  EXPECT_EQ(b.GetItemCount(), 4);
  EXPECT_TRUE(a == b);

  // A junction inside the common box is not compared...
  b.NewJunc({600, 0});
  EXPECT_TRUE(a == b);
  // ...one that widens the box is.
  b.NewJunc({-5000, 0});
  EXPECT_FALSE(a == b);

  CSheet c(kSheetMain);
  c = a;
  EXPECT_EQ(c.GetSheetType(), kSheetMain);
  EXPECT_TRUE(c == a);
  c.Texts()[0]->SetName("changed");
  EXPECT_FALSE(c == a);

  c += c;  // appending itself doubles the items
  EXPECT_EQ(c.GetItemCount(), 8);

  const CRect box = c.GetBoundingRect();
  EXPECT_EQ(c.DeleteContents(), box);
  EXPECT_EQ(c.GetItemCount(), 0);
  EXPECT_TRUE(c.DeleteContents().IsRectEmpty());
}

TEST_F(SheetTest, MoveItemHorizontalWires) {
  CSheet from(kSheetScratch);
  from.NewWire({0, 0}, {100, 0});    // horizontal
  from.NewWire({0, 0}, {0, 100});    // vertical
  from.NewWire({0, 0}, {100, 100});  // oblique
  from.NewWire({0, 50}, {200, 50});  // horizontal
  from.NewBus({0, 0}, {100, 0});     // a horizontal bus is not a wire
  CSheet to(kSheetScratch);
  to.NewText("old", {0, 0}, 70, kOrgBottomLeft);  // emptied first

  to.MoveItem(from, kKindHWire);
  ASSERT_EQ(to.Wires().size(), 2u);
  EXPECT_EQ(to.Wires()[1]->GetStartPoint(), CPoint(0, 50));
  EXPECT_TRUE(to.Texts().empty());
  EXPECT_EQ(to.GetItemCount(), 2);
  EXPECT_EQ(from.Wires().size(), 2u);
  EXPECT_EQ(from.Buses().size(), 1u);
  EXPECT_EQ(from.GetItemCount(), 3);

  to.MoveItem(from, kKindVBus);  // no vertical bus: nothing moves
  EXPECT_EQ(to.GetItemCount(), 0);
  to.MoveItem(from, kKindHBus);
  EXPECT_EQ(to.Buses().size(), 1u);
  EXPECT_EQ(from.GetItemCount(), 2);
}

TEST_F(SheetTest, CountsAndKinds) {
  CSheet s(kSheetScratch);
  EXPECT_EQ(s.CheckKind(), 0);
  s.NewWire({0, 0}, {100, 0});
  EXPECT_EQ(s.CheckKind(), kKindHWire);
  s.NewWire({0, 0}, {200, 0});
  EXPECT_EQ(s.CheckKind(), kKindHWire);
  s.NewWire({0, 0}, {0, 100});
  EXPECT_EQ(s.CheckKind(), kKindWire);
  EXPECT_EQ(s.GetCount(kKindHWire), 2);
  EXPECT_EQ(s.GetCount(kKindVWire), 1);

  CSheet v(kSheetScratch);
  v.NewLine({0, 0}, {0, 100});
  EXPECT_EQ(v.CheckKind(), kKindVLine);
  v.NewBus({0, 0}, {0, 100});
  EXPECT_EQ(v.CheckKind(), 0);  // two kinds

  CSheet j(kSheetScratch);
  j.NewJunc({0, 0});
  EXPECT_EQ(j.CheckKind(), 0);

  CSheet p(kSheetScratch);
  PartAt(p, {0, 0}).NewPin({0, 0}, {300, 0}, 0);
  PartAt(p, {500, 0}).NewPin({0, 0}, {300, 0}, 0);
  EXPECT_EQ(p.CheckKind(), kKindPart);
  EXPECT_EQ(p.GetCount(kKindPartPins), 2);
  EXPECT_EQ(p.GetCount(kKindPart), 2);
  EXPECT_EQ(p.GetCount(99), p.GetItemCount());
}

TEST_F(SheetTest, GetItemTail) {
  CSheet s(kSheetScratch);
  for (int i = 0; i < 3; ++i) s.NewText("t" + std::to_string(i), {i, 0}, 70, kOrgBottomLeft);
  s.NewJunc({1, 1});
  s.NewWire({0, 0}, {1, 0});
  s.NewWire({0, 0}, {2, 0});
  const unsigned counts[9] = {4, 2, 0, 0, 0, 0, 0, 0, 5};  // more wires asked than held
  CSheet dest(kSheetScratch);
  s.GetItemTail(counts, dest);
  ASSERT_EQ(dest.Texts().size(), 2u);
  EXPECT_EQ(dest.Texts()[0]->GetName(), "t2");  // newest first
  EXPECT_EQ(dest.Texts()[1]->GetName(), "t1");
  EXPECT_EQ(dest.Wires().size(), 2u);
  EXPECT_EQ(dest.GetItemCount(), 4);
  EXPECT_EQ(s.GetItemCount(), 2);  // the count follows what was really taken
  EXPECT_EQ(s.Texts().size(), 1u);
  EXPECT_EQ(s.Juncs().size(), 1u);
}

TEST_F(SheetTest, MakePart) {
  CSheet s(kSheetMain);
  CLine& l = s.NewLine({0, 0}, {0, 400});
  l.SetCheck(1);
  s.NewPin({0, 100}, {-300, 100}, kPinPower);
  s.NewPin({0, 300}, {-300, 300}, kPinInput);
  s.NewText("name", {0, 0}, 70, kOrgBottomLeft);  // placeholders are skipped
  s.NewText("REF", {0, 0}, 70, kOrgBottomLeft);
  s.NewText("Val", {0, 0}, 70, kOrgBottomLeft);
  s.NewText("label", {0, 0}, 70, kOrgBottomLeft | kTextSelected);
  s.NewText("&MPN&123", {0, 0}, 70, kOrgBottomLeft);
  s.NewArc({0, 200}, 50, 0, 0, 0, 8).SetCheck(1);
  s.SetCalcOpenMode(0);

  CPart part;
  part.SetPartName("IC", {0, 500}, kOrgBottomLeft | kTextHidden);
  s.MakePart(part);
  ASSERT_EQ(part.Pins().size(), 2u);
  EXPECT_FALSE(part.Pins()[0]->IsDisp());  // the power pin is hidden
  EXPECT_TRUE(part.Pins()[1]->IsDisp());
  ASSERT_EQ(part.Texts().size(), 2u);
  EXPECT_FALSE(part.Texts()[0]->IsTextSel());
  EXPECT_TRUE(part.Texts()[0]->IsDisp());
  EXPECT_FALSE(part.Texts()[1]->IsDisp());  // property texts are hidden
  EXPECT_EQ(part.Lines()[0]->GetStartCheck(), 0);
  EXPECT_EQ(part.Arcs()[0]->GetEndCheck(), 0);
  EXPECT_TRUE(part.GetPartNameText().IsDisp());
  EXPECT_FALSE(CRect(part.GetRectStart(), part.GetRectEnd()).IsRectEmpty());
  EXPECT_EQ(s.GetCalcOpenMode(), 1);

  // With "HidePowerPin" off the power pin stays visible.
  AppSettings().WriteInt("MakePart", "HidePowerPin", 0);
  CPart shown;
  s.MakePart(shown);
  AppSettings().DeleteValue("MakePart", "HidePowerPin");
  EXPECT_TRUE(shown.Pins()[0]->IsDisp());
}

TEST_F(SheetTest, TransformsAndArcEnds) {
  CSheet s(kSheetScratch);
  s.NewWire({0, 0}, {100, 0});
  s.NewArc({0, 0}, 100, 0, 90, 0, 8);
  s.NewArc({500, 500}, 100, 0, 90, 0, 8);
  // The first arc is held by its start point (100, 0) only: it stays unless
  // the caller moves such ends too.
  s.Arcs()[0]->SetCheck(CRect(90, -10, 110, 10));
  ASSERT_TRUE(s.Arcs()[0]->CheckEdge());
  s.OffsetItem({10, 0}, false);
  EXPECT_EQ(s.Arcs()[0]->GetCenter(), CPoint(0, 0));
  EXPECT_EQ(s.Arcs()[1]->GetCenter(), CPoint(510, 500));
  EXPECT_EQ(s.Wires()[0]->GetStartPoint(), CPoint(10, 0));

  // dir 0 turns counter-clockwise unless Shift is held.
  CSheet t(kSheetScratch);
  CJunc& j = t.NewJunc({100, 0});
  t.Rotate({0, 0}, 0);
  EXPECT_EQ(j.GetPoint(), CPoint(0, 100));
  t.Rotate({0, 0}, 0, true);
  EXPECT_EQ(j.GetPoint(), CPoint(100, 0));
  t.Rotate({0, 0}, -1);
  EXPECT_EQ(j.GetPoint(), CPoint(0, -100));
  // Free texts turn through all four directions.
  CText& text = t.NewText("x", {0, 0}, 70, kOrgBottomLeft);
  t.Rotate({0, 0}, 1);
  t.Rotate({0, 0}, 1);
  EXPECT_EQ(text.GetDir(), 0x200);
}

TEST_F(SheetTest, TextBatches) {
  CSheet s(kSheetScratch);
  s.NewText("A1", {0, 0}, 70, kOrgBottomLeft);
  s.NewText("B22", {0, 100}, 70, kOrgBottomLeft);
  EXPECT_EQ(s.CheckTextOrg(false), kOrgBottomLeft);
  EXPECT_EQ(s.CheckTextNumber(), -1);  // 1 and 2 digits

  s.ChangeTextNumber(3);
  EXPECT_EQ(s.Texts()[0]->GetName(), "A001");
  EXPECT_EQ(s.CheckTextNumber(), 3);

  // With `more`, selected labels and part texts join the batch.
  CLine& w = s.NewWire({0, 0}, {1000, 0});
  w.SetName("D7", {0, 10}, 0);
  w.NameText().ModifyAngle(kTextSelected, 0);
  CPart& p = PartAt(s, {3000, 3000});
  p.RefNameText().ModifyAngle(kTextSelected, 0);
  s.ChangeTextOrg(kOrgTopRight, 0);
  EXPECT_EQ(s.CheckTextOrg(false), kOrgTopRight);
  EXPECT_EQ(s.CheckTextOrg(true), -1);
  s.ChangeTextOrg(105, 1);  // keypad 9: top right
  EXPECT_EQ(s.CheckTextOrg(true), kOrgTopRight);
  EXPECT_EQ(w.GetNameText().GetOrg(), kOrgTopRight);

  CSheet empty(kSheetScratch);
  EXPECT_EQ(empty.CheckTextOrg(true), -1);
  EXPECT_EQ(empty.CheckTextNumber(), -1);
}

// --- sorting -----------------------------------------------------------------

TEST_F(SheetTest, SortTextAndLines) {
  CSheet s(kSheetScratch);
  for (CPoint p : {CPoint(50, 0), CPoint(10, 100), CPoint(0, 0), CPoint(20, 100)})
    s.NewText("t", p, 70, kOrgBottomLeft);
  s.SortText();
  std::vector<CPoint> got;
  for (const auto& t : s.Texts()) got.push_back(t->GetPoint());
  EXPECT_EQ(got, (std::vector<CPoint>{{10, 100}, {20, 100}, {0, 0}, {50, 0}}));

  struct Case {
    int kind;
    std::vector<CPoint> expected;
  };
  const std::vector<CPoint> starts = {{30, 0}, {10, 50}, {20, 50}, {10, -5}};
  const Case cases[] = {
      {kKindHWire, {{10, 50}, {20, 50}, {30, 0}, {10, -5}}},  // top down, then left to right
      {kKindVWire, {{10, -5}, {10, 50}, {20, 50}, {30, 0}}},  // left to right, then bottom up
      {kKindHLine, {{10, 50}, {20, 50}, {30, 0}, {10, -5}}},
      {kKindLine, {{10, -5}, {10, 50}, {20, 50}, {30, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    CSheet l(kSheetScratch);
    const uint32_t type = c.kind == kKindHWire || c.kind == kKindVWire ? kLineWire : kLineGraphic;
    for (CPoint p : starts) l.NewLine(CLine(p, p + CPoint(5, 0), type));
    l.SortLine(c.kind);
    std::vector<CPoint> order;
    for (const auto& line : l.LineList(type == kLineWire ? kKindHWire : kKindHLine))
      order.push_back(line->GetStartPoint());
    EXPECT_EQ(order, c.expected);
  }
}

TEST_F(SheetTest, SortPart) {
  CSheet s(kSheetScratch);
  PartAt(s, {300, 500}, "A");
  PartAt(s, {100, 500}, "B");
  PartAt(s, {50, 100}, "C");
  PartAt(s, {200, 900}, "D");
  test::RecordingHost host;
  ScopedHost scoped(&host);
  EXPECT_EQ(s.SortPart(), 0);
  EXPECT_EQ(Refs(s), (std::vector<std::string>{"D", "B", "A", "C"}));
  ASSERT_EQ(host.stages.size(), 1u);
  EXPECT_EQ(host.stages[0].stage, kStageSortParts);
  EXPECT_EQ(host.stages[0].total, 4);
  EXPECT_EQ(host.steps, 4);

  // The height of the sheet a part came from counts: rows run from its top.
  CSheet t(kSheetScratch);
  PartAt(t, {100, 500}, "low on a tall sheet").NewText("{TAVRO:SIZE}01700,01000", {0, 0}, 70, 0);
  PartAt(t, {100, 100}, "no size");
  EXPECT_EQ(t.SortPart(), 0);
  EXPECT_EQ(Refs(t), (std::vector<std::string>{"no size", "low on a tall sheet"}));
}

TEST_F(SheetTest, SortPartRefAndCancel) {
  auto make = [](CSheet& s) {
    for (const char* ref : {"R10", "c1", "R2", "C1", "R?"}) PartAt(s, {0, 0}, ref);
  };
  CSheet s(kSheetScratch);
  make(s);
  EXPECT_EQ(s.SortPartRef(), 0);
  EXPECT_EQ(Refs(s), (std::vector<std::string>{"c1", "C1", "R?", "R2", "R10"}));

  test::RecordingHost host;
  host.cancelAtStep = 1;  // the second step answers "stop"
  ScopedHost scoped(&host);
  CSheet c(kSheetScratch);
  make(c);
  EXPECT_EQ(c.SortPartRef(), 1);
  EXPECT_EQ(host.steps, 2);
  EXPECT_EQ(Refs(c)[0], "c1");
  EXPECT_EQ(Refs(c)[1], "C1");
  EXPECT_EQ(c.Parts().size(), 5u);

  host.steps = 0;
  host.cancelAtStep = 0;
  CSheet again(kSheetScratch);
  make(again);
  EXPECT_EQ(again.SortPart(), 1);

  // A sheet without parts is sorted at once.
  CSheet empty(kSheetScratch);
  EXPECT_EQ(empty.SortPartRef(), 0);
  EXPECT_EQ(empty.SortPart(), 0);
}

TEST_F(SheetTest, SortPartRefMatchesThePlainSelectionSort) {
  // Equal references (letter case ignored) are not kept in their order by a
  // selection sort; the fast sort must reproduce exactly where they end.
  const char* refs[] = {"R1", "r1", "R1", "C2", "c2", "R?", "U1A", "u1a", "R10", "R2", "", "C1"};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    CSheet s(kSheetScratch);
    std::vector<std::string> order;
    unsigned x = seed;
    for (int i = 0; i < 30; ++i) {
      x = x * 1103515245u + 12345u;
      const std::string ref = refs[(x >> 16) % std::size(refs)];
      // A unique tag in the value tells equal references apart.
      PartAt(s, {0, 0}, ref.c_str()).SetValue(std::to_string(i), {0, 0}, 0);
    }
    // The plain scan: each position takes the first smallest of the rest.
    std::vector<const CPart*> plain;
    for (const auto& p : s.Parts()) plain.push_back(p.get());
    for (size_t i = 0; i < plain.size(); ++i) {
      size_t m = i;
      for (size_t j = i + 1; j < plain.size(); ++j)
        if (plain[j]->CompareRef(*plain[m]) < 0) m = j;
      std::swap(plain[i], plain[m]);
    }
    ASSERT_EQ(s.SortPartRef(), 0);
    for (size_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(s.Parts()[i].get(), plain[i]) << "seed " << seed << " position " << i;
  }
}

TEST_F(SheetTest, FindPartRef) {
  CSheet s(kSheetScratch);
  PartAt(s, {0, 0}, "U12B");
  EXPECT_TRUE(s.FindPartRef("u12"));
  EXPECT_FALSE(s.FindPartRef("U1"));
  EXPECT_FALSE(s.FindPartRef("U12B"));
}

}  // namespace
}  // namespace tavro
