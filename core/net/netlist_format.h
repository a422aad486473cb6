// Netlist formats. Every format the netlist command writes is one row of a
// table (netlist_format.cpp): its number, its place in the dialog's list, its
// name and file extension, its header and footer, how a node (one pin) and a
// net are written, how unnamed nets are numbered and which component section
// it carries. Where formats differ by more than a template, the row points to
// a small function of its own (netlist_nodes.cpp, netlist_nets.cpp,
// netlist_components.cpp).
//
// Besides the 29 public formats (1 to 29) there are internal ones: 0 (the
// node text and the net lines of the net information file; the counter
// argument is the line's mode there), -1 (rule check text; the counter
// argument is the pair's bit), -24 (the
// open-net list written after a format 24 netlist) and -19, -21, -22 (the
// component-oriented writers behind formats 19, 21 and 22).
//
// A header is made in two printf-like steps: CNet::MakeHead fills the
// format's template with the three lines " Tavro Net List File",
// "   File : %s" and "   Date : %s" (a template with fewer "%s" takes the
// leading lines; formats 24 and -24 take the date line only), then
// NetlistHeader fills in the file name and the date. Only "%s" and "%%" are
// understood, so a percent sign that must reach the file is written four
// times in a template. Data never acts as a template.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

class CNet;
class CNetName;
class CPart;
struct NetPackage;
struct NetWriteOptions;

// When a format's counter of unnamed nets advances.
enum class NetCounter {
  kNone,      // the format writes no numbered nets
  kUnnamed,   // after every unnamed net
  kEveryNet,  // after every net, named or not (7, 15, 16)
  kAlways,    // every net is numbered, names are not used (23, 24)
};

// Which arguments the second header step substitutes.
enum class HeadArgs {
  kFileAndDate,  // file name, then date
  kDateOnly,     // the date alone (24, -24)
};

struct NetlistFormat;

// One net as its writer sees it: the name to write (the net's first name, or
// the generated name of an unnamed net), the counter value the net took and
// whether the net is numbered.
struct NetLine {
  const NetlistFormat& format;
  const CNet& net;
  std::string name;
  unsigned number = 0;
  bool numbered = false;
};

using NodeWriter = std::string (*)(const NetlistFormat& format, const CNetName& entry);
using NetWriter = std::string (*)(const NetLine& line);
// Appends a component section for the packages (in reference order).
using ComponentWriter = void (*)(std::vector<NetPackage>& packages, const NetWriteOptions& options,
                                 std::string& out);

struct NetlistFormat {
  int number;
  int listPosition;       // position in the dialog's list (the setting "NetType"); -1 internal
  const char* name;       // as the list shows it (UTF-8)
  const char* extension;  // of the netlist file
  const char* head;       // header template; nullptr: no header
  HeadArgs headArgs;
  const char* tail;          // footer; nullptr: no footer
  const char* node;          // node template (reference, pin number); nullptr: nodeWriter
  NodeWriter nodeWriter;     // for the nodes that are not one template
  const char* lineStart;     // start of a net's text, "%s" = the net's name
  const char* numberedName;  // name of an unnamed net from the counter
  NetCounter counter;
  NetWriter netWriter;         // nullptr: the format writes no net text
  ComponentWriter components;  // nullptr: no component section
  // The format is written by a component-oriented writer from the pin-level
  // index (CSheet::NetIndex) instead of net texts (19, 21, 22).
  bool indexed;
};

// Every format, public ones in the order of the dialog's list, then the
// internal ones.
std::span<const NetlistFormat> NetlistFormats();
// The format of a number (public or internal); nullptr when unknown.
const NetlistFormat* FindNetlistFormat(int number);
// A public format from its number ("13") or its name ("pads-pcb"), letter
// case ignored; nullopt when nothing matches.
std::optional<int> ParseNetlistFormat(std::string_view text);
// The format number at a list position (the setting "NetType"); nullopt for
// a position outside the list.
std::optional<int> FormatAtListPosition(int position);
// The list position of a public format; -1 for any other number.
int ListPositionOf(int number);
// The name of an unnamed net under the counter value (e.g. "NET000001"),
// empty for a format that writes no numbered names.
std::string NumberedNetName(int format, unsigned counter);

// printf-like substitution that knows "%s" (the next argument, "" when they
// run out) and "%%" (one percent sign); anything else is copied as it stands.
std::string FormatTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args);
// The finished header of a format: MakeHead's text with the file name and the
// date filled in (format 24 and -24: the date only). Empty for formats
// without a header.
std::string NetlistHeader(int format, std::string_view fileName, std::string_view date);
// The date as headers write it ("%Y/%m/%d  %H:%M:%S", Japanese time) from the clock.
std::string NetlistDate();

// What the component sections need besides the parts.
struct NetWriteOptions {
  // Name of the part property that holds the footprint (setting "PCB", CP932).
  std::string pcbProperty;
  // The netlist file's name without folder and extension (format 19), CP932.
  std::string outputBaseName;
  // Full path of the optional PCAD environment file (format 19); empty: the
  // data folder's "pcadhead.txt".
  std::string pcadHeadPath;
};

// One package of the component sections: the gates of one part package, in
// reference order on the working sheet.
struct NetPackage {
  std::string ref;            // as nodes write it (gate-stripped for multi-gate packages)
  CPart* part = nullptr;      // the first gate in reference order
  std::vector<CPart*> gates;  // every gate, in gate order
  std::string value;          // the value, or the part name when the value is empty
  std::string footprint;      // the footprint property's value, or the property name itself
};

// The text the pin-level index leaves on pins that no net reached.
inline constexpr std::string_view kNetIndexMark = "{TAVRO NETINDEX}";

}  // namespace tavro
