// The netlist job: writes the nets of one sheet file, of sheet files taken
// together (the open sheets), or of a project's sheet files as a netlist in
// one of the 29 formats. GUI-free; the command line fills the options from
// its arguments, the editor from its dialog, both starting from the settings
// of section "Tool".
//
// A run: read the covered sheets (the sheets given, or the project's checked
// files — every file with allFiles — in project order; a sheet that cannot be
// read stops the run naming the file), build their nets (per sheet, then
// joined, merged by name and sorted), gather their parts on a working sheet
// (parts without a reference and hierarchical block symbols left out), and
// write header, component section, nets, open-net list (format 24) and footer.
// The component section can go to a file of its own. With report, the net
// report follows (the netlist's path with ".nrp", and with html ".nrp.html";
// see net_report.h); with index and a project as input, the net index of the
// project (the netlist's path with ".net.csv" or ".net.html", which is the
// project's name beside it when the netlist is; see net_index.h). Line ends
// are CR LF, or LF with unixLineEnds. Files are replaced only when complete.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/covered_sheets.h"
#include "app/net_index.h"
#include "app/net_report.h"
#include "core/file/document.h"
#include "core/net/connectivity.h"

namespace tavro {

class Host;
class Settings;

struct NetlistOptions {
  int format = 1;                // format number, 1 to 29
  std::string outputPath;        // empty: beside the input (NetlistOutputPath)
  unsigned startNo = 1;          // first number of unnamed nets
  std::string pcbProperty;       // part property holding the footprint (CP932)
  bool componentFile = false;    // component section into a file of its own
  std::string componentExt;      // that file's extension, without the dot (CP932)
  bool unixLineEnds = false;     // LF instead of CR LF
  bool allFiles = false;         // every file of a project, not only the checked ones
  bool report = false;           // also the net report (".nrp")
  bool html = false;             // with report, also its HTML form (".nrp.html")
  bool index = false;            // also the net index of a project
  NetIndexOptions indexOptions;  // how the index is written (its outputPath is not used)
  std::string templatePath;      // HTML template; empty: tavrohtml.dat of the data folder
  // false: the netlist is only returned (NetlistResult::text), not written;
  // its header still names the file it would be written to.
  bool writeFile = true;

  // The defaults of a run: section "Tool" ("NetType" is a list position).
  static NetlistOptions FromSettings(const Settings& settings);
};

struct NetlistResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8: what went wrong without failing
  int nets = 0;                       // nets written
  int connections = 0;                // pin entries of those nets minus one each
  std::string outputPath;
  std::string componentPath;   // empty when no component file was written
  std::string reportPath;      // the net report; empty when none was written
  std::string reportHtmlPath;  // its HTML form; empty when none was written
  NetReportSummary report;     // what the report found
  std::string statusText;      // UTF-8, the report's "総ネット数 %4d / %5d"
  std::string indexPath;       // the net index; empty when none was written
  std::string text;            // without writeFile: the netlist (CP932, line ends applied)
};

// The texts of one netlist, before line ends are applied.
struct NetlistText {
  std::string netlist;
  std::string components;  // the component section when it goes to its own file
  int nets = 0;
  int connections = 0;
  bool cancelled = false;
};

// Composes the netlist of `nets` with the components of `working` (sorted by
// reference on the way). `fileName` is the output file's name as the header
// shows it (CP932, without folder); `date` the header's date.
NetlistText ComposeNetlist(const NetList& nets, CSheet& working, const NetlistOptions& options,
                           std::string_view fileName, std::string_view date);

// The netlist file beside `input`: its extension replaced by the format's
// (".net", ".cir" for 21, ".asc" for 27).
std::string NetlistOutputPath(const std::string& input, int format);
// The component file: the netlist's path with the extension `ext`.
std::string ComponentFilePath(const std::string& netlistPath, std::string_view ext);
// Checks a component file extension as the netlist dialog does; the message
// (UTF-8) when it cannot be used. `netlistExt` is the netlist's own extension.
std::optional<std::string> CheckComponentExt(std::string_view ext, std::string_view netlistExt);

// Copies the parts of the sheets onto a working sheet for the component
// sections, as the reference numbering gathers them: each copy tagged with
// "{TAVRO:DOCNAME}name [n]" and "{TAVRO:SIZE}w,h"; parts without a reference
// and hierarchical block symbols (a "FILE" property naming a sheet the host
// has open) are left out.
struct GatherSheet {
  const CSheetDoc* doc = nullptr;
  std::string filePath;
};
void GatherComponents(std::span<const GatherSheet> sheets, CSheet& working);
// The same with the parts themselves taken out of the documents (for a run
// that has no more use for them): no copy is made.
void TakeComponents(std::span<CSheetDoc* const> docs, std::span<const std::string> filePaths,
                    CSheet& working);

// Runs the whole job on one project file or on one or more sheet files
// (named after the first of them). Progress and cancel go through
// `progress` (the current host when null); the job answers the host's "is
// this FILE open" question itself from the covered sheets.
NetlistResult RunNetlist(std::span<const std::string> inputs, const NetlistOptions& options,
                         Host* progress = nullptr, const SheetLoader& loader = {});
NetlistResult RunNetlist(const std::string& input, const NetlistOptions& options,
                         Host* progress = nullptr, const SheetLoader& loader = {});

}  // namespace tavro
