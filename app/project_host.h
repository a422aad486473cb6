// The command line's answers to the macro questions of the core (&P&, &T&,
// &PPATH&, &AUTHOR&, named properties), taken from the project file given on
// the command line. Everything else the core asks (progress, cancel, open
// files, grid, font numbers, display colours and switches) goes to the host
// it wraps, so that it stacks over the progress bar or a job's host.
//
// Numbering: a sheet's number is its 1-based position among all entries of
// the project's file list, checked or not, and the count is the number of all
// entries. This is the numbering the project-wide jobs give their sheets (an
// unchecked file keeps its number free), so a title block reads the same
// number as the reports of the design.
//
// Without a project (no path, or a file that is not a project file) the
// macro answers are the default host's: no number, no path, no author, no
// properties.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/platform/host.h"

namespace tavro {

struct Coverage;

class ProjectHost : public Host {
 public:
  // `projectPath` is the project file as given (made absolute here); empty
  // for none. The project file is read once, its properties when first asked.
  ProjectHost(Host& target, const std::string& projectPath);
  // The project of a job's coverage (none when the job covers sheets).
  ProjectHost(Host& target, const Coverage& coverage);

  // --- forwarded to the wrapped host ---
  void BeginStage(int stage, int total) override { target_.BeginStage(stage, total); }
  int Step(bool advance) override { return target_.Step(advance); }
  bool IsFileOpen(const std::string& path) override { return target_.IsFileOpen(path); }
  int GridStep() override { return target_.GridStep(); }
  int FontNo(const LogFont& font) override { return target_.FontNo(font); }
  uint32_t DisplayColor(int item) override { return target_.DisplayColor(item); }
  bool DisplaySwitch(int item) override { return target_.DisplaySwitch(item); }

  // --- the project's macro values ---
  // The 1-based position of the sheet file (a full platform path) in the
  // project's file list; 0 when the project does not list it.
  int ProjectFileNumber(const std::string& path) override;
  int ProjectFileCount() override { return static_cast<int>(files_.size()); }
  // The project file's full path (CP932).
  std::string ProjectPath() override;
  // The project's "AUTHOR" property.
  std::string Author() override { return ProjectProperty("AUTHOR"); }
  // The project's named property (names compared without regard to case).
  std::string ProjectProperty(const std::string& key) override;

  bool HasProject() const { return !projectPath_.empty(); }

 private:
  Host& target_;
  std::string projectPath_;                        // full platform path; empty without a project
  std::vector<std::string> files_;                 // every entry, full normalised platform paths
  std::map<std::string, std::string> properties_;  // upper-cased name -> value
};

}  // namespace tavro
