// The sheet text form of the items: each item's record line and its writer,
// and the constructors that build an item from its record line. Numbers that
// do not scan keep the defaults of the plain constructor.
//
//   Line x1 y1 x2 y2 width type startArrow endArrow   (+ Name, NetIndex)
//   Junc x y
//   Pin x1 y1 x2 y2 elect                             (+ Name, No)
//   Arc cx cy radius startAngle endAngle width type startArrow endArrow
//   Part orgX orgY left top right bottom packageMax package angle attr
//        (+ Name, Ref, Val, the pins, lines, arcs, "Text" records, PartEnd)
//   Text "name" x y size attr                         (+ Font)
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/file/archive.h"
#include "core/model/arc.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/text.h"
#include "core/platform/scan.h"

namespace tavro {

namespace {

// A record line of at most a few hundred bytes.
template <class... Args>
void WriteRecord(CArchive& ar, const char* format, Args... args) {
  char buf[256];
  const int n = std::snprintf(buf, sizeof buf, format, args...);
  ar.WriteText(std::string_view(buf, n < 0 ? 0 : std::min<size_t>(n, sizeof buf - 1)));
}

// Writes "<keyword><text line>" for a text that is not empty.
void WriteNamed(CArchive& ar, const char* keyword, const CText& t) {
  if (t.IsEmpty()) return;
  ar.WriteText(keyword);
  t.SerializeText(ar, false);
}

int32_t AsInt(uint32_t v) { return static_cast<int32_t>(v); }

}  // namespace

// ---------------------------------------------------------------------------
// Texts

void CText::SerializeText(CArchive& ar, bool withPrefix) const {
  if (!ar.IsStoring()) return;
  std::string out = withPrefix ? "Text " : "";
  out += TextLine();
  out += '\n';
  if (HasOwnFont()) {
    out += "Font ";
    out += FontLine();
    out += '\n';
  }
  ar.WriteText(out);
}

// ---------------------------------------------------------------------------
// Lines

CLine::CLine(const char* record) : CLine() {
  int32_t v[8];
  const int n = ScanRecord(record ? record : "", v, 8);
  if (n > 0) start_.x = v[0];
  if (n > 1) start_.y = v[1];
  if (n > 2) end_.x = v[2];
  if (n > 3) end_.y = v[3];
  if (n > 4) width_ = v[4];
  if (n > 5) type_ = static_cast<uint32_t>(v[5]) & kLineStoredMask;
  if (n > 6) startArrow_ = v[6];
  if (n > 7) endArrow_ = v[7];
}

void CLine::SerializeText(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  // Run-time marks (highlight, clean-up) are not part of the record.
  WriteRecord(ar, "Line %d %d %d %d %d %d %d %d\n", start_.x, start_.y, end_.x, end_.y, width_,
              AsInt(type_ & kLineStoredMask), startArrow_, endArrow_);
  if (nameText_.IsEmpty()) return;
  WriteNamed(ar, "Name ", nameText_);
  WriteNamed(ar, "NetIndex ", crossNameText_);
}

// ---------------------------------------------------------------------------
// Junctions

CJunc::CJunc(const char* record) {
  int32_t v[2];
  const int n = ScanRecord(record ? record : "", v, 2);
  if (n > 0) point_.x = v[0];
  if (n > 1) point_.y = v[1];
}

void CJunc::SerializeText(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  WriteRecord(ar, "Junc %d %d\n", point_.x, point_.y);
}

// ---------------------------------------------------------------------------
// Pins

CPin::CPin(const char* record) : CPin() {
  int32_t v[5];
  const int n = ScanRecord(record ? record : "", v, 5);
  CPoint start = start_, end = end_;
  uint32_t elect = elect_;
  if (n > 0) start.x = v[0];
  if (n > 1) start.y = v[1];
  if (n > 2) end.x = v[2];
  if (n > 3) end.y = v[3];
  if (n > 4) elect = static_cast<uint32_t>(v[4]) & ~kPinOpenX;
  // The direction follows from the points; the texts are placed for it (the
  // "Name" and "No" records that follow bring their own places).
  SetPoint(start, end, elect);
}

void CPin::SerializeText(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  WriteRecord(ar, "Pin %d %d %d %d %d\n", start_.x, start_.y, end_.x, end_.y,
              AsInt(elect_ & ~kPinOpenX));
  WriteNamed(ar, "Name ", nameText_);
  WriteNamed(ar, "No ", noText_);
}

// ---------------------------------------------------------------------------
// Arcs

CArc::CArc(const char* record) : CArc() {
  int32_t v[9];
  const int n = ScanRecord(record ? record : "", v, 9);
  if (n > 0) center_.x = v[0];
  if (n > 1) center_.y = v[1];
  if (n > 2) radius_ = v[2];
  if (n > 3) startAngle_ = v[3];
  if (n > 4) endAngle_ = v[4];
  if (n > 5) width_ = v[5];
  if (n > 6) type_ = static_cast<uint32_t>(v[6]);
  if (n > 7) startArrow_ = v[7];
  if (n > 8) endArrow_ = v[8];
}

void CArc::SerializeText(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  WriteRecord(ar, "Arc %d %d %d %d %d %d %d %d %d\n", center_.x, center_.y, radius_, startAngle_,
              endAngle_, width_, AsInt(type_), startArrow_, endArrow_);
}

// ---------------------------------------------------------------------------
// Parts

CPart::CPart(const char* record) : CPart() {
  int32_t v[10];
  const int n = ScanRecord(record ? record : "", v, 10);
  if (n > 0) org_.x = v[0];
  if (n > 1) org_.y = v[1];
  if (n > 2) rectStart_.x = v[2];
  if (n > 3) rectStart_.y = v[3];
  if (n > 4) rectEnd_.x = v[4];
  if (n > 5) rectEnd_.y = v[5];
  if (n > 6) packageMax_ = static_cast<uint32_t>(v[6]);
  if (n > 7) package_ = static_cast<uint32_t>(v[7]);
  if (n > 8) angle_ = static_cast<uint32_t>(v[8]);
  if (n > 9) attr_ = static_cast<uint32_t>(v[9]);
}

void CPart::SerializeText(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  WriteRecord(ar, "Part %d %d %d %d %d %d %d %d %d %d\n", org_.x, org_.y, rectStart_.x,
              rectStart_.y, rectEnd_.x, rectEnd_.y, AsInt(packageMax_), AsInt(package_),
              AsInt(angle_), AsInt(attr_));
  WriteNamed(ar, "Name ", partNameText_);
  WriteNamed(ar, "Ref ", refNameText_);
  WriteNamed(ar, "Val ", valueText_);
  for (const auto& p : pins_) p->SerializeText(ar);
  for (const auto& l : lines_) l->SerializeText(ar);
  for (const auto& a : arcs_) a->SerializeText(ar);
  for (const auto& t : texts_) t->SerializeText(ar, true);
  ar.WriteText("PartEnd\n");
}

}  // namespace tavro
