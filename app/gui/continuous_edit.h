// Continuous editing (連続): after an attribute editor is confirmed with
// 連続 checked, it opens again on the next item of the same kind, with the
// names and numbers of the last edit stepped by the copy increment.
//
// The editing order of each kind:
//  - pins (free pins, and the pins of a part): the pin order of the sheet
//    (visible pins first; pins pointing left top to bottom, pointing down
//    left to right, pointing right bottom to top, pointing up right to
//    left, oblique pins last), i.e. counter-clockwise round a part body, the
//    way pins are numbered;
//  - free texts: top to bottom, then left to right;
//  - wires, buses and graphic lines: within their own list and among lines
//    of the same lie (horizontal, vertical, other): horizontal and other
//    lines by their start point top to bottom, then left to right; vertical
//    lines left to right, then bottom to top.
// Items at the same place keep their list order. At the end of the order
// the run goes on at its start when the kind's "...Ring" setting is on.
//
// The next editor shows the next item's own values, except that its name
// (for pins: number and name) is the name just confirmed, stepped, when the
// kind's copy increment is enabled and that name is not empty.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/gui/attribute_fields.h"
#include "app/gui/copy_increment.h"
#include "app/gui/selection.h"
#include "core/model/sheet.h"

namespace tavro::gui {

// Positions in a list, in editing order.
std::vector<uint32_t> PinEditingOrder(const ItemList<CPin>& pins);
std::vector<uint32_t> TextEditingOrder(const ItemList<CText>& texts);
// The lines of the list that lie like `like`, in editing order.
std::vector<uint32_t> LineEditingOrder(const ItemList<CLine>& lines, const CLine& like);

// The item after `current` in `order`; at the end the first when `ring`
// (which may be `current` itself). None when `current` is not in the order.
std::optional<uint32_t> NextInOrder(const std::vector<uint32_t>& order, uint32_t current,
                                    bool ring);
// The next item of the sheet's list (wires, buses, lines, texts or pins)
// after the item at `current`, in editing order.
std::optional<uint32_t> NextItem(const CSheet& sheet, SelList list, uint32_t current, bool ring);

// What the editor shows for the next item after `done` was confirmed.
LineFields NextLineFields(const LineFields& done, const CLine& next, const CopyIncrement& inc);
PinFields NextPinFields(const PinFields& done, const CPin& next, const CopyIncrement& inc);
TextFields NextTextFields(const TextFields& done, const CText& next, const CopyIncrement& inc);

}  // namespace tavro::gui
