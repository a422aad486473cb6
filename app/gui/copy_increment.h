// Copy increment (section "CopyIncrement" of the settings, the page
// コピー＆編集): the steps by which names and numbers grow when items are
// copied, and from one item to the next in continuous editing (連続).
//
// Pasting: the items of a paste that would repeat what the sheet already
// holds are stepped, kind by kind: when one pasted part's reference is
// already on the sheet, every pasted part with a numbered reference gets
// IncRefName(PartRef); when one pasted free pin's number (or name) is
// already a free pin's number (name), every pasted pin number (name) is
// stepped; likewise the names of wires, buses and graphic lines within
// their lists, and free texts (when "TextEnable" is set). So a block copied
// within a sheet gets new numbers all alike (R1, R2 -> R11, R12 with a step
// of 10), while a sheet pasted into an empty one arrives as it was copied.
// References still undecided ("R?") stay undecided.
#pragma once

#include <string>
#include <string_view>

#include "core/model/sheet.h"

namespace tavro::gui {

struct CopyIncrement {
  // Each step is 0 when its "...Enable" value is off.
  int partRef = 0;
  int pinNo = 0;
  int pinName = 0;
  int wireName = 0;
  int busName = 0;
  int lineName = 0;
  int text = 0;
  // Continuous editing: whether the order wraps around (再帰処理), and
  // whether an item already edited in the run may be edited again
  // (再設定許可; texts always may).
  bool lineRing = false;
  bool pinRing = true;
  bool textRing = true;
  bool lineReEdit = true;
  bool pinReEdit = true;

  static CopyIncrement FromSettings();
  // The name step of a line of this type (wire, bus, graphic line).
  int LineName(uint32_t lineType) const;
};

// `name` with its trailing number stepped as CText::IncName steps it
// (unchanged for step 0, an empty name or one holding "?").
std::string Stepped(std::string_view name, int step);

// Steps the items of `pasted` that would repeat names of `target` (see
// above). Returns the number of names changed.
int ApplyPasteIncrement(CSheet& pasted, const CSheet& target, const CopyIncrement& inc);

}  // namespace tavro::gui
