// EditorHost: the editor's answers to the core's questions: progress in the
// status bar (Esc cancels), the sheets open in the editor, the grid step,
// and the macro values of the current project.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/project_host.h"
#include "core/platform/host.h"

namespace tavro::gui {

class EditorHost : public Host {
 public:
  struct Hooks {
    std::function<void(int stage, int total)> beginStage;
    std::function<void()> step;                          // the bar moves by one
    std::function<bool(const std::string&)> isFileOpen;  // a full path
  };
  explicit EditorHost(Hooks hooks);
  ~EditorHost() override;

  // The project whose macro values the texts show ("" for none).
  void SetProject(const std::string& projectPath);
  const std::string& Project() const { return projectPath_; }
  // Asks a long job to stop at its next step.
  void RequestCancel() { cancel_ = true; }

  void BeginStage(int stage, int total) override;
  int Step(bool advance) override;
  bool IsFileOpen(const std::string& path) override;
  int GridStep() override;

  int ProjectFileNumber(const std::string& path) override {
    return project_->ProjectFileNumber(path);
  }
  int ProjectFileCount() override { return project_->ProjectFileCount(); }
  std::string ProjectPath() override { return project_->ProjectPath(); }
  std::string Author() override { return project_->Author(); }
  std::string ProjectProperty(const std::string& key) override {
    return project_->ProjectProperty(key);
  }

 private:
  Hooks hooks_;
  Host base_;
  std::string projectPath_;
  std::unique_ptr<ProjectHost> project_;
  bool cancel_ = false;
  int polls_ = 0;
};

}  // namespace tavro::gui
