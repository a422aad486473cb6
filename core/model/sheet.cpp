// CSheet: the lists, adding and removing items, copies and comparison,
// counting and classification. Transforms and text batches live in
// sheet_edit.cpp, sorting in sheet_sort.cpp, the stored body in
// sheet_record.cpp.
#include "core/model/sheet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// Removes the item at i from the list and hands it over.
template <class T>
std::unique_ptr<T> TakeAt(ItemList<T>& list, size_t i) {
  std::unique_ptr<T> item = std::move(list[i]);
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  return item;
}

template <class T, class Pred>
std::optional<size_t> FindFirst(const ItemList<T>& list, Pred pred) {
  for (size_t i = 0; i < list.size(); ++i)
    if (pred(*list[i])) return i;
  return std::nullopt;
}

template <class T>
bool Holds(const ItemList<T>& list, const CObject* item) {
  return std::any_of(list.begin(), list.end(),
                     [item](const std::unique_ptr<T>& p) { return p.get() == item; });
}

template <class T>
void UniteBoxes(CRect& r, const ItemList<T>& list) {
  for (const auto& item : list) r |= item->GetBoundingRect();
}

// Whether every line of a non-empty list is horizontal (kind 24) or vertical.
int LineListKind(const ItemList<CLine>& list, int horizontal, int vertical, int plain) {
  auto all = [&](int kind) {
    return std::all_of(list.begin(), list.end(),
                       [kind](const std::unique_ptr<CLine>& l) { return l->IsHVLine(kind); });
  };
  if (all(horizontal)) return horizontal;
  if (all(vertical)) return vertical;
  return plain;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CSheet::CSheet(int sheetType) : sheetType_(sheetType) {}

CSheet::CSheet(const CSheet& o) : CObject(o), sheetType_(o.sheetType_), version_(o.version_) {
  *this += o;
  calcOpenMode_ = o.calcOpenMode_;
}

CSheet& CSheet::operator=(const CSheet& o) {
  if (this == &o) return *this;
  DeleteContents();
  *this += o;
  return *this;
}

CSheet::~CSheet() = default;

const ItemList<CLine>& CSheet::LineList(int kind) const {
  switch (kind) {
    case kKindWire:  // 1 is also the type code of graphic lines
    case kKindHLine:
    case kKindVLine:
      return lines_;
    case kLineBus:
    case kKindHBus:
    case kKindVBus:
      return buses_;
    default:
      return wires_;
  }
}

ItemList<CLine>& CSheet::LineList(int kind) {
  return const_cast<ItemList<CLine>&>(std::as_const(*this).LineList(kind));
}

ItemList<CLine>& CSheet::ListForType(uint32_t type) {
  switch (type & kLineKindMask) {
    case kLineGraphic:
      return lines_;
    case kLineBus:
      return buses_;
    default:
      return wires_;
  }
}

// ---------------------------------------------------------------------------
// Bookkeeping

void CSheet::Touched(const CObject& item, bool added) {
  if (sheetType_ != kSheetMain) return;
  if (const auto* line = dynamic_cast<const CLine*>(&item)) {
    if (line->IsWire()) calcOpenMode_ = 1;
    if (crossNameHook_ && !line->GetName().empty()) crossNameHook_(*line, added);
  } else if (dynamic_cast<const CJunc*>(&item) || dynamic_cast<const CPart*>(&item)) {
    calcOpenMode_ = 1;
  }
}

void CSheet::Added(const CObject& item) {
  ++itemCount_;
  Touched(item, true);
}

void CSheet::Removed(const CObject& item) {
  --itemCount_;
  Touched(item, false);
}

CLine& CSheet::Adopt(std::unique_ptr<CLine> line) {
  CLine& l = *ListForType(line->GetType()).emplace_back(std::move(line));
  Added(l);
  return l;
}

CJunc& CSheet::Adopt(std::unique_ptr<CJunc> junc) {
  CJunc& j = *juncs_.emplace_back(std::move(junc));
  Added(j);
  return j;
}

CPin& CSheet::Adopt(std::unique_ptr<CPin> pin) {
  CPin& p = *pins_.emplace_back(std::move(pin));
  Added(p);
  return p;
}

CText& CSheet::Adopt(std::unique_ptr<CText> text) {
  CText& t = *texts_.emplace_back(std::move(text));
  Added(t);
  return t;
}

CArc& CSheet::Adopt(std::unique_ptr<CArc> arc) {
  CArc& a = *arcs_.emplace_back(std::move(arc));
  Added(a);
  return a;
}

CPart& CSheet::Adopt(std::unique_ptr<CPart> part) {
  CPart& p = *parts_.emplace_back(std::move(part));
  Added(p);
  return p;
}

// ---------------------------------------------------------------------------
// Whole sheet

CRect CSheet::DeleteContents() {
  const CRect r = GetBoundingRect();
  const bool connectivity = !wires_.empty() || !juncs_.empty() || !parts_.empty();
  wires_.clear();
  buses_.clear();
  lines_.clear();
  arcs_.clear();
  juncs_.clear();
  texts_.clear();
  pins_.clear();
  parts_.clear();
  itemCount_ = 0;
  if (connectivity && sheetType_ == kSheetMain) calcOpenMode_ = 1;
  return r;
}

CSheet& CSheet::operator+=(const CSheet& o) {
  if (this == &o) {
    const CSheet copy(o);
    return *this += copy;
  }
  for (const auto& l : o.wires_) NewLine(*l);
  for (const auto& l : o.buses_) NewLine(*l);
  for (const auto& l : o.lines_) NewLine(*l);
  for (const auto& p : o.pins_) NewPin(*p);
  for (const auto& j : o.juncs_) NewJunc(*j);
  for (const auto& t : o.texts_) NewText(*t);
  for (const auto& a : o.arcs_) NewArc(*a);
  for (const auto& p : o.parts_) NewPart(*p);
  return *this;
}

bool CSheet::operator==(CSheet& o) {
  if (GetBoundingRect() != o.GetBoundingRect()) return false;
  auto same = [](const auto& a, const auto& b, auto eq) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (!eq(*a[i], *b[i])) return false;
    return true;
  };
  auto lineEq = [](const CLine& a, const CLine& b) { return a.Compare(b); };
  return same(wires_, o.wires_, lineEq) && same(buses_, o.buses_, lineEq) &&
         same(lines_, o.lines_, lineEq) &&
         same(parts_, o.parts_, [](CPart& a, CPart& b) { return a.Compare(b); }) &&
         same(pins_, o.pins_, [](const CPin& a, const CPin& b) { return a.Compare(b); }) &&
         same(texts_, o.texts_, [](const CText& a, const CText& b) { return a == b; });
}

namespace {

// Moves the items of `from` that `pick` selects to `to`, keeping their order;
// `removed` and `added` do the bookkeeping of both sheets.
template <class T, class Pick, class Removed, class Added>
void MoveMatching(ItemList<T>& from, ItemList<T>& to, Pick pick, Removed removed, Added added) {
  for (size_t i = 0; i < from.size();) {
    if (!pick(*from[i])) {
      ++i;
      continue;
    }
    std::unique_ptr<T> item = TakeAt(from, i);
    removed(*item);
    added(*to.emplace_back(std::move(item)));
  }
}

}  // namespace

void CSheet::TakeParts(CSheet& from, const std::function<bool(const CPart&)>& take) {
  if (&from == this) return;
  ItemList<CPart> left;
  left.reserve(from.parts_.size());
  for (auto& part : from.parts_) {
    if (!take(*part)) {
      left.push_back(std::move(part));
      continue;
    }
    from.Removed(*part);
    Added(*parts_.emplace_back(std::move(part)));
  }
  from.parts_ = std::move(left);
}

void CSheet::MoveItem(CSheet& from, int kind) {
  DeleteContents();
  if (&from == this) return;
  auto removed = [&from](const CObject& item) { from.Removed(item); };
  auto added = [this](const CObject& item) { Added(item); };
  auto all = [](const auto&) { return true; };
  switch (kind) {
    case kKindPart:
      MoveMatching(from.parts_, parts_, all, removed, added);
      break;
    case kKindPin:
      MoveMatching(from.pins_, pins_, all, removed, added);
      break;
    case kKindText:
      MoveMatching(from.texts_, texts_, all, removed, added);
      break;
    case kKindHWire:
    case kKindVWire:
    case kKindHBus:
    case kKindVBus:
    case kKindHLine:
    case kKindVLine:
      MoveMatching(
          from.LineList(kind), LineList(kind), [kind](const CLine& l) { return l.IsHVLine(kind); },
          removed, added);
      break;
    default:
      break;
  }
}

CRect CSheet::GetBoundingRect() const {
  CRect r;
  UniteBoxes(r, wires_);
  UniteBoxes(r, buses_);
  UniteBoxes(r, lines_);
  UniteBoxes(r, arcs_);
  UniteBoxes(r, juncs_);
  UniteBoxes(r, texts_);
  UniteBoxes(r, pins_);
  UniteBoxes(r, parts_);
  return r;
}

void CSheet::ReCalcTextBoundingRect() {
  for (auto& t : texts_) t->CalcBoundRect();
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) {
      l->NameText().CalcBoundRect();
      l->CrossNameText().CalcBoundRect();
    }
  for (auto& p : pins_) p->CalcBoundRect();
  for (auto& p : parts_) p->CalcBoundRect(true);
}

// ---------------------------------------------------------------------------
// Adding

CObject* CSheet::AddItem(const CObject& item) {
  if (const auto* l = dynamic_cast<const CLine*>(&item)) return &NewLine(*l);
  if (const auto* p = dynamic_cast<const CPin*>(&item)) return &NewPin(*p);
  if (const auto* j = dynamic_cast<const CJunc*>(&item)) return &NewJunc(*j);
  if (const auto* t = dynamic_cast<const CText*>(&item)) return &NewText(*t);
  if (const auto* a = dynamic_cast<const CArc*>(&item)) return &NewArc(*a);
  if (const auto* p = dynamic_cast<const CPart*>(&item)) return &NewPart(*p);
  if (const auto* s = dynamic_cast<const CSheet*>(&item)) {
    *this += *s;
    return this;
  }
  return nullptr;
}

CLine& CSheet::NewWire(CPoint start) { return NewWire(start, start); }
CLine& CSheet::NewWire(CPoint start, CPoint end) {
  return Adopt(std::make_unique<CLine>(start, end, kLineWire));
}
CLine& CSheet::NewBus(CPoint start) { return NewBus(start, start); }
CLine& CSheet::NewBus(CPoint start, CPoint end) {
  return Adopt(std::make_unique<CLine>(start, end, kLineBus));
}
CLine& CSheet::NewLine(CPoint start) { return NewLine(start, start); }
CLine& CSheet::NewLine(CPoint start, CPoint end) {
  return Adopt(std::make_unique<CLine>(start, end, kLineGraphic));
}
CLine& CSheet::NewLine(const CLine& line) { return Adopt(std::make_unique<CLine>(line)); }

CJunc& CSheet::NewJunc(CPoint p) { return Adopt(std::make_unique<CJunc>(p)); }
CJunc& CSheet::NewJunc(const CJunc& j) { return Adopt(std::make_unique<CJunc>(j)); }
CJunc& CSheet::NewJuncCheck(CPoint p) {
  for (auto& j : juncs_)
    if (j->GetPoint() == p) return *j;
  return NewJunc(p);
}

CPin& CSheet::NewPin(CPoint start, CPoint end, uint32_t elect) {
  return Adopt(std::make_unique<CPin>(start, end, elect));
}
CPin& CSheet::NewPin(const CPin& pin) { return Adopt(std::make_unique<CPin>(pin)); }

CText& CSheet::NewText(const std::string& name, CPoint at, int size, uint32_t attr) {
  return Adopt(std::make_unique<CText>(name, at, size, attr));
}
CText& CSheet::NewText(const CText& text) { return Adopt(std::make_unique<CText>(text)); }

CArc& CSheet::NewArc(CPoint center, unsigned radius, int startAngle, int endAngle, int type,
                     int width) {
  return Adopt(std::make_unique<CArc>(center, radius, startAngle, endAngle, type, width));
}
CArc& CSheet::NewArc(const CArc& arc) { return Adopt(std::make_unique<CArc>(arc)); }

CArc& CSheet::NewArc(const CLine& line) {
  // The circle a line drawn from the centre outward describes: centred on the
  // start, through the end, in the line's style and pen.
  const CPoint s = line.GetStartPoint(), e = line.GetEndPoint();
  const double dist = std::hypot(static_cast<double>(e.x) - s.x, static_cast<double>(e.y) - s.y);
  const auto radius = static_cast<unsigned>(
      std::min(dist, static_cast<double>(std::numeric_limits<int32_t>::max())));
  return NewArc(s, radius, 0, 0, static_cast<int>(line.GetType() & kLineStyleMask),
                line.GetWidth());
}

CPart& CSheet::NewPart(CPoint org, CPoint rectStart, CPoint rectEnd, unsigned packageMax,
                       unsigned package, unsigned char angle, unsigned char attr) {
  return Adopt(std::make_unique<CPart>(org, rectStart, rectEnd, packageMax, package, angle, attr));
}
CPart& CSheet::NewPart(const CPart& part) { return Adopt(std::make_unique<CPart>(part)); }

void CSheet::MakePart(CPart& part) {
  for (const auto& l : lines_) {
    CLine& copy = part.NewLine(*l);
    copy.SetCheck(0);
  }
  const bool hidePower = AppSettings().GetInt("MakePart", "HidePowerPin") != 0;
  for (const auto& p : pins_) {
    CPin& copy = part.NewPin(*p);
    if (hidePower && copy.IsPower()) copy.ModifyElect(kPinHidden, 0);
  }
  for (const auto& t : texts_) {
    const std::string& name = t->GetName();
    // The placeholders of the attribute texts are not taken as extra texts.
    if (EqualNoCase(name, "Name") || EqualNoCase(name, "Ref") || EqualNoCase(name, "Val")) continue;
    CText& copy = part.NewText(*t);
    if (copy.IsProperty() > 0) copy.Disp(0);
    copy.ResetTextSel();
  }
  for (const auto& a : arcs_) {
    CArc& copy = part.NewArc(*a);
    copy.SetCheck(0);
  }
  part.PartNameText().Disp(1);
  part.RefNameText().Disp(1);
  part.ValNameText().Disp(1);
  part.CalcBoundRect(true);
  if (sheetType_ == kSheetMain) calcOpenMode_ = 1;
}

// ---------------------------------------------------------------------------
// Removing

bool CSheet::DeleteLine(const CLine& line) {
  ItemList<CLine>& list = ListForType(line.GetType());
  const auto i = FindFirst(list, [&](const CLine& l) { return l.Compare(line); });
  if (!i) return false;
  const std::unique_ptr<CLine> item = TakeAt(list, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeleteJunc(const CJunc& j) {
  const auto i = FindFirst(juncs_, [&](const CJunc& x) { return x.GetPoint() == j.GetPoint(); });
  if (!i) return false;
  const std::unique_ptr<CJunc> item = TakeAt(juncs_, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeletePin(const CPin& pin) {
  const auto i = FindFirst(pins_, [&](const CPin& p) { return p.Compare(pin); });
  if (!i) return false;
  const std::unique_ptr<CPin> item = TakeAt(pins_, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeleteText(const CText& text) {
  const auto i = FindFirst(texts_, [&](const CText& t) { return t == text; });
  if (!i) return false;
  const std::unique_ptr<CText> item = TakeAt(texts_, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeleteArc(const CArc& arc) {
  const auto i = FindFirst(arcs_, [&](const CArc& a) { return a == arc; });
  if (!i) return false;
  const std::unique_ptr<CArc> item = TakeAt(arcs_, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeletePart(CPart& part) {
  const auto i = FindFirst(parts_, [&](CPart& p) { return p.Compare(part); });
  if (!i) return false;
  const std::unique_ptr<CPart> item = TakeAt(parts_, *i);
  Removed(*item);
  return true;
}

bool CSheet::DeleteItem(CObject& item) {
  if (auto* l = dynamic_cast<CLine*>(&item)) return DeleteLine(*l);
  if (auto* p = dynamic_cast<CPin*>(&item)) return DeletePin(*p);
  if (auto* j = dynamic_cast<CJunc*>(&item)) return DeleteJunc(*j);
  if (auto* t = dynamic_cast<CText*>(&item)) return DeleteText(*t);
  if (auto* a = dynamic_cast<CArc*>(&item)) return DeleteArc(*a);
  if (auto* p = dynamic_cast<CPart*>(&item)) return DeletePart(*p);
  return false;
}

namespace {

template <class T>
std::unique_ptr<T> TakeSame(ItemList<T>& list, const CObject* item) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == item) return TakeAt(list, i);
  return nullptr;
}

}  // namespace

bool CSheet::RemoveItem(const CObject* item) {
  std::unique_ptr<CObject> taken;
  if (dynamic_cast<const CLine*>(item)) {
    for (ItemList<CLine>* list : {&wires_, &buses_, &lines_})
      if (!taken) taken = TakeSame(*list, item);
  } else if (dynamic_cast<const CPin*>(item)) {
    taken = TakeSame(pins_, item);
  } else if (dynamic_cast<const CJunc*>(item)) {
    taken = TakeSame(juncs_, item);
  } else if (dynamic_cast<const CText*>(item)) {
    taken = TakeSame(texts_, item);
  } else if (dynamic_cast<const CArc*>(item)) {
    taken = TakeSame(arcs_, item);
  } else if (dynamic_cast<const CPart*>(item)) {
    taken = TakeSame(parts_, item);
  }
  if (!taken) return false;
  Removed(*taken);
  return true;
}

// ---------------------------------------------------------------------------
// Counting and classification

int CSheet::GetCount(int kind) const {
  auto size = [](const auto& list) { return static_cast<int>(list.size()); };
  switch (kind) {
    case kKindWire:
      return size(wires_);
    case kKindBus:
      return size(buses_);
    case kKindLine:
      return size(lines_);
    case kKindJunc:
      return size(juncs_);
    case kKindPart:
      return size(parts_);
    case kKindPin:
      return size(pins_);
    case kKindText:
      return size(texts_);
    case kKindArc:
      return size(arcs_);
    case kKindPartPins: {
      int n = 0;
      for (const auto& p : parts_) n += p->GetPinCount();
      return n;
    }
    case kKindHWire:
    case kKindVWire:
    case kKindHBus:
    case kKindVBus:
    case kKindHLine:
    case kKindVLine: {
      const auto& list = LineList(kind);
      return static_cast<int>(
          std::count_if(list.begin(), list.end(),
                        [kind](const std::unique_ptr<CLine>& l) { return l->IsHVLine(kind); }));
    }
    default:
      return itemCount_;
  }
}

int CSheet::CheckKind() const {
  const int kinds = !wires_.empty() + !buses_.empty() + !lines_.empty() + !arcs_.empty() +
                    !juncs_.empty() + !texts_.empty() + !pins_.empty() + !parts_.empty();
  if (kinds != 1) return 0;
  if (!wires_.empty()) return LineListKind(wires_, kKindHWire, kKindVWire, kKindWire);
  if (!buses_.empty()) return LineListKind(buses_, kKindHBus, kKindVBus, kKindBus);
  if (!lines_.empty()) return LineListKind(lines_, kKindHLine, kKindVLine, kKindLine);
  if (!pins_.empty()) return kKindPin;
  if (!texts_.empty()) return kKindText;
  if (!parts_.empty()) return kKindPart;
  return 0;  // junctions or arcs only
}

bool CSheet::CheckItem(const CObject* item) const {
  if (item == nullptr) return false;
  if (dynamic_cast<const CLine*>(item))
    return Holds(wires_, item) || Holds(buses_, item) || Holds(lines_, item);
  if (dynamic_cast<const CPin*>(item)) return Holds(pins_, item);
  if (dynamic_cast<const CJunc*>(item)) return Holds(juncs_, item);
  if (dynamic_cast<const CText*>(item)) return Holds(texts_, item);
  if (dynamic_cast<const CArc*>(item)) return Holds(arcs_, item);
  if (dynamic_cast<const CPart*>(item)) return Holds(parts_, item);
  return false;
}

// Moves the newest items into dest, newest first. counts[1..8] are the
// numbers of texts, junctions, arcs, parts, pins, graphic lines, buses and
// wires to take from the tails of their lists; counts[0] is their total.
void CSheet::GetItemTail(const unsigned* counts, CSheet& dest) {
  if (&dest == this) return;
  // counts[0] is the total the caller expects; the count is kept by taking
  // off each item actually moved, so a total that does not match the other
  // counts cannot put it out of step.
  auto takeTail = [&](auto& list, unsigned n) {
    for (unsigned k = 0; k < n && !list.empty(); ++k) {
      auto item = TakeAt(list, list.size() - 1);
      Removed(*item);
      dest.Adopt(std::move(item));
    }
  };
  takeTail(texts_, counts[1]);
  takeTail(juncs_, counts[2]);
  takeTail(arcs_, counts[3]);
  takeTail(parts_, counts[4]);
  takeTail(pins_, counts[5]);
  takeTail(lines_, counts[6]);
  takeTail(buses_, counts[7]);
  takeTail(wires_, counts[8]);
}

}  // namespace tavro
