#include "core/model/line.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/file/archive.h"
#include "core/model/read_scope.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Each stroke of an arrowhead leaves the line at this angle.
constexpr double kArrowSpread = 15.0 * kPi / 180.0;
// Slack of the floating-point tests along and across an oblique stroke.
constexpr double kEps = 1e-6;

// The record mask bits of the two labels.
constexpr uint32_t kMaskName = 1;
constexpr uint32_t kMaskCross = 2;

// A coordinate computed in floating point, truncated toward zero and kept
// inside the int32 range.
int32_t Trunc32(double v) {
  if (!(v > std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (!(v < std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// Coordinates of p in the frame of the stroke from a (origin) along b.
struct StrokeFrame {
  double c = 1, s = 0, len = 0;
  StrokeFrame(CPoint a, CPoint b) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    len = std::hypot(dx, dy);
    if (len > 0) {
      c = dx / len;
      s = dy / len;
    }
  }
  double Along(CPoint a, double px, double py) const { return (px - a.x) * c + (py - a.y) * s; }
  double Across(CPoint a, double px, double py) const { return -(px - a.x) * s + (py - a.y) * c; }
};

const char* AttrHeightKey(int kind) {
  switch (kind) {
    case kLineGraphic:
      return "LineAttrHeight";
    case kLineBus:
      return "BusAttrHeight";
    default:
      return "WireAttrHeight";
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CLine::CLine() : CLine(CPoint(), CPoint(), kLineWire) {}

CLine::CLine(CPoint start, CPoint end, uint32_t type)
    : type_(type), start_(start), end_(end), crossNameText_(nameText_) {}

// ---------------------------------------------------------------------------
// Grab flags and arrows

void CLine::SetCheck(CPoint p, int v) {
  if (start_ == p) startCheck_ = v;
  if (end_ == p) endCheck_ = v;
}

void CLine::SetCheck(const CRect& r) {
  startCheck_ = r.PtInRect(start_) ? 1 : 0;
  endCheck_ = r.PtInRect(end_) ? 1 : 0;
}

void CLine::SetArrow(int which) {
  if (which == 1) {
    startArrow_ = startArrow_ != 0 ? 0 : 100;
  } else if (which == 2) {
    endArrow_ = endArrow_ != 0 ? 0 : 100;
  }
}

uint16_t CLine::EncodeArrows(int startArrow, int endArrow) {
  const auto byte = [](int len) { return static_cast<uint16_t>(std::clamp(len / 10, 0, 255)); };
  return static_cast<uint16_t>((byte(startArrow) << 8) | byte(endArrow));
}

void CLine::DecodeArrows(uint16_t v, int& startArrow, int& endArrow) {
  startArrow = (v >> 8) * 10;
  endArrow = (v & 0xFF) * 10;
}

// ---------------------------------------------------------------------------
// Names

void CLine::SetName(const char* line) { nameText_.SetName(line); }

void CLine::SetName(const std::string& name, CPoint at, uint32_t attr) {
  const int size = AppSettings().GetInt("Default", AttrHeightKey(GetLineType()));
  if (attr != 0) {
    if (start_.y == end_.y) {
      // Horizontal: a label above the line sits on it.
      if (at.y > start_.y) attr = kOrgBottomLeft;
    } else {
      // Any other line: the label reads along it, bottom-to-top.
      attr = at.x > start_.x ? (kDir90 | uint32_t{kOrgBottomLeft})
                             : (attr | kDir90 | uint32_t{kOrgBottomRight});
    }
  }
  nameText_.SetName(name, at, size, attr);
}

void CLine::SetNamePoint(CPoint p) { nameText_.SetPoint(p); }

bool CLine::IncName(int step) { return nameText_.IncName(step); }

void CLine::SetCrossName(const char* line) { crossNameText_.SetName(line); }

std::optional<CPoint> CLine::Find(std::string_view pattern, bool matchCase, bool whole,
                                  bool includeHidden) const {
  return nameText_.Find(pattern, matchCase, whole, includeHidden);
}

// ---------------------------------------------------------------------------
// Shape

bool CLine::IsHVLine(int kind) const {
  const bool horizontalKind = kind >= kKindHWire && kind <= kKindHAny && kind % 2 == 0;
  return horizontalKind ? IsHorizontal() : IsVertical();
}

void CLine::SwapEnds() {
  std::swap(start_, end_);
  std::swap(startCheck_, endCheck_);
  std::swap(startArrow_, endArrow_);
}

bool CLine::NormalPoint() {
  const bool swap = (IsHorizontal() && start_.x > end_.x) || (IsVertical() && start_.y < end_.y);
  if (swap) SwapEnds();
  return swap;
}

void CLine::Swap() {
  if (IsHorizontal() || IsVertical()) SwapEnds();
}

// ---------------------------------------------------------------------------
// Geometry

void CLine::Offset(CPoint d) {
  const bool s = startCheck_ != 0;
  const bool e = endCheck_ != 0;
  if (s != e) {
    // One end grabbed: only that end follows; the labels stay.
    (s ? start_ : end_) += d;
    return;
  }
  start_ += d;
  end_ += d;
  nameText_.Offset(d);
  crossNameText_.Offset(d);
}

void CLine::OffsetAttr(CPoint d, bool shift) {
  if (!shift) {
    // The labels slide along the line.
    if (IsVertical()) {
      d.x = 0;
    } else if (IsHorizontal()) {
      d.y = 0;
    }
  }
  nameText_.OffsetAttr(d);
  crossNameText_.OffsetAttr(d);
}

void CLine::Rotate(CPoint center, int dir) {
  start_ = start_.Rotated(center, dir);
  end_ = end_.Rotated(center, dir);
  nameText_.Rotate(center, dir, false);
  crossNameText_.Rotate(center, dir, false);
}

void CLine::MirrorX(CPoint center) {
  start_ = start_.MirroredX(center);
  end_ = end_.MirroredX(center);
  const bool adjust = IsHorizontal();
  nameText_.MirrorX(center, adjust);
  crossNameText_.MirrorX(center, adjust);
}

void CLine::MirrorY(CPoint center) {
  start_ = start_.MirroredY(center);
  end_ = end_.MirroredY(center);
  const bool adjust = IsHorizontal();
  nameText_.MirrorY(center, adjust);
  crossNameText_.MirrorY(center, adjust);
}

void CLine::RotateText(CPoint center, int dir) {
  nameText_.RotateText(center, dir, false);
  crossNameText_.RotateText(center, dir, false);
}

void CLine::MirrorXText(CPoint center) {
  const bool adjust = IsHorizontal();
  nameText_.MirrorXText(center, adjust);
  crossNameText_.MirrorXText(center, adjust);
}

void CLine::MirrorYText(CPoint center) {
  const bool adjust = IsHorizontal();
  nameText_.MirrorYText(center, adjust);
  crossNameText_.MirrorYText(center, adjust);
}

void CLine::ArrowHead(CPoint tip, double toward, int len, CPoint& a, CPoint& b) {
  a = {Trunc32(tip.x + len * std::cos(toward + kArrowSpread)),
       Trunc32(tip.y + len * std::sin(toward + kArrowSpread))};
  b = {Trunc32(tip.x + len * std::cos(toward - kArrowSpread)),
       Trunc32(tip.y + len * std::sin(toward - kArrowSpread))};
}

bool CLine::ArrowStrokes(int which, CPoint& a, CPoint& b) const {
  const int len = which == 1 ? startArrow_ : which == 2 ? endArrow_ : 0;
  if (len == 0 || start_ == end_) return false;
  const CPoint tip = which == 1 ? start_ : end_;
  const CPoint other = which == 1 ? end_ : start_;
  const double toward =
      std::atan2(static_cast<double>(other.y) - tip.y, static_cast<double>(other.x) - tip.x);
  ArrowHead(tip, toward, len, a, b);
  return true;
}

CRect CLine::GetBoundingRect() const {
  CRect r = CRect(start_, end_).Normalized().Inflated(width_, width_);
  for (int which : {1, 2}) {
    CPoint a, b;
    if (!ArrowStrokes(which, a, b)) continue;
    const CPoint tip = which == 1 ? start_ : end_;
    r |= CRect(tip, a).Normalized();
    r |= CRect(tip, b).Normalized();
  }
  r |= nameText_.GetBoundingRect();
  r |= crossNameText_.GetBoundingRect();
  return r;
}

// ---------------------------------------------------------------------------
// Hit tests

bool CLine::HitSegment(CPoint a, CPoint b, int width, CPoint p) {
  if (a.x == b.x || a.y == b.y) {
    return CRect(a, b).Normalized().Inflated(width, width).PtInRect(p);
  }
  // Turn the stroke onto +x about a and measure p along and across it.
  const StrokeFrame f(a, b);
  const double along = f.Along(a, p.x, p.y);
  const double across = f.Across(a, p.x, p.y);
  return along >= -kEps && along <= f.len + kEps && std::abs(across) <= width / 2.0 + kEps;
}

bool CLine::CheckPoint(CPoint p) const {
  if (HitSegment(start_, end_, width_, p)) return true;
  for (const CText* t : {&nameText_, &crossNameText_}) {
    const CRect r = t->GetBoundingRect();
    if (!r.IsRectEmpty() && r.PtInRect(p)) return true;
  }
  for (int which : {1, 2}) {
    CPoint a, b;
    if (!ArrowStrokes(which, a, b)) continue;
    const CPoint tip = which == 1 ? start_ : end_;
    if (HitSegment(tip, a, width_, p) || HitSegment(tip, b, width_, p)) return true;
  }
  return false;
}

bool CLine::CheckPoint(const CRect& r) const {
  if (start_.x == end_.x || start_.y == end_.y) {
    return CRect(start_, end_).Normalized().Inflated(width_ / 2, width_ / 2).Intersects(r);
  }
  if (r.PtInRect(start_) || r.PtInRect(end_)) return true;
  if (!CRect(start_, end_).Normalized().Inflated(1, 1).Intersects(r)) return false;
  // The rectangle in the line's frame: does its extent across the line
  // straddle the line or come within half the pen of it?
  const StrokeFrame f(start_, end_);
  const CRect n = r.Normalized();
  double lo = std::numeric_limits<double>::max();
  double hi = std::numeric_limits<double>::lowest();
  for (CPoint c :
       {n.TopLeft(), n.BottomRight(), CPoint(n.left, n.bottom), CPoint(n.right, n.top)}) {
    const double across = f.Across(start_, c.x, c.y);
    lo = std::min(lo, across);
    hi = std::max(hi, across);
  }
  if (lo <= 0 && hi >= 0) return true;
  return std::min(std::abs(lo), std::abs(hi)) <= width_ / 2.0 + kEps;
}

// ---------------------------------------------------------------------------
// Comparison

bool CLine::operator==(const CLine& o) const {
  return start_ == o.start_ && end_ == o.end_ &&
         (type_ & kLineStoredMask) == (o.type_ & kLineStoredMask) && startArrow_ == o.startArrow_ &&
         endArrow_ == o.endArrow_;
}

bool CLine::Compare(const CLine& o) const { return *this == o && nameText_ == o.nameText_; }

// ---------------------------------------------------------------------------
// Records

void CLine::DataWrite(CArchive& ar, bool withText) const {
  ar.WriteU32(type_ & kLineStoredMask);
  ar.WritePoint(start_);
  ar.WritePoint(end_);
  if (withText) {
    // The cross label is derived on the sheet and never stored.
    const uint32_t mask = nameText_.IsEmpty() ? 0 : kMaskName;
    ar.WriteU32(mask);
    if (mask != 0) nameText_.DataWrite(ar);
  }
  if (GetLineType() == kLineGraphic) ar.WriteU16(EncodeArrows(startArrow_, endArrow_));
}

void CLine::DataRead(CArchive& ar, int version) {
  // Read into a fresh line so that a damaged record leaves this one as it was.
  CLine t;
  t.type_ = ar.ReadU32() & kLineStoredMask;
  t.start_ = ar.ReadPoint();
  t.end_ = ar.ReadPoint();
  const bool graphic = t.GetLineType() == kLineGraphic;
  if (!graphic || version >= 6) {
    const uint32_t mask = ar.ReadU32();
    if ((mask & kMaskName) != 0) t.nameText_.DataRead(ar, version);
    if ((mask & kMaskCross) != 0) t.crossNameText_.DataRead(ar, version);
  }
  if (graphic && version >= 7) DecodeArrows(ar.ReadU16(), t.startArrow_, t.endArrow_);
  // The pen comes from the settings, whatever the line was drawn with.
  t.width_ = ReadScope::LineWidth(t.type_);
  *this = std::move(t);
}

}  // namespace tavro
