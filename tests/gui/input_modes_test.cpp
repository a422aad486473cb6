// The input modes driven without widgets, through a recording adapter:
// lines with their angle modes and keys, arcs and their readouts, texts,
// pins and parts with their keys, and numbering by clicks.
#include <gtest/gtest.h>

#include <deque>

#include "app/gui/modes/arc_mode.h"
#include "app/gui/modes/line_drawing.h"
#include "app/gui/modes/line_mode.h"
#include "app/gui/modes/place_mode.h"
#include "app/gui/modes/ref_click_mode.h"
#include "core/file/archive.h"
#include "core/platform/settings.h"

namespace tavro::gui {
namespace {

CSheet SheetOf(const std::string& text) {
  CSheet sheet;
  CArchive ar(text);
  sheet.SerializeText(ar);
  return sheet;
}

class FakeAdapter : public ModeAdapter {
 public:
  CSheet sheet;
  int edits = 0;
  int redraws = 0;
  std::deque<std::string> texts;
  std::optional<PackageChoice> package;

  const CSheet& Sheet() const override { return sheet; }
  void Edit(const std::function<void(CSheet&)>& change) override {
    change(sheet);
    ++edits;
  }
  int GridStep() const override { return 100; }
  int HitTolerance() const override { return 20; }
  void Redraw() override { ++redraws; }
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    if (texts.empty()) return std::nullopt;
    std::string t = texts.front();
    texts.pop_front();
    return t;
  }
  std::optional<PackageChoice> ChoosePackage() override { return package; }
  std::optional<PackageChoice> FindPackage(const std::string&) override { return package; }
  void Tell(const std::string& message) override { told.push_back(message); }
  std::vector<std::string> told;
};

ModePointer At(int x, int y) {
  ModePointer p;
  p.at = p.raw = CPoint{x, y};
  return p;
}
ModePointer Right(int x, int y) {
  ModePointer p = At(x, y);
  p.button = ModePointer::kRight;
  return p;
}

std::string Lines(const ItemList<CLine>& lines) {
  std::string out;
  for (const auto& l : lines) {
    const CPoint s = l->GetStartPoint(), e = l->GetEndPoint();
    out += std::to_string(s.x) + "," + std::to_string(s.y) + "-" + std::to_string(e.x) + "," +
           std::to_string(e.y) + " ";
  }
  return out;
}

// Settings changed for one test and put back after it.
class SettingGuard {
 public:
  SettingGuard(const char* section, const char* key, int value) : section_(section), key_(key) {
    AppSettings().WriteInt(section, key, value);
  }
  ~SettingGuard() { AppSettings().DeleteValue(section_, key_); }

 private:
  const char* section_;
  const char* key_;
};

TEST(InputModes, AWireOfThreePointsWithBackspace) {
  FakeAdapter a;
  LineMode wire(a, kLineWire);
  EXPECT_EQ(wire.Prompt(), "始点をクリック");
  wire.Press(At(0, 0));
  wire.Press(At(300, 0));
  wire.Press(At(300, 200));
  EXPECT_EQ(wire.Points().size(), 3u);
  EXPECT_EQ(wire.Key(kKeyBackspace, At(300, 200)), ModeAnswer::kContinue);
  EXPECT_EQ(wire.Points().size(), 2u);
  wire.Move(At(300, 400));
  ASSERT_NE(wire.Preview(), nullptr);
  EXPECT_EQ(Lines(wire.Preview()->Wires()), "0,0-300,0 300,0-300,400 ");
  EXPECT_EQ(wire.Prompt(),
            "Ｐ：電源線切替え  Backspace：直前取消し  Ｌ、＋、／：入力モード切替え  フリー");
  wire.Press(At(300, 400));
  EXPECT_EQ(wire.Press(Right(300, 400)), ModeAnswer::kCommit);
  EXPECT_EQ(a.edits, 1);
  EXPECT_EQ(Lines(a.sheet.Wires()), "0,0-300,0 300,0-300,400 ");
  EXPECT_FALSE(wire.Busy());
  // Escape with nothing under way ends the mode.
  EXPECT_EQ(wire.Key(kKeyEscape, At(0, 0)), ModeAnswer::kCancel);
}

TEST(InputModes, AngleModesStartFromTheStoredModeOfEachKind) {
  FakeAdapter a;
  EXPECT_EQ(LineMode(a, kLineWire).AngleMode(), kAngleFree);
  EXPECT_EQ(LineMode(a, kLineBus).AngleMode(), kAngle90);
  EXPECT_EQ(LineMode(a, kLineGraphic).AngleMode(), kAngle45);
  EXPECT_EQ(ArcMode(a).AngleMode(), 0);
  {
    SettingGuard g("Line", "WireLockMode", 2);
    EXPECT_EQ(LineMode(a, kLineWire).AngleMode(), kAngle45);
  }
  // L, + and / step the mode; the prompt names it.
  LineMode bus(a, kLineBus);
  bus.Press(At(0, 0));
  EXPECT_TRUE(bus.Prompt().ends_with("９０度"));
  bus.Key('L', At(0, 0));
  EXPECT_TRUE(bus.Prompt().ends_with("４５度"));
  bus.Key('/', At(0, 0));
  EXPECT_TRUE(bus.Prompt().ends_with("フリー"));
  bus.Key('+', At(0, 0));
  EXPECT_EQ(bus.AngleMode(), kAngle90);

  struct Case {
    CPoint to;
    int mode;
    CPoint want;
  } cases[] = {
      {{400, 100}, kAngle90, {400, 0}},   {{100, 400}, kAngle90, {0, 400}},
      {{100, 90}, kAngle45, {100, 100}},  {{-210, 190}, kAngle45, {-200, 200}},
      {{400, 150}, kAngle45, {400, 0}},   {{30, -400}, kAngle45, {0, -400}},
      {{130, 70}, kAngleFree, {130, 70}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConstrainLine({0, 0}, c.to, c.mode, 100), c.want) << c.to.x << "," << c.to.y;
}

TEST(InputModes, PowerWiresAndGraphicLineKeys) {
  FakeAdapter a;
  LineMode wire(a, kLineWire);
  wire.Press(At(0, 0));
  wire.Key('P', At(0, 0));
  wire.Press(At(200, 0));
  wire.Key(kKeyReturn, At(200, 0));
  ASSERT_EQ(a.sheet.Wires().size(), 1u);
  EXPECT_NE(a.sheet.Wires()[0]->GetType() & kLinePower, 0u);
  EXPECT_EQ(a.sheet.Wires()[0]->GetWidth(), 16);

  LineMode line(a, kLineGraphic);
  line.Press(At(0, 500));
  line.Key('S', At(0, 0));
  line.Key('S', At(0, 0));
  line.Key(kKeyF7, At(0, 0));
  line.Press(At(300, 500));
  line.Key(kKeyReturn, At(0, 0));
  ASSERT_EQ(a.sheet.Lines().size(), 1u);
  EXPECT_EQ((a.sheet.Lines()[0]->GetType() & kLineStyleMask) >> 9, 2u);
  EXPECT_EQ(a.sheet.Lines()[0]->GetEndArrow(), 100);
  EXPECT_EQ(a.sheet.Lines()[0]->GetStartArrow(), 0);
}

TEST(InputModes, DrawnWiresGetJunctionsJoinsAndPinSplits) {
  // A wire ending on the middle of another gets a dot; one continuing a
  // wire end to end is joined with it.
  CSheet sheet = SheetOf("Line 0 0 400 0 8 0 0 0\n");
  DrawnLines t;
  t.points = {{200, 300}, {200, 0}};
  AddDrawnLines(sheet, t);
  ASSERT_EQ(sheet.Juncs().size(), 1u);
  EXPECT_EQ(sheet.Juncs()[0]->GetPoint(), (CPoint{200, 0}));
  DrawnLines more;
  more.points = {{400, 0}, {700, 0}};
  EXPECT_EQ(AddDrawnLines(sheet, more), 0);
  EXPECT_EQ(Lines(sheet.Wires()), "0,0-700,0 200,300-200,0 ");

  // With "PinEnd" a wire over a pin's end is cut there.
  CSheet pins = SheetOf("Pin 300 100 300 0 0\n");
  DrawnLines across;
  across.points = {{0, 0}, {600, 0}};
  across.splitAtPins = true;
  EXPECT_EQ(AddDrawnLines(pins, across), 2);
  EXPECT_EQ(Lines(pins.Wires()), "0,0-300,0 300,0-600,0 ");
}

TEST(InputModes, ArcByCentreStartAndEndWithItsReadouts) {
  FakeAdapter a;
  ArcMode arc(a);
  EXPECT_EQ(arc.Prompt(), "中心をクリック");
  EXPECT_EQ(arc.Readout({100, 0}), "");
  arc.Press(At(1000, 1000));
  EXPECT_EQ(arc.Prompt(), "円弧の始点をクリック");
  struct Case {
    CPoint at;
    const char* readout;
  } cases[] = {
      {{1200, 1000}, "X:  12.00 Y:  10.00 R:200 S:0"},
      {{1000, 1200}, "X:  10.00 Y:  12.00 R:200 S:90"},
      {{1000, 800}, "X:  10.00 Y:   8.00 R:200 S:270"},
      {{800, 1000}, "X:   8.00 Y:  10.00 R:200 S:180"},
  };
  for (const Case& c : cases) EXPECT_EQ(arc.Readout(c.at), c.readout);
  arc.Press(At(1200, 1000));
  EXPECT_TRUE(arc.Prompt().starts_with("終点をクリック  SHIFT：強制円入力モード"));
  EXPECT_EQ(arc.Readout({1000, 1200}), "X:  10.00 Y:  12.00 R:200 S:0 E:90");
  EXPECT_EQ(arc.Press(At(1000, 1200)), ModeAnswer::kCommit);
  ASSERT_EQ(a.sheet.Arcs().size(), 1u);
  const CArc& made = *a.sheet.Arcs()[0];
  EXPECT_EQ(made.GetCenter(), (CPoint{1000, 1000}));
  EXPECT_EQ(made.GetRadius(), 200);
  EXPECT_EQ(made.GetStartAngle(), 0);
  EXPECT_EQ(made.GetEndAngle(), 90);

  // Shift makes a circle; 15° steps round the angles.
  arc.Key('L', At(0, 0));
  EXPECT_EQ(arc.AngleMode(), 1);
  arc.Press(At(0, 0));
  arc.Press(At(100, 30));  // 16° rounds to 15°
  ModePointer shift = At(0, 100);
  shift.shift = true;
  arc.Press(shift);
  ASSERT_EQ(a.sheet.Arcs().size(), 2u);
  EXPECT_EQ(a.sheet.Arcs()[1]->GetStartAngle(), 15);
  EXPECT_EQ(a.sheet.Arcs()[1]->GetEndAngle(), 15);
}

TEST(InputModes, TextAlignmentKeysAndCopies) {
  FakeAdapter a;
  a.texts = {"IN1"};
  TextMode text(a);
  text.Press(At(1000, 1000));
  ASSERT_TRUE(text.Busy());
  EXPECT_EQ(text.Prompt(), "Ｒ：回転  Ｘ、Ｙ：反転  １～９：原点");
  EXPECT_EQ(text.Text()->GetOrg(), 8);  // bottom left
  struct Case {
    int key;
    int org;
  } keys[] = {{'7', 0},  {'8', 6}, {'9', 2},  {'4', 24}, {'5', 30},
              {'6', 26}, {'1', 8}, {'2', 14}, {'3', 10}};
  for (const Case& k : keys) {
    text.Key(k.key, At(1000, 1000));
    EXPECT_EQ(text.Text()->GetOrg(), k.org) << static_cast<char>(k.key);
  }
  text.Key('X', At(1000, 1000));  // bottom right mirrored: bottom left
  EXPECT_EQ(text.Text()->GetOrg(), 8);
  // Texts are copied as they are unless their copy increment is on.
  text.Press(At(1000, 1000));
  text.Press(At(1000, 800));
  {
    SettingGuard g("CopyIncrement", "TextEnable", 1);
    text.Press(At(1000, 600));
  }
  ASSERT_EQ(a.sheet.Texts().size(), 3u);
  EXPECT_EQ(a.sheet.Texts()[0]->GetName(), "IN1");
  EXPECT_EQ(a.sheet.Texts()[1]->GetName(), "IN1");
  EXPECT_EQ(a.sheet.Texts()[2]->GetName(), "IN1");
  EXPECT_EQ(text.Text()->GetName(), "IN2");
  EXPECT_EQ(a.sheet.Texts()[2]->GetPoint(), (CPoint{1000, 600}));
}

TEST(InputModes, PinKeysAndNumbers) {
  FakeAdapter a;
  PinMode pin(a);
  EXPECT_EQ(pin.Prompt(), "何もないところでクリック");
  pin.Press(At(0, 0));
  EXPECT_EQ(pin.Prompt(), "Ｒ：回転  Ｘ、Ｙ：反転  Ｃ：クロック  Ｄ：ドット");
  pin.Key('C', At(0, 0));
  pin.Key('D', At(0, 0));
  EXPECT_EQ(pin.Pin()->GetElect() & (kPinClock | kPinDot), kPinClock | kPinDot);
  pin.Key('D', At(0, 0));
  EXPECT_EQ(pin.Pin()->GetElect() & (kPinClock | kPinDot), kPinClock);
  pin.Key('X', At(0, 0));  // the root now to the left of the pointer
  EXPECT_EQ(pin.Pin()->GetStartPoint(), (CPoint{-200, 0}));
  EXPECT_EQ(pin.Pin()->GetEndPoint(), (CPoint{0, 0}));
  pin.Press(At(0, 0));
  pin.Press(At(0, -100));
  ASSERT_EQ(a.sheet.Pins().size(), 2u);
  EXPECT_EQ(a.sheet.Pins()[0]->GetNo(), "1");
  EXPECT_EQ(a.sheet.Pins()[1]->GetNo(), "2");
  EXPECT_EQ(a.sheet.Pins()[1]->GetEndPoint(), (CPoint{0, -100}));
}

// A four-gate package: gate n has one pin numbered n.
PackageChoice FourGates() {
  std::string text;
  const char* refs[] = {"U?A", "U?B", "U?C", "U?D"};
  for (int g = 1; g <= 4; ++g)
    text += "Part 0 0 -100 -100 100 100 4 " + std::to_string(g) +
            " 0 0\nName \"7400\" 0 120 65 8\nRef \"" + refs[g - 1] +
            "\" 0 -150 65 8\nVal \"7400\" 0 -200 65 8\nPin 100 0 200 0 2\nNo \"" +
            std::to_string(g) + "\" 150 0 70 8\nLine -100 -100 100 100 8 1 0 0\nPartEnd\n";
  PackageChoice c;
  c.name = "7400";
  c.gates = SheetOf(text);
  return c;
}

TEST(InputModes, PartKeysAndUnits) {
  FakeAdapter a;
  a.package = FourGates();
  PartMode part(a);
  EXPECT_EQ(part.Prompt(), "コピー入力したい部品か、何もないところでクリック");
  part.Press(At(1000, 1000));
  ASSERT_TRUE(part.Busy());
  EXPECT_EQ(part.Prompt(), "Ｒ：回転  Ｘ、Ｙ：反転  Ｎ：次ゲート  Ｉ：論理反転");
  EXPECT_EQ(part.Part()->GetOrg(), (CPoint{1000, 1000}));
  EXPECT_EQ(part.Part()->Pins()[0]->GetEndPoint(), (CPoint{1200, 1000}));
  part.Key('R', At(1000, 1000));
  EXPECT_EQ(part.Part()->Pins()[0]->GetEndPoint(), (CPoint{1000, 1200}));
  part.Key('R', At(1000, 1000));
  part.Key('X', At(1000, 1000));  // two quarter turns and a mirror: back to +x
  EXPECT_EQ(part.Part()->Pins()[0]->GetEndPoint(), (CPoint{1200, 1000}));
  part.Key('Y', At(1000, 1000));
  part.Key('N', At(1000, 1000));
  EXPECT_EQ(part.Part()->GetRefName(), "U?B");
  EXPECT_EQ(part.Part()->Pins()[0]->GetNo(), "2");
  EXPECT_EQ(part.Part()->Pins()[0]->GetEndPoint(), (CPoint{1200, 1000}));
  part.Move(At(2000, 1000));
  EXPECT_EQ(part.Press(At(2000, 1000)), ModeAnswer::kCommit);
  ASSERT_EQ(a.sheet.Parts().size(), 1u);
  EXPECT_EQ(a.sheet.Parts()[0]->GetRefName(), "U?B");
  EXPECT_EQ(a.sheet.Parts()[0]->GetOrg(), (CPoint{2000, 1000}));
  // A click on a placed part takes a copy of it.
  part.Key(kKeyEscape, At(0, 0));
  part.Press(At(2000, 1000));
  ASSERT_TRUE(part.Busy());
  EXPECT_EQ(part.Part()->GetRefName(), "U?B");
}

TEST(InputModes, NumberingByClicks) {
  FakeAdapter a;
  // Four parts side by side: R5 (the base), R?, and gates A and B of a
  // 7400, then a resistor R? further on.
  auto part = [](int x, const std::string& name, const std::string& ref, int unit, int units) {
    return "Part " + std::to_string(x) + " 0 " + std::to_string(x - 50) + " -50 " +
           std::to_string(x + 50) + " 50 " + std::to_string(units) + " " + std::to_string(unit) +
           " 0 0\nName \"" + name + "\" " + std::to_string(x) + " 0 65 32776\nRef \"" + ref +
           "\" " + std::to_string(x) + " 60 65 8\nVal \"" + name + "\" " + std::to_string(x) +
           " -60 65 8\nLine " + std::to_string(x - 50) + " -50 " + std::to_string(x + 50) +
           " 50 8 1 0 0\nPartEnd\n";
  };
  a.sheet = SheetOf(part(0, "7400", "U5A", 1, 4) + part(500, "7400", "U?B", 2, 4) +
                    part(1000, "7400", "U?A", 1, 4) + part(1500, "R", "R?", 0, 0));
  RefClickMode mode(a);
  ModePointer base = At(0, 0);
  base.ctrl = true;
  mode.Press(base);
  EXPECT_EQ(mode.Readout({0, 0}), "X:   0.00 Y:   0.00  基準部品 U5A");
  // The next gate of the same package keeps the number.
  EXPECT_EQ(mode.Press(At(500, 0)), ModeAnswer::kCommit);
  EXPECT_EQ(a.sheet.Parts()[1]->GetRefName(), "U5B");
  // Gate A again: a new package, the next number.
  mode.Press(At(1000, 0));
  EXPECT_EQ(a.sheet.Parts()[2]->GetRefName(), "U6A");
  // Another prefix is left alone unless OrderRef is set.
  EXPECT_EQ(mode.Press(At(1500, 0)), ModeAnswer::kContinue);
  EXPECT_EQ(a.sheet.Parts()[3]->GetRefName(), "R?");
  {
    SettingGuard g("CopyIncrement", "OrderRef", 1);
    mode.Key(kKeyPlus, At(0, 0));
    mode.Press(At(1500, 0));
    EXPECT_EQ(a.sheet.Parts()[3]->GetRefName(), "R8");
  }
  EXPECT_EQ(a.edits, 3);
}

}  // namespace
}  // namespace tavro::gui
