#include "app/gui/text_edit_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/attribute_dialog_parts.h"
#include "app/gui/dialog_parts.h"
#include "core/platform/dbcs.h"
#include "core/platform/font_engine.h"

namespace tavro::gui {

namespace {

// The character set of a font record whose face is a Japanese one.
constexpr uint8_t kShiftJisCharSet = 128;

QButtonGroup* RadioRow(QWidget* parent, QHBoxLayout* row, std::initializer_list<const char*> labels,
                       int checked) {
  auto* group = new QButtonGroup(parent);
  int id = 0;
  for (const char* label : labels) {
    auto* b = new QRadioButton(QString::fromUtf8(label), parent);
    group->addButton(b, id);
    row->addWidget(b);
    if (id == checked) b->setChecked(true);
    ++id;
  }
  row->addStretch();
  return group;
}

}  // namespace

LogFont LogFontFromQFont(const QFont& font) {
  LogFont f;
  const std::string face = ToCp932(font.family());
  f.SetFaceName(face);
  f.weight = std::clamp(static_cast<int>(font.weight()), 0, 1000);
  f.italic = font.italic() ? 1 : 0;
  f.underline = font.underline() ? 1 : 0;
  const std::string kept = f.FaceName();
  const bool japanese = std::any_of(
      kept.begin(), kept.end(), [](char c) { return IsLeadByte(static_cast<unsigned char>(c)); });
  f.charSet = japanese ? kShiftJisCharSet : 0;
  return f;
}

QFont QFontFromLogFont(const LogFont& font) {
  QFont f(FromCp932(font.FaceName()));
  if (font.weight > 0) f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
  f.setItalic(font.italic != 0);
  f.setUnderline(font.underline != 0);
  return f;
}

TextEditDialog::TextEditDialog(const TextFields& fields, bool keepAttributes, bool continuous,
                               QWidget* parent)
    : QDialog(parent), initial_(fields), font_(fields.font) {
  setWindowTitle(QStringLiteral("文字編集"));
  auto* layout = new QVBoxLayout(this);
  auto* textRow = new QHBoxLayout;
  text_ = new QLineEdit(FromCp932(fields.text), this);
  text_->setMinimumWidth(280);
  shown_ = CheckBox(this, "表示(&D)", "shown", fields.shown);
  auto* textLabel = new QLabel(QStringLiteral("文字(&T):"), this);
  textLabel->setBuddy(text_);
  textRow->addWidget(textLabel);
  textRow->addWidget(text_, 1);
  textRow->addWidget(shown_);
  layout->addLayout(textRow);

  // An alignment or direction the choices do not name is shown as the
  // default choice and kept unless another is chosen.
  if (!SplitOrg(fields.org, shownH_, shownV_)) {
    shownH_ = 0;
    shownV_ = 2;
  }
  shownDir_ = (fields.dir & 0xFF) == 0 ? (fields.dir >> 8) & 3 : 0;
  auto* place = new QGroupBox(QStringLiteral("位置"), this);
  auto* placeRows = new QVBoxLayout(place);
  auto* hRow = new QHBoxLayout;
  auto* vRow = new QHBoxLayout;
  horizontal_ = RadioRow(place, hRow, {"左(&L)", "中(&C)", "右(&G)"}, shownH_);
  vertical_ = RadioRow(place, vRow, {"上(&U)", "中(&M)", "下(&B)"}, shownV_);
  placeRows->addLayout(hRow);
  placeRows->addLayout(vRow);
  layout->addWidget(place);

  auto* turn = new QGroupBox(QStringLiteral("方向"), this);
  auto* dirRow = new QHBoxLayout(turn);
  direction_ = RadioRow(turn, dirRow, {"0", "90", "180", "270"}, shownDir_);
  layout->addWidget(turn);

  auto* form = new QFormLayout;
  height_ = new QSpinBox(this);
  height_->setRange(kTextMinSize, kTextMaxSize);
  height_->setSingleStep(kTextSizeStep);
  height_->setValue(std::clamp(fields.height, kTextMinSize, kTextMaxSize));
  form->addRow(QStringLiteral("高さ(&H):"), height_);
  frame_ = new QComboBox(this);
  for (const TextFrameStyle& s : TextFrameStyles())
    frame_->addItem(FromCp932(std::string(s.name)), static_cast<uint>(s.code));
  if (frame_->findData(static_cast<uint>(fields.frame)) < 0)  // an unknown style stays
    frame_->addItem(QStringLiteral("0x%1").arg(fields.frame, 0, 16),
                    static_cast<uint>(fields.frame));
  frame_->setCurrentIndex(frame_->findData(static_cast<uint>(fields.frame)));
  form->addRow(QStringLiteral("枠(&W):"), frame_);
  layout->addLayout(form);

  auto* fontRow = new QHBoxLayout;
  ownFont_ = CheckBox(this, "フォント指定(&S)", "ownFont", fields.ownFont);
  fontButton_ = new QPushButton(QStringLiteral("フォント(&F)..."), this);
  fontName_ = new QLabel(this);
  fontRow->addWidget(ownFont_);
  fontRow->addWidget(fontButton_);
  fontRow->addWidget(fontName_, 1);
  layout->addLayout(fontRow);
  connect(fontButton_, &QPushButton::clicked, this, &TextEditDialog::ChooseFont);
  connect(ownFont_, &QCheckBox::toggled, this, [this](bool on) {
    // An own font never chosen starts as the default font of texts.
    if (on && font_.FaceName().empty()) font_ = FcFtFontEngine::DefaultSingleByteFont();
    ShowFont();
  });
  ShowFont();

  auto* flags = new QHBoxLayout;
  keep_ = CheckBox(this, "属性を維持(&K)", "keep", keepAttributes);
  printed_ = CheckBox(this, "印刷(&P)", "printed", fields.printed);
  continuous_ = CheckBox(this, "連続(&R)", "continuous", continuous);
  flags->addWidget(keep_);
  flags->addWidget(printed_);
  flags->addWidget(continuous_);
  flags->addStretch();
  layout->addLayout(flags);
  layout->addWidget(OkCancelButtons(this));
}

void TextEditDialog::ShowFont() {
  fontName_->setEnabled(ownFont_->isChecked());
  if (font_.FaceName().empty()) {
    fontName_->clear();
    return;
  }
  QString shown = FromCp932(font_.FaceName());
  if (font_.weight >= 600) shown += QStringLiteral(" 太字");
  if (font_.italic != 0) shown += QStringLiteral(" 斜体");
  fontName_->setText(shown);
}

void TextEditDialog::ChooseFont() {
  const QFont current =
      QFontFromLogFont(font_.FaceName().empty() ? FcFtFontEngine::DefaultSingleByteFont() : font_);
  std::optional<QFont> chosen;
  if (chooseFont_) {
    chosen = chooseFont_(current);
  } else {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, current, this, QStringLiteral("フォント"));
    if (ok) chosen = f;
  }
  if (!chosen) return;
  LogFont f = LogFontFromQFont(*chosen);
  // What the font dialog does not set stays as the record had it.
  f.height = font_.height;
  f.width = font_.width;
  f.outPrecision = font_.outPrecision;
  f.clipPrecision = font_.clipPrecision;
  f.quality = font_.quality;
  f.pitchAndFamily = font_.pitchAndFamily;
  font_ = f;
  ownFont_->setChecked(true);
  ShowFont();
}

TextFields TextEditDialog::Fields() const {
  TextFields f = initial_;
  f.text = EditedCp932(text_->text(), initial_.text);
  const int h = horizontal_->checkedId(), v = vertical_->checkedId();
  if (h != shownH_ || v != shownV_) f.org = OrgCode(h, v);
  if (const int d = direction_->checkedId(); d != shownDir_) f.dir = d << 8;
  f.shown = shown_->isChecked();
  if (height_->value() != std::clamp(initial_.height, kTextMinSize, kTextMaxSize))
    f.height = height_->value();
  f.frame = frame_->currentData().toUInt();
  f.printed = printed_->isChecked();
  f.ownFont = ownFont_->isChecked();
  if (f.ownFont) f.font = font_;
  return f;
}

bool TextEditDialog::KeepAttributes() const { return keep_->isChecked(); }

bool TextEditDialog::Continuous() const { return continuous_->isChecked(); }

QString TextEditDialog::Problem() const {
  if (text_->text().isEmpty()) return QStringLiteral("文字を入力してください");
  return EditedProblem(text_->text(), initial_.text);
}

void TextEditDialog::accept() {
  if (const QString why = Problem(); !why.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), why);
    return;
  }
  QDialog::accept();
}

}  // namespace tavro::gui
