#include "core/model/text.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

#include "core/file/archive.h"
#include "core/model/text_escape.h"
#include "core/platform/dbcs.h"
#include "core/platform/scan.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

using text_detail::npos;

// ---------------------------------------------------------------------------
// Text-line parsing

// The part of a text or font line after the quoted name: from two characters
// after the last quote.
std::string_view AfterQuote(std::string_view s, size_t lastQuote) {
  return lastQuote + 2 <= s.size() ? s.substr(lastQuote + 2) : std::string_view{};
}

uint32_t WithOrg(uint32_t attr, int org) {
  return (attr & ~kTextOrgMask) | (static_cast<uint32_t>(org) & kTextOrgMask);
}

int SwapPairs(int org, std::initializer_list<std::pair<int, int>> pairs) {
  for (auto [a, b] : pairs) {
    if (org == a) return b;
    if (org == b) return a;
  }
  return org;
}
// Half turn expressed by the alignment.
int FlipHalfTurn(int org) { return SwapPairs(org, {{0, 10}, {2, 8}, {6, 14}, {24, 26}}); }
int SwapLeftRight(int org) { return SwapPairs(org, {{0, 2}, {8, 10}, {24, 26}}); }
int SwapTopBottom(int org) { return SwapPairs(org, {{0, 8}, {2, 10}, {6, 14}}); }

void OffsetIfSet(CRect& r, CPoint d) {
  if (!r.IsRectEmpty()) r.OffsetRect(d);
}

}  // namespace

// ---------------------------------------------------------------------------
// Frame styles

const std::array<TextFrameStyle, 15>& TextFrameStyles() {
  static const std::array<TextFrameStyle, 15> kStyles = {{
      {"\x98\x67\x82\xc8\x82\xb5", kFrameNone, 301},          // no frame
      {"\x82\x61\x82\x6e\x82\x77", kFrameBox, 304},           // BOX
      {"\x82\x61\x82\x6e\x82\x77\x82\x51", kFrameBox2, 305},  // BOX2
      {"\x93\xfc\x8f\x6f\x97\xcd", kFrameInOut, 309},         // in/out
      {"\x93\xfc\x97\xcd", kFrameIn, 310},                    // in
      {"\x8f\x6f\x97\xcd", kFrameOut, 311},                   // out
      {"\x93\xfc\x97\xcd\x82\x51", kFrameIn2, 312},           // in 2
      {"\x8f\x6f\x97\xcd\x82\x51", kFrameOut2, 313},          // out 2
      {"\x95\xbd\x8d\x73", kFrameParallel, 315},              // parallel
      {"\x83\x5f\x83\x43\x83\x84", kFrameDiamond, 314},       // diamond
      {"\x8a\xdb\x98\x67", kFrameRound, 306},                 // round
      {"\x8a\xdb\x98\x67\x82\x51", kFrameRound2, 307},        // round 2
      {"\x8a\xdb\x98\x67\x82\x52", kFrameRound3, 308},        // round 3
      {"\x89\xba\x90\xfc", kFrameUnderline, 302},             // underline
      {"2\x8f\x64\x89\xba\x90\xfc", kFrameUnderline2, 303},   // double underline
  }};
  return kStyles;
}

// ---------------------------------------------------------------------------
// Construction

CText::CText() = default;

CText::CText(std::string name, CPoint point, int size, uint32_t attr)
    : name_(std::move(name)), point_(point), size_(size), attr_(attr) {
  CalcBoundRect();
}

CText::CText(const char* line) { SetName(line); }

// ---------------------------------------------------------------------------
// Setters

void CText::SetName(const std::string& name) {
  name_ = name;
  CalcBoundRect();
}

void CText::SetName(const std::string& name, CPoint point, int size, uint32_t attr) {
  name_ = name;
  point_ = point;
  size_ = size;
  attr_ = attr;
  CalcBoundRect();
}

void CText::SetName(const char* line) {
  if (line == nullptr || *line == '\0') return;
  const std::string_view s(line);
  const size_t first = FindChar(s, '"');
  if (first == npos) {
    SetName(std::string(s));
    return;
  }
  const size_t last = ReverseFindChar(s, '"');
  name_ = last > first ? std::string(s.substr(first + 1, last - first - 1)) : std::string();
  int32_t v[4];
  const int n = ScanInts(AfterQuote(s, last), v, 4);
  if (n > 0) point_.x = static_cast<int32_t>(v[0]);
  if (n > 1) point_.y = static_cast<int32_t>(v[1]);
  if (n > 2) size_ = static_cast<int32_t>(v[2]);
  if (n > 3) attr_ = static_cast<uint32_t>(static_cast<int32_t>(v[3]));
  CalcBoundRect();
}

void CText::SetFont(const char* line) {
  if (!HasOwnFont() || line == nullptr) return;
  font_ = LogFont{};
  const std::string_view s(line);
  const size_t first = FindChar(s, '"');
  if (first == npos) {
    font_.SetFaceName(s);
  } else {
    const size_t last = ReverseFindChar(s, '"');
    font_.SetFaceName(last > first ? s.substr(first + 1, last - first - 1) : std::string_view{});
    const std::string rest = TrimLeft(AfterQuote(s, last));
    int32_t v[10];
    const int n = ScanInts(rest, v, 10);
    auto byte = [&](int i) { return static_cast<uint8_t>(v[i]); };
    if (n > 0) font_.width = static_cast<int32_t>(v[0]);
    if (n > 1) font_.escapement = static_cast<int32_t>(v[1]);
    if (n > 2) font_.orientation = static_cast<int32_t>(v[2]);
    if (n > 3) font_.weight = static_cast<int32_t>(v[3]);
    if (n > 4) {
      font_.strikeOut = (v[4] & 1) ? 1 : 0;
      font_.underline = (v[4] & 2) ? 1 : 0;
      font_.italic = (v[4] & 4) ? 1 : 0;
    }
    if (n > 5) font_.charSet = byte(5);
    if (n > 6) font_.outPrecision = byte(6);
    if (n > 7) font_.clipPrecision = byte(7);
    if (n > 8) font_.quality = byte(8);
    if (n > 9) font_.pitchAndFamily = byte(9);
  }
  CalcBoundRect();
}

void CText::SetFont(const LogFont& font) {
  font_ = font;
  CalcBoundRect();
}

void CText::SetSize(int size) {
  size_ = size;
  CalcBoundRect();
}

void CText::SetAngle(uint32_t attr) {
  attr_ = attr;
  CalcBoundRect();
}

void CText::ModifyAngle(uint32_t set, uint32_t clear) {
  attr_ = (attr_ & ~clear) | set;
  CalcBoundRect();
}

void CText::SetPoint(CPoint point) {
  const CPoint d = point - point_;
  point_ = point;
  OffsetIfSet(textRect_, d);
  OffsetIfSet(frameRect_, d);
}

void CText::SetOrg(int org) {
  if (name_.empty() || !IsDisp()) return;
  attr_ = WithOrg(attr_, KeypadToOrg(org));
  CalcBoundRect();
}

bool CText::ChangeSize(int dir) {
  if (name_.empty() || !IsDisp()) return false;
  if (dir >= 1) {
    if (size_ >= kTextMaxSize) return false;
    size_ = std::min(size_ + kTextSizeStep, kTextMaxSize);
  } else {
    if (size_ < kTextMinSize + 1) return false;
    size_ = std::max(size_ - kTextSizeStep, kTextMinSize);
  }
  CalcBoundRect();
  return true;
}

void CText::Disp(int on) {
  if (on == 0)
    attr_ |= kTextHidden;
  else
    attr_ &= ~kTextHidden;
  CalcBoundRect();
}

bool CText::IsDisp() const { return IsDispProperty() || (attr_ & kTextHidden) == 0; }

void CText::Print(int on) {
  if (on != 0)
    attr_ &= ~kTextNoPrint;
  else
    attr_ |= kTextNoPrint;
  // Non-printing texts with their own font show struck out.
  if (HasOwnFont()) font_.strikeOut = on != 0 ? 0 : 1;
  CalcBoundRect();
}

bool CText::SetTextSel(const CRect& r) {
  if (name_.empty() || !IsDisp() || !textRect_.Intersects(r)) return false;
  attr_ |= kTextSelected;
  return true;
}

void CText::SetAttribute() const {
  Settings& s = AppSettings();
  if (s.GetInt("Text", "Remember Attr", 0) == 0) return;
  int hBase = 0, vBase = 2;  // left / bottom
  switch (GetOrg()) {
    case kOrgTopLeft:
      hBase = 0;
      vBase = 0;
      break;
    case kOrgTopRight:
      hBase = 2;
      vBase = 0;
      break;
    case kOrgTopCenter:
      hBase = 1;
      vBase = 0;
      break;
    case kOrgBottomRight:
      hBase = 2;
      vBase = 2;
      break;
    case kOrgBottomCenter:
      hBase = 1;
      vBase = 2;
      break;
    case kOrgMiddleLeft:
      hBase = 0;
      vBase = 1;
      break;
    case kOrgMiddleRight:
      hBase = 2;
      vBase = 1;
      break;
    case kOrgMiddleCenter:
      hBase = 1;
      vBase = 1;
      break;
    default:
      break;
  }
  s.WriteInt("Text", "Text Height", size_);
  s.WriteInt("Text", "Text H Base", hBase);
  s.WriteInt("Text", "Text V Base", vBase);
  s.WriteInt("Text", "Text Direction", static_cast<int32_t>(attr_ & kTextDirMask));
  s.WriteInt("Text", "Printable", IsPrint() ? 1 : 0);
  s.WriteInt("Text", "Text Frame", static_cast<int32_t>(attr_ & kTextFrameMask));
  // The own font is part of the look too: the text-entry dialog reads it back
  // from "Text Font" and "Font".
  s.WriteInt("Text", "Text Font", HasOwnFont() ? 1 : 0);
  if (HasOwnFont()) {
    const auto bytes = font_.ToBytes();
    s.WriteBinary("Text", "Font", std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
}

bool CText::FrameChange(int dir) {
  if (name_.empty() || !IsTextSel() || !IsDisp()) return false;
  const auto& styles = TextFrameStyles();
  const uint32_t code = GetFrame();
  const auto it = std::find_if(styles.begin(), styles.end(),
                               [code](const TextFrameStyle& f) { return f.code == code; });
  if (it == styles.end()) return false;
  const size_t n = styles.size();
  size_t i = static_cast<size_t>(it - styles.begin());
  i = dir == 0 ? (i + 1) % n : (i + n - 1) % n;
  attr_ = (attr_ & ~kTextFrameMask) | styles[i].code;
  CalcBoundRect();
  return true;
}

// ---------------------------------------------------------------------------
// Geometry

void CText::Offset(CPoint d) {
  if (name_.empty()) return;
  point_ += d;
  OffsetIfSet(textRect_, d);
  OffsetIfSet(frameRect_, d);
}

void CText::OffsetAttr(CPoint d) {
  if (IsTextSel()) Offset(d);
}

void CText::Rotate(CPoint center, int dir, bool adjust) {
  point_ = point_.Rotated(center, dir);
  const uint32_t d = attr_ & kTextDirMask;
  // The ordinary rotation keeps texts readable: a half turn is expressed by
  // flipping the alignment instead of turning the text upside down.
  const uint32_t turnFrom = dir != 0 ? kDir0 : kDir90;  // plain quarter turn
  const uint32_t turnTo = dir != 0 ? kDir90 : kDir0;
  const uint32_t flipFrom = dir != 0 ? kDir90 : kDir0;  // would turn upside down
  const uint32_t flipTo = dir != 0 ? kDir0 : kDir90;
  uint32_t nd = d;
  if (d == turnFrom) {
    nd = turnTo;
  } else if (d == flipFrom && adjust) {
    attr_ = WithOrg(attr_, FlipHalfTurn(GetOrg()));
    nd = flipTo;
  }
  attr_ = (attr_ & ~kTextDirMask) | nd;
  CalcBoundRect();
}

void CText::RotateA(CPoint center, int dir) {
  point_ = point_.Rotated(center, dir);
  attr_ = (attr_ & ~kTextDirMask) | StepQuarterTurn(attr_ & kTextDirMask, dir);
  CalcBoundRect();
}

void CText::MirrorX(CPoint center, bool adjust) {
  point_ = point_.MirroredX(center);
  if (adjust) {
    const int org = GetOrg();
    attr_ =
        WithOrg(attr_, (attr_ & kTextDirMask) == kDir0 ? SwapLeftRight(org) : SwapTopBottom(org));
  }
  CalcBoundRect();
}

void CText::MirrorY(CPoint center, bool adjust) {
  point_ = point_.MirroredY(center);
  if (adjust) {
    const int org = GetOrg();
    attr_ =
        WithOrg(attr_, (attr_ & kTextDirMask) == kDir90 ? SwapLeftRight(org) : SwapTopBottom(org));
  }
  CalcBoundRect();
}

void CText::RotateText(CPoint center, int dir, bool adjust) {
  if (IsTextSel()) Rotate(center, dir, adjust);
}

void CText::MirrorXText(CPoint center, bool adjust) {
  if (IsTextSel()) MirrorX(center, adjust);
}

void CText::MirrorYText(CPoint center, bool adjust) {
  if (IsTextSel()) MirrorY(center, adjust);
}

// ---------------------------------------------------------------------------
// Records

void CText::DataWrite(CArchive& ar) const {
  ar.WriteString(name_);
  ar.WritePoint(point_);
  ar.WriteI32(size_);
  ar.WriteU32(attr_);
  ar.WriteRect(textRect_);
  if (HasOwnFont()) {
    const auto bytes = font_.ToBytes();
    ar.WriteBytes(bytes.data(), bytes.size());
  }
}

void CText::DataRead(CArchive& ar, int version) {
  // Read into a fresh text so that a damaged record leaves this one as it was.
  CText t;
  t.name_ = ar.ReadString();
  t.point_ = ar.ReadPoint();
  t.size_ = ar.ReadI32();
  t.attr_ = ar.ReadU32();
  t.textRect_ = ar.ReadRect();
  if (t.HasOwnFont() && version >= 6) {
    std::array<uint8_t, LogFont::kSize> bytes{};
    ar.ReadBytes(bytes.data(), bytes.size());
    t.font_ = LogFont::FromBytes(bytes.data());
  }
  // Older files wrote a display property without a value as "&NAME&NAME";
  // it now carries an empty last value.
  if (t.IsProperty() == 1 && t.IsDispProperty() && t.GetPropertyVal(1) == t.GetPropertyName())
    t.name_ += "&";
  t.CalcBoundRect();
  *this = std::move(t);
}

std::string CText::TextLine() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %d %d %d %d", point_.x, point_.y, size_,
                static_cast<int32_t>(attr_));
  return "\"" + name_ + "\"" + buf;
}

std::string CText::FontLine() const {
  const int style = (font_.italic ? 4 : 0) + (font_.underline ? 2 : 0) + (font_.strikeOut ? 1 : 0);
  char buf[160];
  std::snprintf(buf, sizeof buf, " %d %d %d %d %d %d %d %d %d %d", font_.width, font_.escapement,
                font_.orientation, font_.weight, style, font_.charSet, font_.outPrecision,
                font_.clipPrecision, font_.quality, font_.pitchAndFamily);
  return "\"" + font_.FaceName() + "\"" + buf;
}

}  // namespace tavro
