// Connectivity: how the items of a sheet become nets.
//
// Nothing about connections is stored in a sheet. Every netlist, net report,
// net index and net highlight derives the nets afresh from the wires,
// junction dots and pins of one or more sheets, in two passes.
//
// 1. Wire groups (CSheet::CreateWireGroup, wire_group.cpp). Each wire, in list
//    order, becomes a temporary group holding the wire and every junction dot
//    that the wire's hit test accepts (near the stroke within the pen width,
//    inside the rectangle of either of its labels, or on an arrowhead). An
//    unlabelled group joins the first existing group it touches; a labelled one
//    joins the first group that already carries its label (letter case
//    ignored) or, failing that, the first group it touches, which then also
//    carries the label. A group that joins nothing becomes a new group. A last
//    merge (CSheet::NetCorrection, mode 1) joins what the first-match rule left
//    apart: groups that share a name, then groups that touch, restarting from
//    the head of the list after every contact merge.
//
//    Two groups touch (CNet::CheckPoint) only at exact points: a wire end, a
//    junction dot or the connection point of a displayed pin of one group lies
//    exactly on a wire end, a junction dot or a displayed pin's connection
//    point of the other. So:
//      - two wires meeting end to end are connected;
//      - a wire ending on the middle of another wire is connected only when a
//        junction dot lies there (the dot belongs to the through wire's group
//        and coincides with the other wire's end);
//      - two crossing wires are connected only through a dot at the crossing;
//      - a dot anywhere the wire's hit test accepts belongs to that wire,
//        including a dot that lies inside the wire's label rectangle;
//      - a wire end on a pin's connection point is connected, a wire end on
//        the middle of a pin is not; two pins whose connection points
//        coincide are connected;
//      - wires far apart that carry the same label are one net;
//      - buses and graphic lines never connect anything, and hidden pins
//        never make contact by position.
//
// 2. Pin groups (CSheet::CreatePinGroup, pin_group.cpp). Parts whose "FILE"
//    property names a sheet that is open in the program (hierarchical block
//    symbols, asked through Host::IsFileOpen) are left out. First the pins of
//    reference-less parts (power and net-label symbols) name the net at their
//    connection point: the pin's name, or its number when the name is empty
//    (pins with neither are skipped, and hidden pins unless of Power type). A
//    displayed pin adds a junction dot and its name to the first net touching
//    the point; a Power pin sets the net's power flag; a symbol touching
//    nothing starts a net of its own. Nets are merged again (mode 1). Then
//    every pin of a referenced part joins: a displayed pin the first net
//    touching its connection point, or a new net of its own (unnamed when
//    another displayed pin shares the point, "{TAVRO}Open Pin1" when nothing
//    does; a No Connect pin touching nothing joins no net); a hidden Power pin
//    the first net carrying its name, or a new net of that name; any other
//    hidden pin a net of its own marked "{TAVRO}Open Pin2" (hidden No Connect
//    pins are skipped). Each pin entry records the part name, the sheet file's
//    full path and the sheet's number in the project, the reference (cut after
//    its last digit for packages of two or more gates, so U12A is written U12)
//    and a copy of the pin.
//
// 3. Nets of a project (BuildNets below, net_merge.cpp). Each sheet's nets
//    are built into a fresh list; the lists are joined in sheet order and
//    merged by name only (CSheet::NetCorrection, mode 0: equal positions on
//    different sheets mean nothing), the entries of each net are made unique
//    by reference and pin number, and hidden pin entries are dropped where a
//    displayed pin with the same reference and number exists anywhere (a
//    multi-gate package repeats its hidden power pins in every gate). Then
//    CSheet::SortNet orders the entries of every real net and the real nets.
//
// Names. A net's names are the labels and symbol pin names met, in the order
// met, no two equal when letter case is ignored; the first one is the net's
// name, and a net with two or more names is an alias net. Names holding
// "{TAVRO}" are markers of open pins, never net names: they never merge
// nets (neither when a group is looked up by a label nor when nets are merged
// by name), and such nets never reach a netlist. A net is real (CNet::CheckNet)
// when it holds two or more pin entries and no marker.
//
// Order. List order decides every tie: the first matching group or net wins,
// merges restart from the head of the list, and the sorts are selection sorts
// that keep the first of equal entries first. The walks are defined as plain
// walks over every group or net (tests/net/reference_connectivity.cpp keeps
// them so); the program finds the same first match through indexes
// (net_keys.h): the groups and nets by their contact points and by their
// names (the smallest list position among those filed under a point or a
// name is the first in list order), the junction dots by a grid of cells.
// A merge keeps every net's position while it runs, so "restart from the
// head" is the next smallest candidate position; the steps of the restarted
// scan are taken all the same. The time grows about linearly with the
// wires, pins and nets.
//
// Progress and cancel. The long operations report through the host:
// BeginStage with stage 1 (wire groups, one step per wire), 0 (pin groups,
// one step per part), 3 (merging, one step per outer net) and 2 (sorting),
// and poll Host::Step(false) once per pin of the pin groups. A non-zero
// answer stops the operation, which returns 1; the caller discards the list.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/net/net.h"

namespace tavro {

class CSheet;

// One sheet to be covered by a netlist, with the full path of its sheet file
// (recorded in every pin entry, and the folder against which a "FILE" property
// without a folder is resolved) and its number in the project (1-based,
// recorded in every pin entry; 0 takes the sheet's position in the list).
struct NetSheet {
  CSheet* sheet = nullptr;
  std::string filePath;
  int number = 0;
};

// Builds the nets of the sheets as the netlist command does: per sheet
// CreateWireGroup and CreatePinGroup into a fresh list, the lists joined in
// order, then NetCorrection(all, 0) and SortNet(all). On success `nets`
// holds the result and 0 is returned; on cancel `nets` is left empty and 1 is
// returned.
int BuildNets(std::span<const NetSheet> sheets, NetList& nets);

// The full path that a part's "FILE" property names, seen from the sheet file
// at sheetPath: backslashes (the separator of files made on the desktop
// platform) become slashes, the CP932 value becomes a platform (UTF-8) path,
// and a relative name is taken relative to the folder of sheetPath. Empty for
// an empty value.
std::string ResolveSheetFile(std::string_view value, const std::string& sheetPath);

// Whether a net name is a marker (holds "{TAVRO}"), never a net name.
bool IsMarkerName(std::string_view name);

}  // namespace tavro
