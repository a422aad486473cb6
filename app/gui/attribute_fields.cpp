#include "app/gui/attribute_fields.h"

#include <algorithm>
#include <filesystem>

#include "app/gui/part_units.h"
#include "core/model/geometry.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

// Distance of a new label from its line (mils).
constexpr int kLabelGap = 20;
// Where new attribute texts of a part go, from its origin (mils).
constexpr int kRefAbove = 100;
constexpr int kValueBelow = 100;

// Shows or hides a text when that is a change (a text shown as a display
// property stays as it is).
void SetShown(CText& t, bool shown) {
  if (((t.GetAttr() & kTextHidden) == 0) != shown) t.Disp(shown ? 1 : 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Lines

LineFields ReadLineFields(const CLine& line) {
  LineFields f;
  f.name = line.GetName();
  f.nameShown = (line.GetNameText().GetAttr() & kTextHidden) == 0;
  f.style = static_cast<int>((line.GetType() & kLineStyleMask) >> 9);
  f.power = (line.GetType() & kLinePower) != 0;
  f.startArrow = line.GetStartArrow() != 0;
  f.endArrow = line.GetEndArrow() != 0;
  return f;
}

void ApplyLineFields(CLine& line, const LineFields& f) {
  CText& label = line.NameText();
  if (f.name != label.GetName()) {
    if (label.GetName().empty()) {
      // A new label beside the middle of the line: above a horizontal line,
      // to the right of any other (SetName turns it to read along the line).
      const CPoint s = line.GetStartPoint(), e = line.GetEndPoint();
      const auto mid = [](int32_t a, int32_t b) {
        return static_cast<int32_t>((int64_t{a} + b) / 2);
      };
      const CPoint at = s.y == e.y ? CPoint(mid(s.x, e.x), Sat32(int64_t{s.y} + kLabelGap))
                                   : CPoint(Sat32(int64_t{s.x} + kLabelGap), mid(s.y, e.y));
      line.SetName(f.name, at, kOrgBottomLeft);
    } else {
      label.SetName(f.name);
    }
  }
  if (!f.name.empty()) SetShown(label, f.nameShown);
  line.ModifyType(kLineStyleMask, (static_cast<uint32_t>(f.style) << 9) & kLineStyleMask);
  if (line.GetLineType() == kLineWire && f.power != ((line.GetType() & kLinePower) != 0)) {
    line.ModifyType(kLinePower, f.power ? kLinePower : 0);
    line.SetWidth(AppSettings().GetInt("Default", f.power ? "PowerWidth" : "WireWidth"));
  }
  if (line.GetLineType() == kLineGraphic) {
    // An arrow kept keeps its length; a new one gets the usual length.
    const auto arrow = [](int now, bool on) { return on ? (now != 0 ? now : kNewArrowLength) : 0; };
    line.SetArrow(arrow(line.GetStartArrow(), f.startArrow), arrow(line.GetEndArrow(), f.endArrow));
  }
}

// ---------------------------------------------------------------------------
// Pins

PinFields ReadPinFields(const CPin& pin) {
  PinFields f;
  f.number = pin.GetNo();
  f.name = pin.GetName();
  f.type = pin.GetEleType();
  f.dot = (pin.GetElect() & kPinDot) != 0;
  f.clock = (pin.GetElect() & kPinClock) != 0;
  f.shown = pin.IsDisp();
  f.length = pin.GetLen();
  f.numberShown = (pin.GetNoText().GetAttr() & kTextHidden) == 0;
  f.nameShown = (pin.GetNameText().GetAttr() & kTextHidden) == 0;
  return f;
}

std::vector<PinTypeName> PinTypeNames() {
  std::vector<PinTypeName> out;
  for (int code = 0; code <= static_cast<int>(kPinTypeMask); ++code)
    if (const char* name = CPin::EleName(code)) out.push_back({code, name});
  return out;
}

void ApplyPinFields(CPin& pin, const PinFields& f) {
  uint32_t elect = pin.GetElect() & ~(kPinTypeMask | kPinDot | kPinClock | kPinHidden);
  elect |= static_cast<uint32_t>(f.type) & kPinTypeMask;
  if (f.dot) elect |= kPinDot;
  if (f.clock) elect |= kPinClock;
  if (!f.shown) elect |= kPinHidden;
  if (elect != pin.GetElect()) pin.SetElect(elect);  // new marks lay the texts out again
  if (f.length != pin.GetLen()) pin.SetLen(std::clamp(f.length, kPinMinLength, kPinMaxLength));
  // A text typed into an empty one goes where the pin lays its texts out.
  const bool newNumber = pin.GetNo().empty() && !f.number.empty();
  const bool newName = pin.GetName().empty() && !f.name.empty();
  if (newNumber || newName) {
    CPin laid = pin;
    laid.SetPoint();
    constexpr uint32_t layout = kTextOrgMask | kTextDirMask;
    if (newNumber)
      pin.SetNo(f.number, laid.GetNoText().GetPoint(), laid.GetNoText().GetAttr() & layout);
    if (newName)
      pin.SetName(f.name, laid.GetNameText().GetPoint(), laid.GetNameText().GetAttr() & layout);
  }
  if (f.number != pin.GetNo()) pin.NoText().SetName(f.number);
  if (f.name != pin.GetName()) pin.NameText().SetName(f.name);
  SetShown(pin.NoText(), f.numberShown);
  SetShown(pin.NameText(), f.nameShown);
}

// ---------------------------------------------------------------------------
// Texts

int OrgCode(int h, int v) {
  static constexpr int kH[] = {0, 6, 2};   // left, centre, right
  static constexpr int kV[] = {0, 24, 8};  // top, middle, bottom
  return kH[std::clamp(h, 0, 2)] | kV[std::clamp(v, 0, 2)];
}

bool SplitOrg(int org, int& h, int& v) {
  for (int hh = 0; hh < 3; ++hh)
    for (int vv = 0; vv < 3; ++vv)
      if (OrgCode(hh, vv) == org) {
        h = hh;
        v = vv;
        return true;
      }
  return false;
}

TextFields ReadTextFields(const CText& text) {
  TextFields f;
  f.text = text.GetName();
  f.org = text.GetOrg();
  f.shown = (text.GetAttr() & kTextHidden) == 0;
  f.dir = text.GetDir();
  f.height = text.GetSize();
  f.frame = text.GetFrame();
  f.printed = text.IsPrint();
  f.ownFont = text.HasOwnFont();
  if (f.ownFont) f.font = text.GetFont();
  return f;
}

void ApplyTextFields(CText& text, const TextFields& f) {
  if (f.text != text.GetName()) text.SetName(f.text);
  constexpr uint32_t edited =
      kTextOrgMask | kTextDirMask | kTextHidden | kTextNoPrint | kTextFrameMask | kTextOwnFont;
  uint32_t attr = text.GetAttr() & ~edited;
  attr |= static_cast<uint32_t>(f.org) & kTextOrgMask;
  attr |= static_cast<uint32_t>(f.dir) & kTextDirMask;
  attr |= f.frame & kTextFrameMask;
  if (!f.shown) attr |= kTextHidden;
  if (!f.printed) attr |= kTextNoPrint;
  if (f.ownFont) attr |= kTextOwnFont;
  if (attr != text.GetAttr()) text.SetAngle(attr);
  if (f.height != text.GetSize()) text.SetSize(f.height);
  if (f.ownFont) {
    // A text that is not printed shows struck out in its own font.
    LogFont font = f.font;
    font.strikeOut = f.printed ? 0 : 1;
    if (!(font == text.GetFont())) text.SetFont(font);
  }
}

// ---------------------------------------------------------------------------
// Parts

PartFields ReadPartFields(const CPart& part) {
  PartFields f;
  f.name = part.GetPartName();
  f.value = part.GetValName();
  f.ref = part.GetRefName();
  f.unit = part.GetPackage();
  f.units = part.GetPackageMax();
  f.inverted = (part.GetAttr() & kPartInverted) != 0;
  return f;
}

void ApplyPartFields(CPart& part, const PartFields& f) {
  if (f == ReadPartFields(part)) return;
  const CPoint org = part.GetOrg();
  if (f.name != part.GetPartName()) {
    if (part.GetPartName().empty())
      part.SetPartName(f.name, org, kOrgBottomLeft);
    else
      part.PartNameText().SetName(f.name);
  }
  if (f.ref != part.GetRefName()) {
    if (part.GetRefName().empty())
      part.SetRefName(f.ref, CPoint(org.x, Sat32(int64_t{org.y} + kRefAbove)), kOrgBottomLeft);
    else
      part.RefNameText().SetName(f.ref);
  }
  if (f.value != part.GetValName()) {
    if (part.GetValName().empty())
      part.SetValue(f.value, CPoint(org.x, Sat32(int64_t{org.y} - kValueBelow)), kOrgTopLeft);
    else
      part.ValNameText().SetName(f.value);
  }
  part.SetPackage(f.unit);
  part.SetPackageMax(f.units);
  part.ModifyAttr(kPartInverted, f.inverted ? kPartInverted : 0);
  part.CalcBoundRect(true);
}

// ---------------------------------------------------------------------------
// Part properties

std::vector<PartProperty> PartProperties(const CPart& part) {
  std::vector<PartProperty> out;
  for (size_t i = 0; i < part.Texts().size(); ++i) {
    const CText& t = *part.Texts()[i];
    if (t.IsProperty() == 0) continue;
    out.push_back({i, t.GetPropertyName(), t.GetPropertyVal(0), t.IsDispProperty()});
  }
  return out;
}

size_t SetPartProperty(CPart& part, std::string_view name, std::string_view value, bool display) {
  const std::string key = Trim(name);
  for (const PartProperty& p : PartProperties(part)) {
    if (p.display != display || !EqualNoCase(p.name, key)) continue;
    CText& t = *part.Texts()[p.text];
    if (p.value != value) t.SetPropertyVal(value, 0);
    part.CalcBoundRect();
    return p.text;
  }
  CText t(std::string(), part.GetOrg(), AppSettings().GetInt("Default", "PartValueAttrHeight"),
          kOrgBottomLeft);
  if (display) {
    // "&NAME&NAME&value": shows its value.
    t.SetProperty(key, key);
    t.SetPropertyVal(value, 0);
    t.Disp(1);
  } else {
    t.SetProperty(key, value);
  }
  part.NewText(t);
  part.CalcBoundRect();
  return part.Texts().size() - 1;
}

bool RemovePartProperty(CPart& part, size_t text) {
  if (text >= part.Texts().size() || part.Texts()[text]->IsProperty() == 0) return false;
  part.Texts().erase(part.Texts().begin() + static_cast<std::ptrdiff_t>(text));
  part.CalcBoundRect();
  return true;
}

std::string PropertyNameProblem(std::string_view name) {
  const std::string key = Trim(name);
  if (key.empty()) return "属性名を入力してください";
  if (key.find('&') != std::string::npos) return "属性名に & は使えません";
  return {};
}

std::string PropertyFileValue(const std::string& file, const std::string& sheetPath,
                              bool absolute) {
  namespace fs = std::filesystem;
  const fs::path chosen = fs::absolute(fs::path(file)).lexically_normal();
  fs::path shown = chosen;
  if (!absolute && !sheetPath.empty()) {
    const fs::path folder = fs::absolute(fs::path(sheetPath)).parent_path();
    const fs::path rel = chosen.lexically_relative(folder);
    if (!rel.empty()) shown = rel;
  }
  return Utf8ToCp932(shown.string());
}

}  // namespace tavro::gui
