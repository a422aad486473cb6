// Tidying one sheet (重複整理): empty items out, lines in normal form,
// collinear lines merged, wires on pins cut back, duplicates out and, on
// request, items outside the paper out; the lines then get their own
// direction back (a line put in normal form is marked while it is tidied).
//
// The steps after the first are repeated until a round changes nothing: a
// merge can line two wires up for a further merge, and a second clean-up of
// a tidied sheet then finds nothing left to do.
#pragma once

#include <cstdint>

#include "core/model/sheet.h"

namespace tavro {

struct TidyOptions {
  bool cleanLine = true;  // merge collinear wires, buses and lines
  bool wireJunc = false;  // junction dots limit the merging of wires
  bool outside = false;   // remove items outside the sheet
  int32_t width = 0;      // the sheet (with outside)
  int32_t height = 0;
};

// What a tidying did, as the members counted it.
struct TidyCounts {
  int empty = 0;       // zero-length lines, empty texts, arcs of no radius
  int lines = 0;       // lines merged into others or cut back
  int onPins = 0;      // wires cut back along pins
  int duplicates = 0;  // duplicated items
  int outside = 0;     // items outside the sheet

  int Total() const { return empty + lines + onPins + duplicates + outside; }
};

TidyCounts TidySheet(CSheet& sheet, const TidyOptions& options);

// The items a tidying removed and added: `before` and `after` reduced to what
// differs (CSheet::CleanSheet); both empty when the sheet did not change.
struct SheetDifference {
  int removed = 0;
  int added = 0;
  bool Empty() const { return removed == 0 && added == 0; }
};
SheetDifference DiffSheets(const CSheet& before, const CSheet& after);

}  // namespace tavro
