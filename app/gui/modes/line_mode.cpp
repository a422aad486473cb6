#include "app/gui/modes/line_mode.h"

#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

constexpr int kStyleCount = 5;  // solid, dotted, dashed, dash-dot, dash-dot-dot
constexpr int kArrowSize = 100;

const char* KeyName(uint32_t kind) {
  switch (kind) {
    case kLineBus:
      return "Bus";
    case kLineGraphic:
      return "Line";
    default:
      return "Wire";
  }
}

}  // namespace

LineMode::LineMode(ModeAdapter& adapter, uint32_t kind) : InputMode(adapter), kind_(kind) {
  const Settings& s = AppSettings();
  const std::string name = KeyName(kind);
  storedAngle_ = s.GetInt("Line", name + "LockMode");
  if (storedAngle_ < kAngleFree || storedAngle_ > kAngle45) storedAngle_ = kAngleFree;
  autoLock_ = s.GetInt("Line", name + "AutoLock") != 0;
  angle_ = storedAngle_;
  if (kind_ == kLineGraphic) {
    style_ = s.GetInt("Default", "LineType");
    if (style_ < 0 || style_ >= kStyleCount) style_ = 0;
    startArrow_ = s.GetInt("Default", "StartArrow") ? kArrowSize : 0;
    endArrow_ = s.GetInt("Default", "EndArrow") ? kArrowSize : 0;
  }
}

const char* LineMode::AngleName(int mode) {
  switch (mode) {
    case kAngle90:
      return "９０度";
    case kAngle45:
      return "４５度";
    default:
      return "フリー";
  }
}

uint32_t LineMode::Type() const {
  uint32_t t = kind_;
  if (kind_ == kLineWire && power_) t |= kLinePower;
  if (kind_ == kLineGraphic) t |= static_cast<uint32_t>(style_) << 9;
  return t;
}

int LineMode::Width() const {
  const Settings& s = AppSettings();
  if (kind_ == kLineBus) return s.GetInt("Default", "BusWidth");
  if (kind_ == kLineGraphic) return s.GetInt("Default", "LineWidth");
  return s.GetInt("Default", power_ ? "PowerWidth" : "WireWidth");
}

std::string LineMode::Prompt() const {
  if (!Busy()) return "始点をクリック";
  std::string text;
  if (kind_ == kLineWire) text = "Ｐ：電源線切替え";
  if (kind_ == kLineGraphic) text = "Ｓ：線種切替え、Ｆ６：始点矢印、Ｆ７：終点矢印";
  return text + "  Backspace：直前取消し  Ｌ、＋、／：入力モード切替え  " + AngleName(angle_);
}

void LineMode::UpdatePreview() {
  preview_.DeleteContents();
  if (points_.empty()) return;
  std::vector<CPoint> pts = points_;
  pts.push_back(ConstrainLine(points_.back(), cursor_, angle_, a_.GridStep()));
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    CLine line(pts[i], pts[i + 1], Type());
    line.SetWidth(Width());
    if (i == 0) line.SetArrow(startArrow_, 0);
    if (i + 2 == pts.size()) line.SetArrow(line.GetStartArrow(), endArrow_);
    preview_.NewLine(line);
  }
  a_.Redraw();
}

ModeAnswer LineMode::Press(const ModePointer& p) {
  cursor_ = p.at;
  if (p.button == ModePointer::kRight) return Busy() ? Finish() : ModeAnswer::kContinue;
  if (p.button != ModePointer::kLeft) return ModeAnswer::kContinue;
  if (!Busy()) {
    points_.push_back(p.at);
    UpdatePreview();
    return ModeAnswer::kContinue;
  }
  const CPoint q = ConstrainLine(points_.back(), p.at, angle_, a_.GridStep());
  if (q != points_.back()) {
    points_.push_back(q);
    if (autoLock_) angle_ = storedAngle_;
  }
  if (p.doubleClick) return Finish();
  UpdatePreview();
  return ModeAnswer::kContinue;
}

ModeAnswer LineMode::Move(const ModePointer& p) {
  cursor_ = p.at;
  if (Busy()) UpdatePreview();
  return ModeAnswer::kContinue;
}

ModeAnswer LineMode::Key(int key, const ModePointer& p) {
  cursor_ = p.at;
  switch (key) {
    case kKeyEscape:
      if (!Busy()) return ModeAnswer::kCancel;
      points_.clear();
      break;
    case kKeyReturn:
      return Busy() ? Finish() : ModeAnswer::kContinue;
    case kKeyBackspace:
      if (!points_.empty()) points_.pop_back();
      break;
    case 'L':
    case kKeyPlus:
    case kKeySlash:
      angle_ = (angle_ + 1) % 3;
      break;
    case 'P':
      if (kind_ == kLineWire) power_ = !power_;
      break;
    case 'S':
      if (kind_ == kLineGraphic) style_ = (style_ + 1) % kStyleCount;
      break;
    case kKeyF6:
      if (kind_ == kLineGraphic) startArrow_ = startArrow_ ? 0 : kArrowSize;
      break;
    case kKeyF7:
      if (kind_ == kLineGraphic) endArrow_ = endArrow_ ? 0 : kArrowSize;
      break;
    default:
      return ModeAnswer::kContinue;
  }
  UpdatePreview();
  a_.Redraw();
  return ModeAnswer::kContinue;
}

ModeAnswer LineMode::Finish() {
  DrawnLines lines;
  lines.points = points_;
  lines.type = Type();
  lines.width = Width();
  lines.startArrow = startArrow_;
  lines.endArrow = endArrow_;
  lines.splitAtPins = AppSettings().GetInt("Line", "PinEnd") != 0;
  points_.clear();
  preview_.DeleteContents();
  if (autoLock_) angle_ = storedAngle_;
  a_.Redraw();
  if (lines.points.size() < 2) return ModeAnswer::kContinue;
  a_.Edit([&](CSheet& sheet) { AddDrawnLines(sheet, lines); });
  return ModeAnswer::kCommit;
}

}  // namespace tavro::gui
