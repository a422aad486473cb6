// The project check of the clean-up (重複整理): what the log reports.
//
// Per sheet (after its tidying), through the sheet's point counts:
//   - net check, pins: a displayed part pin without a junction dot where
//     more than two wire ends and part pins meet (once per point);
//   - net check, wires: a wire end without a dot where more than two wire
//     ends meet (once per point; the wire is shown at its start);
//   - pin overlap: a displayed pin of a part whose connection point lies on
//     a displayed pin of another part whose box meets the first one's;
//   - free pins: the pins that belong to no part.
// Over the parts of the project, gathered as the numbering gathers them, in
// order: suffix errors (a package of two or more gates without a suffix, or
// a single part with one), undecided references ("?"; nothing more is
// checked on their references), reference errors (number 0), the highest
// number per prefix (letter case ignored; per sheet on request), duplicates
// (equal references; the same prefix and number with a suffix on one side
// only; the same reference without suffix with another part name or value),
// pairs of pins of one part with equal numbers, and on request the missing
// numbers below each prefix's highest.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/part_gather.h"
#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro {

class Host;

// A part the log lists (CP932 texts; `sheet` indexes the covered sheets).
struct PartFinding {
  std::string ref;
  std::string partName;
  size_t sheet = 0;
  CPoint at;  // the part's centre
};

// A pin (or, with wirePoint, a wire) the log lists.
struct PinFinding {
  std::string ref;  // the part's reference; empty for a free pin or a wire
  std::string pinNo;
  std::string pinName;
  std::string pinElect;  // the electrical type's name
  size_t sheet = 0;
  CPoint at;  // the pin's connection point; a wire's start
  bool wirePoint = false;
};

// The highest numbers of one block: the whole project, or one sheet.
struct HighestBlock {
  std::optional<size_t> sheet;
  std::vector<std::string> refs;  // the references without suffix, prefixes in the order met
};

// A sheet left as it was because its tidying would have changed its nets.
struct KeptSheet {
  size_t sheet = 0;
  std::vector<std::string> before;  // the nets that differed, as they were (SheetNetSignature)
  std::vector<std::string> after;   // and as they would have been
};

struct CleanupFindings {
  int partsUsed = 0;
  std::vector<PartFinding> duplicates;
  std::vector<PartFinding> undecided;
  std::vector<PartFinding> refErrors;
  std::vector<PartFinding> suffixErrors;
  int pinNoPairs = 0;
  std::vector<PinFinding> pinNoDuplicates;  // two lines per pair
  std::vector<PinFinding> pinOverlaps;
  std::vector<PinFinding> netCheck;
  std::vector<PinFinding> freePins;
  bool bySheet = false;
  std::vector<HighestBlock> highest;
  bool missingListed = false;
  std::vector<std::string> missing;
  int totalPins = 0;
  bool keepNets = false;  // the log has the section of the sheets kept
  std::vector<KeptSheet> kept;
};

// Adds the per-sheet findings of `sheet` (covered sheet `index`).
void CheckSheet(const CSheet& sheet, size_t index, CleanupFindings& findings);

struct ReferenceCheckOptions {
  bool bySheet = false;
  bool missing = false;  // ignored with bySheet
  // At most this many missing numbers are listed below one prefix.
  int maxMissing = 100000;
};

// Adds the reference findings of the gathered parts; false when the user
// stopped it. `warnings` (UTF-8) gets a prefix whose missing numbers were
// too many to list.
bool CheckReferences(const GatheredParts& gathered, const ReferenceCheckOptions& options,
                     CleanupFindings& findings, std::vector<std::string>& warnings);

}  // namespace tavro
