// The sheets a project-wide job covers, and the nets built from them, shared
// by the netlist, the rule check and the net index so that every job reads
// and joins the sheets the same way.
//
// A job takes one project file (".tpj": its checked files in project order,
// or every file with allFiles) or one or more sheet files, which stand for
// "the open sheets". Each covered sheet carries its number: its 1-based
// position in the project's file list (so an unchecked file keeps its number
// free), or its position among the given sheets. Reading the covered sheets
// stops at the first that cannot be read, naming it; while a job runs, the
// host's "is this FILE open" question is answered from the covered sheets,
// which are the sheets the job has open.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file/document.h"
#include "core/net/connectivity.h"
#include "core/platform/host.h"

namespace tavro {

// Reads one covered sheet file into a document (CSheetDoc::Open when empty).
using SheetLoader = std::function<DocStatus(const std::string& path, CSheetDoc& doc)>;

struct CoveredSheet {
  std::string path;  // full platform path
  int number = 0;    // 1-based number in the project (or among the given sheets)
};

struct Coverage {
  std::string projectPath;  // full path of the project file; empty for sheets
  std::vector<CoveredSheet> sheets;
  // The files that the sheet numbers count: every file of the project in
  // project order, or the given sheets. File number n is listedFiles[n - 1].
  std::vector<std::string> listedFiles;

  bool IsProject() const { return !projectPath.empty(); }
  // The file a job's reports are named after: the project, or the first sheet.
  const std::string& BasePath() const;
};

// The coverage of a job's inputs; nullopt with `error` (UTF-8) when the
// project cannot be read or lists no (checked) file, when a project is given
// with other files, or when nothing is given.
std::optional<Coverage> ResolveCoverage(std::span<const std::string> inputs, bool allFiles,
                                        std::string& error);

// The host during a job: progress goes to the caller's host; "is this FILE
// open" is answered from the covered sheets.
class CoverageHost : public Host {
 public:
  CoverageHost(Host& target, const Coverage& coverage);
  void BeginStage(int stage, int total) override { target_.BeginStage(stage, total); }
  int Step(bool advance) override { return target_.Step(advance); }
  bool IsFileOpen(const std::string& path) override;
  int GridStep() override { return target_.GridStep(); }
  int FontNo(const LogFont& font) override { return target_.FontNo(font); }
  uint32_t DisplayColor(int item) override { return target_.DisplayColor(item); }
  bool DisplaySwitch(int item) override { return target_.DisplaySwitch(item); }
  int ProjectFileNumber(const std::string& path) override {
    return target_.ProjectFileNumber(path);
  }
  int ProjectFileCount() override { return target_.ProjectFileCount(); }
  std::string ProjectPath() override { return target_.ProjectPath(); }
  std::string Author() override { return target_.Author(); }
  std::string ProjectProperty(const std::string& key) override {
    return target_.ProjectProperty(key);
  }

 private:
  Host& target_;
  std::vector<std::string> open_;
};

enum class LoadResult { kOk, kCancelled, kFailed };

// Reads one sheet file with `loader` (the plain sheet reader, without title
// frame, when empty). False with `error` (UTF-8, naming the file) when the
// file does not exist or cannot be read.
bool LoadSheet(const std::string& path, const SheetLoader& loader, CSheetDoc& doc,
               std::string& error);

// Reads every covered sheet into `docs` (progress stage "データ読込み中", one
// step per sheet); the first sheet that cannot be read fails the run.
LoadResult LoadCoveredSheets(const Coverage& coverage, const SheetLoader& loader,
                             std::vector<CSheetDoc>& docs, std::string& error);

// The nets of the covered sheets as the netlist command builds them
// (BuildNets: per sheet, joined in order, merged by name, sorted), each pin
// entry recording its sheet's path and number. 1 when cancelled, else 0.
int BuildCoveredNets(const Coverage& coverage, std::vector<CSheetDoc>& docs, NetList& nets);

// --- shared by the jobs ---
// "ファイル %1 を開けません" and the like with the file, and the reason in
// parentheses when there is one.
std::string FileMessage(std::string_view tmpl, const std::string& file,
                        const std::string& why = {});
inline constexpr std::string_view kMsgCannotOpen = "ファイル %1 を開けません";
inline constexpr std::string_view kMsgCannotCreate = "ファイル %1 を作成できません";
// LF line ends to CR LF (unless unix).
std::string ApplyLineEnds(std::string_view text, bool unix);
// An absolute, normalised path.
std::string FullPath(const std::string& path);

// The result of a job that failed (with its message) or was cancelled; every
// job's result has a status with kFailed and kCancelled and a message.
template <class Result>
Result FailedResult(std::string message) {
  Result r;
  r.status = Result::kFailed;
  r.message = std::move(message);
  return r;
}
template <class Result>
Result CancelledResult() {
  Result r;
  r.status = Result::kCancelled;
  return r;
}
// `path` with its extension replaced by `ext` (".nrp", ".net.csv").
std::string WithExtension(const std::string& path, std::string_view ext);
// The first of `outputs` (non-empty ones) that would replace an input of the
// job (the project file or a sheet file it lists, or a given sheet); nullopt
// when none does.
std::optional<std::string> OutputOverInput(std::span<const std::string> outputs,
                                           const Coverage& coverage);

}  // namespace tavro
