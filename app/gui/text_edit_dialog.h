// TextEditDialog (文字編集): a free text's string, alignment (左 中 右 /
// 上 中 下), whether it is shown, its direction (0 / 90 / 180 / 270), height,
// frame style, 属性を維持 (keep the look as the defaults of new texts),
// 印刷 (printed), its own font (フォント指定 and フォント, written into the
// 60-byte font record), and 連続 (continuous editing).
#pragma once

#include <QDialog>
#include <QFont>
#include <functional>
#include <optional>

#include "app/gui/attribute_fields.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tavro::gui {

// A font record from a font chosen in a font dialog (face, weight, italic,
// underline; the height follows the text), and the font a record stands for.
LogFont LogFontFromQFont(const QFont& font);
QFont QFontFromLogFont(const LogFont& font);

class TextEditDialog : public QDialog {
  Q_OBJECT

 public:
  TextEditDialog(const TextFields& fields, bool keepAttributes, bool continuous,
                 QWidget* parent = nullptr);

  TextFields Fields() const;
  bool KeepAttributes() const;
  bool Continuous() const;
  QString Problem() const;

  // Asks for a font (null: the font dialog); nullopt when cancelled.
  using FontChooser = std::function<std::optional<QFont>(const QFont& current)>;
  void SetFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }
  // フォント: asks for the text's own font and checks フォント指定.
  void ChooseFont();

  QLineEdit* TextEdit() const { return text_; }
  QButtonGroup* HorizontalGroup() const { return horizontal_; }
  QButtonGroup* VerticalGroup() const { return vertical_; }
  QButtonGroup* DirectionGroup() const { return direction_; }
  QCheckBox* ShownBox() const { return shown_; }
  QSpinBox* HeightEdit() const { return height_; }
  QComboBox* FrameList() const { return frame_; }
  QCheckBox* KeepBox() const { return keep_; }
  QCheckBox* PrintedBox() const { return printed_; }
  QCheckBox* OwnFontBox() const { return ownFont_; }
  QCheckBox* ContinuousBox() const { return continuous_; }

  void accept() override;

 private:
  void ShowFont();

  TextFields initial_;
  LogFont font_;
  FontChooser chooseFont_;
  QLineEdit* text_ = nullptr;
  QButtonGroup* horizontal_ = nullptr;
  QButtonGroup* vertical_ = nullptr;
  QButtonGroup* direction_ = nullptr;
  QCheckBox* shown_ = nullptr;
  QSpinBox* height_ = nullptr;
  QComboBox* frame_ = nullptr;
  QCheckBox* keep_ = nullptr;
  QCheckBox* printed_ = nullptr;
  QCheckBox* ownFont_ = nullptr;
  QPushButton* fontButton_ = nullptr;
  QLabel* fontName_ = nullptr;
  QCheckBox* continuous_ = nullptr;
  int shownH_ = 0, shownV_ = 2, shownDir_ = 0;  // the choices first shown
};

}  // namespace tavro::gui
