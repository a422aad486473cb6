#include "core/model/arc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/file/archive.h"
#include "core/model/line.h"

namespace tavro {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadPerDeg = kPi / 180.0;
// Least distance from the circle that still hits a thin arc (mils).
constexpr double kHitSlack = 4.0;

bool InInt32(double v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// Truncated toward zero and kept inside the int32 range.
int32_t Trunc32(double v) {
  if (!(v > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (!(v < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

double Distance(CPoint a, CPoint b) {
  return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

// The point at `deg` on the circle of radius r about c, each offset truncated
// toward zero.
CPoint PointOn(CPoint c, double r, double deg) {
  return {Trunc32(c.x + std::trunc(std::cos(deg * kRadPerDeg) * r)),
          Trunc32(c.y + std::trunc(std::sin(deg * kRadPerDeg) * r))};
}

// a reduced into 0..359.
int64_t Reduce360(int64_t a) {
  a %= 360;
  return a < 0 ? a + 360 : a;
}

// Angles below 360 stay; larger ones are reduced (the constructor's rule).
int BelowFullTurn(int a) { return a >= 360 ? a % 360 : a; }

// Rounds an angle to the nearest multiple of step degrees (step > 0).
int SnapAngle(int a, int step) {
  if (step <= 0) return a;
  return static_cast<int>(Reduce360((static_cast<int64_t>(a) + step / 2) / step * step));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CArc::CArc() = default;

CArc::CArc(CPoint center, uint32_t radius, int startAngle, int endAngle, int type, int width)
    : type_(static_cast<uint32_t>(type)),
      center_(center),
      radius_(static_cast<int32_t>(radius)),
      startAngle_(BelowFullTurn(startAngle)),
      endAngle_(BelowFullTurn(endAngle)),
      width_(width) {}

CArc::CArc(CPoint p1, CPoint p2, CPoint p3, int type, int width)
    : type_(static_cast<uint32_t>(type)), center_(p3), width_(width) {
  // Three points on one line leave a radius-0 arc at p3.
  SetArcPoint(p1, p2, p3);
}

// ---------------------------------------------------------------------------
// Points and angles

CPoint CArc::PointAt(double degrees) const { return PointOn(center_, radius_, degrees); }

// The direction of q seen from the centre: acos of the x offset over the
// distance, 360 minus that below the centre. The distance to q itself is
// used (on the circle it is the radius), so that a picked point off the
// circle still gives its true direction; q at the centre gives 0.
int CArc::AngleOf(CPoint q) const {
  const double dx = static_cast<double>(q.x) - center_.x;
  const double d = Distance(q, center_);
  if (d == 0) return 0;
  int a = static_cast<int>(std::acos(std::clamp(dx / d, -1.0, 1.0)) / kRadPerDeg);
  if (q.y < center_.y) a = 360 - a;
  return a >= 360 ? a - 360 : a;
}

// Three points on one line (including a third point on one of the ends) have
// no circle through them, and nearly straight ones a centre beyond the
// coordinate range. An editor user drawing such an arc expects nothing to
// happen rather than a stray circle, so the arc is left as it was and the
// result is false. Otherwise the arc runs counter-clockwise and passes
// through p3: from p1 to p2 when p1, p3, p2 turn counter-clockwise, else from
// p2 to p1.
bool CArc::SetArcPoint(CPoint p1, CPoint p2, CPoint p3) {
  if (p1 == p2) {
    const double r = Distance(p1, p3);
    if (!InInt32(r)) return false;
    center_ = p3;
    radius_ = static_cast<int32_t>(r);
    startAngle_ = endAngle_ = 0;
    return true;
  }
  const int64_t ax = int64_t{p1.x} - p3.x, ay = int64_t{p1.y} - p3.y;
  const int64_t bx = int64_t{p2.x} - p3.x, by = int64_t{p2.y} - p3.y;
  // Twice the signed area of (p3, p1, p2), exact.
  const __int128 cross = static_cast<__int128>(ax) * by - static_cast<__int128>(ay) * bx;
  if (cross == 0) return false;
  // Intersection of the perpendicular bisectors of p1-p3 and p2-p3, about p3.
  const double fax = static_cast<double>(ax), fay = static_cast<double>(ay);
  const double fbx = static_cast<double>(bx), fby = static_cast<double>(by);
  const double d = 2.0 * static_cast<double>(cross);
  const double a2 = fax * fax + fay * fay, b2 = fbx * fbx + fby * fby;
  const double cx = p3.x + (fby * a2 - fay * b2) / d;
  const double cy = p3.y + (fax * b2 - fbx * a2) / d;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !InInt32(cx) || !InInt32(cy)) return false;
  const CPoint c{static_cast<int32_t>(cx), static_cast<int32_t>(cy)};
  const double r = Distance(c, p1);
  if (!InInt32(r)) return false;

  center_ = c;
  radius_ = static_cast<int32_t>(r);
  const int a1 = AngleOf(p1), a2deg = AngleOf(p2);
  // cross < 0: p1 -> p3 -> p2 turns counter-clockwise.
  startAngle_ = cross < 0 ? a1 : a2deg;
  endAngle_ = cross < 0 ? a2deg : a1;
  return true;
}

void CArc::SetArcPoint2(CPoint p1, CPoint p2, CPoint c) {
  center_ = c;
  radius_ = Trunc32(Distance(c, p1));
  startAngle_ = AngleOf(p1);
  endAngle_ = AngleOf(p2);
}

void CArc::SetCenter(CPoint c) { SetArcPoint2(GetStartPoint(), GetEndPoint(), c); }

void CArc::SetStartAngle(CPoint p, int snap) { startAngle_ = SnapAngle(AngleOf(p), snap); }

void CArc::SetEndAngle(CPoint p, int snap) { endAngle_ = SnapAngle(AngleOf(p), snap); }

// ---------------------------------------------------------------------------
// Grab flags and arrows

void CArc::SetCheck(const CRect& r) {
  startCheck_ = r.PtInRect(GetStartPoint()) ? 1 : 0;
  endCheck_ = r.PtInRect(GetEndPoint()) ? 1 : 0;
}

void CArc::SetCircle() {
  if (startCheck_ != 0 && endCheck_ == 0) {
    startAngle_ = endAngle_;
  } else {
    endAngle_ = startAngle_;
  }
}

void CArc::SetArrow(int which) {
  if (which == 1) {
    startArrow_ = startArrow_ != 0 ? 0 : 100;
  } else if (which == 2) {
    endArrow_ = endArrow_ != 0 ? 0 : 100;
  }
}

// Arrowheads lie along the tangent: at the start pointing on along the
// counter-clockwise run, at the end pointing back along it.
bool CArc::ArrowStrokes(int which, CPoint& a, CPoint& b) const {
  const int len = which == 1 ? startArrow_ : which == 2 ? endArrow_ : 0;
  if (len == 0) return false;
  const bool atStart = which == 1;
  const CPoint tip = atStart ? GetStartPoint() : GetEndPoint();
  const double toward =
      atStart ? (startAngle_ + 90.0) * kRadPerDeg : (endAngle_ - 90.0) * kRadPerDeg;
  CLine::ArrowHead(tip, toward, len, a, b);
  return true;
}

// ---------------------------------------------------------------------------
// Geometry

void CArc::Offset(CPoint d, int snap) {
  const bool s = startCheck_ != 0;
  const bool e = endCheck_ != 0;
  if (s && !e) {
    SetStartAngle(GetStartPoint() + d, snap);
  } else if (e && !s) {
    SetEndAngle(GetEndPoint() + d, snap);
  } else {
    center_ += d;
  }
}

void CArc::Rotate(CPoint c, int dir) {
  center_ = center_.Rotated(c, dir);
  const int add = dir != 0 ? 90 : 270;
  startAngle_ = AddSat(startAngle_, add);
  endAngle_ = AddSat(endAngle_, add);
  if (startAngle_ >= 360) startAngle_ -= 360;
  if (endAngle_ >= 360) endAngle_ -= 360;
}

void CArc::MirrorX(CPoint c) {
  center_ = center_.MirroredX(c);
  const int s = startAngle_;
  startAngle_ = Sat32(180 - int64_t{endAngle_});
  endAngle_ = Sat32(180 - int64_t{s});
}

void CArc::MirrorY(CPoint c) {
  center_ = center_.MirroredY(c);
  const int s = startAngle_;
  startAngle_ = Sat32(360 - int64_t{endAngle_});
  endAngle_ = Sat32(360 - int64_t{s});
}

CRect CArc::GetBoundingRect() const {
  if (IsCircle()) return GetBoundingRect2();
  const int m = type_ != 0 ? 12 : 4;
  const double r = static_cast<double>(radius_) + m;
  int64_t s = startAngle_, e = endAngle_;
  if (s >= e) s -= 360;
  if (e - s > 360) s = e - 360;            // more than a full turn draws one turn
  const int64_t shift = Reduce360(s) - s;  // walk below 360 whatever the stored angles
  s += shift;
  e += shift;

  CRect box;
  CPoint prev = PointOn(center_, r, static_cast<double>(s - 1));
  for (int64_t a = s; a <= e + 1; ++a) {
    const CPoint cur = PointOn(center_, r, static_cast<double>(a));
    box |= CRect(prev, cur).Normalized().Inflated(m, m);
    prev = cur;
  }
  for (int which : {1, 2}) {
    CPoint a, b;
    if (!ArrowStrokes(which, a, b)) continue;
    const CPoint tip = which == 1 ? GetStartPoint() : GetEndPoint();
    box |= CRect(tip, a).Normalized();
    box |= CRect(tip, b).Normalized();
  }
  if ((type_ & kArcFilled) != 0) {
    box |= CRect(center_.x - 1, center_.y - 1, center_.x + 1, center_.y + 1);
  }
  if (box.IsRectEmpty()) {
    const int64_t h = int64_t{radius_} + m;
    box = CRect(AddSat(center_.x, -h), AddSat(center_.y, -h), AddSat(center_.x, h),
                AddSat(center_.y, h));
  }
  return box;
}

CRect CArc::GetBoundingRect2() const {
  const int64_t h = int64_t{radius_} + width_ / 2 + width_ / 2;
  return {AddSat(center_.x, -h), AddSat(center_.y, -h), AddSat(center_.x, h), AddSat(center_.y, h)};
}

bool CArc::CheckPoint(CPoint p) const {
  const double tol = std::max(width_ / 2.0, kHitSlack);
  const double d = Distance(p, center_);
  const bool onPen = std::abs(d - radius_) <= tol;
  const bool inFill = (type_ & kArcFilled) != 0 && d <= radius_ + tol;
  if (onPen || inFill) {
    if (IsCircle() || d == 0) return true;
    // Is the direction of p inside the counter-clockwise run?
    const double s = static_cast<double>(Reduce360(startAngle_));
    const double sweep = static_cast<double>(Reduce360(int64_t{endAngle_} - startAngle_));
    double a =
        std::atan2(static_cast<double>(p.y) - center_.y, static_cast<double>(p.x) - center_.x) /
        kRadPerDeg;
    double rel = std::fmod(a - s, 360.0);
    if (rel < 0) rel += 360.0;
    if (sweep == 0 || rel <= sweep) return true;
  }
  if (Distance(p, GetStartPoint()) <= tol || Distance(p, GetEndPoint()) <= tol) return true;
  for (int which : {1, 2}) {
    CPoint a, b;
    if (!ArrowStrokes(which, a, b)) continue;
    const CPoint tip = which == 1 ? GetStartPoint() : GetEndPoint();
    if (CLine::HitSegment(tip, a, width_, p) || CLine::HitSegment(tip, b, width_, p)) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Comparison and records

bool CArc::operator==(const CArc& o) const {
  return center_ == o.center_ && radius_ == o.radius_ && startAngle_ == o.startAngle_ &&
         endAngle_ == o.endAngle_ && type_ == o.type_ && width_ == o.width_ &&
         startArrow_ == o.startArrow_ && endArrow_ == o.endArrow_;
}

void CArc::DataWrite(CArchive& ar) const {
  ar.WritePoint(center_);
  ar.WriteI32(radius_);
  ar.WriteI32(startAngle_);
  ar.WriteI32(endAngle_);
  ar.WriteU32(type_);
  ar.WriteU16(CLine::EncodeArrows(startArrow_, endArrow_));
}

void CArc::DataRead(CArchive& ar, int version) {
  // Read into a fresh arc so that a damaged record leaves this one as it was.
  CArc t;
  t.center_ = ar.ReadPoint();
  t.radius_ = ar.ReadI32();
  t.startAngle_ = ar.ReadI32();
  t.endAngle_ = ar.ReadI32();
  t.type_ = ar.ReadU32();
  if (version >= 8) CLine::DecodeArrows(ar.ReadU16(), t.startArrow_, t.endArrow_);
  t.width_ = 8;
  *this = t;
}

}  // namespace tavro
