// tavro check (PROJECT.tpj | SHEET.tcd...) [-o FILE.nrp] [--html]
// [--fail-on-violations]: the rule check and net report.
#include <cstdio>

#include "app/check_job.h"
#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "core/net/rule_check.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

constexpr int kExitViolations = 3;

const std::vector<OptionSpec> kOptions = {
    {"output", 'o', true, "FILE",
     "net report file (default: beside the project or the first sheet, .nrp); - for stdout"},
    {"html", 0, false, nullptr,
     "also the HTML report, the report's path with .nrp.html (default: the stored Tool/Html)"},
    {"fail-on-violations", 0, false, nullptr,
     "exit with 3 when an open net, an open alias net or a rule pair was found"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
};

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("check", error);
  if (parsed->help) {
    PrintCommandHelp("check", "[options] (PROJECT.tpj | SHEET.tcd...)",
                     "Builds the nets exactly as the netlist does and writes the net report: the\n"
                     "open nets, the nets with several names and the electrical rule check of\n"
                     "the pin types on each net (Output-Output, Output-3 State, All Input ...).\n"
                     "Sheets given without a project are checked together, as the open sheets.\n"
                     "Prints a line per class and per raised rule pair, then the totals. The\n"
                     "report is CP932 text: view it with `iconv -f CP932`.",
                     kOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("check", "expected a project file or one or more sheet files");

  CheckOptions options = CheckOptions::FromSettings(AppSettings());
  bool toStdout = false;
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("check", "--output needs a file name");
    toStdout = IsStdout(*o);
    if (toStdout)
      options.writeFile = false;
    else
      options.outputPath = *o;
  }
  if (parsed->Has("html")) options.html = true;
  if (parsed->Has("all")) options.allFiles = true;
  if (parsed->Has("unix")) options.unixLineEnds = true;

  ProgressBar bar(parsed->quiet);
  const CheckResult r = tavro::RunCheck(parsed->positional, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == CheckResult::kCancelled) return Fail("cancelled");
  if (r.status == CheckResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");

  const Summary summary(parsed->quiet, toStdout);
  summary.Print("report: %s\n", toStdout ? "stdout" : r.reportPath.c_str());
  if (!r.htmlPath.empty()) summary.Print("html: %s\n", r.htmlPath.c_str());
  summary.Print("open nets: %d\n", r.summary.openNets);
  summary.Print("open alias nets: %d\n", r.summary.openAliasNets);
  summary.Print("alias nets: %d\n", r.summary.aliasNets);
  const auto pairs = DrcPairs();
  for (size_t k = 0; k < pairs.size(); ++k)
    if (r.summary.pairs[k] > 0) summary.Print("DRC %s: %d\n", pairs[k].name, r.summary.pairs[k]);
  summary.Print("%s\n", r.statusText.c_str());
  if (parsed->Has("fail-on-violations") && r.summary.HasViolations()) return kExitViolations;
  return kExitOk;
}

}  // namespace tavro::cli
