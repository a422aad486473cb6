#include "app/gui/selection.h"

#include <algorithm>

namespace tavro::gui {

namespace {

// The line list of a selection list.
const ItemList<CLine>& LinesOf(const CSheet& sheet, SelList list) {
  return list == kSelWires ? sheet.Wires() : list == kSelBuses ? sheet.Buses() : sheet.Lines();
}
ItemList<CLine>& LinesOf(CSheet& sheet, SelList list) {
  return list == kSelWires ? sheet.Wires() : list == kSelBuses ? sheet.Buses() : sheet.Lines();
}

size_t ListSize(const CSheet& sheet, SelList list) {
  switch (list) {
    case kSelWires:
    case kSelBuses:
    case kSelLines:
      return LinesOf(sheet, list).size();
    case kSelArcs:
      return sheet.Arcs().size();
    case kSelJuncs:
      return sheet.Juncs().size();
    case kSelTexts:
      return sheet.Texts().size();
    case kSelPins:
      return sheet.Pins().size();
    case kSelParts:
      return sheet.Parts().size();
    default:
      return 0;
  }
}

bool Inside(const CRect& outer, const CRect& inner) {
  const CRect o = outer.Normalized();
  const CRect i = inner.Normalized();
  return i.left >= o.left && i.right <= o.right && i.top >= o.top && i.bottom <= o.bottom;
}

CRect PartBox(const CPart& part) {
  return CRect(part.GetRectStart(), part.GetRectEnd()).Normalized();
}

void SetLineGrab(CLine& line, uint8_t grab) {
  line.SetCheck(0);
  if (grab & kGrabStart) line.SetCheck(line.GetStartPoint(), 1);
  if (grab & kGrabEnd) line.SetCheck(line.GetEndPoint(), 1);
  // A line whose ends are one point is held whole.
  if (grab == kGrabWhole) line.SetCheck(1);
}

}  // namespace

bool Selection::Empty() const {
  return std::all_of(lists_.begin(), lists_.end(), [](const auto& l) { return l.empty(); });
}

int Selection::Count() const {
  size_t n = 0;
  for (const auto& l : lists_) n += l.size();
  return static_cast<int>(n);
}

bool Selection::Contains(SelList list, uint32_t index) const {
  const auto& l = lists_[list];
  const auto it = std::lower_bound(l.begin(), l.end(), index,
                                   [](const SelEntry& e, uint32_t i) { return e.index < i; });
  return it != l.end() && it->index == index;
}

void Selection::Add(SelList list, uint32_t index, uint8_t grab) {
  auto& l = lists_[list];
  const auto it = std::lower_bound(l.begin(), l.end(), index,
                                   [](const SelEntry& e, uint32_t i) { return e.index < i; });
  if (it != l.end() && it->index == index) {
    it->grab |= grab;
    return;
  }
  l.insert(it, SelEntry{index, grab});
}

bool Selection::AddItem(const CSheet& sheet, const CObject* item) {
  auto find = [&](SelList list, const auto& items) {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].get() == item) {
        Add(list, static_cast<uint32_t>(i));
        return true;
      }
    }
    return false;
  };
  return find(kSelWires, sheet.Wires()) || find(kSelBuses, sheet.Buses()) ||
         find(kSelLines, sheet.Lines()) || find(kSelArcs, sheet.Arcs()) ||
         find(kSelJuncs, sheet.Juncs()) || find(kSelTexts, sheet.Texts()) ||
         find(kSelPins, sheet.Pins()) || find(kSelParts, sheet.Parts());
}

void Selection::Remove(SelList list, uint32_t index) {
  std::erase_if(lists_[list], [index](const SelEntry& e) { return e.index == index; });
}

void Selection::Toggle(SelList list, uint32_t index) {
  if (Contains(list, index))
    Remove(list, index);
  else
    Add(list, index);
}

void Selection::Clear() {
  for (auto& l : lists_) l.clear();
}

Selection::ListSizes Selection::Sizes(const CSheet& sheet) {
  ListSizes n{};
  for (int list = 0; list < kSelListCount; ++list)
    n[list] = ListSize(sheet, static_cast<SelList>(list));
  return n;
}

Selection Selection::AddedSince(const CSheet& sheet, const ListSizes& before) {
  Selection s;
  for (int list = 0; list < kSelListCount; ++list) {
    const size_t n = ListSize(sheet, static_cast<SelList>(list));
    for (size_t i = before[list]; i < n; ++i)
      s.lists_[list].push_back(SelEntry{static_cast<uint32_t>(i)});
  }
  return s;
}

Selection Selection::All(const CSheet& sheet) {
  Selection s;
  for (int list = 0; list < kSelListCount; ++list) {
    const size_t n = ListSize(sheet, static_cast<SelList>(list));
    s.lists_[list].reserve(n);
    for (size_t i = 0; i < n; ++i) s.lists_[list].push_back(SelEntry{static_cast<uint32_t>(i)});
  }
  return s;
}

Selection Selection::InRect(const CSheet& sheet, const CRect& rect) {
  const CRect r = rect.Normalized();
  Selection s;
  for (SelList list : {kSelWires, kSelBuses, kSelLines}) {
    const auto& lines = LinesOf(sheet, list);
    for (size_t i = 0; i < lines.size(); ++i) {
      const bool start = r.PtInRect(lines[i]->GetStartPoint());
      const bool end = r.PtInRect(lines[i]->GetEndPoint());
      const uint8_t grab = (start ? kGrabStart : 0) | (end ? kGrabEnd : 0);
      if (grab != 0) s.lists_[list].push_back(SelEntry{static_cast<uint32_t>(i), grab});
    }
  }
  auto whole = [&](SelList list, const auto& items, auto box) {
    for (size_t i = 0; i < items.size(); ++i)
      if (Inside(r, box(*items[i]))) s.lists_[list].push_back(SelEntry{static_cast<uint32_t>(i)});
  };
  whole(kSelArcs, sheet.Arcs(), [](const CArc& a) { return a.GetBoundingRect(); });
  whole(kSelJuncs, sheet.Juncs(), [](const CJunc& j) { return j.GetBoundingRect(); });
  whole(kSelTexts, sheet.Texts(), [](const CText& t) { return t.GetBoundingRect(); });
  whole(kSelPins, sheet.Pins(), [](const CPin& p) { return p.GetBoundingRect(); });
  whole(kSelParts, sheet.Parts(), [](const CPart& p) { return PartBox(p); });
  return s;
}

bool Selection::HitTest(const CSheet& sheet, CPoint p, int tol, SelList& list, uint32_t& index) {
  const CRect probe(p.x - tol, p.y - tol, p.x + tol, p.y + tol);
  // The newest item lies on top: each list is searched from its end.
  auto hit = [&](SelList l, const auto& items, auto test) {
    for (size_t i = items.size(); i-- > 0;) {
      if (test(*items[i])) {
        list = l;
        index = static_cast<uint32_t>(i);
        return true;
      }
    }
    return false;
  };
  auto boxHit = [&](const CRect& box) { return box.Inflated(tol, tol).PtInRect(p); };
  return hit(kSelTexts, sheet.Texts(),
             [&](const CText& t) { return t.IsDisp() && boxHit(t.GetBoundingRect()); }) ||
         hit(kSelPins, sheet.Pins(),
             [&](const CPin& pin) { return boxHit(pin.GetBoundingRect()); }) ||
         hit(kSelJuncs, sheet.Juncs(),
             [&](const CJunc& j) { return boxHit(j.GetBoundingRect()); }) ||
         hit(kSelWires, sheet.Wires(), [&](const CLine& l) { return l.CheckPoint(probe); }) ||
         hit(kSelBuses, sheet.Buses(), [&](const CLine& l) { return l.CheckPoint(probe); }) ||
         hit(kSelLines, sheet.Lines(), [&](const CLine& l) { return l.CheckPoint(probe); }) ||
         hit(kSelArcs, sheet.Arcs(), [&](const CArc& a) { return a.CheckPoint(p); }) ||
         hit(kSelParts, sheet.Parts(), [&](const CPart& part) { return boxHit(PartBox(part)); });
}

void Selection::ClampTo(const CSheet& sheet) {
  for (int list = 0; list < kSelListCount; ++list) {
    const size_t n = ListSize(sheet, static_cast<SelList>(list));
    std::erase_if(lists_[list], [n](const SelEntry& e) { return e.index >= n; });
  }
}

CSheet Selection::Copy(const CSheet& sheet, bool wholeOnly) const {
  CSheet copy(kSheetScratch);
  for (SelList list : {kSelWires, kSelBuses, kSelLines}) {
    const auto& lines = LinesOf(sheet, list);
    for (const SelEntry& e : lists_[list]) {
      if (wholeOnly && e.grab != kGrabWhole) continue;
      SetLineGrab(copy.NewLine(*lines[e.index]), e.grab);
    }
  }
  for (const SelEntry& e : lists_[kSelArcs]) copy.NewArc(*sheet.Arcs()[e.index]).SetCheck(1);
  for (const SelEntry& e : lists_[kSelJuncs]) copy.NewJunc(*sheet.Juncs()[e.index]);
  for (const SelEntry& e : lists_[kSelTexts]) copy.NewText(*sheet.Texts()[e.index]);
  for (const SelEntry& e : lists_[kSelPins]) copy.NewPin(*sheet.Pins()[e.index]);
  for (const SelEntry& e : lists_[kSelParts]) copy.NewPart(*sheet.Parts()[e.index]);
  return copy;
}

void Selection::WriteBack(const CSheet& copy, CSheet& sheet, bool wholeOnly) const {
  for (SelList list : {kSelWires, kSelBuses, kSelLines}) {
    auto& lines = LinesOf(sheet, list);
    const auto& from = LinesOf(copy, list);
    size_t k = 0;
    for (const SelEntry& e : lists_[list]) {
      if (wholeOnly && e.grab != kGrabWhole) continue;
      if (k >= from.size()) break;
      CLine& target = *lines[e.index];
      target = *from[k++];
      target.SetCheck(0);
    }
  }
  auto back = [](const auto& entries, auto& items, const auto& from) {
    for (size_t k = 0; k < entries.size() && k < from.size(); ++k)
      *items[entries[k].index] = *from[k];
  };
  back(lists_[kSelArcs], sheet.Arcs(), copy.Arcs());
  for (const SelEntry& e : lists_[kSelArcs]) sheet.Arcs()[e.index]->SetCheck(0);
  back(lists_[kSelJuncs], sheet.Juncs(), copy.Juncs());
  back(lists_[kSelTexts], sheet.Texts(), copy.Texts());
  back(lists_[kSelPins], sheet.Pins(), copy.Pins());
  back(lists_[kSelParts], sheet.Parts(), copy.Parts());
  // Wires, junctions or parts may have moved: the open pins are found again.
  sheet.SetCalcOpenMode(1);
}

void Selection::DeleteFrom(CSheet& sheet) {
  std::vector<const CObject*> doomed;
  for (SelList list : {kSelWires, kSelBuses, kSelLines})
    for (const SelEntry& e : lists_[list]) doomed.push_back(LinesOf(sheet, list)[e.index].get());
  for (const SelEntry& e : lists_[kSelArcs]) doomed.push_back(sheet.Arcs()[e.index].get());
  for (const SelEntry& e : lists_[kSelJuncs]) doomed.push_back(sheet.Juncs()[e.index].get());
  for (const SelEntry& e : lists_[kSelTexts]) doomed.push_back(sheet.Texts()[e.index].get());
  for (const SelEntry& e : lists_[kSelPins]) doomed.push_back(sheet.Pins()[e.index].get());
  for (const SelEntry& e : lists_[kSelParts]) doomed.push_back(sheet.Parts()[e.index].get());
  for (const CObject* item : doomed) sheet.RemoveItem(item);
  Clear();
}

CRect Selection::Bounds(const CSheet& sheet) const {
  CRect r;
  for (SelList list : {kSelWires, kSelBuses, kSelLines})
    for (const SelEntry& e : lists_[list])
      if (e.grab == kGrabWhole) r |= LinesOf(sheet, list)[e.index]->GetBoundingRect();
  for (const SelEntry& e : lists_[kSelArcs]) r |= sheet.Arcs()[e.index]->GetBoundingRect();
  for (const SelEntry& e : lists_[kSelJuncs]) r |= sheet.Juncs()[e.index]->GetBoundingRect();
  for (const SelEntry& e : lists_[kSelTexts]) r |= sheet.Texts()[e.index]->GetBoundingRect();
  for (const SelEntry& e : lists_[kSelPins]) r |= sheet.Pins()[e.index]->GetBoundingRect();
  for (const SelEntry& e : lists_[kSelParts]) r |= PartBox(*sheet.Parts()[e.index]);
  return r;
}

}  // namespace tavro::gui
