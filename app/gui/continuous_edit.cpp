#include "app/gui/continuous_edit.h"

#include <algorithm>
#include <array>
#include <functional>

#include "core/model/geometry.h"

namespace tavro::gui {

namespace {

// A sort key per item; the list position breaks ties, so the order is total.
using Key = std::array<int64_t, 4>;

template <class Item, class KeyOf>
std::vector<uint32_t> Ordered(const ItemList<Item>& items, KeyOf keyOf,
                              const std::function<bool(const Item&)>& take) {
  std::vector<std::pair<Key, uint32_t>> keyed;
  for (uint32_t i = 0; i < items.size(); ++i)
    if (take(*items[i])) keyed.emplace_back(keyOf(*items[i]), i);
  std::sort(keyed.begin(), keyed.end());
  std::vector<uint32_t> out;
  out.reserve(keyed.size());
  for (const auto& k : keyed) out.push_back(k.second);
  return out;
}

// The pin order of CPin::operator<, as a key.
Key PinKey(const CPin& p) {
  const CPoint s = p.GetStartPoint();
  const int64_t hidden = p.IsDisp() ? 0 : 1;
  switch (p.GetAngle() & kDirMask) {
    case kDir180:
      return {hidden, 0, -int64_t{s.y}, s.x};
    case kDir270:
      return {hidden, 1, s.x, s.y};
    case kDir0:
      return {hidden, 2, s.y, -int64_t{s.x}};
    case kDir90:
      return {hidden, 3, -int64_t{s.x}, -int64_t{s.y}};
    default:  // oblique: list order
      return {hidden, 4, 0, 0};
  }
}

Key TopDownKey(CPoint p) { return {-int64_t{p.y}, p.x, 0, 0}; }

enum class Lie { kHorizontal, kVertical, kOther };
Lie LieOf(const CLine& l) {
  if (l.IsHorizontal()) return Lie::kHorizontal;
  if (l.IsVertical()) return Lie::kVertical;
  return Lie::kOther;
}

// A name stepped from the one just confirmed, or the next item's own.
std::string NextName(const std::string& done, const std::string& own, int step) {
  return step != 0 && !done.empty() ? Stepped(done, step) : own;
}

}  // namespace

std::vector<uint32_t> PinEditingOrder(const ItemList<CPin>& pins) {
  return Ordered<CPin>(pins, PinKey, [](const CPin&) { return true; });
}

std::vector<uint32_t> TextEditingOrder(const ItemList<CText>& texts) {
  return Ordered<CText>(
      texts, [](const CText& t) { return TopDownKey(t.GetPoint()); },
      [](const CText&) { return true; });
}

std::vector<uint32_t> LineEditingOrder(const ItemList<CLine>& lines, const CLine& like) {
  const Lie lie = LieOf(like);
  return Ordered<CLine>(
      lines,
      [lie](const CLine& l) {
        const CPoint s = l.GetStartPoint();
        return lie == Lie::kVertical ? Key{s.x, s.y, 0, 0} : TopDownKey(s);
      },
      [lie](const CLine& l) { return LieOf(l) == lie; });
}

std::optional<uint32_t> NextInOrder(const std::vector<uint32_t>& order, uint32_t current,
                                    bool ring) {
  const auto at = std::find(order.begin(), order.end(), current);
  if (at == order.end()) return std::nullopt;
  if (at + 1 != order.end()) return *(at + 1);
  if (ring) return order.front();
  return std::nullopt;
}

std::optional<uint32_t> NextItem(const CSheet& sheet, SelList list, uint32_t current, bool ring) {
  switch (list) {
    case kSelPins:
      if (current >= sheet.Pins().size()) return std::nullopt;
      return NextInOrder(PinEditingOrder(sheet.Pins()), current, ring);
    case kSelTexts:
      if (current >= sheet.Texts().size()) return std::nullopt;
      return NextInOrder(TextEditingOrder(sheet.Texts()), current, ring);
    case kSelWires:
    case kSelBuses:
    case kSelLines: {
      const ItemList<CLine>& lines = list == kSelWires   ? sheet.Wires()
                                     : list == kSelBuses ? sheet.Buses()
                                                         : sheet.Lines();
      if (current >= lines.size()) return std::nullopt;
      return NextInOrder(LineEditingOrder(lines, *lines[current]), current, ring);
    }
    default:
      return std::nullopt;
  }
}

LineFields NextLineFields(const LineFields& done, const CLine& next, const CopyIncrement& inc) {
  LineFields f = ReadLineFields(next);
  f.name = NextName(done.name, f.name, inc.LineName(next.GetType()));
  return f;
}

PinFields NextPinFields(const PinFields& done, const CPin& next, const CopyIncrement& inc) {
  PinFields f = ReadPinFields(next);
  f.number = NextName(done.number, f.number, inc.pinNo);
  f.name = NextName(done.name, f.name, inc.pinName);
  return f;
}

TextFields NextTextFields(const TextFields& done, const CText& next, const CopyIncrement& inc) {
  TextFields f = ReadTextFields(next);
  f.text = NextName(done.text, f.text, inc.text);
  return f;
}

}  // namespace tavro::gui
