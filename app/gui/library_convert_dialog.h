// LibraryConvertDialog (部品ファイル変換): the direction and the two files of
// a library conversion, then the GUI-free job. It opens on the last
// conversion of the settings and stores the choice after one that
// succeeded; a conversion that fails or is not confirmed keeps the dialog
// open.
#pragma once

#include <QDialog>
#include <functional>

#include "app/library_convert_job.h"

class QLineEdit;
class QRadioButton;

namespace tavro::gui {

class LibraryConvertDialog : public QDialog {
  Q_OBJECT

 public:
  // How the dialog asks and tells; message boxes when unset.
  struct Hooks {
    std::function<bool(const QString& question)> ask;  // yes / no
    std::function<void(const QString& message)> warn;
    std::function<void(const QString& message)> inform;
  };
  explicit LibraryConvertDialog(const LibraryConvertJob& job, QWidget* parent = nullptr,
                                Hooks hooks = {});

  LibraryConvertJob Job() const;
  void SetJob(const LibraryConvertJob& job);
  // A destination chosen in the file dialog with the filter of index
  // `filter` (0 text, 1 library, 2 all files: the direction stays).
  void ChooseDestination(const QString& path, int filter);
  // OK: the conversion; true when it was done (the settings stored).
  bool Convert();
  void accept() override;

  // The dialog on the stored settings.
  static void Run(QWidget* parent);

 private:
  void Browse(bool destination);

  Hooks hooks_;
  QRadioButton* toText_ = nullptr;
  QRadioButton* fromText_ = nullptr;
  QLineEdit* source_ = nullptr;
  QLineEdit* dest_ = nullptr;
};

}  // namespace tavro::gui
