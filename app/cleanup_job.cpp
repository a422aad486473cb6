#include "app/cleanup_job.h"

#include <algorithm>

#include "app/cleanup_log.h"
#include "app/html_template.h"
#include "app/part_changes.h"
#include "app/part_gather.h"
#include "core/net/connectivity.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr const char* kSection = "CleanSection";

std::string Trimmed(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

}  // namespace

CleanupOptions CleanupOptions::FromSettings(const Settings& s) {
  CleanupOptions o;
  o.cleanLine = s.GetInt(kSection, "CleanLine") != 0;
  o.wireJunc = s.GetInt(kSection, "WireJunc") != 0;
  o.outside = s.GetInt(kSection, "Over") != 0;
  o.bySheet = s.GetInt(kSection, "BySheet") != 0;
  o.missing = !o.bySheet && s.GetInt(kSection, "Miss") != 0;
  o.html = s.GetInt(kSection, "Html") != 0;
  o.view = s.GetInt(kSection, "View") != 0;
  o.keepNets = s.GetInt(kSection, "KeepNets") != 0;
  o.allFiles = s.GetInt("Sheet", "ProjectAllFile") != 0;
  o.unixLineEnds = s.GetInt("Tool", "NetUnix") != 0;
  return o;
}

void CleanupOptions::Store(Settings& s) const {
  s.WriteInt(kSection, "CleanLine", cleanLine ? 1 : 0);
  s.WriteInt(kSection, "WireJunc", wireJunc ? 1 : 0);
  s.WriteInt(kSection, "Over", outside ? 1 : 0);
  s.WriteInt(kSection, "BySheet", bySheet ? 1 : 0);
  s.WriteInt(kSection, "Miss", missing && !bySheet ? 1 : 0);
  s.WriteInt(kSection, "Html", html ? 1 : 0);
  s.WriteInt(kSection, "View", view ? 1 : 0);
  s.WriteInt(kSection, "KeepNets", keepNets ? 1 : 0);
}

TidyOptions CleanupOptions::Tidy(int32_t width, int32_t height) const {
  TidyOptions t;
  t.cleanLine = cleanLine;
  t.wireJunc = wireJunc;
  t.outside = outside;
  t.width = width;
  t.height = height;
  return t;
}

std::string CleanupLogPath(const std::string& base) { return WithExtension(base, ".log"); }
std::string CleanupHtmlPath(const std::string& logPath) {
  return WithExtension(logPath, ".log.html");
}

CleanupCallbacks FileTidyCallbacks(Host* progress, const SaveOptions& save, bool dryRun) {
  CleanupCallbacks callbacks;
  callbacks.progress = progress;
  callbacks.loader = ReadSheetFileForChange;
  if (!dryRun)
    callbacks.writeBack = [save](const CoveredSheet& sheet, CSheetDoc& doc, std::string& why) {
      DocSaveState state;
      state.modified = true;
      const SaveResult r = SaveDocument(doc, sheet.path, save, state, 0);
      if (!r.ok) why = r.message;
      return r.ok;
    };
  return callbacks;
}

std::vector<std::string> SheetNetSignature(const CSheet& sheet, const std::string& path) {
  CSheet copy(sheet);
  const NetSheet one{&copy, path, 1};
  NetList nets;
  BuildNets({&one, 1}, nets);
  std::vector<std::string> out;
  for (const auto& net : nets) {
    if (net->Entries().empty()) continue;
    std::vector<std::string> names, pins;
    for (const std::string& n : net->Names()) names.push_back(ToUpper(n));
    for (const auto& e : net->Entries()) {
      const CPoint at = e->GetPin().GetEndPoint();
      pins.push_back(e->GetRefName() + "-" + e->GetPinNo() + "@" + Trimmed(FormatCoord(at.x)) +
                     "," + Trimmed(FormatCoord(at.y)));
    }
    std::sort(names.begin(), names.end());
    std::sort(pins.begin(), pins.end());
    std::string s;
    for (const std::string& n : names) s += (s.empty() ? "" : ",") + n;
    if (!s.empty()) s += ":";
    for (const std::string& p : pins) s += (s.empty() ? "" : " ") + p;
    out.push_back(std::move(s));
  }
  std::sort(out.begin(), out.end());
  return out;
}

namespace {

// The entries of `a` that `b` lacks (both sorted; as multisets).
std::vector<std::string> Missing(const std::vector<std::string>& a,
                                 const std::vector<std::string>& b) {
  std::vector<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

}  // namespace

CleanupResult RunCleanup(std::span<const std::string> inputs, const CleanupOptions& options,
                         const CleanupCallbacks& callbacks) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return FailedResult<CleanupResult>(error);

  CleanupResult result;
  result.basePath = coverage->BasePath();
  const std::string logBeside = CleanupLogPath(result.basePath);
  result.logPath = options.outputPath.empty() ? logBeside : options.outputPath;
  if (options.html)
    result.htmlPath = CleanupHtmlPath(options.writeFile ? result.logPath : logBeside);
  const std::vector<std::string> outputs = {options.writeFile ? result.logPath : std::string(),
                                            result.htmlPath};
  if (auto over = OutputOverInput(outputs, *coverage))
    return FailedResult<CleanupResult>(
        FileMessage(kMsgCannotCreate, *over, "it is an input of the clean-up"));

  CoverageHost host(callbacks.progress ? *callbacks.progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  std::vector<CSheetDoc> docs;
  switch (LoadCoveredSheets(*coverage, callbacks.loader, docs, error)) {
    case LoadResult::kCancelled:
      return CancelledResult<CleanupResult>();
    case LoadResult::kFailed:
      return FailedResult<CleanupResult>(error);
    case LoadResult::kOk:
      break;
  }

  // The nets are built without progress of their own: the sheet is the step.
  Host silent;
  CoverageHost quiet(silent, *coverage);

  CleanupFindings& findings = result.findings;
  findings.keepNets = options.keepNets;
  std::vector<LogSheet> logSheets;
  host.BeginStage(kStageCleanSheets, static_cast<int>(docs.size()));
  for (size_t i = 0; i < docs.size(); ++i) {
    const bool stop = host.Step(true) != 0;
    const CoveredSheet& covered = coverage->sheets[i];
    CSheetDoc& doc = docs[i];
    SheetTidyReport report;
    report.path = covered.path;
    report.name = GatherDocName(doc, covered.path);
    logSheets.push_back({report.name, covered.path, covered.number});

    CSheet& sheet = doc.GetSheet();
    const CSheet before(sheet);
    report.counts = TidySheet(sheet, options.Tidy(doc.GetWorkWidth(), doc.GetWorkHeight()));
    report.difference = DiffSheets(before, sheet);
    if (!report.difference.Empty() && options.keepNets) {
      ScopedHost nets(&quiet);
      const std::vector<std::string> was = SheetNetSignature(before, covered.path);
      const std::vector<std::string> now = SheetNetSignature(sheet, covered.path);
      if (was != now) {
        findings.kept.push_back({i, Missing(was, now), Missing(now, was)});
        sheet = before;
        report.kept = true;
      }
    }
    report.changed = !report.kept && !report.difference.Empty();
    if (report.changed && callbacks.writeBack) {
      if (!callbacks.writeBack(covered, doc, error)) {
        result.sheets.push_back(std::move(report));
        result.status = CleanupResult::kFailed;
        result.message = error;
        return result;
      }
      report.written = true;
    }
    result.sheets.push_back(std::move(report));
    CheckSheet(sheet, i, findings);
    // A stop ends the run after the sheet in hand.
    if (stop) {
      result.status = CleanupResult::kCancelled;
      return result;
    }
  }

  // The references, over the parts as the numbering gathers them.
  std::vector<GatherSource> sources;
  for (size_t i = 0; i < docs.size(); ++i)
    sources.push_back({&docs[i], coverage->sheets[i].path, coverage->sheets[i].number});
  GatheredParts gathered;
  ReferenceCheckOptions refs;
  refs.bySheet = options.bySheet;
  refs.missing = options.missing;
  if (!GatherParts(sources, true, gathered) ||
      !CheckReferences(gathered, refs, findings, result.warnings)) {
    result.status = CleanupResult::kCancelled;
    return result;
  }

  host.BeginStage(kStageWriteFile, 1);
  result.text = ApplyLineEnds(ComposeCleanupLog(findings, logSheets), options.unixLineEnds);
  // A log that cannot be written fails the run; the sheets stay tidied.
  auto failed = [&result](const std::string& path, const std::string& why) {
    result.status = CleanupResult::kFailed;
    result.message = FileMessage(kMsgCannotCreate, path, why);
    return std::move(result);
  };
  std::string why;
  if (options.writeFile && !WriteFileAtomic(result.logPath, result.text, &why))
    return failed(result.logPath, why);
  if (options.html) {
    std::vector<std::string> files;
    for (const std::string& f : coverage->listedFiles) files.push_back(Utf8ToCp932(f));
    bool found = false;
    const HtmlTemplate tmpl = HtmlTemplate::Load(options.templatePath, &found);
    if (!found) result.warnings.push_back(MissingTemplateWarning(options.templatePath));
    const std::string html = ComposeCleanupHtml(findings, logSheets, tmpl, files, NetlistDate());
    if (!WriteFileAtomic(result.htmlPath, html, &why)) return failed(result.htmlPath, why);
  }
  host.Step(true);
  return result;
}

}  // namespace tavro
