// Merging and ordering nets: within one sheet (mode 1: by name and by
// contact) and across the sheets of a project (mode 0: by name only), and the
// nets of a list of sheets as the netlist command builds them.
#include <algorithm>
#include <cstdint>
#include <functional>
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
  // Only the hidden entries' keys are kept; most projects have none.
  std::set<std::pair<std::string, std::string>> hidden, shown;
  for (const auto& net : nets)
    for (const auto& e : net->Entries())
      if (!e->GetPin().IsDisp()) hidden.emplace(e->GetRefName(), e->GetPinNo());
  if (hidden.empty()) return;
  for (const auto& net : nets)
    for (const auto& e : net->Entries())
      if (e->GetPin().IsDisp()) {
        auto key = std::make_pair(e->GetRefName(), e->GetPinNo());
        if (hidden.contains(key)) shown.insert(std::move(key));
      }
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
  // The nets keep their ids (places in the list as it was) while they merge;
  // a net merged into an earlier one is only marked, and the list closes up
  // after each pass. List order is id order.
  std::vector<char> gone;
  auto closeUp = [&] {
    size_t kept = 0;
    for (size_t k = 0; k < nets.size(); ++k)
      if (!gone[k]) nets[kept++] = std::move(nets[k]);
    nets.resize(kept);
  };
  auto index = [&](netkeys::ContactIndex& ix, bool points, bool names) {
    std::vector<const CNet*> list;
    list.reserve(nets.size());
    for (const auto& net : nets) list.push_back(net.get());
    ix.Build(list, points, names);
    gone.assign(nets.size(), 0);
  };

  // A scan that merged something starts again from the head of the list. The
  // nets before the merging net had each been compared with every net after
  // them and matched none; the merging net only grew by nets that they did
  // not match either (sharing a name or a point with a union is sharing it
  // with one of its parts), so that part of the rescan finds nothing: its
  // steps are taken and the scan goes on with the merging net.
  auto restart = [&](size_t place) {
    for (size_t k = 0; k < place; ++k)
      if (host.Step(true) != 0) return false;
    return true;
  };

  // Names: a net absorbs, in list order, every later net that shares a name
  // with it, and scans again while a scan absorbed something (a name taken
  // over may match a net the scan had passed). The candidates of a scan are
  // the later nets the name index gives for the net's names; those before
  // the scan's position wait for the next scan.
  netkeys::ContactIndex ix;
  index(ix, false, true);
  size_t place = 0;                     // the net's place in the list as it stands
  std::vector<uint32_t> heap, waiting;  // candidates, reused from net to net
  const auto greater = std::greater<uint32_t>();
  for (uint32_t i = 0; i < nets.size(); ++i) {
    if (gone[i]) continue;
    if (host.Step(true) != 0) return 1;
    CNet& net = *nets[i];
    if (net.GetNameCount() > 0) {
      // Later nets sharing a name key with this one, smallest first.
      heap.clear();
      auto addNamed = [&](const std::string& name) {
        if (IsMarkerName(name)) return;  // this net's markers match nothing
        if (const auto* ids = ix.Named(name))
          for (uint32_t id : *ids)
            if (id > i && !gone[id]) {
              heap.push_back(id);
              std::push_heap(heap.begin(), heap.end(), greater);
            }
      };
      for (const std::string& n : net.Names()) addNamed(n);
      while (!heap.empty()) {
        // One scan: the candidates past the scan's position in list order;
        // those it has passed wait for the next scan.
        bool merged = false;
        uint32_t cursor = i;
        waiting.clear();
        while (!heap.empty()) {
          std::pop_heap(heap.begin(), heap.end(), greater);
          const uint32_t j = heap.back();
          heap.pop_back();
          if (gone[j]) continue;
          if (j <= cursor) {
            if (j < cursor) waiting.push_back(j);
            continue;
          }
          cursor = j;
          if (!net.CheckNetName(*nets[j])) continue;
          const size_t before = net.Names().size();
          if (mode == 1)
            net.Append(*nets[j]);
          else
            net.Append2(*nets[j]);
          gone[j] = 1;
          merged = true;
          for (size_t k = before; k < net.Names().size(); ++k) addNamed(net.Names()[k]);
        }
        if (!merged) break;
        if (!restart(place) || host.Step(true) != 0) return 1;
        heap.swap(waiting);
        std::make_heap(heap.begin(), heap.end(), greater);
      }
    }
    ++place;
  }
  closeUp();

  // Contact (one sheet only): a net absorbs the first later net it touches,
  // and the scan starts again from the head after each merge. The candidates
  // are the later nets the point index gives for the net's contact points.
  if (mode == 1) {
    index(ix, true, false);
    place = 0;
    for (uint32_t i = 0; i < nets.size(); ++i) {
      if (gone[i]) continue;
      if (host.Step(true) != 0) return 1;
      // Later nets sharing a contact point with this one, smallest first.
      heap.clear();
      auto addTouching = [&](const CNet& from) {
        netkeys::ForEachContactPoint(from, [&](CPoint p) {
          ix.ForEachAt(p, [&](uint32_t id) {
            if (id > i && !gone[id]) {
              heap.push_back(id);
              std::push_heap(heap.begin(), heap.end(), greater);
            }
          });
        });
      };
      addTouching(*nets[i]);
      while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), greater);
        const uint32_t j = heap.back();
        heap.pop_back();
        if (gone[j]) continue;
        nets[i]->Append(*nets[j]);
        gone[j] = 1;
        addTouching(*nets[j]);
        if (!restart(place) || host.Step(true) != 0) return 1;
      }
      ++place;
    }
    closeUp();
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
