// Merging and ordering nets: within one sheet (mode 1: by name and by
// contact) and across the sheets of a project (mode 0: by name only), and the
// nets of a list of sheets as the netlist command builds them.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/net/net_keys.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// Removes the entries of hidden pins wherever a displayed pin with the same
// reference and pin number (byte-exact) is an entry of any net: a multi-gate
// package repeats its hidden power pins in every gate. The displayed pins are
// gathered first (removing hidden entries does not change them).
void DropHiddenDuplicates(NetList& nets) {
  std::set<std::pair<std::string, std::string>> shown;
  for (const auto& net : nets)
    for (const auto& e : net->Entries())
      if (e->GetPin().IsDisp()) shown.emplace(e->GetRefName(), e->GetPinNo());
  if (shown.empty()) return;
  for (auto& net : nets)
    std::erase_if(net->Entries(), [&](const std::unique_ptr<CNetName>& e) {
      return !e->GetPin().IsDisp() && shown.contains({e->GetRefName(), e->GetPinNo()});
    });
}

}  // namespace

int CSheet::NetCorrection(NetList& nets, int mode) {
  Host& host = CurrentHost();
  host.BeginStage(kStageMerge, static_cast<int>(nets.size()));
  auto eraseAt = [](auto& list, size_t j) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(j));
  };

  // A scan that merged something starts again from the head of the list. The
  // nets before the merging net i had each been compared with every net after
  // them and matched none; net i only grew by nets that they did not match
  // either (sharing a name or a point with a union is sharing it with one of
  // its parts), so that part of the rescan finds nothing: its steps are taken
  // and the scan goes on at i.
  auto restartAt = [&](size_t i) {
    for (size_t k = 0; k < i; ++k)
      if (host.Step(true) != 0) return false;
    return true;
  };

  // Names: a net absorbs every later net that shares a name with it. The name
  // fingerprints skip pairs that cannot share one.
  std::vector<uint64_t> ownBits, allBits;
  for (const auto& net : nets) {
    ownBits.push_back(netkeys::NameBits(*net, false));
    allBits.push_back(netkeys::NameBits(*net, true));
  }
  for (size_t i = 0; i < nets.size();) {
    if (host.Step(true) != 0) return 1;
    CNet& net = *nets[i];
    bool merged = false;
    if (net.GetNameCount() > 0) {
      for (size_t j = i + 1; j < nets.size();) {
        if ((ownBits[i] & allBits[j]) != 0 && net.CheckNetName(*nets[j])) {
          if (mode == 1)
            net.Append(*nets[j]);
          else
            net.Append2(*nets[j]);
          ownBits[i] |= ownBits[j];
          allBits[i] |= allBits[j];
          eraseAt(nets, j);
          eraseAt(ownBits, j);
          eraseAt(allBits, j);
          merged = true;
        } else {
          ++j;
        }
      }
    }
    if (!merged)
      ++i;
    else if (!restartAt(i))
      return 1;
  }

  // Contact (one sheet only): touching nets merge, and the scan starts again
  // from the head after each merge. Nets whose contact boxes miss never touch.
  if (mode == 1) {
    std::vector<netkeys::PointBox> boxes;
    boxes.reserve(nets.size());
    for (const auto& net : nets) boxes.push_back(netkeys::ContactBox(*net));
    for (size_t i = 0; i < nets.size();) {
      if (host.Step(true) != 0) return 1;
      bool merged = false;
      for (size_t j = i + 1; j < nets.size(); ++j) {
        if (boxes[i].Meets(boxes[j]) && nets[i]->CheckPoint(*nets[j])) {
          nets[i]->Append(*nets[j]);
          boxes[i].Add(boxes[j]);
          eraseAt(nets, j);
          eraseAt(boxes, j);
          merged = true;
          break;
        }
      }
      if (!merged)
        ++i;
      else if (!restartAt(i))
        return 1;
    }
  }

  for (auto& net : nets) {
    if (host.Step(true) != 0) return 1;
    if (mode == 1)
      net->NetCorrection();
    else
      net->NetRefPinCorrection();
  }

  DropHiddenDuplicates(nets);
  return 0;
}

int CSheet::SortNet(NetList& nets) {
  Host& host = CurrentHost();
  const int total = static_cast<int>(nets.size());
  host.BeginStage(kStageSortNets, total);
  for (auto& net : nets) {
    net->Sort();
    if (host.Step(true) != 0) return 1;
  }
  host.BeginStage(kStageSortNets, total);
  // Selection sort over the real nets by their first entries (CNet::Compare,
  // with the keys taken once); the other nets keep their positions.
  std::vector<char> real;
  std::vector<netkeys::EntryKey> keys;
  real.reserve(nets.size());
  keys.reserve(nets.size());
  for (const auto& net : nets) {
    real.push_back(net->CheckNet() ? 1 : 0);
    keys.push_back(real.back() ? netkeys::KeyOf(*net->Entries().front()) : netkeys::EntryKey());
  }
  const bool done = netkeys::SelectionSort(
      keys, real, [&](size_t i, size_t j) { std::swap(nets[i], nets[j]); },
      [&](size_t) { return host.Step(true) == 0; });
  return done ? 0 : 1;
}

int BuildNets(std::span<const NetSheet> sheets, NetList& nets) {
  nets.clear();
  NetList all;
  for (size_t i = 0; i < sheets.size(); ++i) {
    const NetSheet& s = sheets[i];
    if (s.sheet == nullptr) continue;
    const int number = s.number > 0 ? s.number : static_cast<int>(i) + 1;
    NetList one;
    if (s.sheet->CreateWireGroup(one) != 0 || s.sheet->CreatePinGroup(one, s.filePath, number) != 0)
      return 1;
    for (auto& net : one) all.push_back(std::move(net));
  }
  if (CSheet::NetCorrection(all, 0) != 0 || CSheet::SortNet(all) != 0) return 1;
  nets = std::move(all);
  return 0;
}

}  // namespace tavro
