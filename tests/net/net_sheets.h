// Small sheets for the connectivity tests, built in code: resistors, power
// symbols, gates of a multi-gate package and wires with labels.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/net.h"

namespace tavro::test {

// The elect word of a hidden pin of the given type.
constexpr uint32_t HiddenPin(int type) { return static_cast<uint32_t>(type) | kPinHidden; }

// A pin on a part; the number and name texts are laid out at the root.
inline CPin& AddPin(CPart& part, CPoint root, CPoint end, const std::string& no,
                    uint32_t elect = kPinPassive, const std::string& name = "") {
  CPin& pin = part.NewPin(root, end, elect);
  if (!no.empty()) pin.SetNo(no, root, kOrgBottomLeft);
  if (!name.empty()) pin.SetName(name, root, kOrgBottomLeft);
  pin.SetPoint();
  return pin;
}

// A resistor whose body runs from (x, y) to (x + 400, y): pin 1 ends at
// (x - 300, y), pin 2 at (x + 700, y).
inline CPart& AddResistor(CSheet& sheet, const std::string& ref, int x, int y) {
  CPart& part = sheet.NewPart({x, y}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  part.SetPartName("RES", {x, y + 100}, kOrgBottomLeft);
  part.SetRefName(ref, {x, y + 200}, kOrgBottomLeft);
  part.NewLine({x, y}, {x + 400, y});
  AddPin(part, {x, y}, {x - 300, y}, "1");
  AddPin(part, {x + 400, y}, {x + 700, y}, "2");
  part.CalcBoundRect();
  return part;
}
inline CPoint Pin1(int x, int y) { return {x - 300, y}; }
inline CPoint Pin2(int x, int y) { return {x + 700, y}; }

// A power symbol without reference: one Power pin named `name` whose
// connection point is (x, y).
inline CPart& AddGnd(CSheet& sheet, int x, int y, const std::string& name = "GND",
                     bool hidden = false) {
  CPart& part = sheet.NewPart({x, y}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  part.SetPartName(name, {x, y - 200}, kOrgBottomLeft);
  part.NewLine({x - 100, y - 100}, {x + 100, y - 100});
  AddPin(part, {x, y - 100}, {x, y}, "", kPinPower | (hidden ? uint32_t{kPinHidden} : 0u), name);
  part.CalcBoundRect();
  return part;
}

// A wire, with a label above its start when `label` is not empty.
inline CLine& AddWire(CSheet& sheet, CPoint a, CPoint b, const std::string& label = "") {
  CLine& wire = sheet.NewWire(a, b);
  if (!label.empty()) wire.SetName(label, a + CPoint(20, 10), kOrgBottomLeft);
  return wire;
}

// One gate of a package of `gates` gates (reference like "U1A"): displayed
// pins with the given numbers ending at (x - 300, y - 200 * i), and hidden
// Power pins (number, name) inside the body.
inline CPart& AddGate(CSheet& sheet, const std::string& ref, unsigned gates, unsigned gate, int x,
                      int y, const std::vector<std::string>& shown,
                      const std::vector<std::pair<std::string, std::string>>& hiddenPower) {
  CPart& part = sheet.NewPart({x, y}, {0, 0}, {0, 0}, gates, gate, 0, 0);
  part.SetPartName("7400", {x, y + 100}, kOrgBottomLeft);
  part.SetRefName(ref, {x, y + 200}, kOrgBottomLeft);
  part.NewLine({x, y + 50}, {x + 400, y - 450});
  int i = 0;
  for (const auto& no : shown) {
    const int py = y - 200 * i++;
    AddPin(part, {x, py}, {x - 300, py}, no);
  }
  for (const auto& [no, name] : hiddenPower)
    AddPin(part, {x + 200, y}, {x + 200, y - 100}, no, HiddenPin(kPinPower), name);
  part.CalcBoundRect();
  return part;
}

// The references and pin numbers of a net's entries, as "R1-2".
inline std::vector<std::string> Nodes(const CNet& net) {
  std::vector<std::string> out;
  for (const auto& e : net.Entries()) out.push_back(e->GetRefName() + "-" + e->GetPinNo());
  return out;
}

// The first net holding the node "REF-NO", or nullptr.
inline const CNet* NetOf(const NetList& nets, const std::string& node) {
  for (const auto& net : nets)
    for (const auto& n : Nodes(*net))
      if (n == node) return net.get();
  return nullptr;
}

// A pin entry (reference, pin number) for nets built by hand.
inline CNetName Entry(const std::string& ref, const std::string& no) {
  CNetName e;
  e.SetRefName(ref);
  CPin pin({0, 0}, {300, 0}, kPinPassive);
  pin.SetNo(no, {0, 0}, kOrgBottomLeft);
  e.SetPin(pin);
  return e;
}

// A net of entries (reference, pin number) with the given names.
inline std::unique_ptr<CNet> MakeNet(
    std::initializer_list<std::pair<std::string, std::string>> nodes,
    std::initializer_list<std::string> names = {}) {
  auto net = std::make_unique<CNet>();
  for (const auto& [ref, no] : nodes) net->Add(Entry(ref, no));
  for (const std::string& n : names) net->SetNetName(n);
  return net;
}

}  // namespace tavro::test
