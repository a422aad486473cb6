#include "app/gui/copy_increment.h"

#include <set>
#include <utility>

#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

int Step(const Settings& s, const char* key) {
  const std::string enable = std::string(key) + "Enable";
  return s.GetInt("CopyIncrement", enable) != 0 ? s.GetInt("CopyIncrement", key) : 0;
}

// Steps the names `text` reaches in `pasted` when one of them is among the
// non-empty names it reaches in `target` (exact bytes: names of nets and pins
// are told apart by case).
template <class Item, class Text>
int StepNames(ItemList<Item>& pasted, const ItemList<Item>& target, int step, Text text) {
  if (step == 0 || pasted.empty()) return 0;
  std::set<std::string> present;
  for (const auto& item : target)
    if (const std::string& n = text(std::as_const(*item)).GetName(); !n.empty()) present.insert(n);
  bool repeats = false;
  for (const auto& item : pasted) repeats = repeats || present.count(text(*item).GetName()) > 0;
  if (!repeats) return 0;
  int changed = 0;
  for (const auto& item : pasted)
    if (text(*item).IncName(step)) ++changed;
  return changed;
}

}  // namespace

CopyIncrement CopyIncrement::FromSettings() {
  const Settings& s = AppSettings();
  CopyIncrement c;
  c.partRef = Step(s, "PartRef");
  c.pinNo = Step(s, "PinNo");
  c.pinName = Step(s, "PinName");
  c.wireName = Step(s, "WireName");
  c.busName = Step(s, "BusName");
  c.lineName = Step(s, "LineName");
  c.text = Step(s, "Text");
  c.lineRing = s.GetInt("CopyIncrement", "LineRing") != 0;
  c.pinRing = s.GetInt("CopyIncrement", "PinRing") != 0;
  c.textRing = s.GetInt("CopyIncrement", "TextRing") != 0;
  c.lineReEdit = s.GetInt("CopyIncrement", "LineReEdit") != 0;
  c.pinReEdit = s.GetInt("CopyIncrement", "PinReEdit") != 0;
  return c;
}

int CopyIncrement::LineName(uint32_t lineType) const {
  switch (lineType & kLineKindMask) {
    case kLineGraphic:
      return lineName;
    case kLineBus:
      return busName;
    default:
      return wireName;
  }
}

std::string Stepped(std::string_view name, int step) {
  CText t;
  t.SetName(std::string(name));
  t.IncName(step);
  return t.GetName();
}

int ApplyPasteIncrement(CSheet& pasted, const CSheet& target, const CopyIncrement& inc) {
  int changed = 0;
  if (inc.partRef != 0) {
    bool repeats = false;
    for (const auto& p : pasted.Parts())
      repeats = repeats || (p->RefCheck() && target.FindPartRef(p->GetRefNameA()));
    if (repeats)
      for (const auto& p : pasted.Parts())
        if (p->RefCheck()) {
          p->IncRefName(inc.partRef);
          ++changed;
        }
  }
  // Each getter reaches the text of a pasted item and, const, of an item of
  // the target.
  struct PinNo {
    CText& operator()(CPin& p) const { return p.NoText(); }
    const CText& operator()(const CPin& p) const { return p.GetNoText(); }
  };
  struct PinName {
    CText& operator()(CPin& p) const { return p.NameText(); }
    const CText& operator()(const CPin& p) const { return p.GetNameText(); }
  };
  struct Label {
    CText& operator()(CLine& l) const { return l.NameText(); }
    const CText& operator()(const CLine& l) const { return l.GetNameText(); }
  };
  struct Itself {
    CText& operator()(CText& t) const { return t; }
    const CText& operator()(const CText& t) const { return t; }
  };
  changed += StepNames(pasted.Pins(), target.Pins(), inc.pinNo, PinNo{});
  changed += StepNames(pasted.Pins(), target.Pins(), inc.pinName, PinName{});
  changed += StepNames(pasted.Wires(), target.Wires(), inc.wireName, Label{});
  changed += StepNames(pasted.Buses(), target.Buses(), inc.busName, Label{});
  changed += StepNames(pasted.Lines(), target.Lines(), inc.lineName, Label{});
  changed += StepNames(pasted.Texts(), target.Texts(), inc.text, Itself{});
  return changed;
}

}  // namespace tavro::gui
