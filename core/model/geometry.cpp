#include "core/model/geometry.h"

#include <cstdio>
#include <cstdlib>

namespace tavro {

std::string FormatCoord(int32_t v) {
  // Whole and hundredths are formatted from the magnitude, so a negative value
  // shows one minus sign and a positive fraction (-1250 is " -12.50", not
  // " -12.-50"), and -50 keeps its sign ("  -0.50").
  int64_t mag = std::llabs(static_cast<int64_t>(v));
  long long whole = static_cast<long long>(mag / 100);
  int frac = static_cast<int>(mag % 100);
  char buf[32];
  if (v < 0) {
    char num[24];
    std::snprintf(num, sizeof num, "-%lld", whole);
    std::snprintf(buf, sizeof buf, "%4s.%02d", num, frac);
  } else {
    std::snprintf(buf, sizeof buf, "%4lld.%02d", whole, frac);
  }
  return buf;
}

}  // namespace tavro
