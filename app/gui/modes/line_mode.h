// LineMode: drawing wires (ワイヤ), buses (バス) and graphic lines (ライン) as
// polylines. A click gives the start, each further click a corner; a double
// click, a right click or Return ends the line and puts it into the sheet
// (see line_drawing.h). The angle mode (free, 90°, 45°) starts from the
// stored mode of the kind ("Line": "WireLockMode", "BusLockMode",
// "LineLockMode"); L, + and / step it; with "...AutoLock" set it returns to
// the stored mode after every corner. Backspace takes back the last corner.
// P switches a wire between a plain and a power wire; S steps the style of a
// graphic line, F6 and F7 its start and end arrows. Escape drops the line
// under way, and ends the mode when nothing is under way.
#pragma once

#include <memory>
#include <vector>

#include "app/gui/modes/input_mode.h"
#include "app/gui/modes/line_drawing.h"
#include "core/model/sheet.h"

namespace tavro::gui {

class LineMode : public InputMode {
 public:
  // kind: kLineWire, kLineBus or kLineGraphic.
  LineMode(ModeAdapter& adapter, uint32_t kind);

  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer& p) override;
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  const CSheet* Preview() const override { return Busy() ? &preview_ : nullptr; }
  bool Busy() const override { return !points_.empty(); }

  int AngleMode() const { return angle_; }
  bool Power() const { return power_; }
  int Style() const { return style_; }
  const std::vector<CPoint>& Points() const { return points_; }
  // The status text of an angle mode of line input.
  static const char* AngleName(int mode);

 private:
  ModeAnswer Finish();
  void UpdatePreview();
  uint32_t Type() const;
  int Width() const;

  uint32_t kind_;
  int storedAngle_;
  bool autoLock_;
  int angle_;
  bool power_ = false;
  int style_ = 0;
  int startArrow_ = 0;
  int endArrow_ = 0;
  std::vector<CPoint> points_;
  CPoint cursor_;
  CSheet preview_{kSheetScratch};
};

}  // namespace tavro::gui
