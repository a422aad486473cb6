// The status bar's readouts of the editor (UTF-8): the pointer position and
// what the selection holds.
#pragma once

#include <string>

#include "core/model/geometry.h"

namespace tavro {
class CSheet;
}

namespace tavro::gui {

// "X:%4d.%02d Y:%4d.%02d" of a sheet point.
std::string PointerReadout(CPoint at);

// The right pane for a selection (the sheet of the selected items): the
// arrow size " 大きさ：%d" when only graphic lines are selected and one of
// them carries an arrow (the first such line's start arrow, else its end
// arrow); " 高さ :%d" for one free text, " 長さ :%d" for one free pin;
// " 選択数:%d" for several items; empty otherwise.
std::string SelectionReadout(const CSheet& selection);

}  // namespace tavro::gui
