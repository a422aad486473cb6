#include "app/annotate_job.h"

#include <algorithm>
#include <filesystem>

#include "app/part_gather.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro {

namespace fs = std::filesystem;

AnnotateOptions AnnotateOptions::FromSettings(const Settings& s) {
  AnnotateOptions o;
  o.mode = s.GetInt("Tool", "PartNoMakeType") == 1 ? 1 : 0;
  o.step = s.GetInt("Tool", "PartNoStep") == 1 ? 2 : 1;
  o.firstNo = std::clamp(s.GetInt("Tool", "PartTopRefNo"), 1, 9999);
  o.pageOffset = std::clamp(s.GetInt("Tool", "RefPageOffset"), 0, 9999);
  o.eachSheet = s.GetInt("Tool", "EachSheet") != 0;
  o.allFiles = s.GetInt("Sheet", "ProjectAllFile") != 0;
  return o;
}

NumberingOptions AnnotateOptions::Numbering() const {
  NumberingOptions n;
  n.mode = mode;
  n.step = step;
  n.firstNo = firstNo;
  n.pageOffset = pageOffset;
  n.eachSheet = eachSheet;
  return n;
}

std::string AnnotateOptions::Check() const {
  if (mode != 0 && mode != 1) return "the numbering mode is 0 (undecided only) or 1 (all)";
  if (step != 1 && step != 2) return "the step between numbers is 1 or 2";
  if (firstNo < 1 || firstNo > 9999) return "the first number is 1 to 9999";
  if (pageOffset < 0 || pageOffset > 9999) return "the page offset is 0 to 9999";
  return {};
}

std::string ShownSheetName(const std::string& path, const std::string& basePath) {
  const fs::path folder = fs::path(basePath).parent_path();
  const fs::path rel = fs::path(path).lexically_relative(folder);
  if (folder.empty() || rel.empty() || *rel.begin() == "..") return path;
  return rel.string();
}

AnnotateResult RunAnnotate(std::span<const std::string> inputs, const AnnotateOptions& options,
                           const AnnotateCallbacks& callbacks) {
  if (const std::string bad = options.Check(); !bad.empty())
    return FailedResult<AnnotateResult>(bad);
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return FailedResult<AnnotateResult>(error);

  CoverageHost host(callbacks.progress ? *callbacks.progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  std::vector<CSheetDoc> docs;
  GatheredParts gathered;
  switch (LoadAndGather(*coverage, callbacks.loader, true, docs, gathered, error)) {
    case LoadResult::kCancelled:
      return CancelledResult<AnnotateResult>();
    case LoadResult::kFailed:
      return FailedResult<AnnotateResult>(error);
    case LoadResult::kOk:
      break;
  }
  const NumberingOutcome outcome = NumberGatheredParts(gathered.Sheet(), options.Numbering());
  if (outcome.cancelled) return CancelledResult<AnnotateResult>();

  AnnotateResult result;
  result.basePath = coverage->BasePath();
  result.notices = outcome.messages;
  result.warnings = outcome.warnings;
  result.counters = outcome.counters;
  result.counterText = CounterMessage(outcome.counters);

  // The write-back: each copy goes back to the part it came from.
  std::vector<SheetChanges> perSheet(docs.size());
  for (size_t i = 0; i < docs.size(); ++i) {
    perSheet[i].sheet = i;
    perSheet[i].path = coverage->sheets[i].path;
    perSheet[i].name = GatherDocName(docs[i], coverage->sheets[i].path);
    perSheet[i].number = coverage->sheets[i].number;
  }
  for (const auto& copy : gathered.Sheet().Parts()) {
    const PartOrigin* origin = gathered.OriginOf(*copy);
    if (origin == nullptr) continue;
    const CPart& part = *docs[origin->source].GetSheet().Parts()[origin->part];
    const std::string& ref = copy->GetRefName();
    if (ref == part.GetRefName()) continue;
    if (options.mode == 0 && FindChar(part.GetRefName(), '?') == std::string::npos) continue;
    PartChange change = PartChange::Of(part, origin->part);
    change.newRef = ref;
    perSheet[origin->source].changes.push_back(std::move(change));
  }
  for (SheetChanges& s : perSheet)
    if (!s.changes.empty()) result.sheets.push_back(std::move(s));

  if (callbacks.writeBack) {
    for (const SheetChanges& s : result.sheets) {
      if (!callbacks.writeBack(s, error)) {
        result.status = AnnotateResult::kFailed;
        result.message = error;
        return result;
      }
      result.written.push_back(s.path);
    }
  }
  return result;
}

AnnotateCallbacks FileChangeCallbacks(Host* progress, const SaveOptions& save, bool dryRun) {
  AnnotateCallbacks callbacks;
  callbacks.progress = progress;
  callbacks.loader = ReadSheetFileForChange;
  if (!dryRun)
    callbacks.writeBack = [save](const SheetChanges& changes, std::string& why) {
      const SheetWriteResult w = SaveSheetChanges(changes, save);
      if (!w.ok) why = w.message;
      return w.ok;
    };
  return callbacks;
}

}  // namespace tavro
