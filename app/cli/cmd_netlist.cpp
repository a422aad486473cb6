// tavro netlist [options] (SHEET.tcd | PROJECT.tpj)
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/netlist_job.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"format", 'f', true, "F",
     "format number 1-29 or name (\"PADS-PCB\", \"SPICE\"); default: the stored one"},
    {"output", 'o', true, "FILE",
     "netlist file (default: beside the input, .net/.cir/.asc); - for stdout"},
    {"start", 0, true, "N", "first number of unnamed nets (default: the stored StartNo)"},
    {"pcb", 0, true, "PROPERTY", "part property holding the footprint (default: the stored PCB)"},
    {"compo", 0, true, "EXT",
     "write the component section to a file of its own with this extension"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
    {"report", 0, false, nullptr, "also the net report, the netlist's path with .nrp"},
    {"html", 0, false, nullptr,
     "with --report, also its HTML form (.nrp.html) (default: the stored Tool/Html)"},
    {"index", 0, false, nullptr,
     "also the net index of a project, beside the netlist (default: the stored Tool/Index)"},
    {"no-index", 0, false, nullptr, "no net index, whatever Tool/Index says"},
    {"list-formats", 0, false, nullptr, "list the formats and exit"},
};

std::string FormatHelp() {
  std::string s = "Formats (number, name, extension):\n";
  for (const NetlistFormat& f : NetlistFormats()) {
    if (f.listPosition < 0) continue;
    char number[16];
    std::snprintf(number, sizeof number, "  %2d  ", f.number);
    s += number + PadRight(f.name, 18) + " " + f.extension + "\n";
  }
  return s;
}

}  // namespace

int RunNetlist(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("netlist", error);
  if (parsed->help) {
    PrintCommandHelp(
        "netlist", "[options] (SHEET.tcd | PROJECT.tpj)",
        "Writes the nets of a sheet, or of a project's checked sheets in project\n"
        "order, as a netlist. Options override the stored settings for this run only.\n"
        "Dates come from the clock: set SOURCE_DATE_EPOCH for reproducible output.\n\n" +
            FormatHelp(),
        kOptions);
    return kExitOk;
  }
  if (parsed->Has("list-formats")) {
    std::fputs(FormatHelp().c_str(), stdout);
    return kExitOk;
  }
  if (parsed->positional.size() != 1)
    return Usage("netlist", "expected one sheet file or project file");
  const std::string& input = parsed->positional[0];

  NetlistOptions options = NetlistOptions::FromSettings(AppSettings());
  if (auto f = parsed->Get("format")) {
    auto number = ParseNetlistFormat(*f);
    if (!number) return Usage("netlist", "unknown format '" + *f + "' (see --list-formats)");
    options.format = *number;
  }
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("netlist", "--output needs a file name");
    options.outputPath = *o;
  }
  if (auto s = parsed->Get("start")) {
    auto n = ParseInt(*s);
    if (!n || *n < 0 || *n > 999999999)
      return Usage("netlist", "--start needs a number 0-999999999");
    options.startNo = static_cast<unsigned>(*n);
  }
  if (auto p = parsed->Get("pcb")) options.pcbProperty = Utf8ToCp932(*p);
  if (auto e = parsed->Get("compo")) {
    options.componentFile = true;
    options.componentExt = Utf8ToCp932(*e);
  }
  if (parsed->Has("unix")) options.unixLineEnds = true;
  if (parsed->Has("all")) options.allFiles = true;
  if (parsed->Has("report")) options.report = true;
  if (parsed->Has("html")) options.html = true;
  if (parsed->Has("index") && parsed->Has("no-index"))
    return Usage("netlist", "--index and --no-index exclude each other");
  if (parsed->Has("index")) options.index = true;
  if (parsed->Has("no-index")) options.index = false;

  // "-o -": the netlist goes to stdout; its header names the file it would
  // be beside the input.
  const bool toStdout = IsStdout(options.outputPath);
  if (toStdout) {
    if (options.componentFile)
      return Usage("netlist",
                   "the component section goes to a file of its own (--compo, or the stored "
                   "Tool/Compo): give -o FILE");
    // Only the netlist goes to stdout: the stored Tool/Index does not apply,
    // and the report and index are asked for with a file name.
    if (options.report || parsed->Has("index"))
      return Usage("netlist",
                   "with -o - only the netlist is written: give -o FILE, or use tavro check "
                   "and tavro index");
    options.index = false;
    options.outputPath.clear();
    options.writeFile = false;
  }

  ProgressBar bar(parsed->quiet);
  const NetlistResult r = RunNetlist(input, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == NetlistResult::kCancelled) return Fail("cancelled");
  if (r.status == NetlistResult::kFailed) return Fail(r.message);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");

  const Summary summary(parsed->quiet, toStdout);
  const NetlistFormat* f = FindNetlistFormat(options.format);
  summary.Print("netlist: %s (%s)\n", toStdout ? "stdout" : r.outputPath.c_str(), f ? f->name : "");
  if (!r.componentPath.empty()) summary.Print("components: %s\n", r.componentPath.c_str());
  if (!r.reportPath.empty()) summary.Print("report: %s\n", r.reportPath.c_str());
  if (!r.reportHtmlPath.empty()) summary.Print("html: %s\n", r.reportHtmlPath.c_str());
  if (!r.indexPath.empty()) summary.Print("index: %s\n", r.indexPath.c_str());
  PrintWarnings(r.warnings);
  summary.Print("nets: %d\n", r.nets);
  summary.Print("connections: %d\n", r.connections);
  if (!r.statusText.empty()) summary.Print("%s\n", r.statusText.c_str());
  return kExitOk;
}

}  // namespace tavro::cli
