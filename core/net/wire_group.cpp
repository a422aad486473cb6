// Wire groups: which wires and junction dots of a sheet form one connected
// group, and how wire labels name the groups (see connectivity.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/net/net_keys.h"
#include "core/platform/host.h"

namespace tavro {

// ---------------------------------------------------------------------------
// Contact between groups

bool CNet::CheckPoint(CPoint p) const {
  for (const auto& w : wires_)
    if (w->GetStartPoint() == p || w->GetEndPoint() == p) return true;
  for (const auto& j : juncs_)
    if (j->GetPoint() == p) return true;
  // Hidden pins never make contact by position.
  for (const auto& e : entries_)
    if (e->GetPin().IsDisp() && e->GetPin().GetEndPoint() == p) return true;
  return false;
}

bool CNet::CheckPoint(const CNet& other) const {
  for (const auto& w : other.wires_)
    if (CheckPoint(w->GetStartPoint()) || CheckPoint(w->GetEndPoint())) return true;
  for (const auto& j : other.juncs_)
    if (CheckPoint(j->GetPoint())) return true;
  for (const auto& e : other.entries_)
    if (e->GetPin().IsDisp() && CheckPoint(e->GetPin().GetEndPoint())) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Wire groups

void CSheet::GetWireOnJuncPoint(const CLine& wire, CNet& group) const {
  group.Add(wire);
  const netkeys::PointBox reach = netkeys::HitBox(wire);  // nothing outside it is hit
  for (const auto& j : juncs_)
    if (reach.Holds(j->GetPoint()) && wire.CheckPoint(j->GetPoint())) group.Add(*j);
}

int CSheet::CreateWireGroup(NetList& nets) {
  if (parts_.empty()) return 0;
  Host& host = CurrentHost();
  host.BeginStage(kStageWireGroups, static_cast<int>(wires_.size()));
  // The groups by their contact points and names, and the dots by where
  // they lie: each wire finds the first group (in list order) that carries
  // its label or touches it among the groups the indexes name, not by a
  // walk over all of them.
  netkeys::ContactIndex index;
  for (uint32_t g = 0; g < nets.size(); ++g) {
    index.AddPoints(g, *nets[g]);
    index.AddNames(g, *nets[g]);
  }
  std::vector<const CJunc*> dots;
  dots.reserve(juncs_.size());
  for (const auto& j : juncs_) dots.push_back(j.get());
  const netkeys::DotGrid grid(dots);

  for (const auto& wire : wires_) {
    if (host.Step(true) != 0) return 1;
    CNet temp;
    grid.WireOnDots(*wire, temp);
    const std::string& name = wire->GetName();
    // A marker-like label never finds a group by name (markers never merge nets).
    const bool byName = !name.empty() && !IsMarkerName(name);
    std::optional<uint32_t> first;
    if (byName)
      first = index.FirstNamed(name, [&](uint32_t g) { return nets[g]->CheckNetName(name); });
    netkeys::ForEachContactPoint(temp, [&](CPoint p) {
      if (auto g = index.FirstAt(p, first)) first = g;
    });
    if (first) {
      CNet& group = *nets[*first];
      // A group found by its label already carries it (the name is then kept once).
      if (!name.empty()) {
        group.SetNetName(name);
        index.AddName(*first, name);
      }
      group.Append(temp);
      index.AddPoints(*first, temp);
    } else {
      const auto g = static_cast<uint32_t>(nets.size());
      auto group = std::make_unique<CNet>(std::move(temp));
      if (!name.empty()) {
        group->SetNetName(name);
        index.AddName(g, name);
      }
      index.AddPoints(g, *group);
      nets.push_back(std::move(group));
    }
  }
  return NetCorrection(nets, 1);
}

}  // namespace tavro
