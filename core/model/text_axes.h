// The axes of a text direction, shared by the text's box layout and the
// drawing walk: the reading direction and the up direction of each quarter
// turn, and the font escapement that draws it.
#pragma once

#include <cstdint>

#include "core/model/geometry.h"

namespace tavro::text_detail {

struct Axes {
  int rx, ry;  // reading direction
  int ux, uy;  // up
};

inline Axes AxesOf(uint32_t dir) {
  switch (dir & 0x300) {
    case kDir90:
      return {0, 1, -1, 0};
    case kDir180:
      return {-1, 0, 0, -1};
    case kDir270:
      return {0, -1, 1, 0};
    default:
      return {1, 0, 0, 1};
  }
}

// Escapement of the font by direction, in tenths of a degree.
inline int32_t EscapementOf(uint32_t dir) {
  switch (dir & 0x300) {
    case kDir90:
      return 2700;
    case kDir180:
      return 1800;
    case kDir270:
      return 900;
    default:
      return 0;
  }
}

}  // namespace tavro::text_detail
