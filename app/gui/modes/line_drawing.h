// Putting drawn lines into a sheet, as the line modes do when an input is
// finished: the segments become wires, buses or graphic lines; a wire is
// split where it runs over a pin's end (when "PinEnd" is set); a segment
// that continues a line of its list end to end (same row or column, same
// type, nothing else connected at the joint) is joined with it; and every
// wire joint that calls for a junction dot gets one.
#pragma once

#include <vector>

#include "core/model/geometry.h"
#include "core/model/line.h"

namespace tavro {
class CSheet;
}

namespace tavro::gui {

// The angle modes of line input: free, fixed steps of 90° (arcs: 15°) and 45°.
enum AngleMode : int { kAngleFree = 0, kAngle90 = 1, kAngle45 = 2 };

// The point `to` constrained from `from` by an angle mode of line input;
// diagonal ends stay on the grid `grid`.
CPoint ConstrainLine(CPoint from, CPoint to, int angleMode, int grid);

struct DrawnLines {
  std::vector<CPoint> points;  // the polyline
  uint32_t type = kLineWire;   // type word of every segment
  int width = 8;
  int startArrow = 0;  // on the first segment's start
  int endArrow = 0;    // on the last segment's end
  bool splitAtPins = false;
};

// Adds the polyline to the sheet; the number of lines added (after joins).
int AddDrawnLines(CSheet& sheet, const DrawnLines& lines);

}  // namespace tavro::gui
