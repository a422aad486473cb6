// Component sections (CSheet::NetWrite): one entry per part package in
// reference order, run on a working sheet that holds the parts of every
// covered sheet. A package of two or more gates is named by its gate-stripped
// reference (U1, not U1A), as its nodes are. V below is the part's value, or
// its part name when the value is empty; F is the footprint: the value of the
// part property named by the "PCB" setting, or that setting's text itself
// when the part has no such property.
#include <algorithm>

#include "core/model/sheet.h"
#include "core/net/netlist_format.h"
#include "core/net/netlist_writers.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace netlist {

namespace {

const char* C(const std::string& s) { return s.c_str(); }

// The reference a package is listed and connected under.
std::string PackageRef(const CPart& part) {
  return part.GetPackageMax() >= 2 ? part.GetRefNameA() : part.GetRefName();
}

bool HasProperty(const CPart& part, std::string_view key) {
  for (const auto& t : part.Texts())
    if (t->IsProperty() > 0 && EqualNoCase(t->GetPropertyName(), key)) return true;
  return false;
}

// A pin as the component-oriented writers name it: its net name from the
// pin-level index, or `none`.
std::string PinNet(const CPin& pin, std::string_view none) {
  std::string n = IndexedName(pin);
  return n.empty() ? std::string(none) : n;
}

// The name of a pin in the TVR defines: its pin name, or its number when it has no name.
const std::string& PinLabel(const CPin& pin) {
  return pin.GetName().empty() ? pin.GetNo() : pin.GetName();
}

}  // namespace

// 5 Mentor
void CompMentor(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "# TAVRO Formatted Netlist for MENTOR\n";
  out += "# Reference        Value      PCB Property\n";
  for (const NetPackage& p : packages)
    out += Sprintf("%-15s    PART %-20s  %s\n", C(p.ref), C(p.part->GetPartName()), C(p.footprint));
}

// 6 VISULA
void CompVisula(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  for (const NetPackage& p : packages)
    out += Sprintf(".ADD_COM   %s   %s\n", C(p.ref), C(p.part->GetPartName()));
}

// 4 Tango
void CompTango(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  for (const NetPackage& p : packages)
    out += Sprintf("[\n%s\n%s\n%s\n\n\n\n]\n", C(p.ref), C(p.footprint), C(p.value));
}

// 3 CADVANCE
void CompCadvance(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "\tcomp {\n";
  for (const NetPackage& p : packages)
    out += Sprintf("            %-19s [%-20s]={%-9s,,,,};\n", C(p.ref), C(p.value), C(p.footprint));
  out += "\t}\nnets {\n";
}

// 11 FutureNet(NETC): a SYM record per package with its symbol number (kept
// on the part as "{TAVRO:SYMNO}n"), reference, part name, value and one DATA
// line per pin (21 for an Output pin, 23 otherwise, as the nodes write them).
void CompFutureNet(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  int symbol = 0;
  for (NetPackage& p : packages) {
    ++symbol;
    p.part->DeleteText("{TAVRO:SYMNO}");
    p.part->NewText(Sprintf("{TAVRO:SYMNO}%d", symbol), p.part->GetOrg(), kTextDefaultSize,
                    kTextHidden);
    out += Sprintf("(SYM,1-1,%d\n", symbol);
    out += Sprintf("DATA,2,%s\n", C(p.ref));
    out += Sprintf("DATA,3,%s\n", C(p.part->GetPartName()));
    out += Sprintf("DATA,4,%s\n", C(p.part->GetValName()));
    for (const CPin* pin : PackagePins(p))
      out += Sprintf("DATA,%d,%s\n", pin->IsElect(kPinOutput) ? 21 : 23, C(pin->GetNo()));
    out += ")\n";
  }
}

// 13 PADS-PCB, 27 PowerPCB
void CompPads(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "*PART*\n";
  for (const NetPackage& p : packages) out += Sprintf("%-6s %s\n", C(p.ref), C(p.value));
  out += "\n*NET*\n";
}

// 15 Scicards: reference and V cut to their fields.
void CompScicards(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "PART LIST\n\n";
  for (const NetPackage& p : packages)
    out += FitWidth(p.ref, 17) + " " + FitWidth(p.value, 15) + " " + p.part->GetPartName() + "\n";
  out += "EOS\nNET LIST\n\n";
}

// 17 Calay
void CompCalay(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  for (const NetPackage& p : packages)
    out += Sprintf("%-20s%-20s%-20s000     000     0\n", C(p.ref), C(p.value), C(p.footprint));
  out += "\n";
}

// 18 ultiBOARD
void CompUltiboard(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "* VERSION 4 1\n";
  for (const NetPackage& p : packages)
    out += Sprintf("%s, %s, %s, 0, 0, 270.00, %s;\n", C(p.ref), C(p.value), C(p.footprint),
                   C(p.part->GetPartName()));
}

// 25 EDWinXP PCB
void CompEdwin(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "(COMPONENTS\n";
  for (const NetPackage& p : packages) out += Sprintf("%s,%s\n", C(p.ref), C(p.footprint));
  out += ")\n(NODES\n";
}

// 28 MM-2/MM-Colmo
void CompMm2(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  out += "$PTS\n";
  for (const NetPackage& p : packages)
    out += Sprintf("                !%-14s   ;%-s\n", C(p.ref), C(p.value));
  out += "$END\n";
}

// 29 Dream CAD: one line per distinct footprint and value, "F V REF REF ...",
// in the order of first appearance.
void CompDreamCad(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  struct Kind {
    std::string key;
    std::string refs;
  };
  std::vector<Kind> kinds;
  for (const NetPackage& p : packages) {
    const std::string key = p.footprint + " " + p.value;
    auto it = std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) { return k.key == key; });
    if (it == kinds.end()) it = kinds.insert(kinds.end(), Kind{key, {}});
    it->refs += " " + p.ref;
  }
  out += "$PART\n";
  for (const Kind& k : kinds) out += k.key + k.refs + "\n";
  out += "$END\n";
}

// -19 PCAD: the COMPOSNET frame with the optional environment file, then per
// package its footprint (".PRT" added when it has no extension), reference
// and the net of every pin ("?" for none).
void CompPcad(std::vector<NetPackage>& packages, const NetWriteOptions& o, std::string& out) {
  out += Sprintf("\n{COMPOSNET %s.PCB\n{ENVIRONMENT\n", C(o.outputBaseName));
  const std::string headPath = o.pcadHeadPath.empty() ? DataFile("pcadhead.txt") : o.pcadHeadPath;
  if (auto head = ReadFile(headPath)) {
    // Lines as they stand; line ends become "\n" (the file's own ends are
    // written by the caller).
    size_t from = 0;
    while (from < head->size()) {
      size_t nl = head->find('\n', from);
      if (nl == std::string::npos) nl = head->size();
      std::string line = head->substr(from, nl - from);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out += line + "\n";
      from = nl + 1;
    }
  }
  out += "{SUBCOMP\n";
  for (const NetPackage& p : packages) {
    std::string f = p.footprint;
    if (FindChar(f, '.') == std::string::npos) f += ".PRT";
    out += Sprintf("{I %s %s\n", C(f), C(p.ref));
    out += "{CN\n";
    for (const CPin* pin : PackagePins(p))
      out += Sprintf("%6s %s\n", C(pin->GetNo()), C(PinNet(*pin, "?")));
    out += "}\n}\n";
  }
  out += "}\n";
}

// -21 SPICE: one element line per package, "REF NET NET ... V" upper-cased;
// the sources (parts with a GENERATOR property) come first.
void CompSpice(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  for (const bool generators : {true, false}) {
    for (const NetPackage& p : packages) {
      if (HasProperty(*p.part, "GENERATOR") != generators) continue;
      std::string line = p.ref + " ";
      for (const CPin* pin : PackagePins(p)) line += PinNet(*pin, "?") + " ";
      line += p.value;
      out += ToUpper(line) + "\n";
    }
  }
}

// -22 TVR: per package a block of C defines naming the net of every pin,
// the package's model file included between them.
void CompTvr(std::vector<NetPackage>& packages, const NetWriteOptions&, std::string& out) {
  for (const NetPackage& p : packages) {
    const std::vector<const CPin*> pins = PackagePins(p);
    out += Sprintf("/* %s */\n", C(p.ref));
    for (const CPin* pin : pins)
      out += Sprintf("#define %6s %s\n", C(PinLabel(*pin)),
                     C(PinNet(*pin, p.ref + "_" + PinLabel(*pin))));
    std::string file = p.part->GetProperty("File");
    if (file.empty()) file = p.part->GetPartName() + ".c";
    out += "#include \"" + file + "\"\n";
    for (const CPin* pin : pins) out += Sprintf("#undef  %6s\n", C(PinLabel(*pin)));
    out += "\n";
  }
}

}  // namespace netlist

bool CSheet::NetWrite(int format, std::string& out) {
  NetWriteOptions options;
  options.pcbProperty = AppSettings().GetString("Tool", "PCB");
  return NetWrite(format, out, options);
}

bool CSheet::NetWrite(int format, std::string& out, const NetWriteOptions& options) {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || !f->components) return false;
  if (SortPartRef() != 0) return true;

  // One package per run of parts with the same (gate-stripped) reference.
  Host& host = CurrentHost();
  std::vector<NetPackage> packages;
  std::string previous;
  for (const auto& part : parts_) {
    if (host.Step(false) != 0) return true;
    if (part->GetRefName().empty()) continue;  // power and label symbols are no components
    const std::string ref = netlist::PackageRef(*part);
    if (!packages.empty() && EqualNoCase(ref, previous)) {
      packages.back().gates.push_back(part.get());
    } else {
      NetPackage p;
      p.ref = ref;
      p.part = part.get();
      p.gates.push_back(part.get());
      p.value = part->GetValName().empty() ? part->GetPartName() : part->GetValName();
      p.footprint = part->GetProperty(options.pcbProperty);
      if (p.footprint.empty()) p.footprint = options.pcbProperty;
      packages.push_back(std::move(p));
    }
    previous = ref;
  }
  for (NetPackage& p : packages)
    std::stable_sort(p.gates.begin(), p.gates.end(), [](const CPart* a, const CPart* b) {
      return a->GetPackage() < b->GetPackage();
    });
  f->components(packages, options, out);
  return false;
}

}  // namespace tavro
