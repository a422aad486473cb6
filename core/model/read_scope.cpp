#include "core/model/read_scope.h"

#include "core/model/line.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// The pens of lines, as ReadScope::Values::widths holds them.
enum Pen : size_t { kPenWire, kPenPower, kPenBus, kPenLine };
constexpr const char* kWidthKeys[] = {"WireWidth", "PowerWidth", "BusWidth", "LineWidth"};

Pen PenOf(uint32_t type) {
  switch (type & kLineKindMask) {
    case kLineGraphic:
      return kPenLine;
    case kLineBus:
      return kPenBus;
    default:
      return (type & kLinePower) != 0 ? kPenPower : kPenWire;
  }
}

int32_t DefaultInt(const char* key) { return AppSettings().GetInt("Default", key); }

}  // namespace

thread_local const ReadScope::Values* ReadScope::current_ = nullptr;

ReadScope::ReadScope() {
  if (current_) return;
  Values v{};
  for (size_t pen = 0; pen < v.widths.size(); ++pen) v.widths[pen] = DefaultInt(kWidthKeys[pen]);
  v.pinNameHeight = DefaultInt("PinNameAttrHeight");
  v.pinNoHeight = DefaultInt("PinNoAttrHeight");
  values_ = v;
  current_ = &*values_;
}

ReadScope::~ReadScope() {
  if (values_) current_ = nullptr;
}

int32_t ReadScope::LineWidth(uint32_t type) {
  const Pen pen = PenOf(type);
  return current_ ? current_->widths[pen] : DefaultInt(kWidthKeys[pen]);
}

int32_t ReadScope::PinNameHeight() {
  return current_ ? current_->pinNameHeight : DefaultInt("PinNameAttrHeight");
}

int32_t ReadScope::PinNoHeight() {
  return current_ ? current_->pinNoHeight : DefaultInt("PinNoAttrHeight");
}

}  // namespace tavro
