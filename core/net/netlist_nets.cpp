// Net texts: how one net is written in each format (CNet::MakeString).
// Every writer starts from the format's line start (the net's name, or the
// generated name of an unnamed net, in the format's template) and adds the
// node texts with the format's separators and line breaks. "Trim" removes
// trailing blanks, tabs and line ends.
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/net/netlist_writers.h"

namespace tavro {

namespace netlist {

namespace {

std::string Blanks(size_t n) { return std::string(n, ' '); }

// A line end (or ",\n") followed by n blanks: the start of a continuation line.
std::string Continue(std::string_view end, size_t n) {
  std::string s(end);
  s.append(n, ' ');
  return s;
}

// Nodes each followed by `sep`; after every `every`-th node the text is
// trimmed and `cont` follows.
void AddNodes(std::string& s, const std::vector<std::string>& nodes, std::string_view sep,
              size_t every, std::string_view cont) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    s += nodes[i];
    s += sep;
    if ((i + 1) % every == 0) {
      TrimEnd(s);
      s += cont;
    }
  }
}

// What becomes of the node whose length takes a line's sum beyond the limit.
enum class Crossing {
  kStartsNextLine,  // the line is closed before it (18)
  kStaysOnLine,     // it stays, and the line is closed after it (28, 29)
};

// Nodes each followed by `sep`, wrapped by line length: the lengths (with
// their separators) are summed per line; when a node takes the sum beyond
// `maxLen` the line is trimmed and `cont` follows, before or after that node
// as `crossing` says; after `perLine` nodes on a line the line is closed the
// same way. Returns true when the last line was closed after its
// `perLine`-th node.
bool AddWrapped(std::string& s, const std::vector<std::string>& nodes, std::string_view sep,
                size_t maxLen, size_t perLine, std::string_view cont, Crossing crossing) {
  size_t sum = 0, onLine = 0;
  bool closedFull = false;
  auto close = [&] {
    closedFull = onLine == perLine;
    TrimEnd(s);
    s += cont;
    sum = 0;
    onLine = 0;
  };
  for (const std::string& node : nodes) {
    const size_t len = node.size() + sep.size();
    if (crossing == Crossing::kStartsNextLine && onLine > 0 && sum + len > maxLen) close();
    s += node;
    s += sep;
    sum += len;
    ++onLine;
    closedFull = false;
    if (onLine == perLine || (crossing == Crossing::kStaysOnLine && sum > maxLen)) close();
  }
  return closedFull;
}

}  // namespace

// 1 CR3000, 23 CR3000-DRN: "        NAME : A , B ,", five nodes a line, the
// next lines indented by 20 blanks, ending " ;".
std::string NetCr3000(const NetLine& l) {
  std::string s = LineStart(l);
  AddNodes(s, Nodes(l), " , ", 5, Continue("\n", 20));
  StripEnd(s, ", \t\r\n");
  return s + " ;\n";
}

// 2 ECAD: five nodes a line, 12 blanks of indent; the last comma becomes a full stop.
std::string NetEcad(const NetLine& l) {
  std::string s = LineStart(l);
  AddNodes(s, Nodes(l), " , ", 5, Continue("\n", 12));
  TrimEnd(s);
  if (const size_t comma = s.rfind(','); comma != std::string::npos) s[comma] = '.';
  if (!EndsWith(s, "\n")) s += '\n';
  return s;
}

// 3 CADVANCE: "NAME = {A , B };".
std::string NetCadvance(const NetLine& l) {
  std::string s = LineStart(l);
  AddNodes(s, Nodes(l), " , ", 5, Continue("\n", 12));
  TrimEnd(s);
  if (!s.empty()) s.pop_back();  // the final comma
  return s + "};\n";
}

// 4 Tango, 25 EDWinXP PCB: one node a line, ")" closes the net.
std::string NetLines(const NetLine& l) {
  std::string s = LineStart(l);
  for (const std::string& node : Nodes(l)) s += node + "\n";
  return s + ")\n";
}

// 5 Mentor: "NET 'NAME' A B C D E " lines of five nodes, each line opened by
// the line start.
std::string NetMentor(const NetLine& l) {
  const std::string start = LineStart(l);
  const std::vector<std::string> nodes = Nodes(l);
  std::string s;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (i % 5 == 0) s += start;
    s += nodes[i] + " ";
    if ((i + 1) % 5 == 0) s += '\n';
  }
  if (!EndsWith(s, "\n")) s += '\n';
  return s;
}

// 6 VISULA: ".ADD_TER REF PIN NAME" for the first node, ".TER   " before the
// second and 7 blanks before the others (the node texts end their lines).
std::string NetVisula(const NetLine& l) {
  const std::string start = LineStart(l);
  const auto& entries = l.net.Entries();
  const std::vector<std::string> nodes = Nodes(l);
  std::string s;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (i == 0)
      s += Sprintf(".ADD_TER %s %s %s\n", StripGate(entries[0]->GetRefName()).c_str(),
                   entries[0]->GetPinNo().c_str(), start.c_str());
    else
      s += (i == 1 ? ".TER   " : Blanks(7)) + nodes[i];
  }
  return s;
}

// 7 Computer Vision: "0001 NAME A B \n"; the counter is written with every net.
std::string NetCompVision(const NetLine& l) {
  std::string s = Sprintf("%04d ", static_cast<int>(l.number)) + LineStart(l);
  for (const std::string& node : Nodes(l)) s += node + " ";
  return s + "\n";
}

// 8 POWER VIEW: "NAME;A,B".
std::string NetPowerView(const NetLine& l) {
  std::string s = LineStart(l);
  const std::vector<std::string> nodes = Nodes(l);
  for (size_t i = 0; i < nodes.size(); ++i) s += (i ? "," : "") + nodes[i];
  return s + "\n";
}

// 9 WORK VIEW: "     NAME ; REF.PIN," then one node a line, indented by 12 blanks.
std::string NetWorkView(const NetLine& l) {
  const auto& entries = l.net.Entries();
  const std::vector<std::string> nodes = Nodes(l);
  std::string s;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (i == 0)
      s += Sprintf("%s ; %s.%s,", LineStart(l).c_str(), StripGate(entries[0]->GetRefName()).c_str(),
                   entries[0]->GetPinNo().c_str()) +
           Continue("\n", 12);
    else
      s += nodes[i] + Continue(",\n", 12);
  }
  StripEnd(s, ", \t\r\n");
  return s + "\n";
}

// 10 TELESIS: "     NAME ; A B C D E," five nodes a line, no comma at the end.
std::string NetTelesis(const NetLine& l) {
  std::string s = LineStart(l);
  AddNodes(s, Nodes(l), " ", 5, Continue(",\n", 12));
  TrimEnd(s);
  if (EndsWith(s, ",")) s.pop_back();
  TrimEnd(s);
  if (!EndsWith(s, "\n")) s += '\n';
  return s;
}

// 11 FutureNet(NETC): a SIG record naming the net twice, the PIN lines, ")".
std::string NetFutureNet(const NetLine& l) {
  const std::string name = LineStart(l);
  std::string s = Sprintf("(SIG,,%s,1-1,5,%s\n", name.c_str(), name.c_str());
  for (const std::string& node : Nodes(l)) s += node;
  return s + ")\n";
}

// 12, 13, 14, 27 PADS family: the signal line, then " A B ..." wrapped when the
// summed node lengths exceed 50.
std::string NetPads(const NetLine& l) {
  std::string s = LineStart(l);
  size_t sum = 0;
  for (const std::string& node : Nodes(l)) {
    const std::string piece = " " + node;
    sum += piece.size();
    if (sum > 50) {
      s += '\n';
      sum = 0;
    }
    s += piece;
  }
  TrimEnd(s);
  if (!EndsWith(s, "\n")) s += '\n';
  return s;
}

// 15 Scicards: "NODENAME NAME $" (or "NODE number $" for an unnamed net), then
// lines of four nodes opened by 4 blanks and closed by " $".
std::string NetScicards(const NetLine& l) {
  std::string s =
      l.numbered ? Sprintf("NODE     %-16d $\n", static_cast<int>(l.number)) : LineStart(l);
  const std::vector<std::string> nodes = Nodes(l);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (i % 4 == 0) s += Blanks(4);
    s += nodes[i] + "  ";
    if ((i + 1) % 4 == 0) s += " $\n";
  }
  if (EndsWith(s, "$\n")) s.resize(s.size() - 2);
  return s + "\n";
}

// 16 CADLUS: one line per node, each opened by the net's name.
std::string NetCadlus(const NetLine& l) {
  const std::string start = LineStart(l);
  std::string s;
  for (const std::string& node : Nodes(l)) s += start + node;
  return s;
}

// 17 Calay: "/NAME      A B ... ;" eight nodes a line, 11 blanks of indent.
std::string NetCalay(const NetLine& l) {
  std::string s = LineStart(l);
  AddNodes(s, Nodes(l), " ", 8, Continue(",\n", 11));
  StripEnd(s, ", \t\r\n");
  return s + ";\n";
}

// 18 ultiBOARD: "* NAME", then "A, B, ..." lines of at most 81 characters and
// eight nodes; a blank line follows unless the last line was full.
std::string NetUltiboard(const NetLine& l) {
  std::string s = LineStart(l);
  const bool full = AddWrapped(s, Nodes(l), ", ", 81, 8, "\n", Crossing::kStartsNextLine);
  TrimEnd(s);
  return s + (full ? "\n" : "\n\n");
}

// 20 Expedition PCB: "\NAME\    \R\-\P\ ..." continued by "*  " lines so
// that no line grows beyond 79 characters.
std::string NetExpedition(const NetLine& l) {
  std::string s = LineStart(l);
  size_t lineStart = 0;
  for (const std::string& node : Nodes(l)) {
    if ((s.size() - lineStart) + node.size() > 79) {
      s += "\n";
      lineStart = s.size();
      s += "*  ";
    }
    s += node + " ";
  }
  return s + "\n";
}

// 24 CADLUS-PC(DIS) and its open-net list -24: " S0000001   " (or
// " ********   "), nodes of 15 characters 3 blanks apart, six a line.
std::string NetCadlusPc(const NetLine& l) {
  std::string s = LineStart(l);
  const std::vector<std::string> nodes = Nodes(l);
  for (size_t i = 0; i < nodes.size(); ++i) {
    s += nodes[i] + Blanks(3);
    if ((i + 1) % 6 == 0) s += Continue("\n", 12);
  }
  return s + "\n";
}

// 26 DK-Σ/Magic: "NAME[A,B]".
std::string NetDkMagic(const NetLine& l) {
  std::string s = LineStart(l);
  for (const std::string& node : Nodes(l)) s += node + ",";
  StripEnd(s, ",");
  return s + "]\n";
}

// 28 MM-2/MM-Colmo, 29 Dream CAD: "NAME     ; A, B, ..." continued with 11
// blanks after the node that takes a line's nodes beyond 80 characters (that
// node stays on the line) and after the tenth node of a line.
std::string NetMm2(const NetLine& l) {
  std::string s = LineStart(l);
  AddWrapped(s, Nodes(l), ", ", 80, 10, Continue("\n", 11), Crossing::kStaysOnLine);
  StripEnd(s, ", \t\r\n");
  return s + "\n";
}

}  // namespace netlist

std::string CNet::MakeString(int format, unsigned& counter) const {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || !f->netWriter) return {};
  const std::string name = GetName();
  const bool numbered = f->counter == NetCounter::kAlways || name.empty();
  const unsigned number = counter;
  if (f->counter != NetCounter::kNone && (numbered || f->counter == NetCounter::kEveryNet))
    ++counter;
  NetLine line{*f, *this, {}, number, numbered};
  if (!numbered)
    line.name = name;
  else if (f->numberedName)
    line.name = netlist::Sprintf(f->numberedName, number);
  return f->netWriter(line);
}

}  // namespace tavro
