#include "net/reference_connectivity.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/host.h"

namespace tavro::reference {

namespace {

CNetName MakeEntry(const CPart& part, const CPin& pin, const std::string& filePath, int fileNo) {
  CNetName e;
  e.SetFileName(filePath);
  e.SetFileNo(fileNo);
  e.SetPartName(part.GetPartName());
  e.SetRefName(part.GetPackageMax() < 2 ? part.GetRefName() : part.GetRefNameA());
  e.SetPin(pin);
  return e;
}

void NewNet(NetList& nets, const CPart& part, const CPin& pin, std::string_view name,
            const std::string& filePath, int fileNo) {
  auto net = std::make_unique<CNet>();
  net->Add(MakeEntry(part, pin, filePath, fileNo));
  if (!name.empty()) net->SetNetName(name);
  nets.push_back(std::move(net));
}

std::optional<size_t> FirstTouching(const NetList& nets, CPoint p, Host& host, bool& cancelled) {
  for (size_t n = 0; n < nets.size(); ++n) {
    if (host.Step(false) != 0) {
      cancelled = true;
      return std::nullopt;
    }
    if (nets[n]->CheckPoint(p)) return n;
  }
  return std::nullopt;
}

}  // namespace

int CreateWireGroup(const CSheet& sheet, NetList& nets) {
  if (sheet.Parts().empty()) return 0;
  Host& host = CurrentHost();
  host.BeginStage(kStageWireGroups, static_cast<int>(sheet.Wires().size()));
  for (const auto& wire : sheet.Wires()) {
    if (host.Step(true) != 0) return 1;
    CNet temp;
    temp.Add(*wire);
    for (const auto& j : sheet.Juncs())
      if (wire->CheckPoint(j->GetPoint())) temp.Add(*j);
    const std::string& name = wire->GetName();
    const bool byName = !name.empty() && !IsMarkerName(name);
    bool placed = false;
    for (auto& group : nets) {
      if (host.Step(false) != 0) return 1;
      if (byName && group->CheckNetName(name)) {
        group->Append(temp);
        placed = true;
      } else if (group->CheckPoint(temp)) {
        if (!name.empty()) group->SetNetName(name);
        group->Append(temp);
        placed = true;
      }
      if (placed) break;
    }
    if (!placed) {
      auto group = std::make_unique<CNet>(std::move(temp));
      if (!name.empty()) group->SetNetName(name);
      nets.push_back(std::move(group));
    }
  }
  return NetCorrection(nets, 1);
}

int CreatePinGroup(const CSheet& sheet, NetList& nets, const std::string& filePath, int fileNo) {
  Host& host = CurrentHost();
  host.BeginStage(kStagePinGroups, static_cast<int>(sheet.Parts().size()));
  std::vector<const CPart*> work;
  for (const auto& part : sheet.Parts()) {
    const std::string file = part->GetProperty("FILE");
    if (!file.empty() && host.IsFileOpen(ResolveSheetFile(file, filePath))) continue;
    work.push_back(part.get());
  }

  // Named points of reference-less parts.
  for (const CPart* part : work) {
    if (!part->GetRefName().empty()) continue;
    if (host.Step(true) != 0) return 1;
    for (const auto& pin : part->Pins()) {
      if (host.Step(false) != 0) return 1;
      const std::string& name = pin->GetName().empty() ? pin->GetNo() : pin->GetName();
      if (name.empty() || (!pin->IsDisp() && !pin->IsPower())) continue;
      const CPoint at = pin->GetEndPoint();
      std::optional<size_t> n;
      for (size_t k = 0; k < nets.size() && !n; ++k)
        if (nets[k]->CheckPoint(at)) n = k;
      if (n) {
        CNet& net = *nets[*n];
        if (pin->IsDisp()) {
          net.Add(CJunc(at));
          net.SetNetName(name);
        }
        if (pin->IsPower()) net.SetPower(true);
      } else {
        auto fresh = std::make_unique<CNet>();
        fresh->Add(CJunc(at));
        fresh->SetNetName(name);
        fresh->SetPower(pin->IsPower());
        nets.push_back(std::move(fresh));
      }
    }
  }
  if (NetCorrection(nets, 1) != 0) return 1;

  // Pins of referenced parts.
  for (const CPart* part : work) {
    if (part->GetRefName().empty()) continue;
    if (host.Step(true) != 0) return 1;
    for (const auto& pinPtr : part->Pins()) {
      const CPin& pin = *pinPtr;
      if (host.Step(false) != 0) return 1;
      if (pin.IsDisp()) {
        bool cancelled = false;
        const auto n = FirstTouching(nets, pin.GetEndPoint(), host, cancelled);
        if (cancelled) return 1;
        if (n) {
          nets[*n]->Add(MakeEntry(*part, pin, filePath, fileNo));
          continue;
        }
        int shown = 0;
        for (const CPart* other : work)
          for (const auto& q : other->Pins())
            if (q->IsDisp() && q->GetEndPoint() == pin.GetEndPoint()) ++shown;
        if (shown >= 2)
          NewNet(nets, *part, pin, "", filePath, fileNo);
        else if (!pin.IsElect(kPinNoConnect))
          NewNet(nets, *part, pin, kOpenPin1, filePath, fileNo);
      } else if (pin.IsPower()) {
        std::optional<size_t> named;
        if (!IsMarkerName(pin.GetName()))
          for (size_t n = 0; n < nets.size() && !named; ++n) {
            if (host.Step(false) != 0) return 1;
            if (nets[n]->CheckNetName(pin.GetName())) named = n;
          }
        if (named)
          nets[*named]->Add(MakeEntry(*part, pin, filePath, fileNo));
        else
          NewNet(nets, *part, pin, pin.GetName(), filePath, fileNo);
      } else if (!pin.IsElect(kPinNoConnect)) {
        NewNet(nets, *part, pin, kOpenPin2, filePath, fileNo);
      }
    }
  }
  return 0;
}

int NetCorrection(NetList& nets, int mode) {
  Host& host = CurrentHost();
  host.BeginStage(kStageMerge, static_cast<int>(nets.size()));
  // Every scan that merged something starts again from the head.
  for (size_t i = 0; i < nets.size();) {
    if (host.Step(true) != 0) return 1;
    CNet& net = *nets[i];
    bool merged = false;
    if (net.GetNameCount() > 0) {
      for (size_t j = i + 1; j < nets.size();) {
        if (net.CheckNetName(*nets[j])) {
          if (mode == 1)
            net.Append(*nets[j]);
          else
            net.Append2(*nets[j]);
          nets.erase(nets.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
        } else {
          ++j;
        }
      }
    }
    i = merged ? 0 : i + 1;
  }
  if (mode == 1) {
    for (size_t i = 0; i < nets.size();) {
      if (host.Step(true) != 0) return 1;
      bool merged = false;
      for (size_t j = i + 1; j < nets.size(); ++j) {
        if (host.Step(false) != 0) return 1;
        if (nets[i]->CheckPoint(*nets[j])) {
          nets[i]->Append(*nets[j]);
          nets.erase(nets.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
          break;
        }
      }
      i = merged ? 0 : i + 1;
    }
  }
  for (auto& net : nets) {
    if (host.Step(true) != 0) return 1;
    if (mode == 1)
      net->NetCorrection();
    else
      net->NetRefPinCorrection();
  }
  // Hidden pin entries where a displayed pin of the same reference and number is.
  std::set<std::pair<std::string, std::string>> shown;
  for (const auto& net : nets)
    for (const auto& e : net->Entries())
      if (e->GetPin().IsDisp()) shown.emplace(e->GetRefName(), e->GetPinNo());
  for (auto& net : nets)
    std::erase_if(net->Entries(), [&](const std::unique_ptr<CNetName>& e) {
      return !e->GetPin().IsDisp() && shown.contains({e->GetRefName(), e->GetPinNo()});
    });
  return 0;
}

int BuildNets(std::span<const NetSheet> sheets, NetList& nets) {
  nets.clear();
  NetList all;
  for (size_t i = 0; i < sheets.size(); ++i) {
    const NetSheet& s = sheets[i];
    if (s.sheet == nullptr) continue;
    const int number = s.number > 0 ? s.number : static_cast<int>(i) + 1;
    NetList one;
    if (CreateWireGroup(*s.sheet, one) != 0 ||
        CreatePinGroup(*s.sheet, one, s.filePath, number) != 0)
      return 1;
    for (auto& net : one) all.push_back(std::move(net));
  }
  if (NetCorrection(all, 0) != 0 || CSheet::SortNet(all) != 0) return 1;
  nets = std::move(all);
  return 0;
}

}  // namespace tavro::reference
