// ToolActions: the reference numbering (部品番号割付) and the Was-Is file,
// after their dialog. The jobs decide on copies of the sheets; what they
// change goes into the open documents here, one undoable step per document,
// and is left for the user to save. A sheet of the project that is not open
// in the editor is changed in its file, saved as the editor saves (backup,
// creation time kept).
#include <QMessageBox>
#include <QStringList>
#include <filesystem>

#include "app/gui/annotate_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "app/gui/tool_text.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

using namespace tooltext;

int CountChanges(const std::vector<SheetChanges>& sheets) {
  int n = 0;
  for (const SheetChanges& s : sheets) n += static_cast<int>(s.changes.size());
  return n;
}

}  // namespace

void ToolActions::AnnotateCommand() {
  std::string base = hooks_.projectPath ? hooks_.projectPath() : std::string();
  if (base.empty() && hooks_.views)
    for (SheetView* v : hooks_.views())
      if (!v->Document().IsUntitled()) {
        base = v->Document().Path();
        break;
      }
  AnnotateDialog dialog(base.empty() ? std::string() : WasisPath(base), parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  switch (dialog.Mode()) {
    case 2:
      RunWasisApply(dialog.Wasis());
      break;
    case 3:
      RunWasisWrite(dialog.Wasis());
      break;
    default:
      RunAnnotate(dialog.Options());
      break;
  }
}

AnnotateResult ToolActions::RunAnnotate(const AnnotateOptions& options) {
  if (running_) return CancelledResult<AnnotateResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<AnnotateResult>();
  std::vector<std::string> notes = std::move(in->notes);
  const AnnotateCallbacks callbacks = ChangeCallbacks(*in, notes);
  const AnnotateResult r = tavro::RunAnnotate(in->inputs, options, callbacks);
  if (r.status == AnnotateResult::kCancelled) {
    Status(QStringLiteral("中止しました"));
    return r;
  }
  std::vector<std::string> shown = r.notices;
  shown.insert(shown.end(), r.warnings.begin(), r.warnings.end());
  shown.insert(shown.end(), notes.begin(), notes.end());
  if (r.status == AnnotateResult::kFailed) {
    shown.insert(shown.begin(), r.message);
    Warn(ReportLines(shown));
    return r;
  }
  Status(QStringLiteral("部品番号を %1 個変更しました").arg(CountChanges(r.sheets)));
  if (!shown.empty()) Warn(ReportLines(shown));
  Inform(Q(r.counterText));
  return r;
}

WasisWriteResult ToolActions::RunWasisWrite(const WasisOptions& options) {
  if (running_) return CancelledResult<WasisWriteResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<WasisWriteResult>();
  const WasisWriteResult r =
      tavro::RunWasisWrite(in->inputs, options, Progress(), in->open.Loader(false));
  if (r.status == WasisWriteResult::kCancelled) {
    Status(QStringLiteral("中止しました"));
    return r;
  }
  std::vector<std::string> shown = in->notes;
  shown.insert(shown.end(), r.warnings.begin(), r.warnings.end());
  if (r.status == WasisWriteResult::kFailed) {
    shown.insert(shown.begin(), r.message);
    Warn(ReportLines(shown));
    return r;
  }
  Status(QStringLiteral("%1 を作成しました　%2 件").arg(FileName(r.path)).arg(r.entries));
  if (!shown.empty()) Warn(ReportLines(shown));
  return r;
}

WasisApplyResult ToolActions::RunWasisApply(const WasisOptions& options) {
  if (running_) return CancelledResult<WasisApplyResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<WasisApplyResult>();
  std::vector<std::string> notes = std::move(in->notes);
  const AnnotateCallbacks callbacks = ChangeCallbacks(*in, notes);
  const WasisApplyResult r = tavro::RunWasisApply(in->inputs, options, callbacks);
  if (r.status == WasisApplyResult::kCancelled) {
    Status(QStringLiteral("中止しました"));
    return r;
  }
  std::vector<std::string> shown = r.warnings;
  shown.insert(shown.end(), notes.begin(), notes.end());
  for (const std::string& c : r.conflicts) shown.push_back(c);
  if (r.status == WasisApplyResult::kFailed) {
    shown.insert(shown.begin(), r.message);
    Warn(ReportLines(shown));
    return r;
  }
  Status(QStringLiteral("部品番号を %1 個変更しました").arg(CountChanges(r.sheets)));
  if (!shown.empty()) Warn(ReportLines(shown));
  return r;
}

AnnotateCallbacks ToolActions::ChangeCallbacks(Input& in, std::vector<std::string>& notes) {
  AnnotateCallbacks callbacks;
  callbacks.progress = Progress();
  callbacks.loader = in.open.Loader(false);
  callbacks.writeBack = [this, &notes](const SheetChanges& c, std::string& error) {
    return WriteBack(c, error, notes);
  };
  return callbacks;
}

bool ToolActions::WriteBack(const SheetChanges& changes, std::string& error,
                            std::vector<std::string>& notes) {
  const QString name = Q(Cp932ToUtf8(changes.name));
  if (hooks_.views) {
    for (SheetView* view : hooks_.views()) {
      EditorDocument& doc = view->Document();
      if (doc.IsUntitled() || !SameFile(doc.Path(), changes.path)) continue;
      // Tried on a copy first: a document that no longer holds any of the
      // parts gets no empty step on its undo stack.
      CSheet trial(doc.Sheet());
      const size_t missed = ApplyPartChanges(trial, changes.changes).size();
      if (missed < changes.changes.size()) {
        doc.Edit(
            [&changes](CSheet& sheet, Selection&) { ApplyPartChanges(sheet, changes.changes); });
        view->AfterEdit();
      }
      if (missed > 0)
        notes.push_back(
            QStringLiteral("%1: %2 個の部品は実行中に変更されたため書き換えませんでした")
                .arg(name)
                .arg(missed)
                .toStdString());
      return true;
    }
  }
  const SheetWriteResult w = SaveSheetChanges(changes, SaveOptions::FromSettings(AppSettings()));
  if (!w.ok) {
    error = w.message;
    return false;
  }
  notes.push_back(
      QStringLiteral("%1 は開かれていないため、ファイルに保存しました").arg(name).toStdString());
  return true;
}

void ToolActions::Inform(const QString& message) const {
  if (inform_)
    inform_(message);
  else
    QMessageBox::information(parent_, QStringLiteral("部品番号割付"), message);
}

}  // namespace tavro::gui
