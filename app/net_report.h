// The net report (net information file, ".nrp"): the nets that need
// attention and the result of the rule check, as text and through the HTML
// template (".nrp.html").
//
// Classification, every net in list order:
//   - open net: CheckNet false and fewer than 2 names (a net of one pin, a
//     pin or wire touching nothing);
//   - open alias net: CheckNet false and 2 or more names;
//   - alias net: CheckNet true and 2 or more names;
//   - rule-check pair k: any net whose CheckPinDRC mask has bit k (a net can
//     be in several pair lists).
//
// The text, in this order: the title line; the date and the three counts of
// the netlist (nets passing CheckNet, connections = the pins of those nets
// minus one each, and their sum = the pins of those nets); "Open Net(s)" with
// the mode 0 line of every open net (a net without pins has no line);
// "Open Alias Net(s)" and "Alias Net(s)" with the mode 1 lines; then, for
// each pair in table order with a non-empty list, "[DRC name]" and the
// rule-check lines of the pins concerned, net by net. Sheet numbers and file
// names are those the pin entries record.
//
// The HTML form holds the same content: the page head, the "$RPT_HEAD$"
// section with the counts, one "$RPT$" block per class and per raised pair
// (one row per net, or per pin for the pairs), the page tail.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/net/net.h"
#include "core/net/rule_check.h"

namespace tavro {

class HtmlTemplate;

// The three counts of a netlist.
struct NetCounts {
  int nets = 0;                                     // nets passing CheckNet
  int connections = 0;                              // their pin entries minus one each
  int Total() const { return nets + connections; }  // their pin entries
};
NetCounts CountNets(const NetList& nets);

struct NetClasses {
  std::vector<const CNet*> openNets;
  std::vector<const CNet*> openAliasNets;
  std::vector<const CNet*> aliasNets;
  std::array<std::vector<const CNet*>, kDrcPairCount> pairs;  // in DrcPairs() order
};

// Sorts the nets into the classes (progress stage "ネット情報出力中", one step
// per net); nullopt when cancelled.
std::optional<NetClasses> ClassifyNets(const NetList& nets);

// What a report found, for a one-line summary per class and per raised pair.
struct NetReportSummary {
  int openNets = 0;  // open nets listed (those with at least one pin)
  int openAliasNets = 0;
  int aliasNets = 0;
  std::array<int, kDrcPairCount> pairs{};  // nets per pair, in DrcPairs() order
  // Open nets, open alias nets or a raised pair.
  bool HasViolations() const;
};
NetReportSummary Summarize(const NetClasses& classes);

// The report texts (CP932, LF line ends); `date` as "%Y/%m/%d  %H:%M:%S".
std::string ComposeNetReport(const NetClasses& classes, NetCounts counts, std::string_view date);
// `files` are the sheet files that the sheet numbers count (CP932 paths).
std::string ComposeNetReportHtml(const NetClasses& classes, NetCounts counts,
                                 const HtmlTemplate& tmpl, const std::vector<std::string>& files,
                                 std::string_view date);
// The status text at the end of a report (UTF-8): "総ネット数 %4d / %5d" with
// the nets passing CheckNet and their pin entries.
std::string NetReportStatus(NetCounts counts);

// Where a report goes.
struct NetReportOutput {
  std::string textPath;       // the ".nrp" file; empty: the text is only returned
  std::string htmlPath;       // the ".nrp.html" file; empty: no HTML
  std::string templatePath;   // empty: tavrohtml.dat of the data folder
  bool unixLineEnds = false;  // LF instead of CR LF in the text
};

struct NetReportWritten {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8: a template that could not be read
  std::string text;                   // the text report as written (CP932, line ends applied)
  NetReportSummary summary;
  std::string statusText;  // NetReportStatus
};

// Classifies the nets and writes the text report, then the HTML report.
// `files` are the sheet files the sheet numbers count (platform paths), and
// `date` the report's date.
NetReportWritten WriteNetReport(const NetList& nets, NetCounts counts,
                                const std::vector<std::string>& files, std::string_view date,
                                const NetReportOutput& output);

}  // namespace tavro
