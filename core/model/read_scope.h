// What stays fixed while a sheet body is read: the values of section
// "Default" of the settings that the record readers give the items they
// read (the pen width of every line, the heights of the empty pin texts)
// and the font engine's batch (FontBatch) that measures their texts. The
// values are taken from the settings once, when the outermost scope opens,
// instead of once per item; outside a scope every item asks the settings
// itself, so both give the same items. A later scope sees the settings as
// they are then. Scopes nest (the inner one uses the values of the outer)
// and belong to the thread that opened them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/platform/font.h"

namespace tavro {

class ReadScope {
 public:
  ReadScope();
  ~ReadScope();
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;

  // The pen width of a line of `type` ("Default": "WireWidth", "PowerWidth",
  // "BusWidth" or "LineWidth" by the kind and the power bit).
  static int32_t LineWidth(uint32_t type);
  // The height of an empty pin name / pin number text ("Default":
  // "PinNameAttrHeight", "PinNoAttrHeight").
  static int32_t PinNameHeight();
  static int32_t PinNoHeight();

 private:
  struct Values {
    std::array<int32_t, 4> widths;  // by pen: wire, power, bus, graphic line
    int32_t pinNameHeight;
    int32_t pinNoHeight;
  };
  // The values of the open scopes of this thread (nullptr when none is open).
  static thread_local const Values* current_;

  std::optional<Values> values_;  // only in the outermost scope
  FontBatch fonts_;
};

}  // namespace tavro
