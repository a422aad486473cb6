// The outlines of the text frame styles, built as line and arc items of width
// 4 around the frame rectangle and drawn as those items are drawn.
//
// Every outline is laid out along the text: s runs along the reading
// direction from the start of the frame (s0) to its end (s1), t across it
// from the base side (t0) to the up side (t1). The margins that the frame
// rectangle leaves at the ends hold the points, notches and round caps:
//   ＢＯＸ        a box; ＢＯＸ２ a box with a second box inside
//   入出力        pointed at both ends
//   入力 / 出力    pointed at the end / at the start, square at the other
//   入力２ / 出力２ pointed at the end / at the start, notched at the other
//   平行          a parallelogram leaning toward the end
//   ダイヤ        a diamond through the middles of the sides
//   丸枠          round caps at both ends; 丸枠２ rounded corners;
//                 丸枠３ round caps with a second outline inside
//   下線 / 2重下線 one / two lines under the text
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/draw/draw.h"
#include "core/model/arc.h"
#include "core/model/line.h"
#include "core/model/text.h"

namespace tavro {

namespace {

constexpr int kFrameWidth = 4;
constexpr int64_t kInset = 12;  // gap of the inner outline of the doubled styles

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The frame's own coordinates: world = s * along + t * up, with the quarter
// turn of the text's direction.
class FrameSpace {
 public:
  FrameSpace(const CRect& frame, uint32_t dir) {
    const CRect r = frame.Normalized();
    switch (dir & 0x300) {
      case kDir90:  // along +y, up -x
        rx_ = 0, ry_ = 1, ux_ = -1, uy_ = 0, degrees_ = 90;
        s0 = r.top, s1 = r.bottom, t0 = -int64_t(r.right), t1 = -int64_t(r.left);
        break;
      case kDir180:  // along -x, up -y
        rx_ = -1, ry_ = 0, ux_ = 0, uy_ = -1, degrees_ = 180;
        s0 = -int64_t(r.right), s1 = -int64_t(r.left), t0 = -int64_t(r.bottom),
        t1 = -int64_t(r.top);
        break;
      case kDir270:  // along -y, up +x
        rx_ = 0, ry_ = -1, ux_ = 1, uy_ = 0, degrees_ = 270;
        s0 = -int64_t(r.bottom), s1 = -int64_t(r.top), t0 = r.left, t1 = r.right;
        break;
      default:  // along +x, up +y
        rx_ = 1, ry_ = 0, ux_ = 0, uy_ = 1, degrees_ = 0;
        s0 = r.left, s1 = r.right, t0 = r.top, t1 = r.bottom;
        break;
    }
  }
  CPoint At(int64_t s, int64_t t) const {
    return {Clamp32(s * rx_ + t * ux_), Clamp32(s * ry_ + t * uy_)};
  }
  // A world angle of a local angle (degrees).
  int Angle(int local) const { return (local + degrees_) % 360; }

  int64_t s0 = 0, s1 = 0, t0 = 0, t1 = 0;

 private:
  int rx_ = 1, ry_ = 0, ux_ = 0, uy_ = 1, degrees_ = 0;
};

// Collects the items of one outline.
struct Outline {
  const FrameSpace& fs;
  std::vector<CLine> lines;
  std::vector<CArc> arcs;

  void Line(int64_t sa, int64_t ta, int64_t sb, int64_t tb) {
    CLine l(fs.At(sa, ta), fs.At(sb, tb), kLineGraphic);
    l.SetWidth(kFrameWidth);
    lines.push_back(std::move(l));
  }
  // A closed polygon through local points.
  void Closed(std::initializer_list<std::pair<int64_t, int64_t>> pts) {
    const auto* first = pts.begin();
    for (const auto* p = pts.begin(); p != pts.end(); ++p) {
      const auto* q = p + 1 == pts.end() ? first : p + 1;
      Line(p->first, p->second, q->first, q->second);
    }
  }
  void Arc(int64_t s, int64_t t, int64_t radius, int from, int to) {
    if (radius <= 0) return;
    arcs.emplace_back(fs.At(s, t), static_cast<uint32_t>(radius), fs.Angle(from), fs.Angle(to), 0,
                      kFrameWidth);
  }
  void Box(int64_t s0, int64_t t0, int64_t s1, int64_t t1) {
    Closed({{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}});
  }
  // Round caps at both ends.
  void Stadium(int64_t s0, int64_t t0, int64_t s1, int64_t t1) {
    const int64_t r = std::min((t1 - t0) / 2, (s1 - s0) / 2);
    const int64_t tm = (t0 + t1) / 2;
    Line(s0 + r, t1, s1 - r, t1);
    Line(s0 + r, t0, s1 - r, t0);
    Arc(s1 - r, tm, r, 270, 90);
    Arc(s0 + r, tm, r, 90, 270);
  }
};

}  // namespace

FrameOutline GetTextFrameOutline(const CText& text, const CRect& frame) {
  if (frame.IsRectEmpty()) return {};
  const FrameSpace fs(frame, text.GetDir());
  Outline o{fs, {}, {}};
  const int64_t s0 = fs.s0, s1 = fs.s1, t0 = fs.t0, t1 = fs.t1;
  const int64_t tm = (t0 + t1) / 2, sm = (s0 + s1) / 2;
  // The depth of points and notches: half the height, at most half the length.
  const int64_t d = std::min((t1 - t0) / 2, (s1 - s0) / 2);
  const bool roomInside = s1 - s0 > 4 * kInset && t1 - t0 > 4 * kInset;
  switch (text.GetFrame()) {
    case kFrameBox2:
      o.Box(s0, t0, s1, t1);
      if (roomInside) o.Box(s0 + kInset, t0 + kInset, s1 - kInset, t1 - kInset);
      break;
    case kFrameInOut:
      o.Closed({{s0, tm}, {s0 + d, t1}, {s1 - d, t1}, {s1, tm}, {s1 - d, t0}, {s0 + d, t0}});
      break;
    case kFrameIn:
      o.Closed({{s0, t0}, {s0, t1}, {s1 - d, t1}, {s1, tm}, {s1 - d, t0}});
      break;
    case kFrameOut:
      o.Closed({{s0, tm}, {s0 + d, t1}, {s1, t1}, {s1, t0}, {s0 + d, t0}});
      break;
    case kFrameIn2:
      o.Closed({{s0, t0}, {s0 + d, tm}, {s0, t1}, {s1 - d, t1}, {s1, tm}, {s1 - d, t0}});
      break;
    case kFrameOut2:
      o.Closed({{s0, tm}, {s0 + d, t1}, {s1, t1}, {s1 - d, tm}, {s1, t0}, {s0 + d, t0}});
      break;
    case kFrameParallel:
      o.Closed({{s0, t0}, {s0 + d, t1}, {s1, t1}, {s1 - d, t0}});
      break;
    case kFrameDiamond:
      o.Closed({{s0, tm}, {sm, t1}, {s1, tm}, {sm, t0}});
      break;
    case kFrameRound:
      o.Stadium(s0, t0, s1, t1);
      break;
    case kFrameRound2: {
      const int64_t r = std::min((t1 - t0) / 4, (s1 - s0) / 4);
      o.Line(s0 + r, t0, s1 - r, t0);
      o.Line(s1, t0 + r, s1, t1 - r);
      o.Line(s1 - r, t1, s0 + r, t1);
      o.Line(s0, t1 - r, s0, t0 + r);
      o.Arc(s1 - r, t0 + r, r, 270, 0);
      o.Arc(s1 - r, t1 - r, r, 0, 90);
      o.Arc(s0 + r, t1 - r, r, 90, 180);
      o.Arc(s0 + r, t0 + r, r, 180, 270);
      break;
    }
    case kFrameRound3:
      o.Stadium(s0, t0, s1, t1);
      if (roomInside) o.Stadium(s0 + kInset, t0 + kInset, s1 - kInset, t1 - kInset);
      break;
    case kFrameUnderline:
      o.Line(s0, t0, s1, t0);
      break;
    case kFrameUnderline2:
      o.Line(s0, t0, s1, t0);
      o.Line(s0, t0 - kInset, s1, t0 - kInset);
      break;
    default:  // a box (also for a frame property without a style of its own)
      o.Box(s0, t0, s1, t1);
      break;
  }
  return {std::move(o.lines), std::move(o.arcs)};
}

void DrawWalk::TextFrame(const CText& text, const CRect& frame) {
  const FrameOutline outline = GetTextFrameOutline(text, frame);
  for (const CLine& l : outline.lines) Line(l, false);
  for (const CArc& a : outline.arcs) Arc(a);
}

}  // namespace tavro
