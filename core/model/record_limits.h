// Limits of the stored records of the model: the smallest number of bytes
// each record takes, so that a count read from a file can be checked against
// what remains of the data before anything is read or allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/file/archive.h"

namespace tavro::record_detail {

inline constexpr size_t kMinJuncRecord = 8;   // a point
inline constexpr size_t kMinLineRecord = 20;  // type and two points
inline constexpr size_t kMinArcRecord = 24;   // center, radius, two angles, type
inline constexpr size_t kMinPinRecord = 28;   // two points, angle, elect, text mask
inline constexpr size_t kMinTextRecord = 33;  // empty string, point, size, attr, rectangle
// Points, box, four words, text mask and four counts.
inline constexpr size_t kMinPartRecord = 60;

// Throws ArchiveError unless `count` records of at least `minSize` bytes each
// fit in what remains of the archive.
inline void CheckCount(const CArchive& ar, uint32_t count, size_t minSize, const char* what) {
  if (count > ar.Remaining() / minSize)
    throw ArchiveError("damaged data at byte " + std::to_string(ar.Position()) + ": " +
                       std::to_string(count) + " " + what + " announced, but only " +
                       std::to_string(ar.Remaining()) + " bytes remain");
}

}  // namespace tavro::record_detail
