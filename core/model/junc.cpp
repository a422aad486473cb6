#include "core/model/junc.h"

#include <algorithm>

#include "core/file/archive.h"
#include "core/model/line.h"

namespace tavro {

bool CJunc::OnWire(const CLine& l) const {
  const CPoint s = l.GetStartPoint();
  const CPoint e = l.GetEndPoint();
  if (s.y == e.y) {
    return point_.y == s.y && point_.x >= std::min(s.x, e.x) && point_.x <= std::max(s.x, e.x);
  }
  if (s.x == e.x) {
    return point_.x == s.x && point_.y >= std::min(s.y, e.y) && point_.y <= std::max(s.y, e.y);
  }
  return false;  // oblique lines carry no dots
}

void CJunc::DataWrite(CArchive& ar) const { ar.WritePoint(point_); }

void CJunc::DataRead(CArchive& ar, int /*version*/) { point_ = ar.ReadPoint(); }

}  // namespace tavro
