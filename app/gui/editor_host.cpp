#include "app/gui/editor_host.h"

#include <QCoreApplication>

#include "core/platform/settings.h"

namespace tavro::gui {

EditorHost::EditorHost(Hooks hooks)
    : hooks_(std::move(hooks)), project_(std::make_unique<ProjectHost>(base_, std::string())) {}

EditorHost::~EditorHost() = default;

void EditorHost::SetProject(const std::string& projectPath) {
  projectPath_ = projectPath;
  project_ = std::make_unique<ProjectHost>(base_, projectPath);
}

void EditorHost::BeginStage(int stage, int total) {
  cancel_ = false;
  if (hooks_.beginStage) hooks_.beginStage(stage, total);
}

int EditorHost::Step(bool advance) {
  if (advance && hooks_.step) hooks_.step();
  // The window answers input (Esc asks to cancel) every few hundred polls.
  if (advance || ++polls_ % 512 == 0) QCoreApplication::processEvents();
  if (cancel_) {
    cancel_ = false;
    return 1;
  }
  return 0;
}

bool EditorHost::IsFileOpen(const std::string& path) {
  return hooks_.isFileOpen ? hooks_.isFileOpen(path) : false;
}

int EditorHost::GridStep() {
  const int step = AppSettings().GetInt("Sheet", "MainGrid");
  return step > 0 ? step : 100;
}

}  // namespace tavro::gui
