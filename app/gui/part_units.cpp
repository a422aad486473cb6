#include "app/gui/part_units.h"

#include <vector>

#include "core/platform/dbcs.h"

namespace tavro::gui {

namespace {

bool Inverted(const CPart& p) { return (p.GetAttr() & kPartInverted) != 0; }

// A turn of a part about its origin: quarter turns counter-clockwise first,
// then the mirrors.
struct Turn {
  int quarters = 0;
  bool mirrorX = false;
  bool mirrorY = false;
};

Turn FromAngleWord(uint32_t angle) {
  return {static_cast<int>((angle & 0x300) >> 8), (angle & kPartMirrorX) != 0,
          (angle & kPartMirrorY) != 0};
}

void Apply(CPart& p, const Turn& t) {
  const CPoint c = p.GetOrg();
  for (int i = 0; i < t.quarters; ++i) p.Rotate(c, 1);
  if (t.mirrorX) p.MirrorX(c);
  if (t.mirrorY) p.MirrorY(c);
}

// The pins and graphic lines of a part, relative to its origin.
std::vector<CPoint> Shape(const CPart& p) {
  std::vector<CPoint> points;
  const CPoint o = p.GetOrg();
  for (const auto& pin : p.Pins()) {
    points.push_back(pin->GetStartPoint() - o);
    points.push_back(pin->GetEndPoint() - o);
  }
  for (const auto& l : p.Lines()) {
    points.push_back(l->GetStartPoint() - o);
    points.push_back(l->GetEndPoint() - o);
  }
  return points;
}

// The turn that makes `own` (the old part's gate as the library holds it)
// look like `old`; the angle word's reading is tried first, so a symmetric
// symbol keeps the word it had.
std::optional<Turn> MatchTurn(const CPart& old, const CPart& own) {
  const std::vector<CPoint> target = Shape(old);
  if (target.empty()) return std::nullopt;
  std::vector<Turn> tries{FromAngleWord(old.GetAngle())};
  for (int q = 0; q < 4; ++q)
    for (bool mirror : {false, true}) tries.push_back({q, mirror, false});
  for (const Turn& t : tries) {
    CPart g = own;
    Apply(g, t);
    if (Shape(g) == target) return t;
  }
  return std::nullopt;
}

// The gate the old part was placed from: its unit in its form.
const CPart* OwnGate(const CPart& old, const CSheet& gates) {
  for (const auto& g : gates.Parts())
    if (g->GetPackage() == old.GetPackage() && Inverted(*g) == Inverted(old)) return g.get();
  return nullptr;
}

bool SamePlace(const CText& a, const CText& b) {
  return a.GetPoint() == b.GetPoint() && a.GetOrg() == b.GetOrg() && a.GetDir() == b.GetDir() &&
         a.GetSize() == b.GetSize();
}

// An attribute text of the new unit holding `name`: where the new gate puts
// it when the old text stood where the old gate put it (shown and printed
// as the old one was), else the old text where the user put it.
CText Carry(const CText& oldText, const CText* ownText, const CText& newText,
            const std::string& name) {
  CText t = oldText;
  if (ownText != nullptr && SamePlace(oldText, *ownText)) {
    t = newText;
    t.Disp((oldText.GetAttr() & kTextHidden) == 0 ? 1 : 0);
    t.Print(oldText.IsPrint() ? 1 : 0);
  }
  t.SetName(name);
  return t;
}

}  // namespace

std::optional<size_t> StepUnit(const CPart& part, const CSheet& gates, UnitStep step) {
  const auto& list = gates.Parts();
  const unsigned unit = part.GetPackage();
  if (step == UnitStep::kInvert) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i]->GetPackage() == unit && Inverted(*list[i]) != Inverted(part)) return i;
    return std::nullopt;
  }
  // Among the gates of the part's form: the nearest unit number beyond the
  // part's in the direction of the step, else (wrapping) the farthest one
  // the other way; the first gate in package order of a number.
  const bool next = step == UnitStep::kNext;
  auto before = [next](unsigned a, unsigned b) { return next ? a < b : a > b; };
  std::optional<size_t> ahead, wrap;
  for (size_t i = 0; i < list.size(); ++i) {
    const CPart& g = *list[i];
    if (Inverted(g) != Inverted(part) || g.GetPackage() == unit) continue;
    const unsigned u = g.GetPackage();
    if (before(unit, u)) {
      if (!ahead || before(u, list[*ahead]->GetPackage())) ahead = i;
    } else if (!wrap || before(u, list[*wrap]->GetPackage())) {
      wrap = i;
    }
  }
  return ahead ? ahead : wrap;
}

std::string UnitRef(const std::string& oldRef, const std::string& gateRef) {
  if (oldRef.empty()) return gateRef;
  const CPart::RefParts old = CPart::SplitRef(oldRef);
  const CPart::RefParts gate = CPart::SplitRef(gateRef);
  return oldRef.substr(0, oldRef.size() - old.suffix.size()) + gate.suffix;
}

CPart PlaceUnit(const CPart& old, const CPart& gate, const CSheet& gates) {
  const CPart* own = OwnGate(old, gates);
  const std::optional<Turn> matched = own ? MatchTurn(old, *own) : std::nullopt;
  const Turn turn = matched.value_or(FromAngleWord(old.GetAngle()));

  CPart placed = gate;
  Apply(placed, turn);
  placed.Offset(old.GetOrg() - placed.GetOrg());
  // The old part's own gate put in the same place shows which attribute
  // texts the user moved.
  std::optional<CPart> ownPlaced;
  if (matched) {
    placed.SetAngle(old.GetAngle());
    ownPlaced = *own;
    Apply(*ownPlaced, turn);
    ownPlaced->Offset(old.GetOrg() - ownPlaced->GetOrg());
  }
  const CPart* o = ownPlaced ? &*ownPlaced : nullptr;
  // A package found through its alias names its gates in capitals: the
  // part keeps the spelling it had.
  const std::string& name =
      EqualNoCase(gate.GetPartName(), old.GetPartName()) ? old.GetPartName() : gate.GetPartName();
  placed.SetPartName(Carry(old.GetPartNameText(), o ? &o->GetPartNameText() : nullptr,
                           placed.GetPartNameText(), name));
  placed.SetRefName(Carry(old.GetRefNameText(), o ? &o->GetRefNameText() : nullptr,
                          placed.GetRefNameText(), UnitRef(old.GetRefName(), gate.GetRefName())));
  placed.SetValue(Carry(old.GetValNameText(), o ? &o->GetValNameText() : nullptr,
                        placed.GetValNameText(), old.GetValName()));

  // The old part's properties replace the gate's of the same name; the
  // others are added.
  for (const auto& t : old.Texts()) {
    if (t->IsProperty() == 0) continue;
    const std::string name = t->GetPropertyName();
    bool replaced = false;
    for (auto& n : placed.Texts()) {
      if (n->IsProperty() > 0 && EqualNoCase(n->GetPropertyName(), name)) {
        *n = *t;
        replaced = true;
        break;
      }
    }
    if (!replaced) placed.NewText(*t);
  }
  placed.CalcBoundRect(true);
  return placed;
}

}  // namespace tavro::gui
