// RefClickMode (部品番号クリック指定): numbering parts by clicking them in
// turn. Ctrl+click on a part takes it as the base (its number becomes the
// current number). A plain click on a part whose reference splits gives it
// the next number: the current number grows by "CopyIncrement"/"OrderOff",
// except for the next gate of the package just numbered (same gate count,
// a larger gate number, same part name and value), which keeps it. Unless
// "CopyIncrement"/"OrderRef" is set, only parts of the base's prefix are
// numbered. + and - change the current number. Every change is undoable.
#pragma once

#include <string>

#include "app/gui/modes/input_mode.h"

namespace tavro::gui {

class RefClickMode : public InputMode {
 public:
  explicit RefClickMode(ModeAdapter& adapter);
  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer&) override { return ModeAnswer::kContinue; }
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  std::string Readout(CPoint at) const override;
  const CSheet* Preview() const override { return nullptr; }
  bool Busy() const override { return false; }
  int Current() const { return number_; }

 private:
  int number_ = 0;
  int lastGate_ = 0;
  int lastGateCount_ = 0;
  std::string prefix_;
  std::string suffix_;
  std::string partName_;
  std::string value_;
};

}  // namespace tavro::gui
