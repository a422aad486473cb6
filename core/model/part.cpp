// CPart: construction and copies, owned items, attribute texts, comparison,
// search, geometry and the bounding box. References and properties live in
// part_ref.cpp, the stored record in part_record.cpp.
#include "core/model/part.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

template <class T>
ItemList<T> DeepCopy(const ItemList<T>& from) {
  ItemList<T> to;
  to.reserve(from.size());
  for (const auto& item : from) to.push_back(std::make_unique<T>(*item));
  return to;
}

// Pen width of the arcs a part makes itself.
constexpr int kPartArcWidth = 8;

// Longest pin the zoom grows a pin to, and the shortest it shrinks one to.
constexpr int kZoomPinMax = 600;
constexpr int kZoomPinMin = 20;

// The value of the trailing ASCII digits of s (0 without any), saturated.
int64_t TrailingValue(std::string_view s) {
  size_t start = s.size();
  while (start > 0 && s[start - 1] >= '0' && s[start - 1] <= '9') --start;
  int64_t v = 0;
  constexpr int64_t kCap = std::numeric_limits<int64_t>::max() / 10 - 10;
  for (size_t i = start; i < s.size(); ++i) v = std::min(v * 10 + (s[i] - '0'), kCap);
  return v;
}

// True when a text shows something on the sheet.
bool Shows(const CText& t) { return !t.IsEmpty() && t.IsDisp(); }

// A non-display property whose name begins with "FRAME": its box is the
// frame around the display properties it lists.
bool IsFrameProperty(const CText& t) {
  if (t.IsProperty() == 0 || t.IsDispProperty()) return false;
  const std::string name = t.GetPropertyName();
  return name.size() >= 5 && EqualNoCase(std::string_view(name).substr(0, 5), "FRAME");
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CPart::CPart() = default;

CPart::CPart(CPoint org, CPoint rectStart, CPoint rectEnd, unsigned packageMax, unsigned package,
             unsigned char angle, unsigned char attr)
    : org_(org),
      rectStart_(rectStart),
      rectEnd_(rectEnd),
      packageMax_(packageMax),
      package_(package),
      angle_(angle),
      attr_(attr) {}

CPart::CPart(const CPart& o)
    : CObject(o),
      org_(o.org_),
      rectStart_(o.rectStart_),
      rectEnd_(o.rectEnd_),
      packageMax_(o.packageMax_),
      package_(o.package_),
      angle_(o.angle_),
      attr_(o.attr_),
      partNameText_(o.partNameText_),
      refNameText_(o.refNameText_),
      valueText_(o.valueText_),
      pins_(DeepCopy(o.pins_)),
      texts_(DeepCopy(o.texts_)),
      lines_(DeepCopy(o.lines_)),
      arcs_(DeepCopy(o.arcs_)) {}

CPart& CPart::operator=(const CPart& o) {
  if (this != &o) {
    CPart copy(o);
    *this = std::move(copy);
  }
  return *this;
}

// ---------------------------------------------------------------------------
// Owned items

CPin& CPart::NewPin(CPoint start, CPoint end, uint32_t elect) {
  return *pins_.emplace_back(std::make_unique<CPin>(start, end, elect));
}

CPin& CPart::NewPin(const CPin& pin) { return *pins_.emplace_back(std::make_unique<CPin>(pin)); }

CLine& CPart::NewLine(CPoint p) { return NewLine(p, p); }

CLine& CPart::NewLine(CPoint start, CPoint end) {
  return *lines_.emplace_back(std::make_unique<CLine>(start, end, kLineGraphic));
}

CLine& CPart::NewLine(const CLine& line) {
  return *lines_.emplace_back(std::make_unique<CLine>(line));
}

CArc& CPart::NewArc(CPoint center, unsigned radius, int startAngle, int endAngle, int type) {
  return *arcs_.emplace_back(
      std::make_unique<CArc>(center, radius, startAngle, endAngle, type, kPartArcWidth));
}

CArc& CPart::NewArc(CPoint p1, CPoint p2, CPoint p3, int type) {
  return *arcs_.emplace_back(std::make_unique<CArc>(p1, p2, p3, type, kPartArcWidth));
}

CArc& CPart::NewArc(const CArc& arc) { return *arcs_.emplace_back(std::make_unique<CArc>(arc)); }

CText& CPart::NewText(const std::string& name, CPoint at, int size, uint32_t attr) {
  return *texts_.emplace_back(std::make_unique<CText>(name, at, size, attr));
}

CText& CPart::NewText(const CText& text) {
  return *texts_.emplace_back(std::make_unique<CText>(text));
}

void CPart::DeleteText(std::string_view prefix) {
  std::erase_if(texts_, [prefix](const std::unique_ptr<CText>& t) {
    return std::string_view(t->GetName()).substr(0, prefix.size()) == prefix;
  });
}

// ---------------------------------------------------------------------------
// Attribute texts

void CPart::SetPartName(const char* line) { partNameText_.SetName(line); }
void CPart::SetRefName(const char* line) { refNameText_.SetName(line); }
void CPart::SetValue(const char* line) { valueText_.SetName(line); }

void CPart::SetPartName(const std::string& s, CPoint at, uint32_t attr) {
  partNameText_.SetName(s, at, AppSettings().GetInt("Default", "PartNameAttrHeight"), attr);
}

void CPart::SetRefName(const std::string& s, CPoint at, uint32_t attr) {
  refNameText_.SetName(s, at, AppSettings().GetInt("Default", "PartRefAttrHeight"), attr);
}

void CPart::SetValue(const std::string& s, CPoint at, uint32_t attr) {
  valueText_.SetName(s, at, AppSettings().GetInt("Default", "PartValueAttrHeight"), attr);
}

bool CPart::ShowsNothing() const {
  if (!lines_.empty() || !arcs_.empty()) return false;
  for (const auto& p : pins_)
    if (!p->GetBoundingRect().IsRectEmpty()) return false;
  for (const auto& t : texts_)
    if (Shows(*t)) return false;
  return !Shows(partNameText_) && !Shows(refNameText_) && !Shows(valueText_);
}

void CPart::SetDisp(int name, int ref, int value) {
  auto apply = [](CText& t, int on) {
    if (on != 2) t.Disp(on);
    if (t.IsEmpty()) t.Disp(1);
  };
  apply(partNameText_, name);
  apply(refNameText_, ref);
  apply(valueText_, value);
  CalcBoundRect();
  // A part must never vanish from the sheet: one that shows nothing at all
  // shows its part name.
  if (ShowsNothing()) {
    partNameText_.Disp(1);
    CalcBoundRect();
  }
}

// ---------------------------------------------------------------------------
// Comparison and search

bool CPart::operator==(const CPart& o) const {
  return org_ == o.org_ && rectStart_ == o.rectStart_ && rectEnd_ == o.rectEnd_ &&
         packageMax_ == o.packageMax_ && package_ == o.package_;
}

bool CPart::Compare(CPart& o) {
  if (rectStart_ != o.rectStart_ || rectEnd_ != o.rectEnd_ || org_ != o.org_ ||
      packageMax_ != o.packageMax_ || package_ != o.package_)
    return false;
  if (partNameText_ != o.partNameText_ || refNameText_ != o.refNameText_ ||
      valueText_ != o.valueText_)
    return false;
  if (attr_ != o.attr_ || angle_ != o.angle_) return false;
  if (texts_.size() != o.texts_.size()) return false;
  for (size_t i = 0; i < texts_.size(); ++i)
    if (*texts_[i] != *o.texts_[i]) return false;
  if (pins_.size() != o.pins_.size()) return false;
  SortPin();
  o.SortPin();
  for (size_t i = 0; i < pins_.size(); ++i)
    if (!pins_[i]->Compare(*o.pins_[i])) return false;
  return true;
}

std::optional<CPoint> CPart::Find(std::string_view pattern, bool matchCase, bool whole,
                                  bool includeHidden, int selector) const {
  auto in = [&](const CText& t) { return t.Find(pattern, matchCase, whole, includeHidden); };
  if (selector & kFindPartName)
    if (auto at = in(partNameText_)) return at;
  if (selector & kFindPartRef)
    if (auto at = in(refNameText_)) return at;
  if (selector & kFindPartValue)
    if (auto at = in(valueText_)) return at;
  if (selector & (kFindPinName | kFindPinNo))
    for (const auto& p : pins_)
      if (auto at = p->Find(pattern, matchCase, whole, includeHidden, selector)) return at;
  if (selector & kFindPartText)
    for (const auto& t : texts_)
      if (auto at = in(*t)) return at;
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Geometry

void CPart::Offset(CPoint d) {
  org_ += d;
  rectStart_ += d;
  rectEnd_ += d;
  partNameText_.Offset(d);
  refNameText_.Offset(d);
  valueText_.Offset(d);
  for (auto& l : lines_) {
    l->SetCheck(0);
    l->Offset(d);
  }
  for (auto& p : pins_) p->Offset(d);
  for (auto& t : texts_) t->Offset(d);
  for (auto& a : arcs_) {
    a->SetCheck(0);
    a->Offset(d);
  }
}

void CPart::ForEachAttrText(const std::function<void(CText&)>& fn) {
  fn(partNameText_);
  fn(refNameText_);
  fn(valueText_);
  for (auto& t : texts_) fn(*t);
}

void CPart::Rotate(CPoint c, int dir) {
  org_ = org_.Rotated(c, dir);
  angle_ = (angle_ & ~0x300u) | StepQuarterTurn(angle_, dir);
  ForEachAttrText([&](CText& t) { t.Rotate(c, dir, true); });
  for (auto& l : lines_) l->Rotate(c, dir);
  for (auto& p : pins_) p->Rotate(c, dir);
  for (auto& a : arcs_) a->Rotate(c, dir);
  CalcBoundRect();
}

void CPart::MirrorX(CPoint c) {
  angle_ ^= kPartMirrorX;
  org_ = org_.MirroredX(c);
  ForEachAttrText([&](CText& t) { t.MirrorX(c, true); });
  for (auto& l : lines_) l->MirrorX(c);
  for (auto& p : pins_) p->MirrorX(c);
  for (auto& a : arcs_) a->MirrorX(c);
  CalcBoundRect();
}

void CPart::MirrorY(CPoint c) {
  angle_ ^= kPartMirrorY;
  org_ = org_.MirroredY(c);
  ForEachAttrText([&](CText& t) { t.MirrorY(c, true); });
  for (auto& l : lines_) l->MirrorY(c);
  for (auto& p : pins_) p->MirrorY(c);
  for (auto& a : arcs_) a->MirrorY(c);
  CalcBoundRect();
}

void CPart::RotateText(CPoint c, int dir) {
  ForEachAttrText([&](CText& t) { t.RotateText(c, dir, true); });
  for (auto& p : pins_) p->RotateText(c, dir);
  CalcBoundRect();
}

void CPart::MirrorXText(CPoint c) {
  ForEachAttrText([&](CText& t) { t.MirrorXText(c, true); });
  for (auto& p : pins_) p->MirrorXText(c);
  CalcBoundRect();
}

void CPart::MirrorYText(CPoint c) {
  ForEachAttrText([&](CText& t) { t.MirrorYText(c, true); });
  for (auto& p : pins_) p->MirrorYText(c);
  CalcBoundRect();
}

void CPart::OffsetAttr(CPoint d) {
  ForEachAttrText([&](CText& t) { t.OffsetAttr(d); });
  for (auto& p : pins_) p->OffsetAttr(d);
  CalcBoundRect();
}

CRect CPart::GetBoundingRect() {
  const CRect box = CRect(rectStart_, rectEnd_).Normalized();
  if (!box.IsRectEmpty()) return box;
  CRect texts = partNameText_.GetBoundingRect();
  texts |= refNameText_.GetBoundingRect();
  texts |= valueText_.GetBoundingRect();
  if (!texts.IsRectEmpty()) return texts;
  partNameText_.Disp(1);
  return partNameText_.GetBoundingRect();
}

CRect CPart::GetSimpleBoundingRect() const {
  CRect r;
  for (const auto& l : lines_) r |= l->GetBoundingRect();
  for (const auto& a : arcs_) r |= a->GetBoundingRect();
  for (const auto& p : pins_) r |= p->GetBoundingRect();
  if (!r.IsRectEmpty()) return r;
  for (const auto& t : texts_) r |= t->GetBoundingRect();
  if (!r.IsRectEmpty()) return r;
  for (const CText* t : {&partNameText_, &refNameText_, &valueText_}) {
    r = t->GetBoundingRect();
    if (!r.IsRectEmpty()) return r;
  }
  return {};
}

CPoint CPart::GetCenter() const {
  const CRect r = GetSimpleBoundingRect().Normalized();
  return {static_cast<int32_t>((int64_t{r.left} + r.right) / 2),
          static_cast<int32_t>((int64_t{r.top} + r.bottom) / 2)};
}

void CPart::CalcFrameProperty(CText& frame) const {
  // The value lists the names of the display properties the frame goes
  // around, separated by commas.
  std::vector<std::string> names;
  const std::string list = frame.GetPropertyVal(0);
  size_t from = 0;
  while (from <= list.size()) {
    size_t comma = FindChar(list, ',', from);
    if (comma == std::string::npos) comma = list.size();
    std::string name = Trim(std::string_view(list).substr(from, comma - from));
    if (!name.empty()) names.push_back(std::move(name));
    from = comma + 1;
  }
  CRect box;
  for (const auto& t : texts_) {
    if (t.get() == &frame || !t->IsDispProperty()) continue;
    const std::string name = t->GetPropertyName();
    for (const auto& n : names) {
      if (EqualNoCase(name, n)) {
        box |= t->GetBoundingRect();
        break;
      }
    }
  }
  frame.SetBoundRect(box);
}

void CPart::CalcBoundRect(bool recalcTexts) {
  if (recalcTexts) {
    partNameText_.CalcBoundRect();
    refNameText_.CalcBoundRect();
    valueText_.CalcBoundRect();
    for (auto& t : texts_) t->CalcBoundRect();
    for (auto& l : lines_) {
      l->NameText().CalcBoundRect();
      l->CrossNameText().CalcBoundRect();
    }
    for (auto& p : pins_) p->CalcBoundRect();
  }
  CRect box = partNameText_.GetBoundingRect();
  box |= refNameText_.GetBoundingRect();
  box |= valueText_.GetBoundingRect();
  for (auto& t : texts_) {
    if (IsFrameProperty(*t)) {
      CalcFrameProperty(*t);
      box |= t->GetFrameBoundingRect();
    } else {
      box |= t->GetBoundingRect();
    }
  }
  for (const auto& l : lines_) box |= l->GetBoundingRect();
  for (const auto& a : arcs_) box |= a->GetBoundingRect();
  for (const auto& p : pins_) box |= p->GetBoundingRect();
  box.NormalizeRect();
  rectStart_ = box.TopLeft();
  rectEnd_ = box.BottomRight();
}

CRect CPart::IncName(int step) {
  CRect changed;
  auto touched = [](const CText& t) { return t.IsTextSel() && t.IsDisp(); };
  if (touched(refNameText_)) {
    changed |= refNameText_.GetBoundingRect();
    IncRefName(step);
    changed |= refNameText_.GetBoundingRect();
  }
  auto inc = [&](CText& t) {
    if (!touched(t)) return;
    changed |= t.GetBoundingRect();
    t.IncName(step);
    changed |= t.GetBoundingRect();
  };
  inc(partNameText_);
  inc(valueText_);
  for (auto& t : texts_) inc(*t);
  for (auto& p : pins_) {
    if (!p->IsDisp()) continue;
    if (touched(p->GetNameText())) {
      changed |= p->GetNameText().GetBoundingRect();
      changed |= p->IncName(step);
    }
    if (touched(p->GetNoText())) {
      changed |= p->GetNoText().GetBoundingRect();
      changed |= p->IncNo(step);
    }
  }
  CalcBoundRect();
  return changed;
}

CRect CPart::ZoomData(int dir, int gridStep) {
  CRect changed = CRect(rectStart_, rectEnd_);
  auto zoom = [dir](CText& t) {
    if (t.IsTextSel()) t.ChangeSize(dir);
  };
  ForEachAttrText(zoom);
  for (auto& p : pins_) {
    if (!p->IsDisp()) continue;
    if (!p->IsSelect()) {
      zoom(p->NameText());
      zoom(p->NoText());
      continue;
    }
    if (gridStep <= 0) continue;
    const int len = p->GetLen();
    if (dir >= 1) {
      if (len < kZoomPinMax) p->SetLen(std::min(len + gridStep, kZoomPinMax));
    } else if (len >= kZoomPinMin + 1 && len > gridStep) {
      p->SetLen(std::max(len - gridStep, kZoomPinMin));
    }
  }
  CalcBoundRect();
  changed |= CRect(rectStart_, rectEnd_);
  return changed;
}

void CPart::SortPin() {
  for (size_t i = 0; i + 1 < pins_.size(); ++i) {
    size_t m = i;
    for (size_t j = i + 1; j < pins_.size(); ++j)
      if (*pins_[j] < *pins_[m]) m = j;
    if (m != i) std::swap(pins_[i], pins_[m]);
  }
}

void CPart::SortPinNo() {
  std::vector<int64_t> keys;
  keys.reserve(pins_.size());
  for (const auto& p : pins_) keys.push_back(TrailingValue(p->GetNo()));
  for (size_t i = 0; i + 1 < pins_.size(); ++i) {
    size_t m = i;
    for (size_t j = i + 1; j < pins_.size(); ++j)
      if (keys[j] < keys[m]) m = j;
    if (m != i) {
      std::swap(pins_[i], pins_[m]);
      std::swap(keys[i], keys[m]);
    }
  }
}

}  // namespace tavro
