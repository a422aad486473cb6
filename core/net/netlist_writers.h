// Inside the netlist writers: the per-format functions the format table
// points to, and the small text helpers they share. Not for use outside
// core/net/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/net/netlist_format.h"

namespace tavro {

class CPin;

namespace netlist {

// --- text helpers ---
// snprintf into a string. The templates are the writers' own constants.
std::string Sprintf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Removes trailing blanks, tabs and line ends.
void TrimEnd(std::string& s);
// Removes trailing characters that are in `set`.
void StripEnd(std::string& s, std::string_view set);
bool EndsWith(std::string_view s, std::string_view tail);
// s cut to at most `width` bytes (never inside a double-byte character) and
// padded with blanks to exactly `width` bytes.
std::string FitWidth(std::string_view s, size_t width);
// A reference up to and including its last decimal digit (whole without digits).
std::string StripGate(std::string_view ref);
// The start of a net's text: the format's line start with the name.
std::string LineStart(const NetLine& line);
// The node texts of a net's entries, in order.
std::vector<std::string> Nodes(const NetLine& line);
// The pins of every gate of a package in gate order, each gate's pins in
// list order, each pin number once.
std::vector<const CPin*> PackagePins(const NetPackage& package);
// The net name the pin-level index left on a pin; empty when none.
std::string IndexedName(const CPin& pin);

// --- nodes (netlist_nodes.cpp) ---
std::string NodeFutureNet(const NetlistFormat& f, const CNetName& e);  // 11
std::string NodeScicards(const NetlistFormat& f, const CNetName& e);   // 15
std::string NodeCadlusPc(const NetlistFormat& f, const CNetName& e);   // 24, -24
std::string NodeNetInfo(const NetlistFormat& f, const CNetName& e);    // 0

// --- nets (netlist_nets.cpp) ---
std::string NetCr3000(const NetLine& l);      // 1, 23
std::string NetEcad(const NetLine& l);        // 2
std::string NetCadvance(const NetLine& l);    // 3
std::string NetLines(const NetLine& l);       // 4, 25: one node per line, ")"
std::string NetMentor(const NetLine& l);      // 5
std::string NetVisula(const NetLine& l);      // 6
std::string NetCompVision(const NetLine& l);  // 7
std::string NetPowerView(const NetLine& l);   // 8
std::string NetWorkView(const NetLine& l);    // 9
std::string NetTelesis(const NetLine& l);     // 10
std::string NetFutureNet(const NetLine& l);   // 11
std::string NetPads(const NetLine& l);        // 12, 13, 14, 27
std::string NetScicards(const NetLine& l);    // 15
std::string NetCadlus(const NetLine& l);      // 16
std::string NetCalay(const NetLine& l);       // 17
std::string NetUltiboard(const NetLine& l);   // 18
std::string NetExpedition(const NetLine& l);  // 20
std::string NetCadlusPc(const NetLine& l);    // 24, -24
std::string NetDkMagic(const NetLine& l);     // 26
std::string NetMm2(const NetLine& l);         // 28, 29

// --- the net information file (net_info.cpp); the line's number is the
// mode (0) or the rule-check pair's bit (-1) ---
std::string NetInfo(const NetLine& l);       // 0
std::string NetRuleCheck(const NetLine& l);  // -1

// --- component sections (netlist_components.cpp) ---
void CompMentor(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);     // 5
void CompVisula(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);     // 6
void CompTango(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);      // 4
void CompCadvance(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);   // 3
void CompFutureNet(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);  // 11
void CompPads(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);  // 13, 27
void CompScicards(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);   // 15
void CompCalay(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);      // 17
void CompUltiboard(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);  // 18
void CompEdwin(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);      // 25
void CompMm2(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);        // 28
void CompDreamCad(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);   // 29
void CompPcad(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);       // -19
void CompSpice(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);      // -21
void CompTvr(std::vector<NetPackage>& p, const NetWriteOptions& o, std::string& out);        // -22

}  // namespace netlist
}  // namespace tavro
