// Node texts: how one pin entry of a net is written (CNetName::MakeString).
// Most formats write the reference R and the pin number P through one
// template ("%s-%s", "%s(%s)"...) kept in the format table; the nodes below
// need more than that.
#include "core/net/netlist_format.h"
#include "core/net/netlist_writers.h"
#include "core/net/netname.h"

namespace tavro {

namespace netlist {

// 11: "PIN,1-1,R,21,P" for an Output pin, 23 for any other pin, as a whole line.
std::string NodeFutureNet(const NetlistFormat&, const CNetName& e) {
  const int code = e.GetPin().IsElect(kPinOutput) ? 21 : 23;
  return Sprintf("PIN,1-1,%s,%d,%s\n", e.GetRefName().c_str(), code, e.GetPinNo().c_str());
}

// 15: R and P in a field of 12: n = 12 - |R| - |P| blanks between them, at
// least one when R and P are longer than the field together.
std::string NodeScicards(const NetlistFormat&, const CNetName& e) {
  const std::string& r = e.GetRefName();
  const std::string& p = e.GetPinNo();
  const long n = 12L - static_cast<long>(r.size()) - static_cast<long>(p.size());
  return r + std::string(n < 0 ? 1 : static_cast<size_t>(n), ' ') + p;
}

// 24, -24: "R-P" padded with blanks and cut to exactly 15 characters.
std::string NodeCadlusPc(const NetlistFormat&, const CNetName& e) {
  return FitWidth(e.GetRefName() + "-" + e.GetPinNo(), 15);
}

// 0 (net information file): "%4s(%4s) %12s" with R, P and the pin name.
std::string NodeNetInfo(const NetlistFormat&, const CNetName& e) {
  return Sprintf("%4s(%4s) %12s", e.GetRefName().c_str(), e.GetPinNo().c_str(),
                 e.GetPinName().c_str());
}

}  // namespace netlist

std::string CNetName::MakeString(int format) const {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f) return {};
  if (f->nodeWriter) return f->nodeWriter(*f, *this);
  if (f->node) return netlist::Sprintf(f->node, GetRefName().c_str(), GetPinNo().c_str());
  return {};
}

}  // namespace tavro
