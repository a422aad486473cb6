// Point-connection tests of the editor: counting items at a point, whether a
// junction dot belongs there, wires lying on pins, the open-pin X marks, the
// net highlight and the cross-reference marks of same-named wires.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net_keys.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// Selectors of GetOnCount.
enum : int {
  kOnWire = 1,      // wires whose hit test accepts the point
  kOnJunc = 7,      // junctions exactly at the point
  kOnPartPin = 23,  // displayed part pins whose segment holds the point
  kOnWireEnd = 32,  // wires with an end exactly at the point
};

bool IsNoConnect(const CPin& pin) { return pin.IsElect(kPinNoConnect); }

}  // namespace

// ---------------------------------------------------------------------------
// Counting and the junction rule

int CSheet::GetOnCount(CPoint p, int selector) const {
  int n = 0;
  switch (selector) {
    case kOnWire:
      for (const auto& w : wires_) n += w->CheckPoint(p) ? 1 : 0;
      break;
    case kOnJunc:
      for (const auto& j : juncs_) n += j->GetPoint() == p ? 1 : 0;
      break;
    case kOnPartPin:
      for (const auto& part : parts_)
        for (const auto& pin : part->Pins()) n += pin->CheckPoint(p) ? 1 : 0;
      break;
    case kOnWireEnd:
      for (const auto& w : wires_) n += (w->GetStartPoint() == p || w->GetEndPoint() == p) ? 1 : 0;
      break;
    default:
      break;
  }
  return n;
}

bool CSheet::CheckJunc(CPoint p, bool allowTwo) const {
  if (GetOnCount(p, kOnJunc) > 0) return false;
  const int w = GetOnCount(p, kOnWire);
  if (w > 2) return true;
  const int pins = GetOnCount(p, kOnPartPin);
  if (pins >= 3 || w + pins >= 3) return true;
  if (w != 2) return allowTwo && w + pins == 2;
  // Two wires: a corner or an end-to-end joint needs no dot; a wire running
  // through the point does.
  int ends = 0;
  for (const auto& wire : wires_) {
    if (wire->GetStartPoint() == p || wire->GetEndPoint() == p) {
      if (++ends >= 2) return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Wires on pins

bool CSheet::CheckOnPin(CPoint p) const {
  for (const auto& part : parts_)
    for (const auto& pin : part->Pins())
      if (pin->CheckPoint(p)) return true;
  for (const auto& pin : pins_)
    if (pin->CheckPoint(p)) return true;
  return false;
}

bool CPin::CheckOnPin(CLine& wire) const {
  if (!IsDisp()) return false;
  const uint32_t dir = angle_ & kDirMask;
  if (dir == kDirOblique) return false;
  const bool horizontal = dir == kDir0 || dir == kDir180;
  const int64_t sign = (dir == kDir0 || dir == kDir90) ? 1 : -1;
  // Position along the pin: 0 at the root, len at the connection point.
  auto along = [&](CPoint p) -> int64_t {
    return horizontal ? (int64_t{p.x} - start_.x) * sign : (int64_t{p.y} - start_.y) * sign;
  };
  auto onAxis = [&](CPoint p) { return horizontal ? p.y == start_.y : p.x == start_.x; };
  const int64_t len = along(end_);
  if (len <= 0) return false;  // a pin of no length has nothing to run along
  CPoint ws = wire.GetStartPoint(), we = wire.GetEndPoint();
  if (!onAxis(ws) || !onAxis(we)) return false;
  const int64_t ts = along(ws), te = along(we);
  auto onPin = [&](int64_t t) { return t >= 0 && t < len; };
  if (ws == we) {
    // A dot of wire anywhere on the pin, the connection point included.
    if (ts < 0 || ts > len) return false;
    wire.SetStartPoint(end_);
    wire.SetPoint(end_);
    return true;
  }
  if (!onPin(ts) && !onPin(te)) return false;
  // Each end lying on the pin short of the connection point moves to it.
  if (onPin(ts)) wire.SetStartPoint(end_);
  if (onPin(te)) wire.SetPoint(end_);
  return true;
}

bool CPart::CheckOnPin(CLine& wire) const {
  bool hit = false;
  for (const auto& pin : pins_) {
    if (!pin->IsDisp()) continue;
    if (pin->CheckOnPin(wire)) {
      hit = true;
      if (wire.IsPoint()) break;
    }
  }
  return hit;
}

int CSheet::CheckOnPin() {
  int hits = 0;
  for (size_t i = 0; i < wires_.size();) {
    CLine* wire = wires_[i].get();
    bool hit = false;
    auto tryPin = [&](const CPin& pin) {
      if (!pin.IsDisp() || !pin.CheckOnPin(*wire)) return false;
      hit = true;
      return wire->IsPoint();  // a wire that vanished is removed at once
    };
    bool vanished = false;
    for (const auto& part : parts_) {
      for (const auto& pin : part->Pins())
        if ((vanished = tryPin(*pin))) break;
      if (vanished) break;
    }
    if (!vanished)
      for (const auto& pin : pins_)
        if ((vanished = tryPin(*pin))) break;
    hits += hit ? 1 : 0;
    if (vanished) {
      // The first equal wire goes: this one, or an earlier copy equal to it,
      // which leaves the same list. Either way the next wire is now at i.
      const CLine gone = *wire;
      DeleteLine(gone);
    } else {
      ++i;
    }
  }
  if (hits > 0 && sheetType_ == kSheetMain) calcOpenMode_ = 1;
  return hits;
}

// ---------------------------------------------------------------------------
// Open-pin marks

void CSheet::CalcPinOpen() {
  if (calcOpenMode_ == 0) return;
  const Settings& settings = AppSettings();
  const bool ncX = settings.GetInt("Default", "Pin NCX", 0) != 0;
  const bool openX = settings.GetInt("Default", "Pin OpenX", 0) != 0;
  // Only displayed pins are marked and unmarked: a hidden pin keeps the bit
  // as it stands (it is not drawn), and a mark it still holds from before it
  // was hidden takes no part in the clearing below.
  auto clearX = [&](CPin& pin) {
    if (!pin.IsDisp()) return false;
    if (ncX && IsNoConnect(pin)) return false;  // a No Connect pin keeps its X
    const bool had = pin.IsDispX();
    pin.ModifyElect(0, kPinOpenX);
    return had;
  };
  auto marked = [](const CPin& pin) { return pin.IsDisp() && pin.IsDispX(); };
  // Every displayed pin of the kind (No Connect or not) marked, or unmarked.
  auto markAll = [&](bool noConnect, bool on) {
    for (auto& part : parts_)
      for (auto& pin : part->Pins()) {
        if (IsNoConnect(*pin) != noConnect || !pin->IsDisp()) continue;
        pin->ModifyElect(on ? uint32_t{kPinOpenX} : 0u, on ? 0u : uint32_t{kPinOpenX});
      }
  };

  markAll(true, ncX);
  markAll(false, openX);
  if (!openX) {
    calcOpenMode_ = 0;
    return;
  }

  // The box of a part as cached (without the display fix-up that the
  // drawing's bounding box applies to a part showing nothing).
  auto boxOf = [](const CPart& part) {
    CRect r = CRect(part.GetRectStart(), part.GetRectEnd()).Normalized();
    if (r.IsRectEmpty()) {
      r = part.GetPartNameText().GetBoundingRect();
      r |= part.GetRefNameText().GetBoundingRect();
      r |= part.GetValNameText().GetBoundingRect();
    }
    return r;
  };

  for (size_t i = 0; i < parts_.size(); ++i) {
    CPart& part = *parts_[i];
    auto& pins = part.Pins();
    // Pins of the same part that share a connection point.
    for (size_t a = 0; a < pins.size(); ++a) {
      if (!marked(*pins[a])) continue;
      bool met = false;
      for (size_t b = a + 1; b < pins.size(); ++b) {
        if (!marked(*pins[b]) || pins[b]->GetEndPoint() != pins[a]->GetEndPoint()) continue;
        clearX(*pins[b]);
        met = true;
      }
      if (met) clearX(*pins[a]);
    }
    const CRect grown = boxOf(part).Inflated(8, 8);
    // Pins of later parts nearby.
    for (size_t j = i + 1; j < parts_.size(); ++j) {
      if (!grown.Intersects(boxOf(*parts_[j]))) continue;
      for (auto& p : pins) {
        if (!p->IsDisp()) continue;
        for (auto& q : parts_[j]->Pins()) {
          if (!q->IsDisp() || q->GetEndPoint() != p->GetEndPoint()) continue;
          clearX(*p);
          clearX(*q);
        }
      }
    }
    // Wire ends.
    for (const auto& w : wires_) {
      if (!grown.Intersects(w->GetBoundingRect())) continue;
      int cleared = 0;
      for (auto& p : pins) {
        if (!marked(*p)) continue;
        if (p->GetEndPoint() != w->GetStartPoint() && p->GetEndPoint() != w->GetEndPoint())
          continue;
        if (clearX(*p) && ++cleared >= 2) break;
      }
    }
    // Junction dots on a wire.
    for (auto& p : pins) {
      if (!marked(*p)) continue;
      for (const auto& j : juncs_) {
        if (j->GetPoint() != p->GetEndPoint()) continue;
        bool onWire = false;
        for (const auto& w : wires_)
          if ((onWire = w->CheckPoint(j->GetPoint()))) break;
        if (onWire) {
          clearX(*p);
          break;
        }
      }
    }
  }
  calcOpenMode_ = 0;
}

// ---------------------------------------------------------------------------
// Net highlight

CRect CSheet::SetHighlight(CPoint p, std::vector<std::string>& names, bool byNames) {
  // The two growing sets of points: wire ends met, and junction dots on the
  // highlighted wires (kept in the order met for the hit tests).
  std::unordered_set<uint64_t> ends, dotKeys;
  std::vector<CPoint> dots;
  CRect box;
  auto knownName = [&](const std::string& n) {
    for (const auto& k : names)
      if (EqualNoCase(k, n)) return true;
    return false;
  };
  auto highlight = [&](CLine& w) {
    w.ModifyType(0, kLineHighlight);
    ends.insert(netkeys::PointKey(w.GetStartPoint()));
    ends.insert(netkeys::PointKey(w.GetEndPoint()));
    for (const auto& j : juncs_)
      if (w.CheckPoint(j->GetPoint()) && dotKeys.insert(netkeys::PointKey(j->GetPoint())).second)
        dots.push_back(j->GetPoint());
    if (!w.GetName().empty() && !knownName(w.GetName())) names.push_back(ToUpper(w.GetName()));
    box |= w.GetBoundingRect();
  };
  auto isLit = [](const CLine& w) { return (w.GetType() & kLineHighlight) != 0; };

  if (!byNames) {
    ends.insert(netkeys::PointKey(p));
  } else {
    // The first wire carrying the first listed name that any wire carries.
    CLine* start = nullptr;
    for (const auto& n : names) {
      for (const auto& w : wires_)
        if (EqualNoCase(w->GetName(), n)) {
          start = w.get();
          break;
        }
      if (start) break;
    }
    if (!start) return box;
    highlight(*start);
  }

  for (bool more = true; more;) {
    more = false;
    for (auto& w : wires_) {
      if (isLit(*w)) continue;
      bool joins = ends.contains(netkeys::PointKey(w->GetStartPoint())) ||
                   ends.contains(netkeys::PointKey(w->GetEndPoint()));
      for (size_t d = 0; !joins && d < dots.size(); ++d) joins = w->CheckPoint(dots[d]);
      if (!joins && !w->GetName().empty()) joins = knownName(w->GetName());
      if (joins) {
        highlight(*w);
        more = true;
      }
    }
  }
  return box;
}

// ---------------------------------------------------------------------------
// Cross references of same-named wires

void CSheet::SetRecalcCrossNet(const CLine& wire) {
  if (wire.GetName().empty()) return;
  for (auto& l : LineList(wire.GetLineType())) {
    if (l.get() == &wire || !EqualNoCase(l->GetName(), wire.GetName())) continue;
    l->ModifyType(0, kLineRecalcCross);
  }
}

void CSheet::GetCrossNet(std::vector<const CLine*>& list) const {
  if (list.empty() || list.front() == nullptr) return;
  const CLine* first = list.front();
  if (first->GetName().empty()) return;
  for (const auto& l : LineList(first->GetLineType())) {
    if (l.get() == first || !EqualNoCase(l->GetName(), first->GetName())) continue;
    list.push_back(l.get());
    list.push_back(first);
  }
}

}  // namespace tavro
