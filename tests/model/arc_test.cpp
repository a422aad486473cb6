// Arcs: angles, three- and two-point construction, editing helpers, turning
// and mirroring, bounding boxes, hit tests and the stored record.
#include "core/model/arc.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/file/archive.h"

namespace tavro {
namespace {

struct Angles {
  int start, end;
  bool operator==(const Angles&) const = default;
};
Angles AnglesOf(const CArc& a) { return {a.GetStartAngle(), a.GetEndAngle()}; }

void PrintTo(const Angles& a, std::ostream* os) { *os << a.start << ".." << a.end; }

TEST(ArcTest, ConstructorReducesAnglesBelow360) {
  const CArc a({0, 0}, 100, 400, 720, 0, 8);
  EXPECT_EQ(AnglesOf(a), (Angles{40, 0}));
  EXPECT_EQ(AnglesOf(CArc({0, 0}, 100, 359, -90, 0, 8)), (Angles{359, -90}));
}

TEST(ArcTest, PointAtTruncatesTowardZero) {
  const CArc a({1000, 2000}, 100, 0, 90, 0, 8);
  EXPECT_EQ(a.PointAt(30), CPoint(1086, 2049));  // 86.6, 49.99999
  EXPECT_EQ(a.PointAt(150), CPoint(914, 2049));  // -86.6 -> -86
  EXPECT_EQ(a.PointAt(210), CPoint(914, 1950));  // -50.00001 -> -50
  EXPECT_EQ(a.GetStartPoint(), CPoint(1100, 2000));
  EXPECT_EQ(a.GetEndPoint(), CPoint(1000, 2100));
}

TEST(ArcTest, AngleOfAPoint) {
  const CArc a({0, 0}, 100, 0, 90, 0, 8);
  const struct {
    CPoint q;
    int angle;
  } cases[] = {
      {{100, 0}, 0},  {{0, 100}, 90},    {{-100, 0}, 180}, {{0, -100}, 270},
      {{70, 70}, 45}, {{70, -70}, 315},  {{100, -1}, 0},  // 360 - 0 is 0
      {{0, 0}, 0},                                        // the centre
      {{50, 50}, 45},                                     // off the circle: its true direction
      {{500, 1}, 0},  {{-500, -1}, 181},                  // 360 - trunc(179.9)
  };
  for (const auto& c : cases) EXPECT_EQ(a.AngleOf(c.q), c.angle) << c.q.x << "," << c.q.y;
  const CArc dot({0, 0}, 0, 0, 0, 0, 8);  // radius 0: no division by zero
  EXPECT_EQ(dot.AngleOf({0, 5}), 90);
  EXPECT_EQ(dot.AngleOf({0, 0}), 0);
}

TEST(ArcTest, ThreePointArcPassesThroughTheThirdPoint) {
  struct Case {
    const char* what;
    CPoint p1, p2, p3;
    CPoint center;
    int radius;
    Angles angles;
  };
  const Case cases[] = {
      {"counter-clockwise over the top", {100, 0}, {-100, 0}, {0, 100}, {0, 0}, 100, {0, 180}},
      {"clockwise over the top", {-100, 0}, {100, 0}, {0, 100}, {0, 0}, 100, {0, 180}},
      {"clockwise under the bottom", {100, 0}, {-100, 0}, {0, -100}, {0, 0}, 100, {180, 0}},
      {"shallow bow", {0, 0}, {100, 0}, {50, 10}, {50, -120}, 130, {67, 112}},
      {"off the origin", {1100, 1000}, {1000, 1100}, {1060, 1080}, {1000, 1000}, 100, {0, 90}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CArc a;
    EXPECT_TRUE(a.SetArcPoint(c.p1, c.p2, c.p3));
    EXPECT_EQ(a.GetCenter(), c.center);
    EXPECT_EQ(a.GetRadius(), c.radius);
    EXPECT_EQ(AnglesOf(a), c.angles);
    EXPECT_TRUE(a.CheckPoint(c.p3));
  }
}

TEST(ArcTest, EqualEndsMakeACircleAboutTheThirdPoint) {
  const CArc a({30, 40}, {30, 40}, {0, 0}, 0, 8);
  EXPECT_EQ(a.GetCenter(), CPoint(0, 0));
  EXPECT_EQ(a.GetRadius(), 50);
  EXPECT_EQ(AnglesOf(a), (Angles{0, 0}));
  EXPECT_TRUE(a.IsCircle());
}

TEST(ArcTest, PointsOnOneLineLeaveTheArcUnchanged) {
  const CArc before({7, 8}, 90, 10, 20, 0, 8);
  const struct {
    CPoint p1, p2, p3;
  } cases[] = {
      {{0, 0}, {100, 100}, {50, 50}},              // between
      {{0, 0}, {100, 100}, {300, 300}},            // beyond
      {{0, 0}, {100, 0}, {0, 0}},                  // on an end
      {{0, 0}, {2000000000, 1}, {1000000000, 0}},  // centre out of range
  };
  for (const auto& c : cases) {
    CArc a = before;
    EXPECT_FALSE(a.SetArcPoint(c.p1, c.p2, c.p3));
    EXPECT_EQ(a, before);
  }
  // Built from such points: a radius-0 arc at the third point.
  const CArc a({0, 0}, {100, 100}, {50, 50}, 0, 8);
  EXPECT_EQ(a.GetCenter(), CPoint(50, 50));
  EXPECT_EQ(a.GetRadius(), 0);
}

TEST(ArcTest, TwoPointsAndACentre) {
  CArc a;
  a.SetArcPoint2({0, 130}, {-50, 50}, {0, 0});
  EXPECT_EQ(a.GetCenter(), CPoint(0, 0));
  EXPECT_EQ(a.GetRadius(), 130);
  EXPECT_EQ(AnglesOf(a), (Angles{90, 135}));
}

TEST(ArcTest, EditingHelpers) {
  CArc a({0, 0}, 100, 0, 90, 0, 8);
  a.SetCenter({10, 0});  // through the old end points' directions, radius to the start
  EXPECT_EQ(a.GetCenter(), CPoint(10, 0));
  EXPECT_EQ(a.GetRadius(), 90);
  EXPECT_EQ(AnglesOf(a), (Angles{0, 95}));

  CArc b({0, 0}, 100, 0, 90, 0, 8);
  b.SetStartAngle({0, -50});
  EXPECT_EQ(b.GetStartAngle(), 270);
  b.SetEndAngle({50, 80}, 0);  // 57.99 degrees
  EXPECT_EQ(b.GetEndAngle(), 57);
  b.SetEndAngle({50, 80}, 15);
  EXPECT_EQ(b.GetEndAngle(), 60);
  b.SetEndAngle({50, 80}, 45);
  EXPECT_EQ(b.GetEndAngle(), 45);
  b.SetStartAngle({100, -18}, 45);  // 350 rounds to 0, not 360
  EXPECT_EQ(b.GetStartAngle(), 0);
  EXPECT_EQ(b.GetRadius(), 100);
}

TEST(ArcTest, OffsetWithOneGrabbedEndTurnsThatEnd) {
  CArc a({0, 0}, 100, 0, 90, 0, 8);
  a.SetCheck(CRect(90, -10, 110, 10));  // the start point (100, 0)
  EXPECT_EQ(a.GetStartCheck(), 1);
  EXPECT_EQ(a.GetEndCheck(), 0);
  EXPECT_TRUE(a.CheckEdge());
  a.Offset({0, 100});
  EXPECT_EQ(AnglesOf(a), (Angles{45, 90}));
  EXPECT_EQ(a.GetCenter(), CPoint(0, 0));

  a.SetCheck(0);
  a.SetCheck(CRect(-10, 90, 10, 110));  // the end point (0, 100)
  a.Offset({-100, -100});
  EXPECT_EQ(AnglesOf(a), (Angles{45, 180}));

  for (int both : {0, 1}) {
    a.SetCheck(both);
    EXPECT_FALSE(a.CheckEdge());
    a.Offset({5, 6});
  }
  EXPECT_EQ(a.GetCenter(), CPoint(10, 12));
  EXPECT_EQ(AnglesOf(a), (Angles{45, 180}));
}

TEST(ArcTest, SetCircleKeepsTheGrabbedEnd) {
  CArc a({0, 0}, 100, 30, 120, 0, 8);
  a.SetCheck(CRect(80, 40, 90, 60));  // start point (86, 49)
  a.SetCircle();
  EXPECT_EQ(AnglesOf(a), (Angles{120, 120}));
  CArc b({0, 0}, 100, 30, 120, 0, 8);
  b.SetCircle();
  EXPECT_EQ(AnglesOf(b), (Angles{30, 30}));
}

TEST(ArcTest, Mirroring) {
  CArc a({100, 50}, 100, 0, 270, 0, 8);
  a.MirrorX({0, 0});
  EXPECT_EQ(a.GetCenter(), CPoint(-100, 50));
  EXPECT_EQ(AnglesOf(a), (Angles{-90, 180}));  // not reduced
  a.MirrorX({0, 0});
  EXPECT_EQ(a, CArc({100, 50}, 100, 0, 270, 0, 8));

  CArc b({100, 50}, 100, 0, 90, 0, 8);
  b.MirrorY({0, 100});
  EXPECT_EQ(b.GetCenter(), CPoint(100, 150));
  EXPECT_EQ(AnglesOf(b), (Angles{270, 360}));
}

TEST(ArcTest, QuarterTurns) {
  const CArc orig({100, 50}, 100, 30, 200, 0, 8);
  CArc a = orig;
  const Angles expected[] = {{120, 290}, {210, 20}, {300, 110}, {30, 200}};
  for (const Angles& e : expected) {
    a.Rotate({-20, 10}, 1);
    EXPECT_EQ(AnglesOf(a), e);
  }
  EXPECT_EQ(a, orig);
  a.Rotate({-20, 10}, 1);
  a.Rotate({-20, 10}, 0);
  EXPECT_EQ(a, orig);
  a.Rotate({0, 0}, 0);
  EXPECT_EQ(AnglesOf(a), (Angles{300, 110}));
  EXPECT_EQ(a.GetCenter(), CPoint(50, -100));
}

TEST(ArcTest, BoundingRectangle) {
  struct Case {
    const char* what;
    CArc arc;
    CRect rect;
  };
  const Case cases[] = {
      {"quarter", CArc({0, 0}, 100, 0, 90, 0, 8), {-5, -5, 108, 108}},
      {"quarter off the origin", CArc({1000, 1000}, 100, 0, 90, 0, 8), {995, 995, 1108, 1108}},
      {"filled quarter", CArc({0, 0}, 100, 0, 90, kArcFilled, 8), {-13, -13, 124, 124}},
      {"start above the end", CArc({0, 0}, 100, 270, 0, 0, 8), {-5, -108, 108, 5}},
      {"mirrored, negative start", CArc({0, 0}, 100, -90, 0, 0, 8), {-5, -108, 108, 5}},
      {"circle", CArc({0, 0}, 100, 45, 45, 0, 8), {-108, -108, 108, 108}},
      {"circle, odd pen", CArc({0, 0}, 100, 0, 0, 0, 9), {-108, -108, 108, 108}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.arc.GetBoundingRect(), c.rect) << c.what;

  CArc arrow({0, 0}, 100, 0, 90, 0, 8);
  arrow.SetArrow(1);  // strokes from (100, 0) to (74, 96) and (125, 96)
  CPoint a, b;
  ASSERT_TRUE(arrow.ArrowStrokes(1, a, b));
  EXPECT_EQ(a, CPoint(74, 96));
  EXPECT_EQ(b, CPoint(125, 96));
  EXPECT_EQ(arrow.GetBoundingRect(), CRect(-5, -5, 125, 108));
  EXPECT_FALSE(arrow.ArrowStrokes(2, a, b));

  // Stored angles far outside one turn still walk at most one turn.
  const CArc wild({0, 0}, 100, -2000000000, 2000000000, 0, 8);
  const CRect r = wild.GetBoundingRect();
  EXPECT_GE(r.left, -108);
  EXPECT_LE(r.right, 108);
}

TEST(ArcTest, HitTest) {
  CArc a({0, 0}, 100, 0, 90, 0, 8);
  struct Case {
    CPoint p;
    bool hit;
  };
  const Case cases[] = {
      {{70, 71}, true},                        // on the pen
      {{73, 73}, true},                        // 3.2 outside
      {{75, 75}, false},                       // 6 outside
      {{-70, 71}, false},                      // outside the angles
      {{100, -3}, true},                       // at the start point
      {{100, -10}, false}, {{50, 50}, false},  // inside, not filled
  };
  for (const Case& c : cases) EXPECT_EQ(a.CheckPoint(c.p), c.hit) << c.p.x << "," << c.p.y;
  a.SetType(kArcFilled);
  EXPECT_TRUE(a.CheckPoint({50, 50}));
  EXPECT_TRUE(a.CheckPoint({0, 0}));
  EXPECT_FALSE(a.CheckPoint({-50, 50}));
  a.SetEndAngle(0);  // a circle
  EXPECT_TRUE(a.CheckPoint({-50, 50}));
  a.SetType(0);
  EXPECT_TRUE(a.CheckPoint({-100, 0}));
  EXPECT_FALSE(a.CheckPoint({-50, 50}));
}

TEST(ArcTest, Equality) {
  const CArc a({0, 0}, 100, 0, 90, 0, 8);
  CArc b = a;
  b.SetCheck(1);
  EXPECT_EQ(a, b);
  b.SetArrow(2);
  EXPECT_FALSE(a == b);
  b = a;
  b.SetWidth(9);
  EXPECT_FALSE(a == b);
  b = a;
  b.SetType(0x200);
  EXPECT_FALSE(a == b);
}

// --- records ---

std::string Record(const CArc& a) {
  CArchive ar;
  a.DataWrite(ar);
  return ar.TakeBuffer();
}

TEST(ArcTest, RecordVersions) {
  CArc a({-100, 200}, 300, 10, 350, kArcFilled | 0x400, 20);
  a.SetArrow(100, 250);
  a.SetCheck(1);
  const std::string bytes = Record(a);
  ASSERT_EQ(bytes.size(), 26u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[24]), 0x19);
  EXPECT_EQ(static_cast<unsigned char>(bytes[25]), 0x0A);

  CArchive v8(bytes);
  CArc r;
  r.DataRead(v8, 8);
  EXPECT_TRUE(v8.AtEnd());
  EXPECT_EQ(r.GetCenter(), CPoint(-100, 200));
  EXPECT_EQ(r.GetRadius(), 300);
  EXPECT_EQ(AnglesOf(r), (Angles{10, 350}));
  EXPECT_EQ(r.GetType(), uint32_t{kArcFilled | 0x400});
  EXPECT_EQ(r.GetStartArrow(), 100);
  EXPECT_EQ(r.GetEndArrow(), 250);
  EXPECT_EQ(r.GetWidth(), 8);
  EXPECT_EQ(r.GetStartCheck() | r.GetEndCheck(), 0);

  // Version 7 has no arrow field: the two bytes are left for the next record.
  CArchive v7(bytes);
  CArc s;
  s.SetArrow(1);
  s.DataRead(v7, 7);
  EXPECT_EQ(v7.Remaining(), 2u);
  EXPECT_EQ(s.IsArrow(), 0);
  EXPECT_EQ(s.GetWidth(), 8);
  EXPECT_EQ(AnglesOf(s), (Angles{10, 350}));
}

TEST(ArcTest, TruncatedRecordThrowsAndKeepsTheArc) {
  const std::string bytes = Record(CArc({-100, 200}, 300, 10, 350, 0, 8));
  const CArc before({1, 2}, 3, 4, 5, 6, 7);
  for (size_t n = 0; n < bytes.size(); ++n) {
    CArchive in(std::string_view(bytes).substr(0, n));
    CArc r = before;
    EXPECT_THROW(r.DataRead(in, 8), ArchiveError) << n;
    EXPECT_EQ(r, before) << n;
  }
}

}  // namespace
}  // namespace tavro
