#include "app/gui/modes/place_mode.h"

#include <optional>

#include "app/gui/part_units.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

// The copy-increment step of a key ("CopyIncrement": key and key + "Enable");
// 0 when the step is off.
int CopyStep(const char* key) {
  const Settings& s = AppSettings();
  if (s.GetInt("CopyIncrement", std::string(key) + "Enable") == 0) return 0;
  return s.GetInt("CopyIncrement", key);
}

// The alignment code of keypad key 1..9.
int KeypadOrg(int digit) {
  static const int kOrg[10] = {0, 8, 14, 10, 24, 30, 26, 0, 6, 2};
  return kOrg[digit];
}

// The attribute word of a new text: the last choices of the text dialog
// when it remembers them, else the factory defaults.
uint32_t NewTextAttr(int& height) {
  const Settings& s = AppSettings();
  const char* section = s.GetInt("Text", "Remember Attr") ? "Text" : "Default";
  height = s.GetInt(section, "Text Height");
  static const int kH[3] = {0, 6, 2}, kV[3] = {0, 24, 8};
  const int h = s.GetInt(section, "Text H Base"), v = s.GetInt(section, "Text V Base");
  uint32_t attr =
      static_cast<uint32_t>((h >= 0 && h < 3 ? kH[h] : 0) + (v >= 0 && v < 3 ? kV[v] : 8));
  attr |= static_cast<uint32_t>(s.GetInt(section, "Text Direction")) & kTextDirMask;
  if (section == std::string("Text")) {
    attr |= static_cast<uint32_t>(s.GetInt("Text", "Text Frame")) & kTextFrameMask;
    if (!s.GetInt("Text", "Printable")) attr |= kTextNoPrint;
  }
  return attr;
}

// The common keys of placement: R turns, X and Y mirror (about `anchor`).
template <typename Item>
bool TurnOrMirror(Item& item, int key, CPoint anchor) {
  switch (key) {
    case 'R':
      item.Rotate(anchor, 1);
      return true;
    case 'X':
      item.MirrorX(anchor);
      return true;
    case 'Y':
      item.MirrorY(anchor);
      return true;
    default:
      return false;
  }
}

}  // namespace

const CText* TextAt(const CSheet& sheet, CPoint p, int tol) {
  for (const auto& t : sheet.Texts())
    if (!t->GetName().empty() && t->GetTextBoundingRect().Inflated(tol, tol).PtInRect(p))
      return t.get();
  return nullptr;
}

const CPart* PartAt(const CSheet& sheet, CPoint p, int tol) {
  for (const auto& part : sheet.Parts())
    if (part->GetSimpleBoundingRect().Inflated(tol, tol).PtInRect(p)) return part.get();
  return nullptr;
}

// ---------------------------------------------------------------------------
// Text

TextMode::TextMode(ModeAdapter& adapter) : InputMode(adapter) {}

std::string TextMode::Prompt() const {
  if (!Busy()) return "属性コピーしたい文字列か、何もないところでクリック";
  return std::string(kRotateMirrorHelp) + "１～９：原点";
}

void TextMode::Follow(CPoint at) {
  text_->Offset(at - text_->GetPoint());
  text_->CalcBoundRect();
  preview_.DeleteContents();
  preview_.NewText(*text_);
  a_.Redraw();
}

ModeAnswer TextMode::Press(const ModePointer& p) {
  if (p.button == ModePointer::kRight) {
    text_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  if (!Busy()) {
    if (const CText* t = TextAt(a_.Sheet(), p.raw, a_.HitTolerance())) {
      text_ = std::make_unique<CText>(*t);
      text_->SetAngle(text_->GetAttr() & ~kTextSelected);
    } else {
      const std::optional<std::string> s = a_.AskText("文字入力", "文字", {});
      if (!s || s->empty()) return ModeAnswer::kContinue;
      int height = 70;
      const uint32_t attr = NewTextAttr(height);
      text_ = std::make_unique<CText>(*s, p.at, height, attr);
    }
    Follow(p.at);
    return ModeAnswer::kContinue;
  }
  Follow(p.at);
  const CText placed = *text_;
  a_.Edit([&](CSheet& sheet) { sheet.NewText(placed); });
  if (const int step = CopyStep("Text")) text_->IncName(step);
  Follow(p.at);
  return ModeAnswer::kCommit;
}

ModeAnswer TextMode::Move(const ModePointer& p) {
  if (Busy()) Follow(p.at);
  return ModeAnswer::kContinue;
}

ModeAnswer TextMode::Key(int key, const ModePointer& p) {
  if (key == kKeyEscape) {
    if (!Busy()) return ModeAnswer::kCancel;
    text_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (!Busy()) return ModeAnswer::kContinue;
  if (key >= '1' && key <= '9') {
    text_->SetOrg(KeypadOrg(key - '0'));
  } else if (!TurnOrMirror(*text_, key, text_->GetPoint())) {
    return ModeAnswer::kContinue;
  }
  Follow(p.at);
  return ModeAnswer::kContinue;
}

// ---------------------------------------------------------------------------
// Pin

PinMode::PinMode(ModeAdapter& adapter) : InputMode(adapter) {}

std::string PinMode::Prompt() const {
  if (!Busy()) return "何もないところでクリック";
  return std::string(kRotateMirrorHelp) + "Ｃ：クロック  Ｄ：ドット";
}

void PinMode::Follow(CPoint at) {
  pin_->Offset(at - pin_->GetEndPoint());
  preview_.DeleteContents();
  preview_.NewPin(*pin_);
  a_.Redraw();
}

ModeAnswer PinMode::Press(const ModePointer& p) {
  if (p.button == ModePointer::kRight) {
    pin_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  if (!Busy()) {
    const Settings& s = AppSettings();
    int length = s.GetInt("Default", "Pin Length");
    if (length <= 0) length = 200;
    const uint32_t type = static_cast<uint32_t>(s.GetInt("Default", "Pin Electric Type")) & 0xF;
    // The root on the body to the right, the connection point on the pointer.
    pin_ = std::make_unique<CPin>(CPoint{p.at.x + length, p.at.y}, p.at, type);
    pin_->NoText().SetName("1");
    pin_->SetPoint();
    Follow(p.at);
    return ModeAnswer::kContinue;
  }
  Follow(p.at);
  const CPin placed = *pin_;
  a_.Edit([&](CSheet& sheet) { sheet.NewPin(placed); });
  if (const int step = CopyStep("PinNo")) pin_->IncNo(step);
  if (const int step = CopyStep("PinName"); step && !pin_->GetName().empty()) pin_->IncName(step);
  Follow(p.at);
  return ModeAnswer::kCommit;
}

ModeAnswer PinMode::Move(const ModePointer& p) {
  if (Busy()) Follow(p.at);
  return ModeAnswer::kContinue;
}

ModeAnswer PinMode::Key(int key, const ModePointer& p) {
  if (key == kKeyEscape) {
    if (!Busy()) return ModeAnswer::kCancel;
    pin_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (!Busy()) return ModeAnswer::kContinue;
  if (key == 'C') {
    pin_->ModifyElect(pin_->GetElect() & kPinClock ? 0 : kPinClock, kPinClock);
  } else if (key == 'D') {
    pin_->ModifyElect(pin_->GetElect() & kPinDot ? 0 : kPinDot, kPinDot);
  } else if (!TurnOrMirror(*pin_, key, pin_->GetEndPoint())) {
    return ModeAnswer::kContinue;
  }
  pin_->SetPoint();
  Follow(p.at);
  return ModeAnswer::kContinue;
}

// ---------------------------------------------------------------------------
// Part

PartMode::PartMode(ModeAdapter& adapter) : InputMode(adapter) {}

std::string PartMode::Prompt() const {
  if (!Busy()) return "コピー入力したい部品か、何もないところでクリック";
  return std::string(kRotateMirrorHelp) + "Ｎ：次ゲート  Ｉ：論理反転";
}

void PartMode::Follow(CPoint at) {
  part_->Offset(at - part_->GetOrg());
  preview_.DeleteContents();
  preview_.NewPart(*part_);
  a_.Redraw();
}

void PartMode::Take(const CSheet& gates, size_t unit, CPoint at) {
  gates_ = gates;
  if (unit >= gates_.Parts().size()) return;
  part_ = std::make_unique<CPart>(*gates_.Parts()[unit]);
  part_->CalcBoundRect(true);
  Follow(at);
}

ModeAnswer PartMode::Press(const ModePointer& p) {
  if (p.button == ModePointer::kRight) {
    part_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  if (!Busy()) {
    if (const CPart* hit = PartAt(a_.Sheet(), p.raw, a_.HitTolerance())) {
      // A copy of a placed part; its package is looked up only for N and I.
      gates_.DeleteContents();
      part_ = std::make_unique<CPart>(*hit);
      Follow(p.at);
      return ModeAnswer::kContinue;
    }
    const std::optional<PackageChoice> choice = a_.ChoosePackage();
    if (!choice || choice->gates.Parts().empty()) return ModeAnswer::kContinue;
    Take(choice->gates, 0, p.at);
    return ModeAnswer::kContinue;
  }
  Follow(p.at);
  const CPart placed = *part_;
  a_.Edit([&](CSheet& sheet) { sheet.NewPart(placed); });
  if (const int step = CopyStep("PartRef"); step && part_->RefCheck()) part_->IncRefName(step);
  Follow(p.at);
  return ModeAnswer::kCommit;
}

ModeAnswer PartMode::Move(const ModePointer& p) {
  if (Busy()) Follow(p.at);
  return ModeAnswer::kContinue;
}

ModeAnswer PartMode::Key(int key, const ModePointer& p) {
  if (key == kKeyEscape) {
    if (!Busy()) return ModeAnswer::kCancel;
    part_.reset();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  if (!Busy()) return ModeAnswer::kContinue;
  if (key == 'N' || key == 'I') {
    if (gates_.Parts().empty()) {
      const std::optional<PackageChoice> found = a_.FindPackage(part_->GetPartName());
      if (!found) return ModeAnswer::kContinue;
      gates_ = found->gates;
    }
    const std::optional<size_t> to =
        StepUnit(*part_, gates_, key == 'N' ? UnitStep::kNext : UnitStep::kInvert);
    if (!to) return ModeAnswer::kContinue;
    *part_ = PlaceUnit(*part_, *gates_.Parts()[*to], gates_);
  } else if (!TurnOrMirror(*part_, key, part_->GetOrg())) {
    return ModeAnswer::kContinue;
  }
  Follow(p.at);
  return ModeAnswer::kContinue;
}

}  // namespace tavro::gui
