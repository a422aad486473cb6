// The lines of the net information file: a net's report line (format 0) and
// the rule-check lines of its offending pins (format -1). The second argument
// of CNet::MakeString is the mode (format 0) or the pair's bit (format -1)
// here, read from the net line's number and never advanced.
#include "core/model/geometry.h"
#include "core/net/net.h"
#include "core/net/netlist_writers.h"
#include "core/net/rule_check.h"

namespace tavro {

namespace {

// " %s [%d]\tX:%4d.%02d Y:%4d.%02d\n": where the pin is, with the connection
// point as users see coordinates.
std::string Where(const CNetName& e) {
  const CPoint at = e.GetPin().GetEndPoint();
  return netlist::Sprintf(" %s [%d]\tX:%s Y:%s\n", e.GetSheetName().c_str(), e.GetFileNo(),
                          FormatCoord(at.x).c_str(), FormatCoord(at.y).c_str());
}

}  // namespace

std::string CNet::MakeDRCSubString(const CNetName& e) const {
  const char* type = e.GetPin().GetEleName();
  const CPoint at = e.GetPin().GetEndPoint();
  return netlist::Sprintf(" %4s(%4s)\t%s\t%s\t%s [%d]\tX:%s Y:%s\n", e.GetRefName().c_str(),
                          e.GetPinNo().c_str(), e.GetPinName().c_str(), type ? type : "",
                          e.GetSheetName().c_str(), e.GetFileNo(), FormatCoord(at.x).c_str(),
                          FormatCoord(at.y).c_str());
}

namespace netlist {

// 0: mode 0, an open net (fewer than two names, at least one pin): the name
// shown (marker prefix dropped, "Open Wire" for none) and its first pin;
// mode 1, an alias net: its first name, then every name in a field of 9,
// five a line; mode 2, a hidden net (CheckHideNet, which never holds).
std::string NetInfo(const NetLine& l) {
  const CNet& net = l.net;
  const std::vector<std::string>& names = net.Names();
  switch (l.number) {
    case 0: {
      if (names.size() >= 2 || net.Entries().empty()) return {};
      const CNetName& first = *net.Entries().front();
      std::string s = Sprintf("%9s: ", ReportNetName(net.GetName()).c_str());
      s += first.MakeString(0);
      if (first.GetPin().IsElect(kPinInput))
        s += " - Input pin";
      else if (first.GetPin().IsPower())
        s += " - Power pin";
      return s + Where(first);
    }
    case 1: {
      if (names.size() < 2) return {};
      std::string s = Sprintf("%9s => ", net.GetName().c_str());
      for (size_t i = 0; i < names.size(); ++i) {
        s += Sprintf("%9s, ", names[i].c_str());
        if ((i + 1) % 5 == 0) s += "\n" + std::string(14, ' ');
      }
      TrimEnd(s);
      s.back() = ';';  // the final comma
      return s + "\n";
    }
    case 2:
      return net.CheckHideNet() ? Sprintf("%9s\n", net.GetName().c_str()) : std::string();
    default:
      return {};
  }
}

// -1: the rule-check line of every pin entry that the pair concerns, then a
// line end.
std::string NetRuleCheck(const NetLine& l) {
  std::string s;
  for (const auto& e : l.net.Entries())
    if (e->CheckDRC(l.number)) s += l.net.MakeDRCSubString(*e);
  return s + "\n";
}

}  // namespace netlist
}  // namespace tavro
