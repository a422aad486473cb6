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
    {"output", 'o', true, "FILE", "netlist file (default: beside the input, .net/.cir/.asc)"},
    {"start", 0, true, "N", "first number of unnamed nets (default: the stored StartNo)"},
    {"pcb", 0, true, "PROPERTY", "part property holding the footprint (default: the stored PCB)"},
    {"compo", 0, true, "EXT",
     "write the component section to a file of its own with this extension"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
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

  ProgressBar bar;
  const NetlistResult r = RunNetlist(input, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == NetlistResult::kCancelled) return Fail("cancelled");
  if (r.status == NetlistResult::kFailed) return Fail(r.message);

  const NetlistFormat* f = FindNetlistFormat(options.format);
  std::printf("netlist: %s (%s)\n", r.outputPath.c_str(), f ? f->name : "");
  if (!r.componentPath.empty()) std::printf("components: %s\n", r.componentPath.c_str());
  std::printf("nets: %d\n", r.nets);
  std::printf("connections: %d\n", r.connections);
  return kExitOk;
}

}  // namespace tavro::cli
