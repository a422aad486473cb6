// The pin-level index (CSheet::NetIndex): the net name of every pin of the
// parts of a (working) sheet, for the component-oriented writers of formats
// 19 (PCAD), 21 (SPICE) and 22 (TVR). The names stay on the pins
// (CPin::SetNetName) until the next index; pins no net reached carry
// kNetIndexMark.
#include <unordered_map>
#include <unordered_set>

#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/net/netlist_writers.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

bool StartsWithDigit(std::string_view s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

// The name a net goes under in the index: for SPICE the first of its names
// that begins with a digit (a simulator node number), else its first name.
std::string ChosenName(int format, const CNet& net) {
  if (format == 21 || format == -21)
    for (const std::string& n : net.Names())
      if (StartsWithDigit(n)) return n;
  return net.GetName();
}

}  // namespace

int CSheet::NetIndex(int format, const NetList& nets, int flag) {
  const bool spice = format == 21 || format == -21;
  Host& host = CurrentHost();
  host.BeginStage(kStageIndex, static_cast<int>(nets.size()));

  // Every pin starts unreached; parts are found by the reference their
  // pin entries carry (gate-stripped for multi-gate packages).
  std::unordered_map<std::string, std::vector<CPart*>> byRef;
  for (const auto& part : parts_) {
    for (const auto& pin : part->Pins()) pin->SetNetName(std::string(kNetIndexMark));
    const std::string ref = part->GetPackageMax() >= 2 ? part->GetRefNameA() : part->GetRefName();
    if (!ref.empty()) byRef[ToUpper(ref)].push_back(part.get());
  }

  // The names the named nets go under; a generated number never takes one of
  // them (nor "0", the simulator's ground), so that two nets never share a name.
  std::vector<std::string> names(nets.size());
  std::unordered_set<std::string> used;
  if (spice) used.insert("0");
  for (size_t i = 0; i < nets.size(); ++i) {
    if (!nets[i]->CheckNet()) continue;
    names[i] = ChosenName(format, *nets[i]);
    if (!names[i].empty()) used.insert(ToUpper(names[i]));
  }

  unsigned counter = static_cast<unsigned>(flag);
  for (size_t i = 0; i < nets.size(); ++i) {
    if (host.Step(true) != 0) return 1;
    const CNet& net = *nets[i];
    if (!net.CheckNet()) continue;
    std::string name = names[i];
    if (name.empty()) {
      do {
        name = spice ? netlist::Sprintf("%u", counter) : netlist::Sprintf("NET%06u", counter);
        ++counter;
      } while (used.count(ToUpper(name)) != 0);
    }
    for (const auto& entry : net.Entries()) {
      auto it = byRef.find(ToUpper(entry->GetRefName()));
      if (it == byRef.end()) continue;
      for (CPart* part : it->second) {
        for (const auto& pin : part->Pins()) {
          if (!EqualNoCase(pin->GetNo(), entry->GetPinNo())) continue;
          const std::string& old = pin->GetNetName();
          if (old == kNetIndexMark)
            pin->SetNetName(name);
          else if (old != name)
            pin->SetNetName(old + "&&" + name);
        }
      }
    }
  }
  return 0;
}

}  // namespace tavro
