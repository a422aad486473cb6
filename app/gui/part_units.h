// The units (gates) of a package on a placed part: 次の部品 / 前の部品 step
// to the following or preceding unit of the package, 部品論理反転 to the
// same unit in its other logical form. GUI-free.
//
// A gate whose attribute word has bit value 2 is the inverted form of its
// unit (a NAND drawn as an OR with inverted inputs, say). Stepping stays
// among the gates of the part's own form, by unit number (GetPackage), and
// wraps around; inverting takes the gate of the same unit number in the
// other form.
//
// The chosen gate replaces the part where it stands: its origin lands on the
// old origin, it is turned and mirrored as the old part is, and it keeps the
// old reference's prefix and number (with its own suffix: U1A -> U1B, U?A ->
// U?B), the old value and the old part's properties. The turn is read from
// the geometry: the old part's own gate (same unit, same form) is tried in
// the eight orientations until its pins and lines lie where the old part's
// do, so a part turned and mirrored in any order is matched; only when that
// fails is the angle word applied (quarter turns first, then the mirrors).
// An attribute text the user left where its gate put it goes where the new
// gate puts it; one the user moved stays where it is.
#pragma once

#include <cstdint>
#include <optional>

#include "core/model/part.h"
#include "core/model/sheet.h"

namespace tavro::gui {

// The attribute word bit of a gate in its inverted logical form.
inline constexpr uint32_t kPartInverted = 0x2;

enum class UnitStep { kNext, kPrevious, kInvert };

// The position in `gates` (a package's gates, in package order) of the gate
// `step` leads to from `part`; nullopt when the package has no such gate.
std::optional<size_t> StepUnit(const CPart& part, const CSheet& gates, UnitStep step);

// `gate` made to stand in the place of `old` (see above); `gates` is the
// package both belong to.
CPart PlaceUnit(const CPart& old, const CPart& gate, const CSheet& gates);

// The reference of a new unit: the old reference's prefix and number (or
// "?") with the suffix of the gate's reference.
std::string UnitRef(const std::string& oldRef, const std::string& gateRef);

}  // namespace tavro::gui
