#include "app/gui/view_mode_adapter.h"

#include <QInputDialog>
#include <QMessageBox>

#include "app/gui/editor_document.h"
#include "app/gui/package_dialog.h"
#include "app/gui/sheet_view.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library_ops.h"

namespace tavro::gui {

std::optional<PackageChoice> FindListedPackage(const std::string& name) {
  PackageChoice c;
  c.name = name;
  // A library of the list that is missing is skipped, not offered for creation.
  if (FindPackage(LibraryListOrStarter(), name, c.gates, {}).empty()) return std::nullopt;
  const Settings& s = AppSettings();
  for (const auto& g : c.gates.Parts())
    g->SetDisp(s.GetInt("Recent Part List", "NameDisp"), s.GetInt("Recent Part List", "RefDisp"),
               s.GetInt("Recent Part List", "ValDisp"));
  return c;
}

const CSheet& ViewModeAdapter::Sheet() const { return view_.Document().Sheet(); }

void ViewModeAdapter::Edit(const std::function<void(CSheet&)>& change) {
  view_.Document().Edit([&](CSheet& sheet, Selection&) { change(sheet); });
  view_.AfterEdit();
}

int ViewModeAdapter::GridStep() const { return view_.GridStep(); }
int ViewModeAdapter::HitTolerance() const { return view_.HitTolerance(); }
void ViewModeAdapter::Redraw() { view_.viewport()->update(); }

std::optional<std::string> ViewModeAdapter::AskText(const std::string& title,
                                                    const std::string& label,
                                                    const std::string& initial) {
  if (dialogs_.askText) return dialogs_.askText(title, label, initial);
  bool ok = false;
  const QString text =
      QInputDialog::getText(&view_, QString::fromStdString(title), QString::fromStdString(label),
                            QLineEdit::Normal, QString::fromStdString(Cp932ToUtf8(initial)), &ok);
  if (!ok) return std::nullopt;
  return Utf8ToCp932(text.toStdString());
}

std::optional<PackageChoice> ViewModeAdapter::ChoosePackage() {
  if (dialogs_.choosePackage) return dialogs_.choosePackage();
  return PackageDialog::Ask(&view_);
}

std::optional<PackageChoice> ViewModeAdapter::FindPackage(const std::string& name) {
  return FindListedPackage(name);
}

void ViewModeAdapter::Tell(const std::string& message) {
  if (dialogs_.tell) return dialogs_.tell(message);
  QMessageBox::information(&view_, QStringLiteral("Tavro"), QString::fromStdString(message));
}

}  // namespace tavro::gui
