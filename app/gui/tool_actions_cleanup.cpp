// ToolActions: the sheet clean-up (重複整理), after its dialog. The job tidies
// its own copies of the sheets; a tidied sheet open in the editor replaces
// the document's main sheet in one undoable step and is left for the user to
// save. A sheet of the project that is not open is saved in its file as the
// editor saves (backup, creation time kept), and only when that file is a
// sheet file: a file of another form is never replaced by one.
#include <QStringList>
#include <filesystem>

#include "app/gui/cleanup_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "app/gui/tool_text.h"
#include "app/part_changes.h"
#include "core/platform/codec.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro::gui {

using namespace tooltext;

void ToolActions::CleanupCommand() {
  CleanupDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return;
  const CleanupOptions options = dialog.Options();
  options.Store(AppSettings());
  RunCleanup(options);
}

CleanupResult ToolActions::RunCleanup(const CleanupOptions& options) {
  if (running_) return CancelledResult<CleanupResult>();
  const Running running(*this);
  auto in = Prepare(false);
  if (!in) return CancelledResult<CleanupResult>();
  std::vector<std::string> notes = std::move(in->notes);
  const CleanupCallbacks callbacks = TidyCallbacks(*in, notes);
  const CleanupResult r = tavro::RunCleanup(in->inputs, options, callbacks);
  if (r.status == CleanupResult::kCancelled) {
    Status(QStringLiteral("中止しました"));
    return r;
  }
  std::vector<std::string> shown;
  int changed = 0;
  for (const SheetTidyReport& s : r.sheets) {
    if (s.changed) ++changed;
    if (s.kept)
      shown.push_back(QStringLiteral("%1: 接続が変わるため整理しませんでした")
                          .arg(Q(Cp932ToUtf8(s.name)))
                          .toStdString());
  }
  shown.insert(shown.end(), r.warnings.begin(), r.warnings.end());
  shown.insert(shown.end(), notes.begin(), notes.end());
  if (r.status == CleanupResult::kFailed) {
    // The sheets written back before the failure stay tidied.
    shown.insert(shown.begin(), r.message);
    Warn(ReportLines(shown));
    return r;
  }
  Status(QStringLiteral("重複整理: %1 シートを整理しました").arg(changed));
  if (!shown.empty()) Warn(ReportLines(shown));
  if (options.view) {
    const std::string& log =
        !r.htmlPath.empty() ? r.htmlPath : (options.writeFile ? r.logPath : std::string());
    if (!log.empty()) ShowOutput(log);
  }
  return r;
}

CleanupCallbacks ToolActions::TidyCallbacks(Input& in, std::vector<std::string>& notes) {
  CleanupCallbacks callbacks;
  callbacks.progress = Progress();
  callbacks.loader = [open = in.open, read = in.open.Loader(false)](const std::string& path,
                                                                    CSheetDoc& doc) {
    return open.Has(path) ? read(path, doc) : ReadSheetFileForChange(path, doc);
  };
  // The documents as the job reads them, to tell one changed or closed
  // while the job ran: its tidied sheet would undo what the user did.
  std::vector<std::pair<std::string, std::string>> opened;
  if (hooks_.views)
    for (SheetView* v : hooks_.views())
      if (!v->Document().IsUntitled())
        opened.emplace_back(v->Document().Path(), v->Document().Doc().WriteText());
  callbacks.writeBack = [this, &notes, opened = std::move(opened)](
                            const CoveredSheet& sheet, CSheetDoc& tidied, std::string& error) {
    return WriteTidied(sheet, tidied, opened, error, notes);
  };
  return callbacks;
}

bool ToolActions::WriteTidied(const CoveredSheet& sheet, CSheetDoc& tidied,
                              const std::vector<std::pair<std::string, std::string>>& opened,
                              std::string& error, std::vector<std::string>& notes) {
  const QString name = FileName(sheet.path);
  const std::string* before = nullptr;
  for (const auto& [path, text] : opened)
    if (SameFile(path, sheet.path)) before = &text;
  auto note = [&notes, &name](const char* text) {
    notes.push_back(QString::fromUtf8(text).arg(name).toStdString());
  };

  SheetView* view = nullptr;
  if (hooks_.views)
    for (SheetView* v : hooks_.views())
      if (!v->Document().IsUntitled() && SameFile(v->Document().Path(), sheet.path)) view = v;
  if (view != nullptr) {
    EditorDocument& doc = view->Document();
    if (before == nullptr || doc.Doc().WriteText() != *before) {
      note("%1 は実行中に変更されたため整理しませんでした");
      return true;
    }
    // The items move in their lists: no selection survives the tidying.
    doc.ClearSelection();
    doc.Edit([&tidied](CSheet& s, Selection& selection) {
      s = tidied.GetSheet();
      selection.Clear();
    });
    view->AfterEdit();
    return true;
  }
  if (before != nullptr) {
    // Closed while the job ran: what the job tidied may never have been saved.
    note("%1 は実行中に閉じられたため整理しませんでした");
    return true;
  }

  const std::optional<std::string> data = ReadFile(sheet.path);
  if (!data) {
    error = FileMessage(kMsgCannotOpen, sheet.path);
    return false;
  }
  if (!IsSheetFileData(*data)) {
    error = FileMessage(kMsgCannotCreate, sheet.path,
                        "not a sheet file (.tcd); it is not replaced by one");
    return false;
  }
  DocSaveState state;
  state.modified = true;
  const SaveResult saved =
      SaveDocument(tidied, sheet.path, SaveOptions::FromSettings(AppSettings()), state, 0);
  if (!saved.ok) {
    error = saved.message;
    return false;
  }
  note("%1 は開かれていないため、ファイルに保存しました");
  return true;
}

}  // namespace tavro::gui
