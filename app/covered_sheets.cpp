#include "app/covered_sheets.h"

#include <exception>
#include <filesystem>

#include "app/project.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace fs = std::filesystem;

namespace {

// A message on one line.
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return Trim(s);
}

bool IsProjectPath(const std::string& path) {
  return path.size() >= 4 && EqualNoCase(path.substr(path.size() - 4), ".tpj");
}

DocStatus ReadSheetFile(const std::string& path, CSheetDoc& doc) {
  // The title frame plays no part in the nets or the index, so it is not loaded.
  const std::optional<std::string> data = ReadFile(path);
  if (!data) {
    DocStatus st;
    st.ok = false;
    st.message = FileMessage(kMsgCannotOpen, path);
    return st;
  }
  return doc.Load(*data, path, false);
}

}  // namespace

std::string FileMessage(std::string_view tmpl, const std::string& file, const std::string& why) {
  std::string m = ReplaceAll(tmpl, "%1", file);
  if (!why.empty()) m += " (" + why + ")";
  return m;
}

std::string ApplyLineEnds(std::string_view text, bool unix) {
  if (unix) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string FullPath(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  return (ec ? fs::path(path) : p).lexically_normal().string();
}

std::string WithExtension(const std::string& path, std::string_view ext) {
  return fs::path(path).replace_extension(fs::path(std::string(ext))).string();
}

const std::string& Coverage::BasePath() const {
  static const std::string none;
  if (IsProject()) return projectPath;
  return sheets.empty() ? none : sheets.front().path;
}

std::optional<Coverage> ResolveCoverage(std::span<const std::string> inputs, bool allFiles,
                                        std::string& error) {
  Coverage c;
  if (inputs.empty()) {
    error = "no sheet file or project file given";
    return std::nullopt;
  }
  const bool project = IsProjectPath(inputs.front());
  if (project && inputs.size() > 1) {
    error = "a project file is given alone, without sheet files";
    return std::nullopt;
  }
  if (!project) {
    for (const std::string& in : inputs) {
      if (IsProjectPath(in)) {
        error = "a project file is given alone, without sheet files";
        return std::nullopt;
      }
      const std::string path = FullPath(in);
      c.sheets.push_back({path, static_cast<int>(c.sheets.size()) + 1});
      c.listedFiles.push_back(path);
    }
    return c;
  }

  c.projectPath = FullPath(inputs.front());
  auto entries = ProjectFile::ReadEntries(c.projectPath);
  if (!entries) {
    error = FileMessage(kMsgCannotOpen, inputs.front(), "not a project file");
    return std::nullopt;
  }
  for (size_t i = 0; i < entries->size(); ++i) {
    const ProjectEntry& e = (*entries)[i];
    const std::string path = fs::path(e.path).lexically_normal().string();
    c.listedFiles.push_back(path);
    if (allFiles || e.checked) c.sheets.push_back({path, static_cast<int>(i) + 1});
  }
  if (c.sheets.empty()) {
    error = FileMessage(kMsgCannotOpen, inputs.front(),
                        allFiles ? "the project lists no sheet file"
                                 : "the project has no checked sheet file; --all takes every file");
    return std::nullopt;
  }
  return c;
}

CoverageHost::CoverageHost(Host& target, const Coverage& coverage) : target_(target) {
  for (const CoveredSheet& s : coverage.sheets) open_.push_back(s.path);
}

bool CoverageHost::IsFileOpen(const std::string& path) {
  for (const std::string& f : open_)
    if (EqualNoCase(f, path)) return true;
  return false;
}

bool LoadSheet(const std::string& path, const SheetLoader& loader, CSheetDoc& doc,
               std::string& error) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    error = FileMessage(kMsgCannotOpen, path, "no such sheet file");
    return false;
  }
  DocStatus st;
  try {
    st = loader ? loader(path, doc) : ReadSheetFile(path, doc);
  } catch (const std::exception& e) {
    st.ok = false;
    st.message = e.what();
  }
  if (st.ok) return true;
  const std::string why = OneLine(st.message);
  error = why.find(path) != std::string::npos || why == FileMessage(kMsgCannotOpen, path)
              ? why
              : FileMessage(kMsgCannotOpen, path, why);
  return false;
}

LoadResult LoadCoveredSheets(const Coverage& coverage, const SheetLoader& loader,
                             std::vector<CSheetDoc>& docs, std::string& error) {
  Host& host = CurrentHost();
  docs = std::vector<CSheetDoc>(coverage.sheets.size());
  host.BeginStage(kStageReadFiles, static_cast<int>(coverage.sheets.size()));
  for (size_t i = 0; i < coverage.sheets.size(); ++i) {
    if (host.Step(true) != 0) return LoadResult::kCancelled;
    if (!LoadSheet(coverage.sheets[i].path, loader, docs[i], error)) return LoadResult::kFailed;
  }
  return LoadResult::kOk;
}

int BuildCoveredNets(const Coverage& coverage, std::vector<CSheetDoc>& docs, NetList& nets) {
  std::vector<NetSheet> sheets;
  for (size_t i = 0; i < docs.size() && i < coverage.sheets.size(); ++i)
    sheets.push_back({&docs[i].GetSheet(), coverage.sheets[i].path, coverage.sheets[i].number});
  return BuildNets(sheets, nets);
}

std::optional<std::string> OutputOverInput(std::span<const std::string> outputs,
                                           const Coverage& coverage) {
  for (const std::string& out : outputs) {
    if (out.empty()) continue;
    const std::string full = FullPath(out);
    bool clash = coverage.IsProject() && full == coverage.projectPath;
    for (const std::string& f : coverage.listedFiles) clash = clash || full == f;
    if (clash) return out;
  }
  return std::nullopt;
}

}  // namespace tavro
