// Wire groups: which wires and junction dots of a sheet form one connected
// group, and how wire labels name the groups (see connectivity.h).
#include <cstdint>
#include <memory>
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
  // Beside the list, per group: its contact box (a group whose box misses the
  // new wire's box cannot touch it) and its name fingerprint (skipping groups
  // that cannot carry the wire's label).
  std::vector<netkeys::PointBox> boxes;
  std::vector<uint64_t> nameBits;
  boxes.reserve(nets.size() + wires_.size());
  nameBits.reserve(nets.size() + wires_.size());
  for (const auto& group : nets) {
    boxes.push_back(netkeys::ContactBox(*group));
    nameBits.push_back(netkeys::NameBits(*group, true));
  }
  for (const auto& wire : wires_) {
    if (host.Step(true) != 0) return 1;
    CNet temp;
    GetWireOnJuncPoint(*wire, temp);
    const netkeys::PointBox tempBox = netkeys::ContactBox(temp);
    const std::string& name = wire->GetName();
    // A marker-like label never finds a group by name (markers never merge nets).
    const bool byName = !name.empty() && !IsMarkerName(name);
    const uint64_t bit = name.empty() ? 0 : netkeys::NameBit(name);
    bool placed = false;
    for (size_t g = 0; g < nets.size(); ++g) {
      if (host.Step(false) != 0) return 1;
      CNet& group = *nets[g];
      if (byName && (nameBits[g] & bit) != 0 && group.CheckNetName(name)) {
        group.Append(temp);
        placed = true;
      } else if (boxes[g].Meets(tempBox) && group.CheckPoint(temp)) {
        if (!name.empty()) {
          group.SetNetName(name);
          nameBits[g] |= bit;
        }
        group.Append(temp);
        placed = true;
      }
      if (placed) {
        boxes[g].Add(tempBox);
        break;
      }
    }
    if (!placed) {
      auto group = std::make_unique<CNet>(std::move(temp));
      if (!name.empty()) group->SetNetName(name);
      nets.push_back(std::move(group));
      boxes.push_back(tempBox);
      nameBits.push_back(bit);
    }
  }
  return NetCorrection(nets, 1);
}

}  // namespace tavro
