#include "app/gui/modes/arc_mode.h"

#include <cmath>
#include <cstdio>

#include "app/gui/readouts.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {
constexpr double kDegrees = 57.29577951471995;
}

ArcMode::ArcMode(ModeAdapter& adapter) : InputMode(adapter) {
  const Settings& s = AppSettings();
  storedAngle_ = s.GetInt("Line", "ArcLockMode");
  if (storedAngle_ < 0 || storedAngle_ > 2) storedAngle_ = 0;
  autoLock_ = s.GetInt("Line", "ArcAutoLock") != 0;
  angle_ = storedAngle_;
}

const char* ArcMode::AngleName(int mode) {
  switch (mode) {
    case 1:
      return "１５度";
    case 2:
      return "４５度";
    default:
      return "フリー";
  }
}

int ArcMode::Radius(CPoint center, CPoint at) {
  const double dx = at.x - center.x, dy = at.y - center.y;
  return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

int ArcMode::Angle(CPoint center, CPoint at) {
  const int r = Radius(center, at);
  if (r == 0) return 0;
  double c = static_cast<double>(at.x - center.x) / r;
  c = std::fmax(-1.0, std::fmin(1.0, c));
  int s = static_cast<int>(std::acos(c) * kDegrees);
  if (at.y < center.y) s = 360 - s;
  return s % 360;
}

int ArcMode::Snapped(int angle) const {
  const int step = angle_ == 1 ? 15 : angle_ == 2 ? 45 : 0;
  if (step == 0) return angle;
  return ((angle + step / 2) / step * step) % 360;
}

std::string ArcMode::Prompt() const {
  if (given_ == 0) return "中心をクリック";
  if (given_ == 1) return "円弧の始点をクリック";
  return std::string("終点をクリック  SHIFT：強制円入力モード、Ｌ：入力モード切替え  ") +
         AngleName(angle_);
}

std::string ArcMode::Readout(CPoint at) const {
  if (given_ == 0) return {};
  char buf[64];
  const int r = Radius(center_, at);
  if (given_ == 1) {
    std::snprintf(buf, sizeof buf, " R:%d S:%d", r, Angle(center_, at));
  } else {
    std::snprintf(buf, sizeof buf, " R:%d S:%d E:%d", r, start_, Angle(center_, at));
  }
  return PointerReadout(at) + buf;
}

void ArcMode::UpdatePreview() {
  preview_.DeleteContents();
  const int width = AppSettings().GetInt("Default", "LineWidth");
  if (given_ == 1) {
    const int r = Radius(center_, cursor_);
    if (r > 0) preview_.NewArc(center_, r, 0, 0, 0, width);
  } else if (given_ == 2) {
    preview_.NewArc(center_, radius_, start_, Snapped(Angle(center_, cursor_)), 0, width);
  }
  a_.Redraw();
}

ModeAnswer ArcMode::Press(const ModePointer& p) {
  cursor_ = p.at;
  if (p.button == ModePointer::kRight) {
    given_ = 0;
    UpdatePreview();
    return ModeAnswer::kContinue;
  }
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  if (given_ == 0) {
    center_ = p.at;
    given_ = 1;
  } else if (given_ == 1) {
    radius_ = Radius(center_, p.at);
    if (radius_ == 0) return ModeAnswer::kContinue;
    start_ = Snapped(Angle(center_, p.at));
    given_ = 2;
  } else {
    const int end = p.shift ? start_ : Snapped(Angle(center_, p.at));
    const int width = AppSettings().GetInt("Default", "LineWidth");
    const CPoint c = center_;
    const int r = radius_, s = start_;
    given_ = 0;
    if (autoLock_) angle_ = storedAngle_;
    preview_.DeleteContents();
    a_.Edit([&](CSheet& sheet) { sheet.NewArc(c, r, s, end, 0, width); });
    a_.Redraw();
    return ModeAnswer::kCommit;
  }
  UpdatePreview();
  return ModeAnswer::kContinue;
}

ModeAnswer ArcMode::Move(const ModePointer& p) {
  cursor_ = p.at;
  if (Busy()) UpdatePreview();
  return ModeAnswer::kContinue;
}

ModeAnswer ArcMode::Key(int key, const ModePointer& p) {
  cursor_ = p.at;
  if (key == kKeyEscape) {
    if (!Busy()) return ModeAnswer::kCancel;
    given_ = 0;
  } else if (key == 'L' || key == kKeyPlus || key == kKeySlash) {
    angle_ = (angle_ + 1) % 3;
  } else {
    return ModeAnswer::kContinue;
  }
  UpdatePreview();
  return ModeAnswer::kContinue;
}

}  // namespace tavro::gui
