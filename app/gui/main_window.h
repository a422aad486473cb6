// MainWindow: the editor's main window: one sub-window per open sheet
// document, the project panel, the menus and tool bars, and the status bar
// (prompt, pointer position, selection readouts, progress of long jobs).
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QProgressBar>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/find.h"
#include "app/gui/editor_host.h"
#include "app/image_options.h"
#include "core/model/geometry.h"
#include "core/platform/host.h"

class QAction;
class QPrinter;
class QTimer;
class QMdiSubWindow;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavro::gui {

class EditActions;
class ToolActions;
class InputActions;
class EditorDocument;
class SheetView;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  // Opens files as the command line and the file dialog give them: a
  // project (.tpj) becomes the current project and opens its sheets; every
  // other file opens as a sheet document. Messages go to message boxes.
  void OpenFiles(const QStringList& files);
  // Opens one sheet file (or text-form file); the window of a file that is
  // open already comes to the front. Null when it cannot be opened.
  SheetView* OpenSheet(const QString& path, bool report = true);
  // Makes `path` the current project and opens its sheets (Open project).
  bool OpenProject(const QString& path);
  // A new untitled document.
  SheetView* NewSheet();

  // Save (上書き保存), Save As (名前を付けて保存) and Save All (すべて保存)
  // of a view's document; false when it was not saved (cancelled or failed,
  // the failure told).
  bool Save(SheetView* view);
  bool SaveAs(SheetView* view);
  bool SaveAll();
  // Asks to save a modified document before it is closed: false when the
  // user cancels (or the save fails).
  bool MaySave(SheetView* view);
  // One tick of the automatic-save timer over every open document.
  void AutoSaveTick();
  // Restarts the automatic-save timer from the settings ("AutoSave",
  // "DelayTime").
  void RestartAutoSave();
  // For tests: whether a path lies on a removable drive.
  void SetRemovableCheck(std::function<bool(const std::string&)> check) {
    isRemovable_ = std::move(check);
  }

  // 検索 / 次を検索: one search with `options` (newSearch: from the dialog,
  // which starts counting again). Moves to the match and selects its item,
  // or, with selectItems, selects every match. False when nothing is found
  // (the status bar says so).
  bool Find(const FindOptions& options, bool newSearch);
  // The find dialog, then the search; find next with the stored options.
  void FindDialogRun();
  void FindNextRun();

  // 印刷: the documents on `printer`, one page each; "" or why it failed.
  std::string PrintViews(QPrinter& printer, const std::vector<SheetView*>& views);
  // A print request of the command line: each file (its open window's
  // document, else the file as saved) on the named printer (the default
  // one when empty). False when a file could not be read or printing failed
  // (told).
  bool PrintFiles(const QStringList& files, const QString& printerName);
  bool PrintFiles(const QStringList& files, QPrinter& printer);

  // 別ファイル形式で保存: the view's sheet as the extension of `path` says:
  // ".sch" Tango, ".dxf" DXF, ".txt"
  // the sheet text form, ".png" or ".svg" a picture with `image`'s
  // resolution and colours. "" or why it failed (UTF-8).
  std::string ExportView(SheetView* view, const QString& path, const ImageOptions& image);

  // The view of the active sub-window (null when none).
  SheetView* ActiveView() const;
  std::vector<SheetView*> Views() const;
  const std::string& ProjectPath() const { return projectPath_; }
  EditorHost& Host() { return host_; }
  EditActions& Edit() { return *edit_; }
  ToolActions& Tools() { return *tools_; }
  InputActions& Input() { return *input_; }

  // How the window tells and asks the user: message boxes, unless a test
  // answers instead.
  struct Dialogs {
    std::function<void(const QString& message)> warn;
    // A yes / no / cancel question: QMessageBox::Yes, No or Cancel.
    std::function<int(const QString& question)> ask;
    // The file name to save a document as ("" cancels).
    std::function<QString(const QString& suggested)> saveFileName;
    // Hands a file to the desktop's "open" action (QDesktopServices when
    // unset); false when that failed.
    std::function<bool(const QString& path)> openExternally;
  };
  void SetDialogs(Dialogs d) { dialogs_ = std::move(d); }
  void Warn(const QString& message);
  // A yes / no question; true for yes.
  bool Confirm(const QString& question);

  // The window title of a document: its full path ("FullPath") or its name,
  // with " (更新)" while modified.
  static QString DocumentTitle(const EditorDocument& doc);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A sub-window about to close asks to save its document.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildStatusBar();
  void BuildProjectPanel();
  void UpdateActions();
  void UpdateTitles();
  void RefreshProjectPanel();
  void RefreshRecentMenus();
  void AddRecent(const char* section, int limitKeyDefault, const char* limitKey,
                 const std::string& path);
  std::vector<std::string> Recent(const char* section) const;
  QMdiSubWindow* FindWindow(const std::string& path) const;
  bool IsOpen(const std::string& path) const;
  SheetView* AddView(std::unique_ptr<EditorDocument> doc);
  void OnPointer(CPoint at);
  void OpenDialog();
  void OpenProjectDialog();
  void ShowAbout();
  void PrintDialogRun();
  void ExportDialogRun();
  void PrintPreviewRun();

  // Stage and progress of a long job in the status bar.
  void BeginStage(int stage, int total);
  void StepProgress();

  Dialogs dialogs_;
  QMdiArea* mdi_ = nullptr;
  EditorHost host_;
  ScopedHost scopedHost_;
  std::string projectPath_;
  int untitled_ = 0;

  QTreeWidget* projectTree_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLabel* pointer_ = nullptr;
  QLabel* selection_ = nullptr;
  QLabel* stage_ = nullptr;
  QProgressBar* progress_ = nullptr;

  QTimer* autoSave_ = nullptr;
  std::function<bool(const std::string&)> isRemovable_;
  QMenu* recentFiles_ = nullptr;
  QMenu* recentProjects_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  InputActions* input_ = nullptr;
  EditActions* edit_ = nullptr;
  ToolActions* tools_ = nullptr;
  struct Actions;
  std::unique_ptr<Actions> a_;
};

}  // namespace tavro::gui
