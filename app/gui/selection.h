// Selection: which items of a sheet are selected, as positions in the
// sheet's eight lists. The items stay where they are in the sheet (a
// selection never changes the order of the file); an edit of the selection
// works on copies of the selected items in a scratch sheet, through the
// sheet's own transforms, and writes the changed copies back over the items.
//
// A wire, bus or graphic line may be held by one end only (a rubber band:
// the line crossed the edge of the selecting rectangle); moving the
// selection then moves that end and leaves the other where it is. Rotating
// and mirroring leave such lines alone.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro::gui {

// The lists of a sheet, in the order the selection keeps them.
enum SelList : int {
  kSelWires,
  kSelBuses,
  kSelLines,
  kSelArcs,
  kSelJuncs,
  kSelTexts,
  kSelPins,
  kSelParts,
  kSelListCount
};

// How a line is held: by its start, its end, or whole.
enum SelGrab : uint8_t { kGrabStart = 1, kGrabEnd = 2, kGrabWhole = 3 };

struct SelEntry {
  uint32_t index = 0;
  uint8_t grab = kGrabWhole;
  bool operator==(const SelEntry&) const = default;
};

class Selection {
 public:
  bool Empty() const;
  // Number of selected items.
  int Count() const;
  // The entries of one list, by ascending index.
  const std::vector<SelEntry>& Entries(SelList list) const { return lists_[list]; }

  bool Contains(SelList list, uint32_t index) const;
  // Adds an item (a line already held by one end gets the other too).
  void Add(SelList list, uint32_t index, uint8_t grab = kGrabWhole);
  void Remove(SelList list, uint32_t index);
  // Adds that very item of `sheet` (a wire, bus, graphic line, arc,
  // junction, free text, free pin or part); false when the sheet does not
  // hold it.
  bool AddItem(const CSheet& sheet, const CObject* item);
  void Toggle(SelList list, uint32_t index);
  void Clear();
  bool operator==(const Selection&) const = default;

  // The lengths of a sheet's lists, and the items added past them since.
  using ListSizes = std::array<size_t, kSelListCount>;
  static ListSizes Sizes(const CSheet& sheet);
  static Selection AddedSince(const CSheet& sheet, const ListSizes& before);

  // Every item of `sheet`, whole.
  static Selection All(const CSheet& sheet);
  // The items whose boxes lie inside `r`; wires, buses and graphic lines
  // with one end inside are held by that end.
  static Selection InRect(const CSheet& sheet, const CRect& r);
  // The topmost item at `p` within `tol` mils, as one entry; false when
  // nothing is there. Small items win over large ones: texts, pins and
  // junctions before lines, lines and arcs before parts.
  static bool HitTest(const CSheet& sheet, CPoint p, int tol, SelList& list, uint32_t& index);

  // Drops entries beyond the ends of the sheet's lists (after the sheet
  // changed under a remembered selection).
  void ClampTo(const CSheet& sheet);

  // Copies of the selected items into a scratch sheet, in selection order,
  // with the grab flags of the lines and arcs set. With wholeOnly, lines held
  // by one end are left out.
  CSheet Copy(const CSheet& sheet, bool wholeOnly = false) const;
  // Writes the items of a scratch sheet made by Copy (with the same
  // wholeOnly) back over the selected items of `sheet`; grab flags are not
  // carried back.
  void WriteBack(const CSheet& copy, CSheet& sheet, bool wholeOnly = false) const;
  // Removes the selected items from `sheet` (lines held by one end too) and
  // clears the selection.
  void DeleteFrom(CSheet& sheet);
  // The union of the boxes of the selected whole items (empty when none).
  CRect Bounds(const CSheet& sheet) const;

 private:
  std::array<std::vector<SelEntry>, kSelListCount> lists_;
};

}  // namespace tavro::gui
