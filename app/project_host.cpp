#include "app/project_host.h"

#include <optional>

#include "app/covered_sheets.h"
#include "app/project.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro {

ProjectHost::ProjectHost(Host& target, const std::string& projectPath) : target_(target) {
  if (projectPath.empty()) return;
  const std::string full = FullPath(projectPath);
  const std::optional<std::vector<ProjectEntry>> entries = ProjectFile::ReadEntries(full);
  if (!entries) return;
  projectPath_ = full;
  files_.reserve(entries->size());
  for (const ProjectEntry& e : *entries) files_.push_back(FullPath(e.path));
}

ProjectHost::ProjectHost(Host& target, const Coverage& coverage)
    : ProjectHost(target, coverage.projectPath) {}

int ProjectHost::ProjectFileNumber(const std::string& path) {
  if (files_.empty() || path.empty()) return 0;
  const std::string full = FullPath(path);
  // The same path first; then, for a list written where names ignore case,
  // the first entry that differs only in case.
  for (size_t i = 0; i < files_.size(); ++i)
    if (files_[i] == full) return static_cast<int>(i) + 1;
  for (size_t i = 0; i < files_.size(); ++i)
    if (EqualNoCase(files_[i], full)) return static_cast<int>(i) + 1;
  return 0;
}

std::string ProjectHost::ProjectPath() { return Utf8ToCp932(projectPath_); }

std::string ProjectHost::ProjectProperty(const std::string& key) {
  if (projectPath_.empty() || key.empty()) return {};
  const std::string upper = ToUpper(key);
  auto it = properties_.find(upper);
  if (it == properties_.end())
    it = properties_.emplace(upper, ProjectFile::GetProperty(projectPath_, key)).first;
  return it->second;
}

}  // namespace tavro
