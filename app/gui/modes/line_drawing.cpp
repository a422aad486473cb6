#include "app/gui/modes/line_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/model/sheet.h"

namespace tavro::gui {

namespace {

int RoundTo(double v, int grid) {
  if (grid <= 0) return static_cast<int>(std::lround(v));
  return static_cast<int>(std::lround(v / grid)) * grid;
}

// The connection points of the pins of the sheet (part pins and free pins).
std::vector<CPoint> PinEnds(const CSheet& sheet) {
  std::vector<CPoint> ends;
  for (const auto& part : sheet.Parts())
    for (const auto& pin : part->Pins()) ends.push_back(pin->GetEndPoint());
  for (const auto& pin : sheet.Pins()) ends.push_back(pin->GetEndPoint());
  return ends;
}

// Whether p lies on the segment a-b strictly between its ends (horizontal
// and vertical segments; oblique segments are not split).
bool Inside(CPoint a, CPoint b, CPoint p) {
  if (a.y == b.y && p.y == a.y) return p.x > std::min(a.x, b.x) && p.x < std::max(a.x, b.x);
  if (a.x == b.x && p.x == a.x) return p.y > std::min(a.y, b.y) && p.y < std::max(a.y, b.y);
  return false;
}

// Splits a segment at the given points that lie inside it, in order from a.
std::vector<std::pair<CPoint, CPoint>> Split(CPoint a, CPoint b, const std::vector<CPoint>& at) {
  std::vector<CPoint> cuts;
  for (CPoint p : at)
    if (Inside(a, b, p)) cuts.push_back(p);
  std::sort(cuts.begin(), cuts.end(), [&](CPoint p, CPoint q) {
    return std::abs(p.x - a.x) + std::abs(p.y - a.y) < std::abs(q.x - a.x) + std::abs(q.y - a.y);
  });
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<std::pair<CPoint, CPoint>> pieces;
  CPoint from = a;
  for (CPoint c : cuts) {
    pieces.emplace_back(from, c);
    from = c;
  }
  pieces.emplace_back(from, b);
  return pieces;
}

// The end the two lines share, if any.
std::optional<CPoint> SharedEnd(const CLine& a, const CLine& b) {
  for (CPoint p : {a.GetStartPoint(), a.GetEndPoint()})
    if (p == b.GetStartPoint() || p == b.GetEndPoint()) return p;
  return std::nullopt;
}

bool Collinear(const CLine& a, const CLine& b) {
  if (a.IsHorizontal() && b.IsHorizontal()) return a.GetStartPoint().y == b.GetStartPoint().y;
  if (a.IsVertical() && b.IsVertical()) return a.GetStartPoint().x == b.GetStartPoint().x;
  return false;
}

// Joins `line` into a line of its list that it continues end to end, where
// nothing else meets the joint; true when it was absorbed (and deleted).
bool JoinContinued(CSheet& sheet, CLine& line) {
  for (const auto& other : sheet.ListForType(line.GetType())) {
    if (other.get() == &line || !Collinear(*other, line)) continue;
    if (other->IsArrow() || line.IsArrow()) continue;
    const std::optional<CPoint> joint = SharedEnd(*other, line);
    if (!joint) continue;
    // A third line ending there, a pin or a junction keeps the joint.
    int ends = 0;
    for (const auto& l : sheet.ListForType(line.GetType()))
      if (l->GetStartPoint() == *joint || l->GetEndPoint() == *joint) ++ends;
    if (ends != 2 || sheet.CheckOnPin(*joint)) continue;
    if (std::any_of(sheet.Juncs().begin(), sheet.Juncs().end(),
                    [&](const auto& j) { return j->GetPoint() == *joint; }))
      continue;
    if (other->Trim(line)) {
      sheet.RemoveItem(&line);
      return true;
    }
  }
  return false;
}

}  // namespace

CPoint ConstrainLine(CPoint from, CPoint to, int angleMode, int grid) {
  const int dx = to.x - from.x, dy = to.y - from.y;
  if (angleMode == kAngle90)
    return std::abs(dx) >= std::abs(dy) ? CPoint{to.x, from.y} : CPoint{from.x, to.y};
  if (angleMode != kAngle45) return to;
  // tan(22.5°): within it of an axis the line is horizontal or vertical.
  constexpr double kTan = 0.41421356237;
  if (std::abs(dy) <= std::abs(dx) * kTan) return CPoint{to.x, from.y};
  if (std::abs(dx) <= std::abs(dy) * kTan) return CPoint{from.x, to.y};
  const int d = RoundTo((std::abs(dx) + std::abs(dy)) / 2.0, grid);
  return CPoint{from.x + (dx < 0 ? -d : d), from.y + (dy < 0 ? -d : d)};
}

int AddDrawnLines(CSheet& sheet, const DrawnLines& lines) {
  const std::vector<CPoint>& pts = lines.points;
  if (pts.size() < 2) return 0;
  const bool wire = (lines.type & kLineKindMask) == kLineWire;
  const std::vector<CPoint> pins =
      wire && lines.splitAtPins ? PinEnds(sheet) : std::vector<CPoint>{};
  std::vector<CLine*> added;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    if (pts[i] == pts[i + 1]) continue;
    for (const auto& [a, b] : Split(pts[i], pts[i + 1], pins)) {
      CLine line(a, b, lines.type);
      line.SetWidth(lines.width);
      CLine& l = sheet.NewLine(line);
      added.push_back(&l);
    }
  }
  if (added.empty()) return 0;
  added.front()->SetArrow(lines.startArrow, added.front()->GetEndArrow());
  added.back()->SetArrow(added.back()->GetStartArrow(), lines.endArrow);

  // Points where a junction may be due: the ends of the new lines and the
  // ends of the sheet's wires that lie on them.
  std::vector<CPoint> joints;
  if (wire) {
    for (const CLine* l : added) {
      joints.push_back(l->GetStartPoint());
      joints.push_back(l->GetEndPoint());
      for (const auto& w : sheet.Wires())
        for (CPoint p : {w->GetStartPoint(), w->GetEndPoint()})
          if (Inside(l->GetStartPoint(), l->GetEndPoint(), p)) joints.push_back(p);
    }
  }
  int count = static_cast<int>(added.size());
  for (CLine* l : added)
    if (l->IsHorizontal() || l->IsVertical())
      if (JoinContinued(sheet, *l)) --count;
  for (CPoint p : joints)
    if (sheet.CheckJunc(p, false)) sheet.NewJunc(p);
  return count;
}

}  // namespace tavro::gui
