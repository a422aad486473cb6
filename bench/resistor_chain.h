// A generated design for the benchmarks: a chain of N resistors in rows of
// 50, each resistor's pin 2 wired to the next resistor's pin 1. Within a row
// the wire is one straight segment; from the last resistor of a row to the
// first of the next it runs down, back along the gap between the rows and
// down again (three segments). Every tenth connection is labelled with a name
// of its own ("N10", "N20", ...), so no two nets merge by name: the design has
// N - 1 nets of two pins each.
//
// Each resistor is a part with a body of four graphic lines, two pins
// numbered "1" and "2", the part name "RES", the reference R1..RN, the value
// "10k" and a hidden footprint text "&PCB&R1608".
#pragma once

#include <string>

#include "core/file/document.h"
#include "core/model/sheet.h"

namespace tavro::bench {

inline constexpr int kChainColumns = 50;
inline constexpr int kChainPitchX = 800;  // from one resistor to the next in a row
inline constexpr int kChainPitchY = 400;  // from one row to the next

// Adds the chain of `resistors` resistors to `sheet`.
inline void AddResistorChain(CSheet& sheet, int resistors) {
  int connection = 0;
  for (int i = 0; i < resistors; ++i) {
    const int col = i % kChainColumns, row = i / kChainColumns;
    const int x = col * kChainPitchX, y = -row * kChainPitchY;
    CPart& part = sheet.NewPart({x, y}, {x, y - 50}, {x + 400, y + 50}, 1, 0, 0, 0);
    part.NewLine({x, y - 50}, {x + 400, y - 50});
    part.NewLine({x + 400, y - 50}, {x + 400, y + 50});
    part.NewLine({x + 400, y + 50}, {x, y + 50});
    part.NewLine({x, y + 50}, {x, y - 50});
    part.SetPartName("RES", {x + 200, y - 60}, kOrgTopCenter);
    part.SetRefName("R" + std::to_string(i + 1), {x + 200, y + 60}, kOrgBottomCenter);
    part.SetValue("10k", {x + 200, y}, kOrgMiddleCenter);
    part.NewText("&PCB&R1608", {x, y}, 70, kTextHidden);
    CPin& p1 = part.NewPin({x, y}, {x - 100, y}, kPinPassive);
    p1.SetNo("1", {x, y}, 0);
    p1.SetPoint();
    CPin& p2 = part.NewPin({x + 400, y}, {x + 500, y}, kPinPassive);
    p2.SetNo("2", {x + 400, y}, 0);
    p2.SetPoint();
    part.CalcBoundRect(false);

    if (i + 1 == resistors) break;
    // The wire to pin 1 of the next resistor; the first segment carries the
    // label of every tenth connection.
    CLine* first;
    if (col + 1 < kChainColumns) {
      first = &sheet.NewWire({x + 500, y}, {x + 700, y});
    } else {
      const int turn = y - kChainPitchY / 2, next = y - kChainPitchY;
      first = &sheet.NewWire({x + 500, y}, {x + 500, turn});
      sheet.NewWire({x + 500, turn}, {-100, turn});
      sheet.NewWire({-100, turn}, {-100, next});
    }
    if (++connection % 10 == 0)
      first->SetName("N" + std::to_string(connection), {x + 520, y + 20}, kOrgBottomLeft);
  }
}

// A document whose main sheet holds the chain.
inline CSheetDoc MakeResistorChain(int resistors) {
  CSheetDoc doc;
  AddResistorChain(doc.GetSheet(), resistors);
  return doc;
}

// The bytes of the chain's sheet file (without a title frame).
inline std::string ResistorChainFile(int resistors) {
  return MakeResistorChain(resistors).Write(false);
}

}  // namespace tavro::bench
