#include "app/cleanup_check.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// The part pins of a sheet by where they lie, so that counting the pins at a
// point (CPin::CheckPoint, a pin's box grown by one) looks at the pins near
// it only.
class PinGrid {
 public:
  explicit PinGrid(const CSheet& sheet) {
    for (const auto& part : sheet.Parts())
      for (const auto& pin : part->Pins()) {
        if (!pin->IsDisp()) continue;
        const CRect box =
            CRect(pin->GetStartPoint(), pin->GetEndPoint()).Normalized().Inflated(1, 1);
        const int64_t x0 = Cell(box.left), x1 = Cell(box.right);
        const int64_t y0 = Cell(box.top), y1 = Cell(box.bottom);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
          wide_.push_back(pin.get());
          continue;
        }
        for (int64_t x = x0; x <= x1; ++x)
          for (int64_t y = y0; y <= y1; ++y) cells_[CellKey(x, y)].push_back(pin.get());
      }
  }
  int Count(CPoint p) const {
    int n = 0;
    if (auto it = cells_.find(CellKey(Cell(p.x), Cell(p.y))); it != cells_.end())
      for (const CPin* pin : it->second) n += pin->CheckPoint(p) ? 1 : 0;
    for (const CPin* pin : wide_) n += pin->CheckPoint(p) ? 1 : 0;
    return n;
  }

 private:
  static constexpr int kShift = 8;
  static constexpr int64_t kMaxCells = 64;
  static int64_t Cell(int32_t v) { return v >> kShift; }
  static uint64_t CellKey(int64_t x, int64_t y) {
    return (static_cast<uint64_t>(x) << 32) ^ static_cast<uint32_t>(y);
  }
  std::unordered_map<uint64_t, std::vector<const CPin*>> cells_;
  std::vector<const CPin*> wide_;
};

PinFinding PinLine(const std::string& ref, const CPin& pin, size_t sheet) {
  PinFinding f;
  f.ref = ref;
  f.pinNo = pin.GetNo();
  f.pinName = pin.GetName();
  const char* type = pin.GetEleName();
  f.pinElect = type ? type : "";
  f.sheet = sheet;
  f.at = pin.GetEndPoint();
  return f;
}

void CheckNets(const CSheet& sheet, size_t index, CleanupFindings& f) {
  std::unordered_set<uint64_t> dots;
  for (const auto& j : sheet.Juncs()) dots.insert(PointKey(j->GetPoint()));
  std::unordered_map<uint64_t, int> ends;  // wires with an end at the point
  for (const auto& w : sheet.Wires()) {
    ++ends[PointKey(w->GetStartPoint())];
    if (w->GetEndPoint() != w->GetStartPoint()) ++ends[PointKey(w->GetEndPoint())];
  }
  auto endsAt = [&ends](CPoint p) {
    auto it = ends.find(PointKey(p));
    return it == ends.end() ? 0 : it->second;
  };
  const PinGrid grid(sheet);

  std::unordered_set<uint64_t> reported;
  for (const auto& part : sheet.Parts())
    for (const auto& pin : part->Pins()) {
      if (!pin->IsDisp()) continue;
      const CPoint p = pin->GetEndPoint();
      if (dots.contains(PointKey(p)) || endsAt(p) + grid.Count(p) <= 2) continue;
      if (reported.insert(PointKey(p)).second)
        f.netCheck.push_back(PinLine(part->GetRefName(), *pin, index));
    }
  reported.clear();
  for (const auto& w : sheet.Wires())
    for (const CPoint p : {w->GetEndPoint(), w->GetStartPoint()}) {
      if (dots.contains(PointKey(p)) || endsAt(p) <= 2 || !reported.insert(PointKey(p)).second)
        continue;
      PinFinding wire;
      wire.wirePoint = true;
      wire.sheet = index;
      wire.at = w->GetStartPoint();
      f.netCheck.push_back(std::move(wire));
    }
}

// Whether a displayed pin of `part` holds the point.
bool OnPinOf(const CPart& part, CPoint p) {
  for (const auto& pin : part.Pins())
    if (pin->CheckPoint(p)) return true;
  return false;
}

void CheckPinOverlap(const CSheet& sheet, size_t index, CleanupFindings& f) {
  const auto& parts = sheet.Parts();
  std::vector<CRect> boxes;
  for (const auto& part : parts) boxes.push_back(part->GetSimpleBoundingRect().Normalized());
  // The pairs of parts whose boxes meet, found along x and taken in list order.
  std::vector<size_t> byLeft(parts.size());
  for (size_t i = 0; i < byLeft.size(); ++i) byLeft[i] = i;
  std::stable_sort(byLeft.begin(), byLeft.end(),
                   [&](size_t a, size_t b) { return boxes[a].left < boxes[b].left; });
  std::vector<std::pair<size_t, size_t>> pairs;
  for (size_t a = 0; a < byLeft.size(); ++a)
    for (size_t b = a + 1; b < byLeft.size() && boxes[byLeft[b]].left <= boxes[byLeft[a]].right;
         ++b)
      if (boxes[byLeft[a]].Intersects(boxes[byLeft[b]]))
        pairs.emplace_back(std::min(byLeft[a], byLeft[b]), std::max(byLeft[a], byLeft[b]));
  std::sort(pairs.begin(), pairs.end());
  for (const auto& [i, j] : pairs) {
    for (const auto& [one, other] : {std::pair{i, j}, std::pair{j, i}})
      for (const auto& pin : parts[one]->Pins())
        if (pin->IsDisp() && OnPinOf(*parts[other], pin->GetEndPoint()))
          f.pinOverlaps.push_back(PinLine(parts[one]->GetRefName(), *pin, index));
  }
}

PartFinding PartLine(const CPart& part, size_t sheet) {
  return {part.GetRefName(), part.GetPartName(), sheet, part.GetCenter()};
}

}  // namespace

void CheckSheet(const CSheet& sheet, size_t index, CleanupFindings& f) {
  CheckNets(sheet, index, f);
  CheckPinOverlap(sheet, index, f);
  for (const auto& pin : sheet.Pins()) f.freePins.push_back(PinLine({}, *pin, index));
}

bool CheckReferences(const GatheredParts& gathered, const ReferenceCheckOptions& options,
                     CleanupFindings& f, std::vector<std::string>& warnings) {
  const auto& parts = gathered.Sheet().Parts();
  Host& host = CurrentHost();
  host.BeginStage(kStageCleanRefs, static_cast<int>(parts.size()));
  f.partsUsed = static_cast<int>(parts.size());
  f.bySheet = options.bySheet;

  struct Seen {
    CPart::RefParts ref;
    std::string upperA;
    size_t sheet = 0;
  };
  std::vector<Seen> seen(parts.size());
  std::vector<bool> duplicate(parts.size());
  // Earlier parts by their reference without suffix and by prefix and
  // number: every conflict of the three rules shares one of the two.
  std::unordered_map<std::string, std::vector<size_t>> byRefA, byPrefixNo;
  auto prefixNo = [](const CPart::RefParts& r) {
    return ToUpper(r.prefix) + '\x01' + std::to_string(r.number);
  };
  // The highest number per prefix (and sheet): its block and the part.
  struct Highest {
    size_t block = 0;
    size_t part = 0;
  };
  std::map<std::pair<size_t, std::string>, Highest> highest;
  std::vector<std::vector<std::pair<std::string, size_t>>> blockEntries;  // (prefix key, part)
  std::vector<std::optional<size_t>> blockSheets;
  std::map<size_t, size_t> sheetBlock;

  for (size_t i = 0; i < parts.size(); ++i) {
    if (host.Step(true) != 0) return false;
    const CPart& part = *parts[i];
    const PartOrigin* origin = gathered.OriginOf(part);
    Seen& s = seen[i];
    s.sheet = origin ? origin->source : 0;
    s.ref = CPart::SplitRef(part.GetRefName());
    s.upperA = ToUpper(part.GetRefNameA());
    const PartFinding line = PartLine(part, s.sheet);

    if ((part.GetPackageMax() >= 2) == s.ref.suffix.empty()) f.suffixErrors.push_back(line);

    // Pairs of pins with one number.
    std::unordered_map<std::string, std::vector<size_t>> byNo;
    const auto& pins = part.Pins();
    for (size_t a = 0; a < pins.size(); ++a) {
      std::vector<size_t>& same = byNo[ToUpper(pins[a]->GetNo())];
      for (size_t b : same) {
        ++f.pinNoPairs;
        f.pinNoDuplicates.push_back(PinLine(part.GetRefName(), *pins[b], s.sheet));
        f.pinNoDuplicates.push_back(PinLine(part.GetRefName(), *pins[a], s.sheet));
      }
      same.push_back(a);
    }

    if (s.ref.undecided) {
      f.undecided.push_back(line);
      continue;
    }
    if (s.ref.number == 0) {
      f.refErrors.push_back(line);
    } else {
      const size_t sheetKey = options.bySheet ? s.sheet : 0;
      auto [it, fresh] = highest.try_emplace({sheetKey, ToUpper(s.ref.prefix)});
      if (fresh) {
        auto [b, newBlock] = sheetBlock.try_emplace(sheetKey, blockEntries.size());
        if (newBlock) {
          blockEntries.emplace_back();
          blockSheets.push_back(options.bySheet ? std::optional<size_t>(sheetKey) : std::nullopt);
        }
        it->second = {b->second, i};
        blockEntries[b->second].emplace_back(it->first.second, i);
      } else if (s.ref.number > seen[it->second.part].ref.number) {
        it->second.part = i;
      }
    }

    // Duplicates among the earlier parts.
    std::vector<size_t> earlier = byRefA[s.upperA];
    const std::string pn = prefixNo(s.ref);
    const auto& samePn = byPrefixNo[pn];
    earlier.insert(earlier.end(), samePn.begin(), samePn.end());
    std::sort(earlier.begin(), earlier.end());
    earlier.erase(std::unique(earlier.begin(), earlier.end()), earlier.end());
    for (size_t k : earlier) {
      const CPart& other = *parts[k];
      const Seen& o = seen[k];
      const bool sameRef = EqualNoCase(part.GetRefName(), other.GetRefName());
      const bool oneSuffix = EqualNoCase(s.ref.prefix, o.ref.prefix) &&
                             s.ref.number == o.ref.number &&
                             s.ref.suffix.empty() != o.ref.suffix.empty();
      const bool otherPart =
          s.upperA == o.upperA && (!EqualNoCase(part.GetPartName(), other.GetPartName()) ||
                                   !EqualNoCase(part.GetValName(), other.GetValName()));
      if (sameRef || oneSuffix || otherPart) duplicate[i] = duplicate[k] = true;
    }
    byRefA[s.upperA].push_back(i);
    byPrefixNo[pn].push_back(i);
  }
  for (size_t i = 0; i < parts.size(); ++i)
    if (duplicate[i]) f.duplicates.push_back(PartLine(*parts[i], seen[i].sheet));
  for (const auto& p : parts) f.totalPins += p->GetPinCount();

  // The blocks of highest numbers: sheets in order.
  std::vector<size_t> blockOrder(blockEntries.size());
  for (size_t b = 0; b < blockOrder.size(); ++b) blockOrder[b] = b;
  std::stable_sort(blockOrder.begin(), blockOrder.end(), [&](size_t a, size_t b) {
    return blockSheets[a].value_or(0) < blockSheets[b].value_or(0);
  });
  for (size_t b : blockOrder) {
    HighestBlock block;
    block.sheet = blockSheets[b];
    const size_t sheetKey = block.sheet.value_or(0);
    for (const auto& [prefix, first] : blockEntries[b])
      block.refs.push_back(parts[highest.at({sheetKey, prefix}).part]->GetRefNameA());
    f.highest.push_back(std::move(block));
  }

  // Missing numbers below each prefix's highest.
  if (options.missing && !options.bySheet) {
    f.missingListed = true;
    std::unordered_set<std::string> used;
    for (const Seen& s : seen) used.insert(s.upperA);
    for (const auto& entries : blockEntries)
      for (const auto& [prefixKey, first] : entries) {
        const size_t top = highest.at({0, prefixKey}).part;
        const std::string& prefix = seen[top].ref.prefix;
        const int64_t last = seen[top].ref.number;
        const int64_t shown = std::min<int64_t>(last - 1, options.maxMissing);
        for (int64_t n = 1; n <= shown; ++n) {
          std::string ref = prefix + std::to_string(n);
          if (!used.contains(ToUpper(ref))) f.missing.push_back(std::move(ref));
        }
        if (last - 1 > shown)
          warnings.push_back(Cp932ToUtf8(prefix) + ": missing numbers listed up to " +
                             std::to_string(shown) + " only (the highest is " +
                             std::to_string(last) + ")");
      }
  }
  return true;
}

}  // namespace tavro
