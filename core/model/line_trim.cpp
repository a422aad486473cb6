// Line joining and corner trimming while lines are drawn: collinear
// horizontal or vertical lines of one type on one row or column are joined
// into one line, and horizontal lines are trimmed or extended to meet
// vertical lines in corners. Only the lines of one sheet are looked at.
#include <algorithm>

#include "core/model/line.h"
#include "core/model/sheet.h"

namespace tavro {

namespace {
// Run-time bits left out when two lines are compared.
constexpr uint32_t kTrimRuntimeBits = 0xC0004000;
}  // namespace

bool CLine::Trim(CLine& other) {
  if (startCheck_ || endCheck_ || other.startCheck_ || other.endCheck_) return false;
  if (!GetName().empty() && !other.GetName().empty() && GetName() != other.GetName()) return false;
  if (start_ == other.start_ && end_ == other.end_ &&
      (type_ & ~kTrimRuntimeBits) == (other.type_ & ~kTrimRuntimeBits) &&
      startCheck_ == other.startCheck_ && endCheck_ == other.endCheck_)
    return false;
  if (type_ != other.type_) return false;
  const bool swapped = NormalPoint();
  const bool otherSwapped = other.NormalPoint();
  auto restoreOther = [&] {
    if (otherSwapped) other.SwapEnds();
  };
  auto takeName = [&] {
    if (GetName().empty() && !other.GetName().empty()) nameText_ = other.nameText_;
  };
  if (IsHorizontal() && other.IsHorizontal() && start_.y == other.start_.y) {
    start_.x = std::min(start_.x, other.start_.x);
    end_.x = std::max(end_.x, other.end_.x);
    restoreOther();
    takeName();
    return true;
  }
  if (IsVertical() && other.IsVertical() && start_.x == other.start_.x) {
    end_.y = std::min(end_.y, other.end_.y);
    start_.y = std::max(start_.y, other.start_.y);
    restoreOther();
    takeName();
    return true;
  }
  restoreOther();
  if (swapped) SwapEnds();
  return false;
}

bool CSheet::TrimLine(CLine& line) {
  for (const auto& l : ListForType(line.GetType())) {
    if (l.get() != &line && l->Trim(line)) return true;
  }
  return false;
}

void CSheet::TrimCrossLine(CLine& h, CLine& v) {
  const bool hSwapped = h.NormalPoint();
  const bool vSwapped = v.NormalPoint();
  const int32_t x = v.GetStartPoint().x;
  const int32_t y = h.GetStartPoint().y;
  CPoint hs = h.GetStartPoint(), he = h.GetEndPoint();
  if (x < hs.x) {
    hs = CPoint{x, y};
  } else if (x > he.x) {
    he = CPoint{x, he.y};
  } else if (x > hs.x && x < he.x) {
    // The shorter piece is cut off.
    if (he.x - x <= x - hs.x)
      he.x = x;
    else
      hs.x = x;
  }
  h.SetStartPoint(hs);
  h.SetPoint(he);
  CPoint vs = v.GetStartPoint(), ve = v.GetEndPoint();
  if (y > vs.y) {
    vs = CPoint{x, y};
  } else if (y < ve.y) {
    ve = CPoint{ve.x, y};
  } else if (y < vs.y && y > ve.y) {
    if (y - ve.y < vs.y - y)
      ve.y = y;
    else
      vs.y = y;
  }
  v.SetStartPoint(vs);
  v.SetPoint(ve);
  if (hSwapped) h.Swap();
  if (vSwapped) v.Swap();
}

bool CSheet::TrimLine(bool reverse) {
  bool changed = false;
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_}) {
    // Joining: a line absorbed by another goes, and the walk starts again.
    for (size_t i = 0; i < list->size();) {
      CLine& line = *(*list)[i];
      if (TrimLine(line)) {
        RemoveItem(&line);
        changed = true;
        i = 0;
      } else {
        ++i;
      }
    }
    // Corners: the lines before the first vertical line meet the vertical
    // lines.
    const auto& l = *list;
    const size_t n = l.size();
    size_t first = 0;
    while (first < n && !l[first]->IsVertical()) ++first;
    if (first == n || first == 0) continue;
    for (size_t i = 0; i < first; ++i) {
      size_t j;
      if (!reverse) {
        j = first + i;
        if (j >= n) break;
      } else {
        if (i >= n - first) break;
        j = n - 1 - i;
        if (l[j]->IsHorizontal()) break;
      }
      TrimCrossLine(*l[i], *l[j]);
      changed = true;
    }
  }
  return changed;
}

}  // namespace tavro
