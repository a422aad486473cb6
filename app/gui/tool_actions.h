// ToolActions: the tool menu (ツール): the netlist, the net report with its
// rule check, the net index, the parts list, the PDF conversion, the
// reference numbering and the sheet clean-up. Each command shows its
// dialog, which fills the same job struct as the command line, then runs
// the GUI-free job on the current project — or, without one and after
// asking, on the open sheets — reading every open sheet from the
// editor, saved or not. Progress goes to the host (the status bar); a short
// summary follows, and the written file is shown when the dialog asked for it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/annotate_job.h"
#include "app/bom_job.h"
#include "app/check_job.h"
#include "app/cleanup_job.h"
#include "app/gui/open_sheets.h"
#include "app/gui/pdf_dialog.h"
#include "app/net_index.h"
#include "app/netlist_job.h"
#include "app/pdf_job.h"
#include "app/wasis_job.h"

class QAction;
class QMenu;
class QWidget;

namespace tavro {
class Host;
}

namespace tavro::gui {

class SheetView;

// Shows a written file: HTML and PDF with the desktop's "open" action, text
// with the text editor of the settings ("Tool"/"Editor", "%f" the file),
// falling back to the desktop. False when nothing could show it.
bool ViewOutput(const QString& path);

class ToolActions : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<SheetView*()> activeView;
    std::function<std::vector<SheetView*>()> views;
    // The current project's file (UTF-8 full path); "" without a project.
    std::function<std::string()> projectPath;
    // Progress and cancel of the jobs; the current host when unset or null.
    std::function<Host*()> host;
    std::function<void(const QString& message)> warn;
    // A yes / no question; true for yes.
    std::function<bool(const QString& question)> ask;
    // A short summary when a job has finished (the status bar).
    std::function<void(const QString& text)> status;
    // Shows a written file (ViewOutput when unset); false when that failed.
    std::function<bool(const QString& path)> openExternally;
    // Saves the modified documents before a job when "Tool"/"AutoSave" is
    // on; false (cancelled or failed) stops the job. Unset: no saving.
    std::function<bool()> saveAll;
  };
  ToolActions(QWidget* parent, Hooks hooks);

  // Fills the tool menu.
  void FillMenu(QMenu* menu);
  // Enables the commands when there is something to run them on (a project
  // or an open sheet) and no job is running.
  void Update();

  // The commands of the menu: the dialog, then the job.
  void NetlistCommand();
  void CheckCommand();
  void IndexCommand();
  void BomCommand();
  void PdfCommand();
  void AnnotateCommand();
  void CleanupCommand();

  // The jobs on filled options, as the commands run them after their
  // dialogs: the project, or the open sheets after the question (a "no"
  // gives a cancelled result and writes nothing, as does a job started while
  // another one runs). With view the written file is shown.
  NetlistResult RunNetlist(const NetlistOptions& options, bool view = false);
  CheckResult RunCheck(const CheckOptions& options, bool view = false);
  NetIndexResult RunIndex(const NetIndexOptions& options);  // shows the file with options.view
  BomResult RunBom(const BomOptions& options);
  PdfResult RunPdf(const PdfOptions& options, PdfTarget target, bool view = false);
  // 部品番号割付 (tool_actions_annotate.cpp): the numbering, the Was-Is
  // template and the Was-Is file. Changes go into the open documents, one
  // undoable step per document, and are left for the user to save; a sheet
  // of the project that is not open is saved in its file (with its backup).
  AnnotateResult RunAnnotate(const AnnotateOptions& options);
  // Shows a notice with the information icon (the numbering's counter
  // count); a message box when unset.
  void SetInform(std::function<void(const QString& message)> inform) {
    inform_ = std::move(inform);
  }
  WasisWriteResult RunWasisWrite(const WasisOptions& options);
  WasisApplyResult RunWasisApply(const WasisOptions& options);
  // 重複整理 (tool_actions_cleanup.cpp): tidies every sheet and writes the
  // log. A tidied sheet open in the editor gets its main sheet replaced in
  // one undoable step, left for the user to save; a sheet of the project
  // that is not open is saved in its file (with its backup). With
  // options.view the log is shown (the HTML one when written).
  CleanupResult RunCleanup(const CleanupOptions& options);

 private:
  // What a job runs on: its inputs (the project, or sheet files), the open
  // sheets it reads them from, and what was left out.
  struct Input {
    std::vector<std::string> inputs;
    OpenSheets open;
    std::vector<std::string> notes;  // UTF-8
  };
  // The project, or after the question the open sheets (activeOnly: the
  // active sheet); nullopt when the user declined or there is nothing.
  std::optional<Input> Prepare(bool activeOnly);
  Host* Progress() const;
  void Warn(const QString& message) const;
  void Status(const QString& text) const;
  // After a job: the summary and the warnings, or the failure; then the
  // written file `shown` when `view`.
  template <class Result>
  void Finish(const Result& r, std::vector<std::string> notes, const QString& summary,
              const std::string& shown, bool view);
  // Shows a written file (the openExternally hook, else ViewOutput); a
  // warning when that failed.
  void ShowOutput(const std::string& path) const;

  // Marks a job running (the host lets the window answer input meanwhile).
  class Running {
   public:
    explicit Running(ToolActions& t) : t_(t) {
      t_.running_ = true;
      t_.Update();
    }
    ~Running() {
      t_.running_ = false;
      t_.Update();
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    ToolActions& t_;
  };

  Hooks hooks_;
  QWidget* parent_;
  bool running_ = false;
  QAction* netlist_ = nullptr;
  QAction* check_ = nullptr;
  QAction* index_ = nullptr;
  QAction* bom_ = nullptr;
  QAction* pdf_ = nullptr;
  QAction* annotate_ = nullptr;
  QAction* cleanup_ = nullptr;
  // Writes back one sheet's changes of a numbering or Was-Is job; `notes`
  // gets what the user should know (UTF-8).
  bool WriteBack(const SheetChanges& changes, std::string& error, std::vector<std::string>& notes);
  // The callbacks of a numbering or Was-Is run in the editor: the open
  // sheets read as they stand, changes written back through WriteBack.
  AnnotateCallbacks ChangeCallbacks(Input& in, std::vector<std::string>& notes);
  // The callbacks of a clean-up run in the editor: the open sheets read as
  // they stand, the other files read only when they are sheet files (a file
  // of another form is never replaced by a sheet file); tidied sheets
  // written back through WriteTidied.
  CleanupCallbacks TidyCallbacks(Input& in, std::vector<std::string>& notes);
  // Writes back one tidied sheet; `opened` holds the main sheets (text
  // form) of the documents open when the run started, by path.
  bool WriteTidied(const CoveredSheet& sheet, CSheetDoc& tidied,
                   const std::vector<std::pair<std::string, std::string>>& opened,
                   std::string& error, std::vector<std::string>& notes);
  void Inform(const QString& message) const;
  std::function<void(const QString& message)> inform_;
};

}  // namespace tavro::gui
