#include "app/gui/tool_actions.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <filesystem>

#include "app/gui/bom_dialog.h"
#include "app/gui/check_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/index_dialog.h"
#include "app/gui/netlist_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_text.h"
#include "app/net_report.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

using namespace tooltext;

const QString kNoProject =
    QStringLiteral("プロジェクトが設定されていません\n現在開いているファイルで処理しますか？");
const QString kNothingOpen = QStringLiteral(
    "処理する図面がありません\n保存されていない図面は、保存してから実行してください");
const QString kUnsaved =
    QStringLiteral("この図面は保存されていません\n保存してから実行してください");
const char* const kLeftOut = "%1 は保存されていないため処理しませんでした";

}  // namespace

bool ViewOutput(const QString& path) {
  const bool text = !path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) &&
                    !path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
  if (text) {
    // The editor command, split as a shell would; "%f" is the file, and a
    // command without it gets the file as its last argument.
    const QString command = Q(Cp932ToUtf8(AppSettings().GetString("Tool", "Editor"))).trimmed();
    QStringList args = QProcess::splitCommand(command);
    if (!args.isEmpty()) {
      bool named = false;
      for (QString& a : args) {
        if (a.contains(QLatin1String("%f"))) {
          a.replace(QLatin1String("%f"), path);
          named = true;
        }
      }
      if (!named) args << path;
      const QString program = args.takeFirst();
      if (QProcess::startDetached(program, args)) return true;
    }
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

ToolActions::ToolActions(QWidget* parent, Hooks hooks)
    : QObject(parent), hooks_(std::move(hooks)), parent_(parent) {
  auto make = [this](const QString& text, void (ToolActions::*slot)()) {
    auto* a = new QAction(text, this);
    connect(a, &QAction::triggered, this, slot);
    parent_->addAction(a);
    return a;
  };
  netlist_ = make(QStringLiteral("ネットリスト(&N)..."), &ToolActions::NetlistCommand);
  check_ =
      make(QStringLiteral("ネットレポート・ルールチェック(&R)..."), &ToolActions::CheckCommand);
  index_ = make(QStringLiteral("ネットインデックス(&I)..."), &ToolActions::IndexCommand);
  bom_ = make(QStringLiteral("部品表作成(&B)..."), &ToolActions::BomCommand);
  pdf_ = make(QStringLiteral("PDF変換(&P)..."), &ToolActions::PdfCommand);
  annotate_ = make(QStringLiteral("部品番号割付(&A)..."), &ToolActions::AnnotateCommand);
  cleanup_ = make(QStringLiteral("重複整理(&C)..."), &ToolActions::CleanupCommand);
  Update();
}

void ToolActions::FillMenu(QMenu* menu) {
  menu->addAction(netlist_);
  menu->addAction(check_);
  menu->addAction(index_);
  menu->addAction(bom_);
  menu->addSeparator();
  menu->addAction(pdf_);
  menu->addSeparator();
  menu->addAction(annotate_);
  menu->addAction(cleanup_);
}

void ToolActions::Update() {
  const bool project = hooks_.projectPath && !hooks_.projectPath().empty();
  const bool sheets = hooks_.views && !hooks_.views().empty();
  for (QAction* a : {netlist_, check_, index_, bom_, pdf_, annotate_, cleanup_})
    a->setEnabled(!running_ && (project || sheets));
}

// ---- the commands ----

void ToolActions::NetlistCommand() {
  NetlistDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  RunNetlist(dialog.Options(), dialog.View());
}

void ToolActions::CheckCommand() {
  CheckDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  RunCheck(dialog.Options(), dialog.View());
}

void ToolActions::IndexCommand() {
  IndexDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  RunIndex(dialog.Options());
}

void ToolActions::BomCommand() {
  BomDialog dialog(hooks_.projectPath ? hooks_.projectPath() : std::string(), parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  RunBom(dialog.Options());
}

void ToolActions::PdfCommand() {
  PdfDialog::Context context;
  if (hooks_.projectPath) context.projectPath = hooks_.projectPath();
  if (SheetView* v = hooks_.activeView ? hooks_.activeView() : nullptr)
    context.documentPath = v->Document().Path();
  Host* host = Progress();
  context.author = (host ? *host : CurrentHost()).Author();
  PdfDialog dialog(context, parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  RunPdf(dialog.Options(), dialog.Target(), dialog.View());
}

// ---- the jobs ----

NetlistResult ToolActions::RunNetlist(const NetlistOptions& options, bool view) {
  if (running_) return CancelledResult<NetlistResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<NetlistResult>();
  const NetlistResult r =
      tavro::RunNetlist(in->inputs, options, Progress(), in->open.Loader(false));
  Finish(r, std::move(in->notes),
         QStringLiteral("%1 を作成しました　%2")
             .arg(FileName(r.outputPath), Q(NetReportStatus(NetCounts{r.nets, r.connections}))),
         r.outputPath, view);
  return r;
}

CheckResult ToolActions::RunCheck(const CheckOptions& options, bool view) {
  if (running_) return CancelledResult<CheckResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<CheckResult>();
  const CheckResult r = tavro::RunCheck(in->inputs, options, Progress(), in->open.Loader(false));
  int drc = 0;
  for (int n : r.summary.pairs) drc += n;
  Finish(r, std::move(in->notes),
         QStringLiteral("%1 を作成しました　%2　オープンネット %3　別名オープンネット %4　DRC %5")
             .arg(FileName(r.reportPath), Q(r.statusText))
             .arg(r.summary.openNets)
             .arg(r.summary.openAliasNets)
             .arg(drc),
         r.reportPath, view);
  return r;
}

NetIndexResult ToolActions::RunIndex(const NetIndexOptions& options) {
  if (running_) return CancelledResult<NetIndexResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<NetIndexResult>();
  const NetIndexResult r =
      tavro::RunNetIndex(in->inputs, options, Progress(), in->open.Loader(false));
  Finish(
      r, std::move(in->notes),
      QStringLiteral("%1 を作成しました　信号名 %2 件").arg(FileName(r.outputPath)).arg(r.entries),
      r.outputPath, options.view);
  return r;
}

BomResult ToolActions::RunBom(const BomOptions& options) {
  if (running_) return CancelledResult<BomResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<BomResult>();
  const BomResult r = tavro::RunBom(in->inputs, options, Progress(), in->open.Loader(false));
  Finish(r, std::move(in->notes),
         QStringLiteral("%1 を作成しました　使用部品数 %2")
             .arg(FileName(r.outputPath))
             .arg(r.usedParts),
         r.outputPath, false);
  return r;
}

PdfResult ToolActions::RunPdf(const PdfOptions& options, PdfTarget target, bool view) {
  if (running_) return CancelledResult<PdfResult>();
  const Running running(*this);
  auto in = Prepare(target == PdfTarget::kDocument);
  if (!in) return CancelledResult<PdfResult>();
  const PdfResult r = tavro::RunPdf(in->inputs, options, Progress(), in->open.Loader(true));
  Finish(r, std::move(in->notes),
         QStringLiteral("%1 を作成しました　%2 ページ").arg(FileName(r.outputPath)).arg(r.pages),
         r.outputPath, view);
  return r;
}

// ---- shared by the jobs ----

std::optional<ToolActions::Input> ToolActions::Prepare(bool activeOnly) {
  const std::string project = hooks_.projectPath ? hooks_.projectPath() : std::string();
  SheetView* active = hooks_.activeView ? hooks_.activeView() : nullptr;
  if (activeOnly) {
    if (active == nullptr) {
      Warn(kNothingOpen);
      return std::nullopt;
    }
    if (active->Document().IsUntitled()) {
      Warn(kUnsaved);
      return std::nullopt;
    }
  } else if (project.empty() &&
             !(hooks_.ask ? hooks_.ask(kNoProject)
                          : QMessageBox::question(parent_, QStringLiteral("Tavro"), kNoProject,
                                                  QMessageBox::Yes | QMessageBox::No) ==
                                QMessageBox::Yes)) {
    return std::nullopt;
  }
  // "Tool"/"AutoSave": the documents are saved first (then untitled ones
  // have their files too).
  if (AppSettings().GetInt("Tool", "AutoSave") != 0 && hooks_.saveAll && !hooks_.saveAll())
    return std::nullopt;

  // What the documents hold now is what the job reads.
  std::vector<const EditorDocument*> docs;
  if (hooks_.views)
    for (SheetView* v : hooks_.views()) docs.push_back(&v->Document());
  Input in{{}, OpenSheets(docs), {}};
  if (activeOnly) {
    in.inputs = {active->Document().Path()};
  } else if (!project.empty()) {
    in.inputs = {project};
  } else {
    in.inputs = in.open.Paths();
    if (in.inputs.empty()) {
      Warn(kNothingOpen);
      return std::nullopt;
    }
    for (const std::string& name : in.open.Untitled())
      in.notes.push_back(QString::fromUtf8(kLeftOut).arg(Q(name)).toStdString());
  }
  return in;
}

Host* ToolActions::Progress() const { return hooks_.host ? hooks_.host() : nullptr; }

void ToolActions::Warn(const QString& message) const {
  if (hooks_.warn)
    hooks_.warn(message);
  else
    QMessageBox::warning(parent_, QStringLiteral("Tavro"), message);
}

void ToolActions::Status(const QString& text) const {
  if (hooks_.status) hooks_.status(text);
}

template <class Result>
void ToolActions::Finish(const Result& r, std::vector<std::string> notes, const QString& summary,
                         const std::string& shown, bool view) {
  for (const std::string& w : r.warnings) notes.push_back(w);
  QStringList lines;
  for (const std::string& n : notes) lines << Q(n);
  if (r.status == Result::kCancelled) {
    Status(QStringLiteral("中止しました"));
    return;
  }
  if (r.status == Result::kFailed) {
    lines.prepend(Q(r.message));
    Warn(lines.join(QLatin1Char('\n')));
    return;
  }
  Status(summary);
  if (!lines.isEmpty()) Warn(lines.join(QLatin1Char('\n')));
  if (view && !shown.empty()) ShowOutput(shown);
}

void ToolActions::ShowOutput(const std::string& shown) const {
  const QString path = Q(shown);
  const bool opened = hooks_.openExternally ? hooks_.openExternally(path) : ViewOutput(path);
  if (!opened) Warn(QStringLiteral("ファイル %1 を開けません").arg(path));
}

}  // namespace tavro::gui
