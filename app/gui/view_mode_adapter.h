// ViewModeAdapter: what an input mode reaches of its sheet window: the
// document's sheet and undoable changes, the grid, the redraw, and the
// dialogs that ask for a text or a package. The dialogs can be replaced
// (tests answer instead of a user).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/gui/modes/input_mode.h"

namespace tavro::gui {

class SheetView;

struct ModeDialogs {
  // Asks for a text (title and label UTF-8; the answer CP932).
  std::function<std::optional<std::string>(const std::string& title, const std::string& label,
                                           const std::string& initial)>
      askText;
  // Asks for a package to place.
  std::function<std::optional<PackageChoice>()> choosePackage;
  std::function<void(const std::string& message)> tell;
};

class ViewModeAdapter : public ModeAdapter {
 public:
  explicit ViewModeAdapter(SheetView& view) : view_(view) {}

  const CSheet& Sheet() const override;
  void Edit(const std::function<void(CSheet&)>& change) override;
  int GridStep() const override;
  int HitTolerance() const override;
  void Redraw() override;
  std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                     const std::string& initial) override;
  std::optional<PackageChoice> ChoosePackage() override;
  std::optional<PackageChoice> FindPackage(const std::string& name) override;
  void Tell(const std::string& message) override;

  ModeDialogs& Dialogs() { return dialogs_; }

 private:
  SheetView& view_;
  ModeDialogs dialogs_;
};

// The package of a name along the library list (aliases resolved; a missing
// library is skipped, never created); nullopt when no library holds it.
std::optional<PackageChoice> FindListedPackage(const std::string& name);

}  // namespace tavro::gui
