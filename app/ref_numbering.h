// Reference numbering of gathered parts (部品番号割付): the counters per
// reference prefix and the two passes over the parts of a project gathered
// onto one working sheet (see part_gather.h).
//
//   Mode 0 numbers the undecided references (those holding "?") only; mode 1
//   first makes every reference undecided and numbers them all.
//
//   Grouping: with EachSheet (mode 0) or a page offset (mode 1) every sheet
//   counts on its own; its group is the sheet's index in the project less
//   one (the number in the "[n]" of its DOCNAME tag). Otherwise all parts
//   share group -1.
//
//   Counters: one per prefix (letter case ignored) and group, holding the
//   highest number in use; at most kMaxCounters of them.
//
//   Pass 1 ("リファレンスの最終部品番号をチェック") raises each counter to the
//   highest number its parts carry. Then every counter is raised to at least
//   group * pageOffset + firstNo - 1 (the page offset in mode 1 only).
//
//   Pass 2 ("リファレンスを計算") gives each undecided part, in the order of
//   the working sheet, a number:
//     - a part of fewer than two gates takes its counter's next number
//       (counter + step) through SetRefNo, so "REFFORM" shapes it;
//     - a gate of a package of two or more gates joins the lowest-numbered
//       package that is not full for it: a number n carried by a decided part
//       of the same prefix, part name and value (letter case ignored; the same
//       sheet with grouping) none of whose parts with number n is the same
//       gate. Without one, it opens a new package at the counter's next
//       number. So U?A, U?B, U?A of one 7400 become U1A, U1B, U2A.
//
// Counter overflow: when the table reaches kMaxCounters in pass 1, "Total
// reference counter over flow" is reported; the pass goes on raising the
// counters it has, but adds no more, so that no number already in use is
// handed out again. In pass 2 a part whose counter is missing gets a new
// counter at firstNo; when that fills the table (or it is full already),
// "Total reference counter overflow" is reported and the pass stops. The
// parts numbered so far keep their numbers.
#pragma once

#include <string>
#include <vector>

#include "core/model/sheet.h"

namespace tavro {

struct NumberingOptions {
  int mode = 0;            // 0 undecided references only, 1 all
  int step = 1;            // 1 or 2
  int firstNo = 1;         // first number of each counter, 1 to 9999
  int pageOffset = 0;      // mode 1: each sheet starts at group * pageOffset + firstNo
  bool eachSheet = false;  // mode 0: each sheet counts on its own
};

inline constexpr size_t kMaxCounters = 1000;
inline constexpr const char* kMsgCounterOverFlow = "Total reference counter over flow";
inline constexpr const char* kMsgCounterOverflow = "Total reference counter overflow";

struct NumberingOutcome {
  bool cancelled = false;
  int counters = 0;                   // entries of the counter table
  std::vector<std::string> messages;  // the overflow messages shown (UTF-8)
  std::vector<std::string> warnings;  // parts left undecided and why (UTF-8)
};

// Whether this run numbers each sheet on its own.
bool NumberingGroupsBySheet(const NumberingOptions& options);

// Numbers the parts of a gathered working sheet in place, with progress
// through the current host (a stop there gives cancelled; the parts are then
// partly numbered and must not be written back).
NumberingOutcome NumberGatheredParts(CSheet& gathered, const NumberingOptions& options);

// The message shown after a run: "リファレンスカウンター %4d" (UTF-8).
std::string CounterMessage(int counters);

}  // namespace tavro
