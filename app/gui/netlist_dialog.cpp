#include "app/gui/netlist_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

QString Q(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string Cp(const QString& s) { return Utf8ToCp932(s.toStdString()); }

// The public formats in the order of the list ("NetType" is a position).
std::vector<const NetlistFormat*> ListedFormats() {
  std::vector<const NetlistFormat*> out;
  for (int pos = 0;; ++pos) {
    const std::optional<int> number = FormatAtListPosition(pos);
    if (!number) break;
    out.push_back(FindNetlistFormat(*number));
  }
  return out;
}

}  // namespace

NetlistDialog::NetlistDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ネットリスト"));
  const Settings& s = AppSettings();
  const NetlistOptions o = NetlistOptions::FromSettings(s);

  auto* columns = new QHBoxLayout;
  auto* formatBox = new QGroupBox(QStringLiteral("フォーマット(&F)"), this);
  auto* formatLayout = new QVBoxLayout(formatBox);
  formats_ = new QListWidget(formatBox);
  formats_->setObjectName(QStringLiteral("format"));
  for (const NetlistFormat* f : ListedFormats())
    formats_->addItem(QStringLiteral("%1  (%2)")
                          .arg(QString::fromUtf8(f->name), QString::fromUtf8(f->extension)));
  formats_->setCurrentRow(std::max(0, ListPositionOf(o.format)));
  formats_->setMinimumWidth(220);
  formatLayout->addWidget(formats_);
  columns->addWidget(formatBox);

  auto* right = new QVBoxLayout;
  auto* form = new QFormLayout;
  startNo_ = new QSpinBox(this);
  startNo_->setObjectName(QStringLiteral("startNo"));
  startNo_->setRange(0, 999999999);
  startNo_->setValue(static_cast<int>(std::min(o.startNo, 999999999u)));
  form->addRow(QStringLiteral("ネット開始番号(&S):"), startNo_);
  pcb_ = new QLineEdit(Q(o.pcbProperty), this);
  pcb_->setObjectName(QStringLiteral("pcb"));
  pcb_->setToolTip(QStringLiteral("フットプリント名を持つ部品プロパティの名前"));
  form->addRow(QStringLiteral("PCBプロパティ(&P):"), pcb_);
  right->addLayout(form);

  auto* compoBox = new QGroupBox(QStringLiteral("コンポーネント"), this);
  auto* compoLayout = new QFormLayout(compoBox);
  compo_ = new QCheckBox(QStringLiteral("コンポーネントファイルを別に出力する(&C)"), compoBox);
  compo_->setObjectName(QStringLiteral("compo"));
  compo_->setChecked(o.componentFile);
  ext_ = new QLineEdit(Q(o.componentExt), compoBox);
  ext_->setObjectName(QStringLiteral("ext"));
  ext_->setEnabled(o.componentFile);
  connect(compo_, &QCheckBox::toggled, ext_, &QWidget::setEnabled);
  compoLayout->addRow(compo_);
  compoLayout->addRow(QStringLiteral("拡張子(&E):"), ext_);
  right->addWidget(compoBox);

  auto box = [this](const char* label, const char* name, bool on) {
    return CheckBox(this, label, name, on);
  };
  index_ = box("ネットインデックスを出力する(&I)", "index", o.index);
  html_ = box("ネットレポートをHTMLでも出力する(&H)", "html", o.html);
  unix_ = box("改行をLFにする(&U)", "unix", o.unixLineEnds);
  view_ = box("作成したファイルを見る(&V)", "view", s.GetInt("Tool", "View") != 0);
  for (QCheckBox* c : {index_, html_, unix_, view_}) right->addWidget(c);
  right->addStretch(1);
  columns->addLayout(right);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(OkCancelButtons(this, QStringLiteral("OK")));
}

NetlistOptions NetlistDialog::Options() const {
  const Settings& s = AppSettings();
  NetlistOptions o = NetlistOptions::FromSettings(s);
  o.format = FormatAtListPosition(formats_->currentRow()).value_or(o.format);
  o.startNo = static_cast<unsigned>(startNo_->value());
  o.pcbProperty = Cp(pcb_->text().trimmed());
  o.componentFile = compo_->isChecked();
  o.componentExt = Cp(ext_->text().trimmed());
  o.index = index_->isChecked();
  o.html = html_->isChecked();
  o.unixLineEnds = unix_->isChecked();
  o.report = true;
  o.allFiles = s.GetInt("Sheet", "ProjectAllFile") != 0;
  return o;
}

bool NetlistDialog::View() const { return view_->isChecked(); }

QString NetlistDialog::Problem() const {
  // The extension matters only when the component file is written.
  if (!compo_->isChecked()) return {};
  const NetlistOptions o = Options();
  const NetlistFormat* f = FindNetlistFormat(o.format);
  const auto bad = CheckComponentExt(o.componentExt, f ? f->extension : ".net");
  return bad ? QString::fromStdString(*bad) : QString();
}

void NetlistDialog::StoreSettings() const {
  Settings& s = AppSettings();
  const NetlistOptions o = Options();
  s.WriteInt("Tool", "NetType", std::max(0, formats_->currentRow()));
  s.WriteInt("Tool", "StartNo", static_cast<int32_t>(o.startNo));
  s.WriteString("Tool", "PCB", o.pcbProperty);
  s.WriteInt("Tool", "Compo", o.componentFile ? 1 : 0);
  s.WriteString("Tool", "Ext", o.componentExt);
  s.WriteInt("Tool", "Index", o.index ? 1 : 0);
  s.WriteInt("Tool", "Html", o.html ? 1 : 0);
  s.WriteInt("Tool", "NetUnix", o.unixLineEnds ? 1 : 0);
  s.WriteInt("Tool", "View", View() ? 1 : 0);
}

void NetlistDialog::accept() {
  const QString problem = Problem();
  if (!problem.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), problem);
    ext_->setFocus();
    ext_->selectAll();
    return;
  }
  StoreSettings();
  QDialog::accept();
}

}  // namespace tavro::gui
