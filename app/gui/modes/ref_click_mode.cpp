#include "app/gui/modes/ref_click_mode.h"

#include <cstdio>

#include "app/gui/modes/place_mode.h"
#include "app/gui/readouts.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::gui {

RefClickMode::RefClickMode(ModeAdapter& adapter) : InputMode(adapter) {}

std::string RefClickMode::Prompt() const {
  return "部品番号クリック割付モード　Ｃｔｒｌ＋クリックで基準部品取得　＋－で指定増減";
}

std::string RefClickMode::Readout(CPoint at) const {
  char number[16];
  std::snprintf(number, sizeof number, "%d", number_);
  return PointerReadout(at) + "  基準部品 " + Cp932ToUtf8(prefix_) + number + Cp932ToUtf8(suffix_);
}

ModeAnswer RefClickMode::Press(const ModePointer& p) {
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  const CSheet& sheet = a_.Sheet();
  const CPart* hit = PartAt(sheet, p.raw, a_.HitTolerance());
  if (!hit) return ModeAnswer::kContinue;
  std::string prefix, suffix;
  int number = 0;
  if (!hit->GetRefName(prefix, suffix, number)) return ModeAnswer::kContinue;
  auto remember = [&] {
    prefix_ = prefix;
    suffix_ = suffix;
    lastGateCount_ = static_cast<int>(hit->GetPackageMax());
    lastGate_ = lastGateCount_ > 1 ? static_cast<int>(hit->GetPackage()) : 0;
    partName_ = hit->GetPartName();
    value_ = hit->GetValName();
  };
  if (p.ctrl) {
    number_ = number;
    remember();
    a_.Redraw();
    return ModeAnswer::kContinue;
  }
  const Settings& s = AppSettings();
  if (s.GetInt("CopyIncrement", "OrderRef") == 0 && !EqualNoCase(prefix, prefix_))
    return ModeAnswer::kContinue;
  const bool nextGate =
      lastGate_ != 0 && static_cast<int>(hit->GetPackageMax()) == lastGateCount_ &&
      static_cast<int>(hit->GetPackage()) > lastGate_ &&
      EqualNoCase(hit->GetPartName(), partName_) && EqualNoCase(hit->GetValName(), value_);
  if (!nextGate) number_ += s.GetInt("CopyIncrement", "OrderOff");
  // The part's place in the sheet, to find it again inside the change.
  size_t index = 0;
  while (sheet.Parts()[index].get() != hit) ++index;
  const bool changes = number != number_;
  remember();
  if (changes) {
    const int n = number_;
    a_.Edit([&](CSheet& edited) { edited.Parts()[index]->SetRefNo(n, 1); });
    a_.Redraw();
    return ModeAnswer::kCommit;
  }
  a_.Redraw();
  return ModeAnswer::kContinue;
}

ModeAnswer RefClickMode::Key(int key, const ModePointer&) {
  if (key == kKeyEscape) return ModeAnswer::kCancel;
  if (key == kKeyPlus) ++number_;
  if (key == kKeyMinus) --number_;
  a_.Redraw();
  return ModeAnswer::kContinue;
}

}  // namespace tavro::gui
