// Pins: direction from the points, text layout, length, turning, sort order,
// comparison and the stored record.
#include "core/model/pin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file/archive.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

constexpr CPoint kRoot{1000, 2000};

class PinTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

uint32_t Layout(const CText& t) { return t.GetAttr() & 0x3FF; }

CPin NamedPin(CPoint start, CPoint end, uint32_t elect) {
  CPin p(start, end, elect);
  p.NameText().SetName("CLK");
  p.NoText().SetName("12");
  return p;
}

TEST_F(PinTest, DirectionAndTextLayout) {
  struct Case {
    const char* what;
    CPoint end;
    uint32_t elect;
    uint32_t angle;
    uint32_t nameLayout;
    CPoint namePoint;
    uint32_t noLayout;
    CPoint noPoint;
  };
  const CPoint s = kRoot;
  const Case cases[] = {
      {"+x", {1300, 2000}, 0, 0x000, 26, {982, 2000}, 8, {1050, 2000}},
      {"-x", {700, 2000}, 0, 0x200, 24, {1018, 2000}, 10, {950, 2000}},
      {"+y", {1000, 2300}, 0, 0x100, 0x100 | 26, {1000, 1982}, 0x100 | 8, {1000, 2050}},
      {"-y", {1000, 1700}, 0, 0x300, 0x100 | 24, {1000, 2018}, 0x100 | 10, {1000, 1950}},
      {"oblique", {1200, 2100}, 0, 0x080, 0x080 | 8, s, 0x080 | 8, s},
      {"+x clock", {1300, 2000}, kPinClock, 0x000, 26, {932, 2000}, 8, {1050, 2000}},
      {"-x clock", {700, 2000}, kPinClock, 0x200, 24, {1068, 2000}, 10, {950, 2000}},
      {"+y clock",
       {1000, 2300},
       kPinClock,
       0x100,
       0x100 | 26,
       {1000, 1932},
       0x100 | 8,
       {1000, 2050}},
      {"-y clock",
       {1000, 1700},
       kPinClock,
       0x300,
       0x100 | 24,
       {1000, 2068},
       0x100 | 10,
       {1000, 1950}},
      {"oblique clock", {800, 2100}, kPinClock, 0x080, 0x080 | 8, s, 0x080 | 8, s},
      {"points coincide", s, 0, 0x000, 26, {982, 2000}, 8, {1050, 2000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CPin p = NamedPin({0, 0}, {10, 0}, 0);
    p.NameText().ModifyAngle(kTextHidden, 0);  // bits outside the layout stay
    p.SetPoint(s, c.end, c.elect);
    EXPECT_EQ(p.GetAngle(), c.angle);
    EXPECT_EQ(p.GetStartPoint(), s);
    EXPECT_EQ(p.GetEndPoint(), c.end);
    EXPECT_EQ(Layout(p.GetNameText()), c.nameLayout);
    EXPECT_EQ(p.GetNameText().GetPoint(), c.namePoint);
    EXPECT_EQ(Layout(p.GetNoText()), c.noLayout);
    EXPECT_EQ(p.GetNoText().GetPoint(), c.noPoint);
    EXPECT_TRUE(p.GetNameText().GetAttr() & kTextHidden);
    EXPECT_EQ(p.GetName(), "CLK");
    EXPECT_EQ(p.GetNo(), "12");
  }
}

TEST_F(PinTest, DefaultTextHeightsComeFromTheSettings) {
  CPin p;
  EXPECT_EQ(p.GetNameText().GetSize(), 70);
  EXPECT_EQ(p.GetNoText().GetSize(), 70);
  p.SetName("A", {1, 2}, 8);
  EXPECT_EQ(p.GetNameText().GetSize(), 70);
}

TEST_F(PinTest, MarkBitsLayTheTextsOutAgain) {
  CPin p = NamedPin(kRoot, {1300, 2000}, kPinInput);
  p.NameText().SetPoint({0, 0});
  EXPECT_EQ(p.SetElect(kPinOutput), uint32_t{kPinInput});  // type only: texts stay
  EXPECT_EQ(p.GetNameText().GetPoint(), CPoint(0, 0));
  p.SetElect(uint32_t{kPinOutput} | kPinClock);
  EXPECT_EQ(p.GetNameText().GetPoint(), CPoint(932, 2000));
  p.SetElect(uint32_t{kPinOutput} | kPinClock | kPinDot);  // the dot moves nothing but lays out
  EXPECT_EQ(p.GetNameText().GetPoint(), CPoint(932, 2000));
  p.ModifyElect(0, kPinClock);  // no layout
  EXPECT_EQ(p.GetNameText().GetPoint(), CPoint(932, 2000));
  p.SetPoint();
  EXPECT_EQ(p.GetNameText().GetPoint(), CPoint(982, 2000));
}

TEST_F(PinTest, LengthAlongTheDirection) {
  struct Case {
    CPoint end;
    int len;
    CPoint endAfterSetLen200;
  };
  const Case cases[] = {
      {{1300, 2000}, 300, {1200, 2000}}, {{1000, 2250}, 250, {1000, 2200}},
      {{600, 2000}, 400, {800, 2000}},   {{1000, 1900}, 100, {1000, 1800}},
      {{1000, 2000}, 0, {1200, 2000}},  // coinciding points point toward +x
  };
  for (const Case& c : cases) {
    CPin p(kRoot, c.end, 0);
    EXPECT_EQ(p.GetLen(), c.len);
    const uint32_t angle = p.GetAngle();
    p.SetLen(200);
    EXPECT_EQ(p.GetEndPoint(), c.endAfterSetLen200);
    EXPECT_EQ(p.GetLen(), 200);
    if (c.len != 0) {
      EXPECT_EQ(p.GetAngle(), angle);
    }
  }
  CPin p({0, 0}, {300, 0}, 0);
  p.SetLen(-50);  // cannot keep the direction: refused
  EXPECT_EQ(p.GetEndPoint(), CPoint(300, 0));
}

TEST_F(PinTest, ObliquePinReports300AndKeepsItsSlope) {
  CPin p({0, 0}, {30, 40}, 0);
  EXPECT_EQ(p.GetLen(), 300);
  p.SetLen(100);
  EXPECT_EQ(p.GetEndPoint(), CPoint(60, 80));
  EXPECT_EQ(p.GetAngle(), 0x080u);
  EXPECT_EQ(p.GetLen(), 300);
}

// Turning a laid-out pin to any direction gives the texts a fresh layout in
// that direction would give, with the number text sitting on its anchor.
TEST_F(PinTest, SetAngleMatchesTheLayoutOfThatDirection) {
  const CPoint ends[] = {{1300, 2000}, {1000, 2300}, {700, 2000}, {1000, 1700}};
  for (int from = 0; from < 4; ++from) {
    for (uint32_t to = 0; to < 4; ++to) {
      SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
      for (uint32_t elect : {0u, uint32_t{kPinClock}}) {
        CPin p = NamedPin(kRoot, ends[from], elect);
        EXPECT_EQ(p.SetAngle(to << 8), to << 8);
        EXPECT_EQ(p.GetStartPoint(), kRoot);
        EXPECT_EQ(p.GetEndPoint(), ends[to]);
        const CPin fresh = NamedPin(kRoot, ends[to], elect);
        EXPECT_EQ(p.GetNameText(), fresh.GetNameText());
        EXPECT_EQ(p.GetNoText(), fresh.GetNoText());
      }
    }
  }
}

TEST_F(PinTest, SetAngleOfAnObliquePinUsesLength300) {
  CPin p = NamedPin(kRoot, {1100, 2100}, 0);
  EXPECT_EQ(p.SetAngle(0x300), 0x300u);
  EXPECT_EQ(p.GetEndPoint(), CPoint(1000, 1700));
  EXPECT_EQ(Layout(p.GetNameText()), 0x100u | 24);
}

TEST_F(PinTest, TurningKeepsTheNumberBottomAligned) {
  // A half turn flips the number's alignment 8 -> 2 (top right); it is put
  // back on its anchor (10).
  CPin p = NamedPin(kRoot, {1300, 2000}, 0);
  p.Rotate(1);
  p.Rotate(1);
  EXPECT_EQ(p.GetAngle(), 0x200u);
  EXPECT_EQ(Layout(p.GetNoText()), 10u);
  EXPECT_EQ(Layout(p.GetNameText()), 24u);

  // Mirroring a vertical pin in x swaps top and bottom of its texts: the
  // number's 8 becomes 0 and is put back to 8.
  CPin v = NamedPin(kRoot, {1000, 2300}, 0);
  v.MirrorX({0, 0});
  EXPECT_EQ(v.GetAngle(), 0x100u);
  EXPECT_EQ(Layout(v.GetNoText()), 0x100u | 8);
  EXPECT_EQ(v.GetStartPoint(), CPoint(-1000, 2000));

  CPin h = NamedPin(kRoot, {1300, 2000}, 0);
  h.NoText().SetAngle(kOrgTopCenter);
  h.MirrorY({0, 0});  // horizontal text: top and bottom swap, 6 -> 14
  EXPECT_EQ(Layout(h.GetNoText()), 14u);
  h.NoText().SetAngle(kOrgTopCenter);
  h.MirrorX({0, 0});  // horizontal text: left and right swap; 6 stays and is made 14
  EXPECT_EQ(Layout(h.GetNoText()), 14u);
  EXPECT_EQ(h.GetAngle(), 0x200u);
}

TEST_F(PinTest, FourQuarterTurnsAreTheIdentity) {
  const CPin orig = NamedPin(kRoot, {1300, 2000}, kPinDot);
  CPin p = orig;
  for (int i = 0; i < 4; ++i) p.Rotate({50, -70}, 1);
  EXPECT_TRUE(p.Compare(orig));
  p.Rotate({50, -70}, 1);
  p.Rotate({50, -70}, 0);
  EXPECT_EQ(p.GetStartPoint(), orig.GetStartPoint());
  EXPECT_EQ(p.GetEndPoint(), orig.GetEndPoint());
  EXPECT_EQ(p.GetAngle(), orig.GetAngle());
}

TEST_F(PinTest, SortOrderByGroup) {
  const CPin left({0, 0}, {-300, 0}, 0);     // 0x200
  const CPin down({0, 0}, {0, -300}, 0);     // 0x300
  const CPin right({0, 0}, {300, 0}, 0);     // 0x000
  const CPin up({0, 0}, {0, 300}, 0);        // 0x100
  const CPin oblique({0, 0}, {100, 50}, 0);  // 0x080
  const std::vector<const CPin*> order = {&left, &down, &right};
  for (size_t i = 0; i < order.size(); ++i) {
    for (size_t j = 0; j < order.size(); ++j) EXPECT_EQ(*order[i] < *order[j], i < j) << i << j;
    EXPECT_TRUE(*order[i] < up);
    EXPECT_TRUE(*order[i] < oblique);
    EXPECT_FALSE(up < *order[i]);
    EXPECT_FALSE(oblique < *order[i]);
  }
  EXPECT_FALSE(up < oblique);
  EXPECT_FALSE(oblique < up);
  EXPECT_FALSE(oblique < CPin({5, 5}, {200, 90}, 0));
  EXPECT_FALSE(CPin({5, 5}, {200, 90}, 0) < oblique);

  // Visible pins come before hidden ones whatever their direction.
  CPin hiddenLeft = left;
  hiddenLeft.ModifyElect(kPinHidden, 0);
  EXPECT_TRUE(up < hiddenLeft);
  EXPECT_FALSE(hiddenLeft < up);
}

TEST_F(PinTest, SortOrderWithinAGroup) {
  struct Case {
    const char* what;
    CPoint dir;            // end - start
    CPoint first, second;  // starts, first sorts before second
  };
  const Case cases[] = {
      {"0x000 smaller y", {300, 0}, {500, 100}, {0, 200}},
      {"0x000 tie: larger x", {300, 0}, {500, 100}, {0, 100}},
      {"0x100 larger x", {0, 300}, {500, 900}, {400, 0}},
      {"0x100 tie: larger y", {0, 300}, {500, 900}, {500, 0}},
      {"0x200 larger y", {-300, 0}, {900, 200}, {0, 100}},
      {"0x200 tie: smaller x", {-300, 0}, {0, 200}, {900, 200}},
      {"0x300 smaller x", {0, -300}, {100, 900}, {200, 0}},
      {"0x300 tie: smaller y", {0, -300}, {100, 0}, {100, 900}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CPin a(c.first, c.first + c.dir, 0), b(c.second, c.second + c.dir, 0);
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a < a);
  }
}

TEST_F(PinTest, CompareIgnoresSelectionAndOpenMarkOnly) {
  const CPin a = NamedPin(kRoot, {1300, 2000}, kPinInput);
  CPin b = a;
  b.ModifyElect(kPinSelected | kPinOpenX, 0);
  EXPECT_TRUE(a.Compare(b));
  b.ModifyElect(kPinDot, 0);
  EXPECT_FALSE(a.Compare(b));

  CPin c = a;
  c.NoText().SetName("13");
  EXPECT_FALSE(a.Compare(c));
  EXPECT_TRUE(a == c);  // points only
}

TEST_F(PinTest, BoundingRectangle) {
  struct Case {
    uint32_t elect;
    CRect rect;
  };
  const Case cases[] = {
      {0, {-6, -6, 306, 6}},
      {kPinDot, {-56, -56, 306, 56}},
      {kPinClock, {-41, -41, 306, 41}},
      {kPinDot | kPinClock, {-56, -56, 306, 56}},
      {kPinHidden | kPinDot, {}},
  };
  for (const Case& c : cases) {
    const CPin p({0, 0}, {300, 0}, c.elect);
    EXPECT_EQ(p.GetBoundingRect(), c.rect) << c.elect;
  }
  // The texts add their boxes.
  const CPin named = NamedPin({0, 0}, {300, 0}, 0);
  const CRect r = named.GetBoundingRect();
  EXPECT_EQ(r, CRect(-6, -6, 306, 6)
                   .Union(named.GetNameText().GetBoundingRect())
                   .Union(named.GetNoText().GetBoundingRect()));
  EXPECT_LT(r.left, -18);
}

TEST_F(PinTest, HitTests) {
  CPin p({0, 0}, {300, 0}, 0);
  EXPECT_TRUE(p.CheckPoint({150, 1}));
  EXPECT_TRUE(p.CheckPoint({-1, -1}));
  EXPECT_TRUE(p.CheckPoint({301, 0}));
  EXPECT_FALSE(p.CheckPoint({150, 2}));
  EXPECT_TRUE(p.CheckOnPoint({300, 0}));
  EXPECT_FALSE(p.CheckOnPoint({0, 0}));
  EXPECT_TRUE(p.SetPinSel({100, -10, 120, 10}));
  EXPECT_TRUE(p.IsSelect());
  p.ResetPinSel();
  EXPECT_FALSE(p.SetPinSel({100, 100, 120, 120}));
  p.ModifyElect(kPinHidden, 0);
  EXPECT_FALSE(p.CheckPoint({150, 0}));
  EXPECT_FALSE(p.CheckOnPoint({300, 0}));
  EXPECT_FALSE(p.SetPinSel({100, -10, 120, 10}));
}

TEST_F(PinTest, FindByTextSelector) {
  CPin p = NamedPin(kRoot, {1300, 2000}, 0);
  EXPECT_EQ(p.Find("CLK", true, true, false, kFindPinName), p.GetNameText().GetPoint());
  EXPECT_FALSE(p.Find("CLK", true, true, false, kFindPinNo));
  EXPECT_EQ(p.Find("12", true, true, false, kFindPinName | kFindPinNo), p.GetNoText().GetPoint());
  p.ModifyElect(kPinHidden, 0);
  EXPECT_FALSE(p.Find("CLK", true, true, false, kFindPinName));
  EXPECT_TRUE(p.Find("CLK", true, true, true, kFindPinName));
}

TEST_F(PinTest, EleNames) {
  EXPECT_STREQ(CPin::EleName(0), "Passive");
  EXPECT_STREQ(CPin::EleName(3), "3-State");
  EXPECT_STREQ(CPin::EleName(14), "No Connect");
  EXPECT_STREQ(CPin::EleName(15), "Power");
  EXPECT_EQ(CPin::EleName(9), nullptr);
  EXPECT_EQ(CPin::EleName(13), nullptr);
  CPin p;
  p.ModifyElect(kPinPower, 0);
  EXPECT_TRUE(p.IsPower());
}

// --- records ---

std::string Record(const CPin& p) {
  CArchive ar;
  p.DataWrite(ar);
  return ar.TakeBuffer();
}

uint32_t U32At(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

TEST_F(PinTest, RecordRoundTrip) {
  CPin p = NamedPin(kRoot, {1000, 1700}, kPinClock | kPinMark | kPinSelected | kPinOpenX | 4);
  const std::string bytes = Record(p);
  EXPECT_EQ(U32At(bytes, 16), 0x300u);                                             // angle
  EXPECT_EQ(U32At(bytes, 20), uint32_t{kPinClock | kPinMark | kPinSelected | 4});  // no X bit
  EXPECT_EQ(U32At(bytes, 24), 3u);                                                 // both texts

  CArchive in(bytes);
  CPin q;
  q.SetNetName("N1");
  q.DataRead(in, 8);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_TRUE(q.Compare(p));
  EXPECT_FALSE(q.IsDispX());
  EXPECT_TRUE(q.IsSelect());  // stored as it stands
  EXPECT_EQ(q.GetAngle(), 0x300u);
  EXPECT_EQ(q.GetNetName(), "");
}

TEST_F(PinTest, RecordWithoutTextsHasAZeroMask) {
  const std::string bytes = Record(CPin({0, 0}, {300, 0}, 0));
  EXPECT_EQ(bytes.size(), 28u);
  EXPECT_EQ(U32At(bytes, 24), 0u);
}

TEST_F(PinTest, StoredDirectionIsRecomputedFromThePoints) {
  std::string bytes = Record(NamedPin(kRoot, {1300, 2000}, 0));
  bytes[16] = 0x80;  // 0x380 | other bits: a direction that disagrees
  bytes[17] = 0x13;
  CArchive in(bytes);
  CPin q;
  q.DataRead(in, 8);
  EXPECT_EQ(q.GetAngle(), 0x000u);
}

TEST_F(PinTest, TruncatedRecordThrowsAndKeepsThePin) {
  const std::string bytes = Record(NamedPin(kRoot, {1300, 2000}, 0));
  const CPin before = NamedPin({5, 5}, {5, 305}, kPinDot);
  for (size_t n = 0; n < bytes.size(); ++n) {
    CArchive in(std::string_view(bytes).substr(0, n));
    CPin q = before;
    EXPECT_THROW(q.DataRead(in, 8), ArchiveError) << n;
    EXPECT_TRUE(q.Compare(before)) << n;
  }
}

}  // namespace
}  // namespace tavro
