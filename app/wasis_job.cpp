#include "app/wasis_job.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unordered_map>
#include <utility>

#include "app/part_gather.h"
#include "app/wasis_file.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

namespace fs = std::filesystem;

// The hidden text that carries a part's new texts between the two phases.
constexpr std::string_view kMarkerKey = "{TAVRO:REF=";

std::string U(std::string_view cp932) { return Cp932ToUtf8(cp932); }

bool HasMarker(const CPart& part) {
  for (const auto& t : part.Texts())
    if (std::string_view(t->GetName()).substr(0, kMarkerKey.size()) == kMarkerKey) return true;
  return false;
}

// The sheets of a run as the records name them, with the marks of phase one.
class ApplyRun {
 public:
  ApplyRun(std::vector<CSheetDoc>& docs, const Coverage& coverage, WasisApplyResult& result)
      : docs_(docs), coverage_(coverage), result_(result) {
    for (size_t i = 0; i < docs.size(); ++i) {
      names_.push_back(GatherDocName(docs[i], coverage.sheets[i].path));
      // Marks can only come from this run.
      for (const auto& part : docs[i].GetSheet().Parts()) part->DeleteText(kMarkerKey);
    }
  }

  std::string Shown(size_t sheet) const {
    return ShownSheetName(coverage_.sheets[sheet].path, coverage_.BasePath());
  }
  void Conflict(int line, const std::string& text) { conflicts_.emplace_back(line, text); }
  // The conflicts into the result, by line.
  void ReportConflicts() {
    std::stable_sort(conflicts_.begin(), conflicts_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, text] : conflicts_)
      result_.conflicts.push_back("line " + std::to_string(line) + ": " + text);
  }

  // The sheet a File line names; nullopt (with the conflict reported) when
  // no covered sheet, or more than one, answers to it.
  std::optional<size_t> SheetOf(const WasisRecord& r) {
    std::vector<size_t> named;
    for (size_t i = 0; i < names_.size(); ++i)
      if (EqualNoCase(names_[i], r.sheet.name)) named.push_back(i);
    if (r.sheet.index)
      for (size_t i : named)
        if (coverage_.sheets[i].number == *r.sheet.index) return i;
    if (named.size() == 1) return named.front();
    Conflict(r.line, named.empty() ? "no sheet \"" + U(r.sheet.name) + "\" is covered; left out"
                                   : "several sheets are named \"" + U(r.sheet.name) +
                                         "\" and the index names none of them; left out");
    return std::nullopt;
  }

  void Mark(CPart& part, std::string_view payload, int line) {
    part.NewText(std::string(kMarkerKey) + std::string(payload), part.GetOrg(), kTextDefaultSize,
                 kTextHidden);
    markedBy_[&part] = line;
  }
  int MarkedBy(const CPart& part) const {
    const auto it = markedBy_.find(&part);
    return it == markedBy_.end() ? 0 : it->second;
  }

  // Phase one of the full form; false when the user stopped it.
  bool MarkFull(const std::vector<WasisRecord>& records) {
    Host& host = CurrentHost();
    host.BeginStage(kStageRefRewrite, static_cast<int>(records.size()));
    for (const WasisRecord& r : records) {
      if (host.Step(true) != 0) return false;
      if (r.Unchanged()) continue;
      const std::optional<size_t> sheet = SheetOf(r);
      if (!sheet) continue;
      const std::string name = r.oldFields.name.value_or("");
      const std::string ref = r.oldFields.ref.value_or("");
      const std::string value = r.oldFields.value.value_or("");
      CPart* free = nullptr;
      const CPart* taken = nullptr;
      for (CPart* part : PartsAt(*sheet, r.position)) {
        if (part->GetPartName() != name || !EqualNoCase(part->GetRefName(), ref) ||
            part->GetValName() != value)
          continue;
        if (!HasMarker(*part)) {
          free = part;
          break;
        }
        if (!taken) taken = part;
      }
      if (free) {
        Mark(*free, r.newText, r.line);
      } else if (taken) {
        Conflict(r.line, "the part of Old:" + U(r.oldText) + " in " + Shown(*sheet) +
                             " is changed by line " + std::to_string(MarkedBy(*taken)) +
                             " already; left out");
      } else {
        Conflict(r.line,
                 "no part matches Old:" + U(r.oldText) + " in " + Shown(*sheet) + "; left out");
      }
    }
    return true;
  }

  // Phase one of the simple form; false when the user stopped it.
  bool MarkSimple(const std::vector<WasisSimpleLine>& lines) {
    Host& host = CurrentHost();
    host.BeginStage(kStageRefRewrite, static_cast<int>(lines.size()));
    for (const WasisSimpleLine& l : lines) {
      if (host.Step(true) != 0) return false;
      const auto& parts = PartsOfBase(l.oldBase);
      for (const auto& [s, part] : parts) {
        if (HasMarker(*part)) {
          Conflict(l.line, U(part->GetRefName()) + " in " + Shown(s) + " is changed by line " +
                               std::to_string(MarkedBy(*part)) + " already; left as that says");
          continue;
        }
        Mark(*part, l.newBase + CPart::SplitRef(part->GetRefName()).suffix, l.line);
      }
      if (parts.empty())
        Conflict(l.line, "no part has the reference " + U(l.oldBase) + "; nothing to change");
    }
    return true;
  }

  // The parts of a sheet whose centre is p, in list order. Phase one moves
  // nothing, so each sheet is indexed once.
  const std::vector<CPart*>& PartsAt(size_t sheet, CPoint p) {
    if (byCentre_.empty()) {
      byCentre_.resize(docs_.size());
      for (size_t s = 0; s < docs_.size(); ++s)
        for (const auto& part : docs_[s].GetSheet().Parts()) {
          const CPoint c = part->GetCenter();
          byCentre_[s][{c.x, c.y}].push_back(part.get());
        }
    }
    static const std::vector<CPart*> none;
    const auto it = byCentre_[sheet].find({p.x, p.y});
    return it == byCentre_[sheet].end() ? none : it->second;
  }

  // The parts (sheet, part) whose reference base is `base` (letter case
  // ignored), sheet by sheet in list order. Phase one renames nothing, so
  // the index is made once.
  const std::vector<std::pair<size_t, CPart*>>& PartsOfBase(const std::string& base) {
    if (!baseIndexed_) {
      baseIndexed_ = true;
      for (size_t s = 0; s < docs_.size(); ++s)
        for (const auto& part : docs_[s].GetSheet().Parts())
          if (!part->GetRefName().empty())
            byBase_[ToUpper(part->GetRefNameA())].emplace_back(s, part.get());
    }
    static const std::vector<std::pair<size_t, CPart*>> none;
    const auto it = byBase_.find(ToUpper(base));
    return it == byBase_.end() ? none : it->second;
  }

  // Phase two: every marked part takes what its mark carries.
  void Unmark(bool simple) {
    for (size_t s = 0; s < docs_.size(); ++s) {
      SheetChanges sheet;
      sheet.sheet = s;
      sheet.path = coverage_.sheets[s].path;
      sheet.name = names_[s];
      sheet.number = coverage_.sheets[s].number;
      ItemList<CPart>& parts = docs_[s].GetSheet().Parts();
      for (size_t i = 0; i < parts.size(); ++i) {
        CPart& part = *parts[i];
        if (!HasMarker(part)) continue;
        const std::string payload = part.FindString(kMarkerKey);
        part.DeleteText(kMarkerKey);
        PartChange c = PartChange::Of(part, i);
        if (simple) {
          c.newRef = payload;
        } else {
          const WasisFields f = ParseWasisFields(payload);
          if (f.name && !f.name->empty()) c.newName = *f.name;
          if (f.ref && !f.ref->empty()) c.newRef = *f.ref;
          if (f.value && !f.value->empty()) c.newValue = *f.value;
        }
        if (!c.ChangesSomething()) continue;
        c.ApplyTo(part);
        lines_[&part] = MarkedBy(part);
        sheet.changes.push_back(std::move(c));
      }
      if (!sheet.changes.empty()) result_.sheets.push_back(std::move(sheet));
    }
  }

  // A new reference that another part carries too, after every change.
  void CheckDuplicates() {
    std::unordered_map<std::string, std::vector<size_t>> sheetsOf;  // upper-cased reference
    for (size_t s = 0; s < docs_.size(); ++s)
      for (const auto& part : docs_[s].GetSheet().Parts())
        if (!part->GetRefName().empty()) sheetsOf[ToUpper(part->GetRefName())].push_back(s);
    for (const SheetChanges& sheet : result_.sheets) {
      for (const PartChange& c : sheet.changes) {
        if (c.newRef == c.oldRef || c.newRef.empty()) continue;
        const std::vector<size_t>& where = sheetsOf[ToUpper(c.newRef)];
        if (where.size() < 2) continue;
        std::string others;
        bool self = false;
        for (size_t s : where) {
          if (s == sheet.sheet && !self) {
            self = true;  // the changed part itself
            continue;
          }
          others += (others.empty() ? "" : ", ") + Shown(s);
        }
        const CPart& part = *docs_[sheet.sheet].GetSheet().Parts()[c.index];
        Conflict(lines_.count(&part) ? lines_.at(&part) : 0,
                 U(c.newRef) + " in " + Shown(sheet.sheet) + ": another part carries " +
                     U(c.newRef) + " too (" + others + ")");
      }
    }
  }

 private:
  std::vector<CSheetDoc>& docs_;
  const Coverage& coverage_;
  WasisApplyResult& result_;
  std::vector<std::string> names_;
  std::unordered_map<const CPart*, int> markedBy_;
  std::unordered_map<const CPart*, int> lines_;
  std::vector<std::pair<int, std::string>> conflicts_;
  std::vector<std::map<std::pair<int32_t, int32_t>, std::vector<CPart*>>> byCentre_;
  std::unordered_map<std::string, std::vector<std::pair<size_t, CPart*>>> byBase_;
  bool baseIndexed_ = false;
};

template <class Result>
Result Failed(std::string message) {
  return FailedResult<Result>(std::move(message));
}

}  // namespace

WasisOptions WasisOptions::FromSettings(const Settings& s) {
  WasisOptions o;
  o.simple = s.GetInt("Tool", "SimpleWasis") != 0;
  o.allFiles = s.GetInt("Sheet", "ProjectAllFile") != 0;
  return o;
}

std::string WasisPath(const std::string& base) { return WithExtension(base, ".tws"); }

WasisWriteResult RunWasisWrite(std::span<const std::string> inputs, const WasisOptions& options,
                               Host* progress, const SheetLoader& loader) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed<WasisWriteResult>(error);
  WasisWriteResult result;
  result.path = options.filePath.empty() ? WasisPath(coverage->BasePath()) : options.filePath;
  if (options.writeFile) {
    const std::string outputs[] = {result.path};
    if (auto clash = OutputOverInput(outputs, *coverage))
      return Failed<WasisWriteResult>(
          FileMessage(kMsgCannotCreate, *clash, "it is an input of the Was-Is file"));
  }

  CoverageHost host(progress ? *progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  std::vector<CSheetDoc> docs;
  GatheredParts gathered;
  switch (LoadAndGather(*coverage, loader, !options.simple, docs, gathered, error)) {
    case LoadResult::kCancelled:
      return CancelledResult<WasisWriteResult>();
    case LoadResult::kFailed:
      return Failed<WasisWriteResult>(error);
    case LoadResult::kOk:
      break;
  }
  if (options.simple) {
    if (gathered.Sheet().SortPartRef() != 0) return CancelledResult<WasisWriteResult>();
    result.text = WriteWasisSimple(gathered.Sheet());
    result.entries = static_cast<int>(std::count(result.text.begin(), result.text.end(), '\n'));
  } else {
    result.text = WriteWasisFull(gathered.Sheet(), Utf8ToCp932(coverage->projectPath));
    result.entries = static_cast<int>(gathered.Sheet().Parts().size());
  }
  if (options.writeFile && !WriteFileAtomic(result.path, result.text, &error))
    return Failed<WasisWriteResult>(FileMessage(kMsgCannotCreate, result.path, error));
  return result;
}

WasisApplyResult RunWasisApply(std::span<const std::string> inputs, const WasisOptions& options,
                               const AnnotateCallbacks& callbacks) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed<WasisApplyResult>(error);
  const std::string path =
      options.filePath.empty() ? WasisPath(coverage->BasePath()) : options.filePath;

  // The whole file is read before anything is marked.
  const std::optional<std::string> text = ReadFile(path);
  if (!text) return Failed<WasisApplyResult>(FileMessage(kMsgCannotOpen, path));
  const WasisRead read = options.simple ? ReadWasisSimple(*text) : ReadWasisFull(*text);
  if (read.error != WasisRead::kNone) return Failed<WasisApplyResult>(read.Message() + ": " + path);

  CoverageHost host(callbacks.progress ? *callbacks.progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  std::vector<CSheetDoc> docs;
  switch (LoadCoveredSheets(*coverage, callbacks.loader, docs, error)) {
    case LoadResult::kCancelled:
      return CancelledResult<WasisApplyResult>();
    case LoadResult::kFailed:
      return Failed<WasisApplyResult>(error);
    case LoadResult::kOk:
      break;
  }

  WasisApplyResult result;
  result.path = path;
  result.basePath = coverage->BasePath();
  result.records = static_cast<int>(options.simple ? read.lines.size() : read.records.size());
  ApplyRun run(docs, *coverage, result);
  for (int line : read.incomplete)
    run.Conflict(line, "the record lacks a File:, Old: or New: line; left out");
  for (int line : read.unusable) run.Conflict(line, "no old or no new reference; left out");
  const bool done = options.simple ? run.MarkSimple(read.lines) : run.MarkFull(read.records);
  if (!done) return CancelledResult<WasisApplyResult>();
  run.Unmark(options.simple);
  run.CheckDuplicates();
  run.ReportConflicts();

  if (callbacks.writeBack) {
    for (const SheetChanges& s : result.sheets) {
      if (!callbacks.writeBack(s, error)) {
        result.status = WasisApplyResult::kFailed;
        result.message = error;
        return result;
      }
      result.written.push_back(s.path);
    }
  }
  return result;
}

std::vector<std::string> WasisReport(const WasisApplyResult& result) {
  std::vector<std::string> lines;
  auto both = [](const std::string& from, const std::string& to) {
    return from == to ? U(from) : U(from) + " -> " + U(to);
  };
  for (const SheetChanges& sheet : result.sheets)
    for (const PartChange& c : sheet.changes)
      lines.push_back(ShownSheetName(sheet.path, result.basePath) + "\t" +
                      both(c.oldRef, c.newRef) + "\t" + both(c.oldName, c.newName) + "\t" +
                      both(c.oldValue, c.newValue));
  for (const std::string& c : result.conflicts) lines.push_back("conflict: " + c);
  return lines;
}

}  // namespace tavro
