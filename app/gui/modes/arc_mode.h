// ArcMode (曲線): an arc by centre, start and end. The first click gives the
// centre, the second the radius and the start angle, the third the end
// angle; with Shift held the third click makes a full circle. The angle mode
// (free, 15° steps, 45° steps; "Line"/"ArcLockMode", L steps it) rounds the
// angles. The readout shows the radius and the angles of the pointer.
#pragma once

#include "app/gui/modes/input_mode.h"
#include "core/model/sheet.h"

namespace tavro::gui {

class ArcMode : public InputMode {
 public:
  explicit ArcMode(ModeAdapter& adapter);

  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer& p) override;
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  std::string Readout(CPoint at) const override;
  const CSheet* Preview() const override { return Busy() ? &preview_ : nullptr; }
  bool Busy() const override { return given_ > 0; }

  int AngleMode() const { return angle_; }
  // The status text of an angle mode of arc input.
  static const char* AngleName(int mode);
  // The radius of the pointer seen from the centre (rounded toward zero)
  // and its angle: arccos(dx / R) in degrees, 360 - that below the centre.
  static int Radius(CPoint center, CPoint at);
  static int Angle(CPoint center, CPoint at);

 private:
  int Snapped(int angle) const;
  void UpdatePreview();

  int given_ = 0;  // 0 nothing, 1 the centre, 2 the start too
  int angle_;
  bool autoLock_;
  int storedAngle_;
  CPoint center_;
  int radius_ = 0;
  int start_ = 0;
  CPoint cursor_;
  CSheet preview_{kSheetScratch};
};

}  // namespace tavro::gui
