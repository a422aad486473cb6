// Pin groups: the pins of a sheet's parts joined to its wire groups, nets
// named by power and label symbols, hidden power pins joined by name and
// open pins marked (see connectivity.h).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/net/net_keys.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// A pin entry: the part name, the sheet file and its number, the reference
// as netlists write it (gate-stripped for packages of two or more gates) and
// the pin.
CNetName MakeEntry(const CPart& part, const CPin& pin, const std::string& filePath, int fileNo) {
  CNetName e(pin);
  e.SetFileName(filePath);
  e.SetFileNo(fileNo);
  e.SetPartName(part.GetPartName());
  e.SetRefName(part.GetPackageMax() < 2 ? part.GetRefName() : part.GetRefNameA());
  return e;
}

}  // namespace

std::string ResolveSheetFile(std::string_view value, const std::string& sheetPath) {
  if (value.empty()) return {};
  namespace fs = std::filesystem;
  // The property is CP932 with backslash separators (a backslash may also be
  // a trail byte, which ReplaceAll leaves alone); platform paths are UTF-8.
  const std::string name = Cp932ToUtf8(ReplaceAll(value, "\\", "/"));
  const bool drive = name.size() >= 2 && name[1] == ':';  // "C:/..." as the desktop wrote it
  fs::path p(name);
  if (!p.is_absolute() && !drive) p = fs::path(sheetPath).parent_path() / p;
  return p.lexically_normal().string();
}

void CSheet::CreatePinGroupHelper(NetList& nets, const CPart& part, const CPin& pin,
                                  std::string_view name, const std::string& filePath, int fileNo) {
  auto net = std::make_unique<CNet>();
  net->Add(MakeEntry(part, pin, filePath, fileNo));
  if (!name.empty()) net->SetNetName(name);
  nets.push_back(std::move(net));
}

int CSheet::CreatePinGroup(NetList& nets, const std::string& filePath, int fileNo) {
  Host& host = CurrentHost();
  host.BeginStage(kStagePinGroups, static_cast<int>(parts_.size()));

  // The working set: every part except hierarchical block symbols, whose
  // "FILE" names a sheet that is open in the program.
  std::vector<const CPart*> work;
  work.reserve(parts_.size());
  for (const auto& part : parts_) {
    const std::string file = part->GetProperty("FILE");
    if (!file.empty() && host.IsFileOpen(ResolveSheetFile(file, filePath))) continue;
    work.push_back(part.get());
  }

  // The nets by their contact points and names: the first net in list order
  // touching a point (or carrying a name) is the smallest id the index names.
  netkeys::ContactIndex index;
  auto rebuild = [&] {
    std::vector<const CNet*> list;
    list.reserve(nets.size());
    for (const auto& net : nets) list.push_back(net.get());
    index.Build(list);
  };
  auto firstTouching = [&](CPoint p) { return index.FirstAt(p); };

  // Named points of reference-less parts (power and net-label symbols).
  rebuild();
  for (const CPart* part : work) {
    if (!part->GetRefName().empty()) continue;
    if (host.Step(true) != 0) return 1;
    for (const auto& pin : part->Pins()) {
      if (host.Step(false) != 0) return 1;
      const std::string& name = pin->GetName().empty() ? pin->GetNo() : pin->GetName();
      if (name.empty() || (!pin->IsDisp() && !pin->IsPower())) continue;
      const CPoint at = pin->GetEndPoint();
      if (const auto n = firstTouching(at)) {
        CNet& net = *nets[*n];
        if (pin->IsDisp()) {
          net.Add(CJunc(at));
          net.SetNetName(name);
          index.AddName(*n, name);
        }
        if (pin->IsPower()) net.SetPower(true);  // a hidden Power pin only sets the flag
      } else {
        auto fresh = std::make_unique<CNet>();
        fresh->Add(CJunc(at));
        fresh->SetNetName(name);
        fresh->SetPower(pin->IsPower());
        index.AddPoint(static_cast<uint32_t>(nets.size()), at);
        index.AddName(static_cast<uint32_t>(nets.size()), name);
        nets.push_back(std::move(fresh));
      }
    }
  }

  if (NetCorrection(nets, 1) != 0) return 1;
  rebuild();

  // How many displayed pins of the working parts end at each point: a pin
  // shares its point with another when the count there is two or more.
  std::unordered_map<uint64_t, int> shownAt;
  const auto key = netkeys::PointKey;
  for (const CPart* part : work)
    for (const auto& q : part->Pins())
      if (q->IsDisp()) ++shownAt[key(q->GetEndPoint())];

  // Beside the list (made when a net holding many entries first receives a
  // pin here): the keys of its entries, so that adding an entry tests for an
  // equal one (CNet::Add) without a walk.
  constexpr size_t kShortNet = 8;
  std::vector<std::unique_ptr<std::unordered_set<std::string>>> held(nets.size());
  auto addEntry = [&](size_t n, const CPart& part, const CPin& pin) {
    CNetName entry = MakeEntry(part, pin, filePath, fileNo);
    auto& entries = nets[n]->Entries();
    bool fresh;
    if (!held[n] && entries.size() < kShortNet) {
      fresh = !nets[n]->CheckItem(entry);  // a few entries: compared one by one
    } else {
      if (!held[n]) {
        held[n] = std::make_unique<std::unordered_set<std::string>>();
        for (const auto& e : entries) held[n]->insert(netkeys::SameKey(*e));
      }
      fresh = held[n]->insert(netkeys::SameKey(entry)).second;
    }
    if (fresh) entries.push_back(std::make_unique<CNetName>(std::move(entry)));
    if (pin.IsDisp()) index.AddPoint(static_cast<uint32_t>(n), pin.GetEndPoint());
  };
  auto helper = [&](const CPart& part, const CPin& pin, std::string_view name) {
    CreatePinGroupHelper(nets, part, pin, name, filePath, fileNo);
    const auto id = static_cast<uint32_t>(nets.size() - 1);
    index.AddPoints(id, *nets.back());
    index.AddNames(id, *nets.back());
    held.emplace_back();
  };

  // Pins of referenced parts.
  for (const CPart* part : work) {
    if (part->GetRefName().empty()) continue;
    if (host.Step(true) != 0) return 1;
    for (const auto& pinPtr : part->Pins()) {
      const CPin& pin = *pinPtr;
      if (host.Step(false) != 0) return 1;
      if (pin.IsDisp()) {
        if (const auto n = firstTouching(pin.GetEndPoint())) {
          addEntry(*n, *part, pin);
          continue;
        }
        // Another displayed pin at the same point joins this one's net when
        // its turn comes; with none, the pin is open.
        if (shownAt[key(pin.GetEndPoint())] >= 2)
          helper(*part, pin, "");
        else if (!pin.IsElect(kPinNoConnect))
          helper(*part, pin, kOpenPin1);
      } else if (pin.IsPower()) {
        // Hidden power pins of one name end in one net.
        std::optional<uint32_t> named;
        if (!IsMarkerName(pin.GetName()))
          named = index.FirstNamed(
              pin.GetName(), [&](uint32_t n) { return nets[n]->CheckNetName(pin.GetName()); });
        if (named)
          addEntry(*named, *part, pin);
        else
          helper(*part, pin, pin.GetName());
      } else if (!pin.IsElect(kPinNoConnect)) {
        helper(*part, pin, kOpenPin2);
      }
    }
  }
  return 0;
}

}  // namespace tavro
