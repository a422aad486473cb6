#include "app/check_job.h"

#include "core/net/netlist_format.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

CheckResult Failed(std::string message) { return FailedResult<CheckResult>(std::move(message)); }
CheckResult Cancelled() { return CancelledResult<CheckResult>(); }

}  // namespace

CheckOptions CheckOptions::FromSettings(const Settings& s) {
  CheckOptions o;
  o.html = s.GetInt("Tool", "Html") != 0;
  o.unixLineEnds = s.GetInt("Tool", "NetUnix") != 0;
  return o;
}

std::string NetReportPath(const std::string& base) { return WithExtension(base, ".nrp"); }

std::string NetReportHtmlPath(const std::string& reportPath) {
  return WithExtension(reportPath, ".nrp.html");
}

CheckResult RunCheck(std::span<const std::string> inputs, const CheckOptions& options,
                     Host* progress, const SheetLoader& loader) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed(error);

  CheckResult result;
  result.reportPath = options.outputPath.empty() ? NetReportPath(FullPath(coverage->BasePath()))
                                                 : options.outputPath;
  if (options.html)
    result.htmlPath =
        options.htmlPath.empty() ? NetReportHtmlPath(result.reportPath) : options.htmlPath;
  const std::string outputs[] = {options.writeFile ? result.reportPath : std::string(),
                                 result.htmlPath};
  if (auto clash = OutputOverInput(outputs, *coverage))
    return Failed(FileMessage(kMsgCannotCreate, *clash, "it is an input of the check"));
  if (options.writeFile && !result.htmlPath.empty() &&
      FullPath(result.htmlPath) == FullPath(result.reportPath))
    return Failed(FileMessage(kMsgCannotCreate, result.htmlPath, "it is the text report itself"));

  CoverageHost host(progress ? *progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  std::vector<CSheetDoc> docs;
  switch (LoadCoveredSheets(*coverage, loader, docs, error)) {
    case LoadResult::kCancelled:
      return Cancelled();
    case LoadResult::kFailed:
      return Failed(error);
    case LoadResult::kOk:
      break;
  }
  NetList nets;
  if (BuildCoveredNets(*coverage, docs, nets) != 0) return Cancelled();

  result.counts = CountNets(nets);
  NetReportOutput out;
  out.textPath = options.writeFile ? result.reportPath : std::string();
  out.htmlPath = result.htmlPath;
  out.templatePath = options.templatePath;
  out.unixLineEnds = options.unixLineEnds;
  NetReportWritten w =
      WriteNetReport(nets, result.counts, coverage->listedFiles, NetlistDate(), out);
  if (w.status == NetReportWritten::kCancelled) return Cancelled();
  if (w.status == NetReportWritten::kFailed) return Failed(w.message);
  result.warnings = std::move(w.warnings);
  result.text = std::move(w.text);
  result.summary = w.summary;
  result.statusText = std::move(w.statusText);
  return result;
}

}  // namespace tavro
