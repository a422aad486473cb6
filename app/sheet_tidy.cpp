#include "app/sheet_tidy.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace tavro {

namespace {

// More rounds than any real sheet needs: merging and removing only shrink
// the sheet, but a wire end on two pins that overlap head to tail can be
// moved out and back again, so the bound keeps such a sheet from holding
// the command.
constexpr int kMaxRounds = 64;

// The ends of the wires, sorted.
std::vector<std::array<int32_t, 4>> WireEnds(const CSheet& sheet) {
  std::vector<std::array<int32_t, 4>> ends;
  ends.reserve(sheet.Wires().size());
  for (const auto& w : sheet.Wires())
    ends.push_back(
        {w->GetStartPoint().x, w->GetStartPoint().y, w->GetEndPoint().x, w->GetEndPoint().y});
  std::sort(ends.begin(), ends.end());
  return ends;
}

// CheckOnPin, counting the wires it changed (those whose ends are no longer
// there): a wire lying on two pins that overlap head to tail can be moved by
// one and moved back by the other, a hit each time but no change.
int CutWiresOnPins(CSheet& sheet) {
  const auto before = WireEnds(sheet);
  if (sheet.CheckOnPin() == 0) return 0;
  const auto after = WireEnds(sheet);
  std::vector<std::array<int32_t, 4>> gone;
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                      std::back_inserter(gone));
  return static_cast<int>(gone.size());
}

}  // namespace

TidyCounts TidySheet(CSheet& sheet, const TidyOptions& options) {
  TidyCounts counts;
  counts.empty = sheet.CleanNulItem();
  for (int round = 0; round < kMaxRounds; ++round) {
    const int before = counts.Total();
    sheet.NormalLines();
    if (options.cleanLine) counts.lines += sheet.CleanLine(options.wireJunc);
    counts.onPins += CutWiresOnPins(sheet);
    counts.duplicates += sheet.CleanDupItem();
    if (options.outside) counts.outside += sheet.CleanOutItem(options.width, options.height);
    sheet.RestoreLineDirections();
    if (counts.Total() == before) break;
  }
  return counts;
}

SheetDifference DiffSheets(const CSheet& before, const CSheet& after) {
  CSheet a(before), b(after);
  a.CleanSheet(b);
  auto count = [](const CSheet& s) {
    return static_cast<int>(s.Wires().size() + s.Buses().size() + s.Lines().size() +
                            s.Arcs().size() + s.Texts().size() + s.Juncs().size() +
                            s.Pins().size());
  };
  // Parts are not compared: a tidying removes a part only as being outside.
  const int partsGone =
      static_cast<int>(before.Parts().size()) - static_cast<int>(after.Parts().size());
  return {count(a) + (partsGone > 0 ? partsGone : 0), count(b)};
}

}  // namespace tavro
