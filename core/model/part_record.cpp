// CPart: the stored record.
#include <utility>

#include "core/file/archive.h"
#include "core/model/part.h"
#include "core/model/record_limits.h"
#include "core/platform/dbcs.h"

namespace tavro {

using record_detail::CheckCount;

namespace {

enum : uint32_t { kMaskPartName = 1, kMaskRef = 2, kMaskValue = 4 };

// Pin records inside a part are read without font records, so a pin text
// stored there never carries one: the own-font bit is dropped on writing,
// which keeps the record readable.
void WritePartPin(CArchive& ar, const CPin& pin) {
  if (!pin.GetNameText().HasOwnFont() && !pin.GetNoText().HasOwnFont()) {
    pin.DataWrite(ar);
    return;
  }
  CPin copy(pin);
  copy.NameText().ModifyAngle(0, kTextOwnFont);
  copy.NoText().ModifyAngle(0, kTextOwnFont);
  copy.DataWrite(ar);
}

}  // namespace

void CPart::DataWrite(CArchive& ar) const {
  ar.WritePoint(org_);
  ar.WritePoint(rectStart_);
  ar.WritePoint(rectEnd_);
  ar.WriteU32(packageMax_);
  ar.WriteU32(package_);
  ar.WriteU32(angle_);
  ar.WriteU32(attr_);
  uint32_t mask = 0;
  if (!partNameText_.IsEmpty()) mask |= kMaskPartName;
  if (!refNameText_.IsEmpty()) mask |= kMaskRef;
  if (!valueText_.IsEmpty()) mask |= kMaskValue;
  ar.WriteU32(mask);
  if (mask & kMaskPartName) partNameText_.DataWrite(ar);
  if (mask & kMaskRef) refNameText_.DataWrite(ar);
  if (mask & kMaskValue) valueText_.DataWrite(ar);
  ar.WriteU32(static_cast<uint32_t>(pins_.size()));
  for (const auto& p : pins_) WritePartPin(ar, *p);
  ar.WriteU32(static_cast<uint32_t>(lines_.size()));
  for (const auto& l : lines_) l->DataWrite(ar, true);
  ar.WriteU32(static_cast<uint32_t>(arcs_.size()));
  for (const auto& a : arcs_) a->DataWrite(ar);
  ar.WriteU32(static_cast<uint32_t>(texts_.size()));
  for (const auto& t : texts_) t->DataWrite(ar);
}

void CPart::DataRead(CArchive& ar, bool loadChildren, int version) {
  // Everything is read first and taken over at the end, so that a damaged
  // record leaves the part as it was.
  const CPoint org = ar.ReadPoint();
  const CPoint rectStart = ar.ReadPoint();
  const CPoint rectEnd = ar.ReadPoint();
  const uint32_t packageMax = ar.ReadU32();
  const uint32_t package = ar.ReadU32();
  const uint32_t angle = ar.ReadU32();
  const uint32_t attr = ar.ReadU32();
  const uint32_t mask = ar.ReadU32();
  CText partName = partNameText_, ref = refNameText_, value = valueText_;
  if (mask & kMaskPartName) partName.DataRead(ar, version);
  if (mask & kMaskRef) ref.DataRead(ar, version);
  if (mask & kMaskValue) value.DataRead(ar, version);

  ItemList<CPin> pins;
  uint32_t count = ar.ReadU32();
  CheckCount(ar, count, record_detail::kMinPinRecord, "pins of a part");
  if (loadChildren) pins.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto pin = std::make_unique<CPin>();
    pin->DataRead(ar, 0);  // no font records inside a part
    if (loadChildren) pins.push_back(std::move(pin));
  }

  ItemList<CLine> lines;
  count = ar.ReadU32();
  CheckCount(ar, count, record_detail::kMinLineRecord, "lines of a part");
  if (loadChildren) lines.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto line = std::make_unique<CLine>();
    // Older files stored the graphic lines of parts in the oldest form.
    line->DataRead(ar, version >= 8 ? version : 0);
    if (loadChildren) lines.push_back(std::move(line));
  }

  ItemList<CArc> arcs;
  count = ar.ReadU32();
  CheckCount(ar, count, record_detail::kMinArcRecord, "arcs of a part");
  if (loadChildren) arcs.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto arc = std::make_unique<CArc>();
    arc->DataRead(ar, version);
    if (loadChildren) arcs.push_back(std::move(arc));
  }

  ItemList<CText> texts;
  count = ar.ReadU32();
  CheckCount(ar, count, record_detail::kMinTextRecord, "texts of a part");
  if (loadChildren) texts.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto text = std::make_unique<CText>();
    text->DataRead(ar, version);
    // Texts the numbering and the reports add for themselves ("{TAVRO:...}")
    // are never taken back in.
    if (loadChildren && !text->IsEmpty() &&
        tavro::Find(text->GetName(), "{TAVRO") == std::string::npos)
      texts.push_back(std::move(text));
  }

  pins_.reserve(pins_.size() + pins.size());
  lines_.reserve(lines_.size() + lines.size());
  arcs_.reserve(arcs_.size() + arcs.size());
  texts_.reserve(texts_.size() + texts.size());
  org_ = org;
  rectStart_ = rectStart;
  rectEnd_ = rectEnd;
  packageMax_ = packageMax;
  package_ = package;
  angle_ = angle;
  attr_ = attr;
  partNameText_ = std::move(partName);
  refNameText_ = std::move(ref);
  valueText_ = std::move(value);
  for (auto& p : pins) pins_.push_back(std::move(p));
  for (auto& l : lines) lines_.push_back(std::move(l));
  for (auto& a : arcs) arcs_.push_back(std::move(a));
  for (auto& t : texts) texts_.push_back(std::move(t));
}

}  // namespace tavro
