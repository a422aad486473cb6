// CNet: one net (or, while wire groups are built, one wire group): deep
// copies of its wires, junction dots and pin entries, and its names (the
// first is the net's name; no two equal when letter case is ignored).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/geometry.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/object.h"
#include "core/net/netname.h"

namespace tavro {

// Names that mark open pins; never real net names.
inline constexpr std::string_view kMarkerPrefix = "{TAVRO}";
inline constexpr std::string_view kOpenPin1 =
    "{TAVRO}Open Pin1";  // a displayed pin touching nothing
inline constexpr std::string_view kOpenPin2 = "{TAVRO}Open Pin2";  // a hidden pin not of Power type

class CNet : public CObject {
 public:
  CNet() = default;
  CNet(const CNet& o);
  CNet& operator=(const CNet& o);
  CNet(CNet&&) noexcept = default;
  CNet& operator=(CNet&&) noexcept = default;
  const char* GetRuntimeClass() const override { return "CNet"; }

  const ItemList<CLine>& Wires() const { return wires_; }
  const ItemList<CJunc>& Juncs() const { return juncs_; }
  const ItemList<CNetName>& Entries() const { return entries_; }
  ItemList<CNetName>& Entries() { return entries_; }
  const std::vector<std::string>& Names() const { return names_; }
  int GetNameCount() const { return static_cast<int>(names_.size()); }
  // The net's name: its first name, or "" for an unnamed net.
  std::string GetName() const { return names_.empty() ? std::string() : names_.front(); }
  int GetNetID() const { return netId_; }
  void SetNetID(int id) { netId_ = id; }
  bool GetPower() const { return power_; }
  void SetPower(bool p) { power_ = p; }

  // Adds a copy unless an equal item is already there.
  void Add(const CLine& wire);
  void Add(const CJunc& junc);
  void Add(const CNetName& entry);
  bool CheckItem(const CLine& wire) const;
  bool CheckItem(const CJunc& junc) const;
  bool CheckItem(const CNetName& entry) const;
  bool CheckItem(const CPin& pin) const;
  void Append(const CNet& other);
  void Append2(const CNet& other);
  void SetNetName(std::string_view name);
  bool CheckNetName(std::string_view name) const;
  bool CheckNetName(const CNet& other) const;

  // Contact by position (see the connectivity notes in connectivity.h).
  bool CheckPoint(CPoint p) const;
  bool CheckPoint(const CNet& other) const;

  void NetCorrection();
  void NetRefPinCorrection();
  void Sort();
  int Compare(const CNet& other) const;

  // Predicates of the writers.
  bool CheckNet() const;
  bool CheckAliasNet() const;
  bool IsOpenPinNet() const;
  bool IsOpenWireNet() const;
  bool CheckPowerNet() const { return true; }
  bool CheckHideNet() const { return false; }

  // Netlist text: the header template of a format with the three header lines
  // filled in (see netlist_format.h for the second step), the text of this
  // net (counter read and advanced), and the footer. The internal formats of
  // the net information file read the second argument without advancing
  // it: format 0 writes the net's report line in that mode (0 open net, 1
  // alias net, 2 hidden net), format -1 the rule-check lines of the pins
  // that the pair with that single bit concerns (see rule_check.h).
  static std::string MakeHead(int format);
  std::string MakeString(int format, unsigned& counter) const;
  static std::string MakeTail(int format);

  // The rule check: the mask of the pairs of electrical types this net
  // raises (bit k stands for pair k of DrcPairs()).
  uint32_t CheckPinDRC() const;
  // The rule-check line of one pin entry: reference, pin number, pin name,
  // electrical type, sheet file name and number, connection point.
  std::string MakeDRCSubString(const CNetName& entry) const;

 private:
  ItemList<CLine> wires_;
  ItemList<CJunc> juncs_;
  int netId_ = 0;
  bool power_ = false;
  ItemList<CNetName> entries_;
  std::vector<std::string> names_;
};

using NetList = std::vector<std::unique_ptr<CNet>>;

}  // namespace tavro
