// Lines: labels, arrows, grabbed ends, normal form, hit tests and the stored
// record with its version rules.
#include "core/model/line.h"

#include <gtest/gtest.h>

#include <string>

#include "core/file/archive.h"
#include "core/platform/settings.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

class LineTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

// Sets a value of section "Default" for the life of the object.
class DefaultSetting {
 public:
  DefaultSetting(const char* key, int value) : key_(key) {
    AppSettings().WriteInt("Default", key_, value);
  }
  ~DefaultSetting() { AppSettings().DeleteValue("Default", key_); }

 private:
  const char* key_;
};

TEST_F(LineTest, LabelPlacementRules) {
  struct Case {
    const char* what;
    CPoint start, end, at;
    uint32_t attr, expected;
  };
  const Case cases[] = {
      {"horizontal, above", {0, 0}, {500, 0}, {100, 10}, 24, 8},
      {"horizontal, below keeps attr", {0, 0}, {500, 0}, {100, -10}, 24, 24},
      {"horizontal, on the line keeps attr", {0, 0}, {500, 0}, {100, 0}, 2, 2},
      {"vertical, right", {0, 0}, {0, 500}, {10, 100}, 24, 0x108},
      {"vertical, left", {0, 0}, {0, 500}, {-10, 100}, 8, 0x10A},
      {"vertical, left ors", {0, 0}, {0, 500}, {-10, 100}, 0x8018, 0x811A},
      {"oblique, right", {0, 0}, {300, 500}, {10, 100}, 8, 0x108},
      {"oblique, left", {0, 0}, {300, 500}, {0, 100}, 8, 0x10A},
      {"zero attr kept", {0, 0}, {0, 500}, {10, 100}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CLine l(c.start, c.end, kLineWire);
    l.SetName("NET1", c.at, c.attr);
    EXPECT_EQ(l.GetNameText().GetAttr(), c.expected);
    EXPECT_EQ(l.GetNameText().GetPoint(), c.at);
    EXPECT_EQ(l.GetName(), "NET1");
  }
}

TEST_F(LineTest, LabelHeightFollowsTheLineKind) {
  const DefaultSetting wire("WireAttrHeight", 50);
  const DefaultSetting bus("BusAttrHeight", 60);
  const DefaultSetting line("LineAttrHeight", 80);
  const struct {
    uint32_t type;
    int size;
  } cases[] = {{kLineWire, 50}, {kLineWire | kLinePower, 50}, {kLineBus, 60}, {kLineGraphic, 80}};
  for (const auto& c : cases) {
    CLine l({0, 0}, {100, 0}, c.type);
    l.SetName("A", {0, 10}, 8);
    EXPECT_EQ(l.GetNameText().GetSize(), c.size) << c.type;
  }
}

TEST_F(LineTest, ArrowsToggleAndReport) {
  CLine l({0, 0}, {100, 0}, kLineGraphic);
  EXPECT_EQ(l.IsArrow(), 0);
  l.SetArrow(1);
  EXPECT_EQ(l.GetStartArrow(), 100);
  EXPECT_EQ(l.IsArrow(), 1);
  l.SetArrow(2);
  EXPECT_EQ(l.IsArrow(), 3);
  l.SetArrow(1);
  EXPECT_EQ(l.GetStartArrow(), 0);
  EXPECT_EQ(l.IsArrow(), 2);
  l.SetArrow(250, 0);
  l.SetArrow(1);  // a set length toggles off
  EXPECT_EQ(l.GetStartArrow(), 0);
}

TEST_F(LineTest, ArrowStrokesAt15Degrees) {
  CLine l({0, 0}, {100, 100}, kLineGraphic);
  CPoint a, b;
  EXPECT_FALSE(l.ArrowStrokes(2, a, b));
  l.SetArrow(0, 100);
  ASSERT_TRUE(l.ArrowStrokes(2, a, b));
  // Toward the start (225 degrees) plus and minus 15, truncated toward zero.
  EXPECT_EQ(a, CPoint(50, 13));
  EXPECT_EQ(b, CPoint(13, 50));
  CLine h({0, 0}, {-200, 0}, kLineGraphic);
  h.SetArrow(100, 0);
  ASSERT_TRUE(h.ArrowStrokes(1, a, b));
  EXPECT_EQ(a, CPoint(-96, -25));  // 195 degrees: (-96.59, -25.88)
  EXPECT_EQ(b, CPoint(-96, 25));
  CLine dot({5, 5}, {5, 5}, kLineGraphic);
  dot.SetArrow(100, 100);
  EXPECT_FALSE(dot.ArrowStrokes(1, a, b));  // no direction
}

TEST_F(LineTest, OneGrabbedEndMovesAlone) {
  CLine l({0, 0}, {500, 0}, kLineWire);
  l.SetName("N", {100, 10}, 8);
  const CPoint label = l.GetNameText().GetPoint();

  l.SetCheck({500, 0}, 1);
  l.Offset({0, 200});
  EXPECT_EQ(l.GetStartPoint(), CPoint(0, 0));
  EXPECT_EQ(l.GetEndPoint(), CPoint(500, 200));
  EXPECT_EQ(l.GetNameText().GetPoint(), label);

  l.SetCheck(0);
  l.SetCheck({0, 0}, 1);
  l.Offset({-50, 0});
  EXPECT_EQ(l.GetStartPoint(), CPoint(-50, 0));
  EXPECT_EQ(l.GetEndPoint(), CPoint(500, 200));

  for (int both : {0, 1}) {
    l.SetCheck(both);
    l.Offset({10, 10});
  }
  EXPECT_EQ(l.GetStartPoint(), CPoint(-30, 20));
  EXPECT_EQ(l.GetEndPoint(), CPoint(520, 220));
  EXPECT_EQ(l.GetNameText().GetPoint(), label + CPoint(20, 20));
}

TEST_F(LineTest, GrabByRectangle) {
  CLine l({0, 0}, {500, 0}, kLineWire);
  l.SetCheck(CRect(450, -10, 550, 10));
  EXPECT_EQ(l.GetStartCheck(), 0);
  EXPECT_EQ(l.GetEndCheck(), 1);
  l.SetCheck(CRect(550, 10, -10, -10));  // un-normalised
  EXPECT_EQ(l.GetStartCheck(), 1);
  EXPECT_EQ(l.GetEndCheck(), 1);
}

TEST_F(LineTest, NormalPointAndSwap) {
  struct Case {
    const char* what;
    CPoint start, end;
    bool swaps;
  };
  const Case cases[] = {
      {"horizontal, right to left", {500, 0}, {0, 0}, true},
      {"horizontal, in order", {0, 0}, {500, 0}, false},
      {"vertical, bottom up", {0, 0}, {0, 500}, true},
      {"vertical, in order", {0, 500}, {0, 0}, false},
      {"oblique", {500, 0}, {0, 100}, false},
      {"point", {5, 5}, {5, 5}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CLine l(c.start, c.end, kLineGraphic);
    l.SetArrow(100, 0);
    l.SetCheck(c.start, 1);
    EXPECT_EQ(l.NormalPoint(), c.swaps);
    const bool swapped = l.GetStartPoint() != c.start;
    EXPECT_EQ(swapped, c.swaps);
    // Flags and arrows travel with their ends.
    EXPECT_EQ(l.GetStartArrow(), c.swaps ? 0 : 100);
    EXPECT_EQ(l.GetEndArrow(), c.swaps ? 100 : 0);
    EXPECT_EQ(l.GetStartCheck(), c.swaps ? 0 : 1);
    EXPECT_FALSE(l.NormalPoint());  // already normal

    // Swap turns any horizontal or vertical line round, flags and arrows too.
    const CPoint s = l.GetStartPoint(), e = l.GetEndPoint();
    const int sa = l.GetStartArrow(), ea = l.GetEndArrow();
    const bool hv = l.IsHorizontal() || l.IsVertical();
    l.Swap();
    EXPECT_EQ(l.GetStartPoint(), hv ? e : s);
    EXPECT_EQ(l.GetEndPoint(), hv ? s : e);
    EXPECT_EQ(l.GetStartArrow(), hv ? ea : sa);
  }
}

TEST_F(LineTest, IsHVLineByKind) {
  const CLine h({0, 0}, {100, 0}, kLineWire), v({0, 0}, {0, 100}, kLineWire),
      o({0, 0}, {100, 100}, kLineWire), z({7, 7}, {7, 7}, kLineWire);
  for (int kind = 24; kind <= 31; ++kind) {
    const bool horizontal = kind % 2 == 0 && kind <= 30;
    EXPECT_EQ(h.IsHVLine(kind), horizontal) << kind;
    EXPECT_EQ(v.IsHVLine(kind), !horizontal) << kind;
    EXPECT_FALSE(o.IsHVLine(kind)) << kind;
    EXPECT_FALSE(z.IsHVLine(kind)) << kind;
  }
  EXPECT_TRUE(v.IsHVLine(1));  // other kinds test vertical
  EXPECT_FALSE(z.IsHVLine(1));
}

TEST_F(LineTest, ObliqueHitTest) {
  CLine l({0, 0}, {100, 100}, kLineWire);  // width 8: 4 either side
  struct Case {
    CPoint p;
    bool hit;
  };
  const Case cases[] = {
      {{50, 50}, true},   {{52, 48}, true},     // 2.8 off the line
      {{53, 47}, false},  {{0, 0}, true},       // 4.2 off; an end
      {{100, 100}, true}, {{103, 103}, false},  // beyond the end
      {{-2, -2}, false},  {{75, 57}, false},    // where an arrow stroke would be
  };
  for (const Case& c : cases) EXPECT_EQ(l.CheckPoint(c.p), c.hit) << c.p.x << "," << c.p.y;

  l.SetArrow(0, 100);  // strokes from (100,100) to (50,13) and (13,50)
  EXPECT_TRUE(l.CheckPoint({75, 57}));
  EXPECT_TRUE(l.CheckPoint({57, 75}));
  EXPECT_FALSE(l.CheckPoint({40, 0}));
}

TEST_F(LineTest, HorizontalHitTestUsesTheFullWidth) {
  CLine l({0, 0}, {100, 0}, kLineBus);
  l.SetWidth(24);
  EXPECT_TRUE(l.CheckPoint({-24, 24}));
  EXPECT_FALSE(l.CheckPoint({-25, 0}));
  EXPECT_FALSE(l.CheckPoint({50, 25}));
}

TEST_F(LineTest, LabelsAreHitToo) {
  CLine l({0, 0}, {1000, 0}, kLineWire);
  l.SetName("NET", {100, 200}, 8);  // 105 x 70 above (100, 200)
  EXPECT_TRUE(l.CheckPoint({150, 230}));
  EXPECT_FALSE(l.CheckPoint({150, 100}));
  l.SetCrossName("\"X\" 500 500 70 8");
  EXPECT_TRUE(l.CheckPoint({510, 520}));
}

TEST_F(LineTest, RectangleTest) {
  const CLine o({0, 0}, {100, 100}, kLineWire);
  struct Case {
    const char* what;
    CRect r;
    bool meets;
  };
  const Case cases[] = {
      {"straddles", {48, 52, 58, 62}, true},
      {"within half the pen", {50, 40, 60, 46}, true},
      {"beside, in the box", {60, 30, 70, 40}, false},
      {"holds an end", {-5, -5, 5, 5}, true},
      {"holds an end, un-normalised", {5, 5, -5, -5}, true},
      {"far away", {200, 200, 300, 300}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(o.CheckPoint(c.r), c.meets) << c.what;

  const CLine h({0, 0}, {100, 0}, kLineWire);
  EXPECT_TRUE(h.CheckPoint(CRect(10, 4, 20, 10)));  // half the pen
  EXPECT_FALSE(h.CheckPoint(CRect(10, 5, 20, 10)));
}

TEST_F(LineTest, BoundingRectangle) {
  CLine l({100, 0}, {0, 0}, kLineGraphic);
  EXPECT_EQ(l.GetBoundingRect(), CRect(-8, -8, 108, 8));
  l.SetArrow(0, 100);  // strokes toward +x from (0,0): to (96,25) and (96,-25)
  EXPECT_EQ(l.GetBoundingRect(), CRect(-8, -25, 108, 25));
  l.SetName("ABC", {0, 100}, 8);
  EXPECT_EQ(l.GetBoundingRect(), CRect(-8, -25, 108, 170));
}

TEST_F(LineTest, TurningAndMirroringTheLabels) {
  CLine h({0, 0}, {500, 0}, kLineWire);
  h.SetName("N", {100, 10}, 8);
  CLine mx = h;
  mx.MirrorX({0, 0});
  EXPECT_EQ(mx.GetStartPoint(), CPoint(0, 0));
  EXPECT_EQ(mx.GetEndPoint(), CPoint(-500, 0));
  EXPECT_EQ(mx.GetNameText().GetOrg(), 10);  // horizontal: adjusted
  EXPECT_EQ(mx.GetNameText().GetPoint(), CPoint(-100, 10));

  CLine v({0, 0}, {0, 500}, kLineWire);
  v.SetName("N", {10, 100}, 8);  // 0x108
  v.MirrorX({0, 0});
  EXPECT_EQ(v.GetNameText().GetAttr(), 0x108u);  // not adjusted
  v.MirrorY({0, 0});
  EXPECT_EQ(v.GetNameText().GetAttr(), 0x108u);

  CLine r = h;
  r.Rotate({0, 0}, 1);
  EXPECT_EQ(r.GetEndPoint(), CPoint(0, 500));
  EXPECT_EQ(r.GetNameText().GetAttr(), 0x108u);
  r.Rotate({0, 0}, 1);  // 0x100 turning on: no flip of the alignment
  EXPECT_EQ(r.GetNameText().GetAttr(), 0x108u);
  EXPECT_EQ(r.GetEndPoint(), CPoint(-500, 0));
}

TEST_F(LineTest, OffsetAttrSlidesAlongTheLine) {
  CLine h({0, 0}, {500, 0}, kLineWire);
  h.SetName("N", {100, 10}, 8);
  h.OffsetAttr({30, 40});  // not selected: stays
  EXPECT_EQ(h.GetNameText().GetPoint(), CPoint(100, 10));
  h.NameText().ModifyAngle(kTextSelected, 0);
  h.OffsetAttr({30, 40});
  EXPECT_EQ(h.GetNameText().GetPoint(), CPoint(130, 10));
  h.OffsetAttr({30, 40}, true);  // Shift: free
  EXPECT_EQ(h.GetNameText().GetPoint(), CPoint(160, 50));

  CLine v({0, 0}, {0, 500}, kLineWire);
  v.SetName("N", {10, 100}, 8);
  v.NameText().ModifyAngle(kTextSelected, 0);
  v.SetCrossName("\"X\" 10 300 70 264");
  v.CrossNameText().ModifyAngle(kTextSelected, 0);
  v.OffsetAttr({30, 40});
  EXPECT_EQ(v.GetNameText().GetPoint(), CPoint(10, 140));
  EXPECT_EQ(v.GetCrossNameText().GetPoint(), CPoint(10, 340));
}

TEST_F(LineTest, EqualityAndCompare) {
  CLine a({0, 0}, {100, 0}, kLineWire);
  CLine b = a;
  b.ModifyType(0, kLineHighlight | kLineMarkMask);
  b.SetWidth(30);
  b.SetCheck(1);
  EXPECT_TRUE(a == b);
  b.ModifyType(0, 0x200);  // dotted
  EXPECT_FALSE(a == b);
  b = a;
  b.SetArrow(2);
  EXPECT_FALSE(a == b);
  b = a;
  b.SetName("N", {0, 10}, 8);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a.Compare(b));
  a.SetName("N", {0, 10}, 8);
  EXPECT_TRUE(a.Compare(b));
}

// --- records ---

std::string Record(const CLine& l, bool withText = true) {
  CArchive ar;
  l.DataWrite(ar, withText);
  return ar.TakeBuffer();
}

CLine ReadLine(const std::string& bytes, int version, size_t* left = nullptr) {
  CArchive in(bytes);
  CLine l;
  l.DataRead(in, version);
  if (left) *left = in.Remaining();
  return l;
}

uint16_t LastU16(const std::string& s) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[s.size() - 2]) |
                               static_cast<unsigned char>(s[s.size() - 1]) << 8);
}

TEST_F(LineTest, ArrowField) {
  CLine l({0, 0}, {100, 0}, kLineGraphic);
  l.SetArrow(100, 250);
  std::string bytes = Record(l);
  EXPECT_EQ(bytes.size(), 4u + 16 + 4 + 2);
  EXPECT_EQ(LastU16(bytes), 0x0A19);
  CLine r = ReadLine(bytes, 8);
  EXPECT_EQ(r.GetStartArrow(), 100);
  EXPECT_EQ(r.GetEndArrow(), 250);

  // Lengths are kept to multiples of 10 and at most 2550.
  l.SetArrow(2559, 99999);
  bytes = Record(l);
  EXPECT_EQ(LastU16(bytes), 0xFFFF);
  r = ReadLine(bytes, 8);
  EXPECT_EQ(r.GetStartArrow(), 2550);
  EXPECT_EQ(r.GetEndArrow(), 2550);
  EXPECT_EQ(CLine::EncodeArrows(-30, 19), 0x0001);

  // Wires and buses carry no arrow field.
  CLine w({0, 0}, {100, 0}, kLineWire);
  w.SetArrow(100, 100);
  EXPECT_EQ(Record(w).size(), 24u);
}

TEST_F(LineTest, RecordRoundTripWithLabel) {
  CLine l({10, 20}, {30, 20}, kLineBus | 0x400);
  l.ModifyType(0, kLineHighlight | kLineMarkMask);
  l.SetName("D[0..7]", {15, 30}, 8);
  l.SetCrossName("\"X\" 1 2 70 8");  // never stored
  const std::string bytes = Record(l);
  CArchive probe(bytes);
  EXPECT_EQ(probe.ReadU32(), uint32_t{kLineBus | 0x400});  // run-time bits dropped
  size_t left = 1;
  const CLine r = ReadLine(bytes, 8, &left);
  EXPECT_EQ(left, 0u);
  EXPECT_TRUE(r.Compare(l));
  EXPECT_EQ(r.GetType(), uint32_t{kLineBus | 0x400});
  EXPECT_TRUE(r.GetCrossNameText().IsEmpty());
  EXPECT_EQ(r.GetStartCheck() | r.GetEndCheck(), 0);

  // Without texts: no mask.
  EXPECT_EQ(Record(CLine({0, 0}, {1, 0}, kLineWire), false).size(), 20u);
}

TEST_F(LineTest, ReadsACrossLabelWhenTheMaskSaysSo) {
  CArchive ar;
  ar.WriteU32(kLineWire);
  ar.WritePoint({0, 0});
  ar.WritePoint({100, 0});
  ar.WriteU32(2);
  CText("CROSS", {5, 5}, 70, 8).DataWrite(ar);
  const CLine r = ReadLine(ar.Buffer(), 8);
  EXPECT_EQ(r.GetCrossNameText().GetName(), "CROSS");
  EXPECT_TRUE(r.GetNameText().IsEmpty());
}

TEST_F(LineTest, GraphicLineVersionRules) {
  CLine l({0, 0}, {100, 50}, kLineGraphic);
  l.SetName("G", {5, 5}, 8);
  l.SetArrow(100, 250);
  const std::string full = Record(l);  // type, points, mask, text, arrows

  // Version 5: no mask and no arrows.
  std::string v5 = full.substr(0, 20);
  size_t left = 1;
  CLine r = ReadLine(v5 + "tail", 5, &left);
  EXPECT_EQ(left, 4u);
  EXPECT_TRUE(r.GetNameText().IsEmpty());
  EXPECT_EQ(r.IsArrow(), 0);
  EXPECT_EQ(r.GetEndPoint(), CPoint(100, 50));

  // Version 6: the mask and text, no arrows.
  const std::string v6 = full.substr(0, full.size() - 2);
  r = ReadLine(v6, 6, &left);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(r.GetName(), "G");
  EXPECT_EQ(r.IsArrow(), 0);

  // Version 7: everything.
  r = ReadLine(full, 7, &left);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(r.GetStartArrow(), 100);
  EXPECT_EQ(r.GetEndArrow(), 250);

  // A wire has its mask at every version.
  CLine w({0, 0}, {100, 0}, kLineWire);
  w.SetName("W", {5, 5}, 8);
  r = ReadLine(Record(w), 0, &left);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(r.GetName(), "W");
}

TEST_F(LineTest, WidthComesFromTheSettings) {
  struct Case {
    uint32_t type;
    int width;
  };
  const Case cases[] = {{kLineWire, 8},
                        {kLineWire | kLinePower, 16},
                        {kLineBus, 24},
                        {kLineBus | kLinePower, 24},
                        {kLineGraphic, 8}};
  for (const Case& c : cases) {
    CLine l({0, 0}, {100, 0}, c.type);
    l.SetWidth(77);
    EXPECT_EQ(ReadLine(Record(l), 8).GetWidth(), c.width) << c.type;
  }
  const DefaultSetting wide("WireWidth", 12);
  CLine w({0, 0}, {100, 0}, kLineWire);
  EXPECT_EQ(ReadLine(Record(w), 8).GetWidth(), 12);
}

TEST_F(LineTest, TruncatedRecordThrowsAndKeepsTheLine) {
  CLine l({0, 0}, {100, 50}, kLineGraphic);
  l.SetName("G", {5, 5}, 8);
  l.SetArrow(100, 250);
  const std::string bytes = Record(l);
  const CLine before({1, 2}, {3, 4}, kLineBus);
  for (size_t n = 0; n < bytes.size(); ++n) {
    CArchive in(std::string_view(bytes).substr(0, n));
    CLine r = before;
    EXPECT_THROW(r.DataRead(in, 8), ArchiveError) << n;
    EXPECT_TRUE(r.Compare(before)) << n;
  }
}

}  // namespace
}  // namespace tavro
