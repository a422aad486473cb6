// RegisterPartsDialog (パッケージ登録): how the selected parts are stored in
// a library as one package: its name, the target library (one of the
// library list, or a path typed in) and the properties left out. The
// choices of the last registration ("Library File List"/"AddPart" and
// "Except") are the defaults of the next.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;

namespace tavro::gui {

struct PackageRequest {
  std::string package;  // CP932
  std::string library;  // UTF-8 path
  std::string except;   // CP932: "NOMOUNT,FILE"

  // The defaults: the package named after `partName` (CP932), the library
  // and the excluded properties of the last registration.
  static PackageRequest FromSettings(const std::string& partName);
  // Remembers the library and the excluded properties; false when the
  // settings could not be written.
  bool Store() const;
};

class RegisterPartsDialog : public QDialog {
  Q_OBJECT

 public:
  RegisterPartsDialog(const PackageRequest& request, const std::vector<std::string>& libraries,
                      QWidget* parent = nullptr);

  PackageRequest Request() const;
  void accept() override;

 private:
  QLineEdit* name_ = nullptr;
  QComboBox* library_ = nullptr;
  QLineEdit* except_ = nullptr;
};

}  // namespace tavro::gui
