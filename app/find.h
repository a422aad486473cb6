// Finding texts and names in sheets: the job behind the editor's find dialog
// (find next over the open sheets, or selecting every match) and behind
// `tavro find`. GUI-free; the dialog and the command line fill FindOptions.
//
// What is searched is chosen by the target mask (section "Find", "Target"):
// 0x1 part names, 0x2 references, 0x4 values, 0x8 pin names, 0x10 pin
// numbers, 0x20 the extra texts of parts, 0x100 wire names, 0x200 free
// texts. Buses and graphic lines are never searched. A text matches when it
// holds the pattern (with word: when it is the pattern); without matchCase
// both are compared upper-cased (double-byte characters left alone); hidden
// texts and hidden pins match only with hidden. An empty pattern matches
// nothing.
//
// The counting order of a sheet, which find next steps through and FindAll
// lists:
//   1. the wires whose name matches (0x100), in wire list order;
//   2. each part in list order: its part name (0x1), reference (0x2) and
//      value (0x4); then each pin's name (0x8) and then its number (0x10);
//      then each extra text (0x20);
//   3. the free pins (with 0x8 or 0x10), one match per pin: its name when
//      that matches under 0x8, else its number under 0x10;
//   4. the free texts (0x200).
// A part's own Find, given 0x8, 0x10 or 0x20, reports the first matching
// pin or extra text, which step 2 reaches again on its own; it is therefore
// asked only for the three attribute texts, so every place is counted once
// and find next never stops twice at the same text.
//
// Find next: every document keeps a found counter, the number of its matches
// already visited. A press takes the match numbered by the counter (0-based)
// and raises the counter; a new search first sets the counter to 0. With
// allSheets the walk goes on through the other documents in the caller's
// order, wrapping at the end of the list, each from its own counter; a
// document left exhausted keeps its counter until every document is
// exhausted. Then every counter goes back to 0 and nothing is found, so the
// press after that starts again at the first match (with one document: three
// matches, then "not found", then the first again).
//
// Select: every item with a match, once, in the counting order (wires, parts,
// free pins, free texts); the editor moves them into its selection.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/model/geometry.h"

namespace tavro {

class CObject;
class CSheet;
class Settings;

// Target bits besides the items' own selector bits (kFindPartName 0x1,
// kFindPartRef 0x2, kFindPartValue 0x4, kFindPinName 0x8, kFindPinNo 0x10,
// kFindPartText 0x20).
inline constexpr int kFindWire = 0x100;
inline constexpr int kFindText = 0x200;
// Every bit the search knows.
inline constexpr int kFindTargetMask = 0x33F;
// Patterns kept in the history Find1..FindN.
inline constexpr int kFindHistoryMax = 16;

struct FindOptions {
  std::string pattern;       // CP932; "Find1", the last pattern searched
  bool matchCase = false;    // "MatchCase"
  bool word = false;         // "Word": the whole text is the pattern
  bool hidden = false;       // "Hide": hidden texts and hidden pins are searched too
  bool allSheets = true;     // "AllSheet": find next goes on through the open sheets
  bool selectItems = false;  // "SelectItem": select every match instead of stepping
  int target = 770;          // "Target": the bits above

  // The options of section "Find"; the pattern is the first of the history.
  static FindOptions FromSettings(const Settings& settings);
  // Stores the options and puts a non-empty pattern at the front of the
  // history (an earlier equal entry is dropped; at most kFindHistoryMax
  // entries). False when the settings file could not be written.
  bool Store(Settings& settings) const;
};

// The stored patterns, Find1 first (up to the first missing or empty one).
std::vector<std::string> FindHistory(const Settings& settings);

struct FindMatch {
  int kind = 0;                   // kKindWire, kKindPart, kKindPin or kKindText
  const CObject* item = nullptr;  // the sheet's item: a wire, a part, a free pin, a free text
  int field = 0;                  // the target bit of the text that matched
  std::string text;               // the text that matched (CP932)
  CPoint point;                   // its position, as the item's Find gives it
};

// Every match of the sheet in the counting order.
std::vector<FindMatch> FindAll(const CSheet& sheet, const FindOptions& options);
// The items to select: the first match of each item that has one, in the
// counting order.
std::vector<FindMatch> SelectMatches(const CSheet& sheet, const FindOptions& options);

// One open document as find next walks it: the sheet searched (the document's
// main sheet) and the document's found counter. Neither is owned; both
// outlive the call.
struct FindDocument {
  const CSheet* sheet = nullptr;
  int* found = nullptr;
};

struct FindHit {
  size_t doc = 0;  // position in the caller's list of the document found in
  FindMatch match;
};

// One press of find next (newSearch: of the find button) starting in
// docs[current]. Nothing is found for a current position outside the list.
std::optional<FindHit> FindNext(std::span<const FindDocument> docs, size_t current,
                                const FindOptions& options, bool newSearch);

}  // namespace tavro
