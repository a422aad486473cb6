#include "core/model/pin.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/file/archive.h"
#include "core/model/read_scope.h"

namespace tavro {

namespace {

// Offsets of the pin texts from the root (mils).
constexpr int kNameOffset = 18;          // name text, without a clock wedge
constexpr int kNameOffsetClock = 68;     // name text, past the clock wedge
constexpr int kNumberOffset = 50;        // number text, along the pin
constexpr uint32_t kLayoutBits = 0x3FF;  // alignment and direction of a text

// Boxes drawn around the root for the marks.
constexpr int kDotHalf = 56;    // 112 x 112
constexpr int kClockHalf = 41;  // 82 x 82
constexpr int kPinMargin = 6;

// Bits of elect that are run-time only or selection, ignored by Compare.
constexpr uint32_t kElectCompareIgnore = kPinSelected | kPinOpenX;

// The record mask bits of the two texts.
constexpr uint32_t kMaskName = 1;
constexpr uint32_t kMaskNo = 2;

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int NameHeight() { return ReadScope::PinNameHeight(); }
int NoHeight() { return ReadScope::PinNoHeight(); }

constexpr uint32_t Org(TextOrg o) { return static_cast<uint32_t>(o); }

// Places a text: string and size kept, alignment and direction replaced.
void Place(CText& t, CPoint at, uint32_t layout) {
  t.SetName(t.GetName(), at, t.GetSize(), (t.GetAttr() & ~kLayoutBits) | layout);
}

// The end point at `len` from `start` in the quarter-turn direction `dir`.
CPoint EndInDirection(CPoint start, uint32_t dir, int64_t len) {
  switch (dir & 0x300) {
    case kDir90:
      return {start.x, Clamp32(start.y + len)};
    case kDir180:
      return {Clamp32(start.x - len), start.y};
    case kDir270:
      return {start.x, Clamp32(start.y - len)};
    default:
      return {Clamp32(start.x + len), start.y};
  }
}

// Order of the direction groups in a pin sort; 3 and 4 (0x100 and oblique)
// come last and are never less than a pin of another group.
int DirectionGroup(uint32_t angle) {
  switch (angle & kDirMask) {
    case kDir180:
      return 0;
    case kDir270:
      return 1;
    case kDir0:
      return 2;
    case kDir90:
      return 3;
    default:
      return 4;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

CPin::CPin()
    : nameText_(std::string(), CPoint(), NameHeight(), kOrgBottomLeft),
      noText_(std::string(), CPoint(), NoHeight(), kOrgBottomLeft) {}

CPin::CPin(CPoint start, CPoint end, uint32_t elect) : CPin() { SetPoint(start, end, elect); }

const char* CPin::EleName(int type) {
  switch (type) {
    case kPinPassive:
      return "Passive";
    case kPinInput:
      return "Input";
    case kPinOutput:
      return "Output";
    case kPin3State:
      return "3-State";
    case kPinInOut:
      return "In-Out";
    case kPinOpenLow:
      return "Open-Low";
    case kPinOpenHigh:
      return "Open-High";
    case kPinPassiveDown:
      return "Passive-Down";
    case kPinPassiveUp:
      return "Passive-Up";
    case kPinNoConnect:
      return "No Connect";
    case kPinPower:
      return "Power";
    default:
      return nullptr;
  }
}

// ---------------------------------------------------------------------------
// Points, direction and layout

void CPin::CalcAngle() {
  uint32_t dir;
  if (start_.y == end_.y) {
    dir = start_.x <= end_.x ? kDir0 : kDir180;  // coinciding points count as horizontal
  } else if (start_.x == end_.x) {
    dir = start_.y <= end_.y ? kDir90 : kDir270;
  } else {
    dir = kDirOblique;
  }
  angle_ = (angle_ & ~kDirMask) | dir;
}

void CPin::LayoutTexts() {
  const int off = (elect_ & kPinClock) != 0 ? kNameOffsetClock : kNameOffset;
  const CPoint s = start_;
  switch (angle_ & kDirMask) {
    case kDir0:  // body to the left of the root
      Place(nameText_, {s.x - off, s.y}, kOrgMiddleRight);
      Place(noText_, {s.x + kNumberOffset, s.y}, kOrgBottomLeft);
      break;
    case kDir180:  // body to the right
      Place(nameText_, {s.x + off, s.y}, kOrgMiddleLeft);
      Place(noText_, {s.x - kNumberOffset, s.y}, kOrgBottomRight);
      break;
    case kDir90:  // body below; vertical pins always read bottom-to-top
      Place(nameText_, {s.x, s.y - off}, kDir90 | Org(kOrgMiddleRight));
      Place(noText_, {s.x, s.y + kNumberOffset}, kDir90 | Org(kOrgBottomLeft));
      break;
    case kDir270:  // body above
      Place(nameText_, {s.x, s.y + off}, kDir90 | Org(kOrgMiddleLeft));
      Place(noText_, {s.x, s.y - kNumberOffset}, kDir90 | Org(kOrgBottomRight));
      break;
    default:  // oblique
      Place(nameText_, s, kDirOblique | Org(kOrgBottomLeft));
      Place(noText_, s, kDirOblique | Org(kOrgBottomLeft));
      break;
  }
}

void CPin::BottomAlignNumber() {
  // A number text turned upside down by the alignment flip of a rotation
  // would hang below its anchor; pin numbers always sit on it.
  if ((noText_.GetOrg() & (8 | 16)) == 0) noText_.ModifyAngle(8, 0);
}

void CPin::SetPoint(CPoint start, CPoint end, uint32_t elect) {
  start_ = start;
  end_ = end;
  elect_ = elect;
  CalcAngle();
  LayoutTexts();
}

void CPin::SetPoint() {
  CalcAngle();
  LayoutTexts();
}

int CPin::GetLen() const {
  switch (angle_ & kDirMask) {
    case kDir0:
      return end_.x - start_.x;
    case kDir90:
      return end_.y - start_.y;
    case kDir180:
      return start_.x - end_.x;
    case kDir270:
      return start_.y - end_.y;
    default:
      return kPinDefaultLength;  // oblique
  }
}

void CPin::SetLen(int len) {
  // A negative length cannot keep the pin's direction; it is refused.
  if (len < 0) return;
  const uint32_t dir = angle_ & kDirMask;
  if (dir == kDirOblique) {
    // An oblique pin keeps its slope and gets the length along it.
    const double dx = static_cast<double>(end_.x) - start_.x;
    const double dy = static_cast<double>(end_.y) - start_.y;
    const double cur = std::hypot(dx, dy);
    end_ = {Clamp32(start_.x + std::llround(dx * len / cur)),
            Clamp32(start_.y + std::llround(dy * len / cur))};
  } else {
    end_ = EndInDirection(start_, dir, len);
  }
  CalcAngle();
  LayoutTexts();
}

uint32_t CPin::SetAngle(uint32_t a) {
  const uint32_t target = a & 0x300;
  const uint32_t dir = angle_ & kDirMask;
  if (dir == kDirOblique) {
    // No quarter turn brings an oblique pin onto an axis: put its end at the
    // length it reports and lay its texts out afresh.
    end_ = EndInDirection(start_, target, GetLen());
    CalcAngle();
    LayoutTexts();
  } else if (start_ != end_) {
    // Quarter turns about the root carry the texts along with the pin.
    for (int i = 0; i < 3 && (angle_ & kDirMask) != target; ++i) Rotate(start_, 1);
  }
  BottomAlignNumber();
  return angle_;
}

uint32_t CPin::SetElect(uint32_t elect) {
  const uint32_t old = elect_;
  elect_ = elect;
  if (((old ^ elect) & kPinMarkMask) != 0) LayoutTexts();
  return old;
}

bool CPin::SetPinSel(const CRect& r) {
  if (!IsDisp() || !GetBoundingRect().Intersects(r)) return false;
  elect_ |= kPinSelected;
  return true;
}

// ---------------------------------------------------------------------------
// Texts

void CPin::SetName(const char* line) { nameText_.SetName(line); }

void CPin::SetNo(const char* line) { noText_.SetName(line); }

void CPin::SetName(const std::string& name, CPoint at, uint32_t attr) {
  nameText_.SetName(name, at, NameHeight(), attr);
}

void CPin::SetNo(const std::string& no, CPoint at, uint32_t attr) {
  noText_.SetName(no, at, NoHeight(), attr);
}

CRect CPin::IncName(int step) {
  nameText_.IncName(step);
  return nameText_.GetBoundingRect();
}

CRect CPin::IncNo(int step) {
  noText_.IncName(step);
  return noText_.GetBoundingRect();
}

// ---------------------------------------------------------------------------
// Hit tests and search

bool CPin::CheckPoint(CPoint p) const {
  return IsDisp() && CRect(start_, end_).Normalized().Inflated(1, 1).PtInRect(p);
}

bool CPin::CheckOnPoint(CPoint p) const { return IsDisp() && end_ == p; }

std::optional<CPoint> CPin::Find(std::string_view pattern, bool matchCase, bool whole,
                                 bool includeHidden, int selector) const {
  if (!IsDisp() && !includeHidden) return std::nullopt;
  if ((selector & kFindPinName) != 0) {
    if (auto at = nameText_.Find(pattern, matchCase, whole, includeHidden)) return at;
  }
  if ((selector & kFindPinNo) != 0) {
    if (auto at = noText_.Find(pattern, matchCase, whole, includeHidden)) return at;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Geometry

void CPin::Offset(CPoint d) {
  start_ += d;
  end_ += d;
  nameText_.Offset(d);
  noText_.Offset(d);
}

void CPin::Rotate(CPoint center, int dir) {
  start_ = start_.Rotated(center, dir);
  end_ = end_.Rotated(center, dir);
  nameText_.Rotate(center, dir, true);
  noText_.Rotate(center, dir, true);
  CalcAngle();
  BottomAlignNumber();
}

void CPin::MirrorX(CPoint center) {
  start_ = start_.MirroredX(center);
  end_ = end_.MirroredX(center);
  nameText_.MirrorX(center, true);
  noText_.MirrorX(center, true);
  CalcAngle();
  BottomAlignNumber();
}

void CPin::MirrorY(CPoint center) {
  start_ = start_.MirroredY(center);
  end_ = end_.MirroredY(center);
  nameText_.MirrorY(center, true);
  noText_.MirrorY(center, true);
  CalcAngle();
  BottomAlignNumber();
}

void CPin::RotateText(CPoint center, int dir) {
  nameText_.RotateText(center, dir, true);
  noText_.RotateText(center, dir, true);
}

void CPin::MirrorXText(CPoint center) {
  nameText_.MirrorXText(center, true);
  noText_.MirrorXText(center, true);
}

void CPin::MirrorYText(CPoint center) {
  nameText_.MirrorYText(center, true);
  noText_.MirrorYText(center, true);
}

void CPin::OffsetAttr(CPoint d) {
  nameText_.OffsetAttr(d);
  noText_.OffsetAttr(d);
}

CRect CPin::GetBoundingRect() const {
  if (!IsDisp()) return {};
  CRect r = CRect(start_, end_).Normalized().Inflated(kPinMargin, kPinMargin);
  if ((elect_ & kPinDot) != 0) {
    r |= CRect(start_.x - kDotHalf, start_.y - kDotHalf, start_.x + kDotHalf, start_.y + kDotHalf);
  }
  if ((elect_ & kPinClock) != 0) {
    r |= CRect(start_.x - kClockHalf, start_.y - kClockHalf, start_.x + kClockHalf,
               start_.y + kClockHalf);
  }
  r |= nameText_.GetBoundingRect();
  r |= noText_.GetBoundingRect();
  return r;
}

void CPin::CalcBoundRect() {
  nameText_.CalcBoundRect();
  noText_.CalcBoundRect();
}

// ---------------------------------------------------------------------------
// Comparison

bool CPin::Compare(const CPin& o) const {
  return start_ == o.start_ && end_ == o.end_ && nameText_ == o.nameText_ && noText_ == o.noText_ &&
         (elect_ & ~kElectCompareIgnore) == (o.elect_ & ~kElectCompareIgnore) && angle_ == o.angle_;
}

bool CPin::operator<(const CPin& o) const {
  if (IsDisp() != o.IsDisp()) return IsDisp();  // visible pins first
  const int g = DirectionGroup(angle_);
  const int og = DirectionGroup(o.angle_);
  if (g != og) return g < 3 && g < og;
  const CPoint a = start_, b = o.start_;
  switch (g) {
    case 0:  // 0x200: larger y, then smaller x
      return a.y != b.y ? a.y > b.y : a.x < b.x;
    case 1:  // 0x300: smaller x, then smaller y
      return a.x != b.x ? a.x < b.x : a.y < b.y;
    case 2:  // 0x000: smaller y, then larger x
      return a.y != b.y ? a.y < b.y : a.x > b.x;
    case 3:  // 0x100: larger x, then larger y
      return a.x != b.x ? a.x > b.x : a.y > b.y;
    default:  // two oblique pins
      return false;
  }
}

// ---------------------------------------------------------------------------
// Records

void CPin::DataWrite(CArchive& ar) const {
  ar.WritePoint(start_);
  ar.WritePoint(end_);
  ar.WriteU32(angle_);
  ar.WriteU32(elect_ & ~kPinOpenX);
  const uint32_t mask = (nameText_.IsEmpty() ? 0 : kMaskName) | (noText_.IsEmpty() ? 0 : kMaskNo);
  ar.WriteU32(mask);
  if ((mask & kMaskName) != 0) nameText_.DataWrite(ar);
  if ((mask & kMaskNo) != 0) noText_.DataWrite(ar);
}

void CPin::DataRead(CArchive& ar, int version) {
  // Read into a fresh pin so that a damaged record leaves this one as it was.
  CPin p;
  p.start_ = ar.ReadPoint();
  p.end_ = ar.ReadPoint();
  ar.ReadU32();  // the stored direction word is not trusted
  p.elect_ = ar.ReadU32();
  const uint32_t mask = ar.ReadU32();
  if ((mask & kMaskName) != 0) p.nameText_.DataRead(ar, version);
  if ((mask & kMaskNo) != 0) p.noText_.DataRead(ar, version);
  p.angle_ = 0;
  p.CalcAngle();
  *this = std::move(p);
}

}  // namespace tavro
