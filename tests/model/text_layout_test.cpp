// Rectangles of texts (placement, frames, lines, properties) and their
// rotation and mirroring, measured with fixed widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/text.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

constexpr CPoint kAt{1000, 2000};

class TextLayoutTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

// "abcd" at height 100 in the default font: 200 along, 100 across.
TEST_F(TextLayoutTest, PlacementByAlignmentAndDirection) {
  struct Case {
    uint32_t dir;
    int org;
    CRect rect;
  };
  const Case cases[] = {
      {kDir0, kOrgBottomLeft, {1000, 2000, 1200, 2100}},
      {kDir0, kOrgTopLeft, {1000, 1900, 1200, 2000}},
      {kDir0, kOrgTopCenter, {900, 1900, 1100, 2000}},
      {kDir0, kOrgTopRight, {800, 1900, 1000, 2000}},
      {kDir0, kOrgMiddleLeft, {1000, 1950, 1200, 2050}},
      {kDir0, kOrgMiddleCenter, {900, 1950, 1100, 2050}},
      {kDir0, kOrgMiddleRight, {800, 1950, 1000, 2050}},
      {kDir0, kOrgBottomCenter, {900, 2000, 1100, 2100}},
      {kDir0, kOrgBottomRight, {800, 2000, 1000, 2100}},
      // Reading up, the up side toward -x.
      {kDir90, kOrgBottomLeft, {900, 2000, 1000, 2200}},
      {kDir90, kOrgTopLeft, {1000, 2000, 1100, 2200}},
      {kDir90, kOrgBottomRight, {900, 1800, 1000, 2000}},
      {kDir90, kOrgMiddleCenter, {950, 1900, 1050, 2100}},
      // Reading toward -x, upside down.
      {kDir180, kOrgBottomLeft, {800, 1900, 1000, 2000}},
      {kDir180, kOrgTopLeft, {800, 2000, 1000, 2100}},
      {kDir180, kOrgTopRight, {1000, 2000, 1200, 2100}},
      {kDir180, kOrgMiddleCenter, {900, 1950, 1100, 2050}},
      // Reading down, the up side toward +x.
      {kDir270, kOrgBottomLeft, {1000, 1800, 1100, 2000}},
      {kDir270, kOrgTopLeft, {900, 1800, 1000, 2000}},
      {kDir270, kOrgBottomRight, {1000, 2000, 1100, 2200}},
      {kDir270, kOrgMiddleCenter, {950, 1900, 1050, 2100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dir " << c.dir << " org " << c.org);
    CText t("abcd", kAt, 100, c.dir | static_cast<uint32_t>(c.org));
    EXPECT_EQ(t.GetTextBoundingRect(), c.rect);
    EXPECT_EQ(t.GetFrameBoundingRect(), c.rect);
    EXPECT_EQ(t.GetBoundingRect(), c.rect);
  }
}

TEST_F(TextLayoutTest, HalvesAreTruncated) {
  // "abc" at 90: 135 along, 90 across.
  CText t("abc", kAt, 90, kOrgMiddleCenter);
  EXPECT_EQ(t.GetTextBoundingRect(), CRect(933, 1955, 1068, 2045));
}

TEST_F(TextLayoutTest, OwnFontIsMeasuredWithItsRecord) {
  CText t("ab", kAt, 100, kDir90 | kTextOwnFont | kOrgBottomLeft);
  LogFont f;
  f.SetFaceName("Arial");
  t.SetFont(f);
  EXPECT_EQ(t.GetTextBoundingRect(), CRect(900, 2000, 1000, 2200));
  EXPECT_EQ(engine_.lastFont.FaceName(), "Arial");
  EXPECT_EQ(engine_.lastFont.escapement, 2700);
}

TEST_F(TextLayoutTest, FrameMargins) {
  struct Case {
    uint32_t dir;
    uint32_t frame;
    CRect rect;
  };
  // Text boxes: direction 0 (1000, 2000, 1200, 2100); 0x100 (900, 2000, 1000, 2200);
  // 0x200 (800, 1900, 1000, 2000); 0x300 (1000, 1800, 1100, 2000).
  const Case cases[] = {
      {kDir0, kFrameNone, {1000, 2000, 1200, 2100}},
      {kDir0, kFrameUnderline, {992, 1998, 1208, 2102}},
      {kDir0, kFrameUnderline2, {992, 1998, 1208, 2102}},
      {kDir0, kFrameBox, {942, 1998, 1258, 2102}},
      {kDir0, kFrameBox2, {942, 1998, 1258, 2102}},
      {kDir0, kFrameInOut, {892, 1998, 1308, 2102}},
      {kDir0, kFrameParallel, {892, 1998, 1308, 2102}},
      {kDir0, kFrameRound, {892, 1998, 1308, 2102}},
      {kDir0, kFrameRound2, {892, 1998, 1308, 2102}},
      {kDir0, kFrameRound3, {892, 1998, 1308, 2102}},
      {kDir0, kFrameDiamond, {884, 1946, 1316, 2154}},
      {kDir0, kFrameIn, {942, 1998, 1308, 2102}},
      {kDir0, kFrameIn2, {942, 1998, 1308, 2102}},
      {kDir0, kFrameOut, {892, 1998, 1258, 2102}},
      {kDir0, kFrameOut2, {892, 1998, 1258, 2102}},
      {kDir0, 0xF0000, {992, 1998, 1208, 2102}},
      {kDir90, kFrameUnderline, {898, 1992, 1002, 2208}},
      {kDir90, kFrameBox, {898, 1942, 1002, 2258}},
      {kDir90, kFrameDiamond, {846, 1884, 1054, 2316}},
      {kDir90, kFrameIn, {898, 1942, 1002, 2308}},
      {kDir90, kFrameOut, {898, 1892, 1002, 2258}},
      {kDir180, kFrameIn, {692, 1898, 1058, 2002}},
      {kDir180, kFrameOut, {742, 1898, 1108, 2002}},
      {kDir270, kFrameIn, {998, 1692, 1102, 2058}},
      {kDir270, kFrameOut, {998, 1742, 1102, 2108}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "dir " << c.dir << " frame " << std::hex << c.frame);
    CText t("abcd", kAt, 100, c.dir | kOrgBottomLeft | c.frame);
    EXPECT_EQ(t.GetFrameBoundingRect(), c.rect);
    EXPECT_EQ(t.GetBoundingRect(), c.rect);
  }
}

TEST_F(TextLayoutTest, LineBreaks) {
  struct Case {
    std::string name;
    uint32_t dir;
    int lines;
    std::vector<std::string> measured;
    CRect rect;
  };
  const Case cases[] = {
      {"ab\\ncde", kDir0, 2, {"ab", "cde"}, {1000, 1900, 1150, 2100}},
      {"ab   \\n\\ncd", kDir0, 3, {"ab", " ", "cd"}, {1000, 1800, 1100, 2100}},
      {"ab\\ncd", kDir90, 2, {"ab", "cd"}, {900, 2000, 1100, 2100}},
      {"ab\\ncd", kDir180, 2, {"ab", "cd"}, {900, 1900, 1000, 2100}},
      {"ab\\ncd", kDir270, 2, {"ab", "cd"}, {900, 1900, 1100, 2000}},
      // An escaped break is text.
      {"ab\\\\ncd", kDir0, 1, {"ab\\\\ncd"}, {1000, 2000, 1350, 2100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " dir " + std::to_string(c.dir));
    engine_.measured.clear();
    CText t(c.name, kAt, 100, c.dir | kOrgBottomLeft);
    EXPECT_EQ(t.CalcLines(), c.lines);
    EXPECT_EQ(engine_.measured, c.measured);
    EXPECT_EQ(t.GetTextBoundingRect(), c.rect);
  }

  // The frame surrounds all lines once.
  CText framed("ab\\ncde", kAt, 100, kOrgBottomLeft | kFrameBox);
  EXPECT_EQ(framed.GetFrameBoundingRect(), CRect(942, 1898, 1208, 2102));
}

TEST_F(TextLayoutTest, PropertiesAndEmptyTexts) {
  struct Case {
    std::string name;
    uint32_t attr;
    std::string measured;  // empty: nothing measured
    CRect rect;
  };
  const Case cases[] = {
      {"&VALUE&VALUE&10k", kTextHidden, "10k", {1000, 2000, 1150, 2100}},
      {"&VALUE&VALUE&10k", 0, "10k", {1000, 2000, 1150, 2100}},
      {"&FILE&file&C:\\work\\sub.tcd", kTextHidden, "sub.tcd", {1000, 2000, 1350, 2100}},
      {"&VALUE&VALUE&", kTextHidden, "", {1000, 2000, 1050, 2100}},
      {"&VALUE&10k", kTextHidden, "", {}},
      {"&VALUE&10k", 0, "&VALUE&10k", {1000, 2000, 1500, 2100}},
      {"", 0, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine_.measured.clear();
    CText t(c.name, kAt, 100, kOrgBottomLeft | c.attr);
    EXPECT_EQ(engine_.measured,
              c.measured.empty() ? std::vector<std::string>{} : std::vector{c.measured});
    EXPECT_EQ(t.GetTextBoundingRect(), c.rect);
    EXPECT_EQ(t.GetBoundingRect(), c.rect);
  }
  // A hidden property with a frame has no frame box either.
  CText hidden("&X&1", kAt, 100, kOrgBottomLeft | kTextHidden | kFrameBox);
  EXPECT_TRUE(hidden.GetFrameBoundingRect().IsRectEmpty());
  // A hidden plain text keeps its boxes but covers nothing.
  CText plain("abcd", kAt, 100, kOrgBottomLeft | kTextHidden);
  EXPECT_EQ(plain.GetTextBoundingRect(), CRect(1000, 2000, 1200, 2100));
  EXPECT_TRUE(plain.GetBoundingRect().IsRectEmpty());
}

TEST_F(TextLayoutTest, BoxSetByTheOwnerGetsTheFrameMargins) {
  CText frame("&FRAME&VALUE", kAt, 100, kOrgBottomLeft | kTextHidden | kFrameBox);
  frame.SetBoundRect({0, 0, 100, 100});
  EXPECT_EQ(frame.GetTextBoundingRect(), CRect(0, 0, 100, 100));
  EXPECT_EQ(frame.GetFrameBoundingRect(), CRect(-58, -2, 158, 102));
  frame.SetBoundRect({});
  EXPECT_TRUE(frame.GetFrameBoundingRect().IsRectEmpty());
}

TEST_F(TextLayoutTest, MovingKeepsTheBoxes) {
  CText t("abcd", kAt, 100, kOrgBottomLeft | kFrameBox);
  engine_.measured.clear();
  t.SetPoint({0, 0});
  EXPECT_TRUE(engine_.measured.empty());  // no new measurement
  EXPECT_EQ(t.GetTextBoundingRect(), CRect(0, 0, 200, 100));
  EXPECT_EQ(t.GetFrameBoundingRect(), CRect(-58, -2, 258, 102));
  t.Offset({10, 20});
  EXPECT_EQ(t.GetPoint(), CPoint(10, 20));
  EXPECT_EQ(t.GetTextBoundingRect(), CRect(10, 20, 210, 120));

  CText unselected("abcd", kAt, 100, kOrgBottomLeft);
  unselected.OffsetAttr({5, 5});
  EXPECT_EQ(unselected.GetPoint(), kAt);
  CText selected("abcd", kAt, 100, kOrgBottomLeft | kTextSelected);
  selected.OffsetAttr({5, 5});
  EXPECT_EQ(selected.GetPoint(), CPoint(1005, 2005));

  CText empty;
  empty.Offset({5, 5});
  EXPECT_EQ(empty.GetPoint(), CPoint(0, 0));
  // The boxes of a text that takes no room stay empty when it moves.
  CText hidden("&X&1", kAt, 100, kOrgBottomLeft | kTextHidden);
  hidden.SetPoint({7, 7});
  EXPECT_TRUE(hidden.GetTextBoundingRect().IsRectEmpty());
}

// --- rotation and mirroring ----------------------------------------------------

struct TurnCase {
  uint32_t dir;
  int org;
  int turn;  // the dir argument
  bool adjust;
  uint32_t newDir;
  int newOrg;
};

TEST_F(TextLayoutTest, RotateKeepsTextsReadable) {
  const TurnCase cases[] = {
      {kDir0, 8, 1, true, kDir90, 8},    {kDir90, 8, 1, true, kDir0, 2},
      {kDir90, 0, 1, true, kDir0, 10},   {kDir90, 6, 1, true, kDir0, 14},
      {kDir90, 24, 1, true, kDir0, 26},  {kDir90, 30, 1, true, kDir0, 30},
      {kDir90, 14, 1, true, kDir0, 6},   {kDir90, 8, 1, false, kDir90, 8},
      {kDir90, 8, 0, true, kDir0, 8},    {kDir0, 8, 0, true, kDir90, 2},
      {kDir0, 26, 0, true, kDir90, 24},  {kDir0, 8, 0, false, kDir0, 8},
      {kDir180, 8, 1, true, kDir180, 8}, {kDir270, 8, 0, true, kDir270, 8},
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.dir << "/" << c.org << " turn " << c.turn << (c.adjust ? " adjust" : ""));
    CText t("abcd", {100, 0}, 100, c.dir | static_cast<uint32_t>(c.org) | kFrameBox);
    t.Rotate({0, 0}, c.turn, c.adjust);
    EXPECT_EQ(t.GetPoint(), c.turn ? CPoint(0, 100) : CPoint(0, -100));
    EXPECT_EQ(static_cast<uint32_t>(t.GetDir()), c.newDir);
    EXPECT_EQ(t.GetOrg(), c.newOrg);
    EXPECT_EQ(t.GetFrame(), kFrameBox);
    // The boxes follow the new placement.
    EXPECT_EQ(t.GetTextBoundingRect(),
              CText("abcd", t.GetPoint(), 100, t.GetAttr()).GetTextBoundingRect());
  }

  // Four turns bring a text back; a turn and its reverse are the identity.
  CText t("abcd", {130, -40}, 100, kOrgBottomLeft);
  const CText start = t;
  for (int i = 0; i < 4; ++i) t.Rotate({10, 20}, 1);
  EXPECT_EQ(t, start);
  t.Rotate({10, 20}, 1);
  t.Rotate({10, 20}, 0);
  EXPECT_EQ(t, start);
}

TEST_F(TextLayoutTest, RotateAUsesAllFourDirections) {
  CText t("abcd", {100, 0}, 100, kOrgBottomLeft);
  const uint32_t ccw[] = {kDir90, kDir180, kDir270, kDir0};
  for (uint32_t d : ccw) {
    t.RotateA({0, 0}, 1);
    EXPECT_EQ(static_cast<uint32_t>(t.GetDir()), d);
    EXPECT_EQ(t.GetOrg(), kOrgBottomLeft);
  }
  EXPECT_EQ(t.GetPoint(), CPoint(100, 0));
  t.RotateA({0, 0}, 0);
  EXPECT_EQ(static_cast<uint32_t>(t.GetDir()), kDir270);
  EXPECT_EQ(t.GetPoint(), CPoint(0, -100));
}

TEST_F(TextLayoutTest, MirrorSwapsAlignment) {
  struct Case {
    bool inX;
    uint32_t dir;
    int org;
    int newOrg;
  };
  const Case cases[] = {
      // Mirroring in x: horizontal texts swap left and right, others top and bottom.
      {true, kDir0, 0, 2},
      {true, kDir0, 10, 8},
      {true, kDir0, 24, 26},
      {true, kDir0, 6, 6},
      {true, kDir0, 30, 30},
      {true, kDir90, 0, 8},
      {true, kDir90, 10, 2},
      {true, kDir90, 6, 14},
      {true, kDir90, 24, 24},
      {true, kDir180, 0, 8},
      // Mirroring in y: texts reading up swap left and right, others top and bottom.
      {false, kDir90, 0, 2},
      {false, kDir90, 26, 24},
      {false, kDir90, 14, 14},
      {false, kDir0, 0, 8},
      {false, kDir0, 14, 6},
      {false, kDir0, 26, 26},
      {false, kDir270, 2, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.inX ? "x " : "y ") << c.dir << "/" << c.org);
    CText t("abcd", {100, 50}, 100, c.dir | static_cast<uint32_t>(c.org));
    if (c.inX) {
      t.MirrorX({0, 0});
      EXPECT_EQ(t.GetPoint(), CPoint(-100, 50));
    } else {
      t.MirrorY({0, 0});
      EXPECT_EQ(t.GetPoint(), CPoint(100, -50));
    }
    EXPECT_EQ(t.GetOrg(), c.newOrg);
    EXPECT_EQ(static_cast<uint32_t>(t.GetDir()), c.dir);

    CText plain("abcd", {100, 50}, 100, c.dir | static_cast<uint32_t>(c.org));
    c.inX ? plain.MirrorX({0, 0}, false) : plain.MirrorY({0, 0}, false);
    EXPECT_EQ(plain.GetOrg(), c.org);
  }

  CText t("abcd", {130, -40}, 100, uint32_t{kDir90} | kOrgBottomLeft);
  const CText start = t;
  t.MirrorX({7, 9});
  t.MirrorX({7, 9});
  EXPECT_EQ(t, start);
}

TEST_F(TextLayoutTest, TextOperationsActOnlyOnSelectedTexts) {
  for (bool selected : {false, true}) {
    const uint32_t attr = kOrgBottomLeft | (selected ? kTextSelected : 0u);
    CText r("abcd", {100, 0}, 100, attr);
    r.RotateText({0, 0}, 1);
    EXPECT_EQ(r.GetPoint(), selected ? CPoint(0, 100) : CPoint(100, 0));
    CText x("abcd", {100, 0}, 100, attr);
    x.MirrorXText({0, 0});
    EXPECT_EQ(x.GetPoint(), selected ? CPoint(-100, 0) : CPoint(100, 0));
    CText y("abcd", {100, 10}, 100, attr);
    y.MirrorYText({0, 0});
    EXPECT_EQ(y.GetPoint(), selected ? CPoint(100, -10) : CPoint(100, 10));
  }
}

}  // namespace
}  // namespace tavro
