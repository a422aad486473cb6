#include "app/gui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>

#include "app/doc_save.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/edit_actions.h"
#include "app/gui/editor_document.h"
#include "app/gui/find_dialog.h"
#include "app/gui/image_export.h"
#include "app/gui/input_actions.h"
#include "app/gui/library_convert_dialog.h"
#include "app/gui/print.h"
#include "app/gui/project_dialog.h"
#include "app/gui/readouts.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/sheet_info_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "app/project.h"
#include "core/model/geometry.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

namespace fs = std::filesystem;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string U(const QString& s) { return s.toStdString(); }

bool EndsWithNoCase(const QString& s, const char* ext) {
  return s.endsWith(QLatin1String(ext), Qt::CaseInsensitive);
}

// The full, normal form of a path, so that one file is found open however
// it was named.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path), ec);
  return ec ? path : p.string();
}

}  // namespace

struct MainWindow::Actions {
  QAction* newFile;
  QAction* open;
  QAction* openProject;
  QAction* close;
  QAction* save;
  QAction* saveAs;
  QAction* saveAll;
  QAction* quit;
  QAction* zoomWhole;
  QAction* zoomWindow;
  QAction* zoomIn;
  QAction* zoomOut;
  QAction* zoomPrevious;
  QAction* center;
  QAction* view1;
  QAction* view2;
  QAction* setWhole;
  QAction* setView1;
  QAction* setView2;
  QAction* clearViews;
  QAction* subGrid;
  QAction* titleFrame;
  QAction* grid;
  QAction* cascade;
  QAction* tile;
  QAction* nextWindow;
  QAction* previousWindow;
  QAction* about;
  QAction* find;
  QAction* findNext;
  QAction* print;
  QAction* printPreview;
  QAction* exportFile;
  QAction* sheetInfo;
  QAction* projectProperties;
  QAction* settings;
  QAction* libraryConvert;
  std::vector<QAction*> needView;
};

MainWindow::MainWindow()
    : host_(EditorHost::Hooks{[this](int stage, int total) { BeginStage(stage, total); },
                              [this] { StepProgress(); },
                              [this](const std::string& path) { return IsOpen(path); }}),
      scopedHost_(&host_),
      a_(std::make_unique<Actions>()) {
  setWindowTitle(QStringLiteral("Tavro"));
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateActions(); });
  input_ = new InputActions(this, [this] { return ActiveView(); });
  BuildActions();
  edit_ = new EditActions(
      this, EditActions::Hooks{[this] { return ActiveView(); },
                               [this](const QString& path) { return OpenSheet(path, false); },
                               [this](const QString& question) { return Confirm(question); },
                               [this](const QString& message) { Warn(message); },
                               [this](const QString& path) {
                                 if (dialogs_.openExternally) return dialogs_.openExternally(path);
                                 return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                               },
                               [this]() -> tavro::Host& { return host_; },
                               {},
                               {}});
  tools_ = new ToolActions(
      this, ToolActions::Hooks{[this] { return ActiveView(); }, [this] { return Views(); },
                               [this] { return projectPath_; },
                               [this]() -> tavro::Host* { return &host_; },
                               [this](const QString& message) { Warn(message); },
                               [this](const QString& question) { return Confirm(question); },
                               [this](const QString& text) {
                                 progress_->setVisible(false);
                                 stage_->clear();
                                 statusBar()->showMessage(text, 10000);
                               },
                               [this](const QString& path) {
                                 if (dialogs_.openExternally) return dialogs_.openExternally(path);
                                 return ViewOutput(path);
                               },
                               [this] { return SaveAll(); }});
  BuildMenus();
  BuildStatusBar();
  BuildProjectPanel();
  UpdateActions();
  autoSave_ = new QTimer(this);
  connect(autoSave_, &QTimer::timeout, this, &MainWindow::AutoSaveTick);
  RestartAutoSave();
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1280, 860);
  resize(std::min(1280, screen.width() * 9 / 10), std::min(860, screen.height() * 9 / 10));
}

MainWindow::~MainWindow() {
  // The sub-windows close after this body has run, when the actions are gone:
  // they must no longer reach this window.
  mdi_->disconnect(this);
}

// ---- actions and menus ----

void MainWindow::BuildActions() {
  auto make = [this](const QString& text, const QKeySequence& key, auto slot, bool view = true) {
    QAction* a = new QAction(text, this);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    if (view) a_->needView.push_back(a);
    return a;
  };
  auto onView = [this](void (SheetView::*member)()) {
    return [this, member] {
      if (SheetView* v = ActiveView()) (v->*member)();
    };
  };
  Actions& a = *a_;
  a.newFile = make(
      QStringLiteral("新規作成(&N)"), QKeySequence::New, [this] { NewSheet(); }, false);
  a.open = make(
      QStringLiteral("開く(&O)..."), QKeySequence::Open, [this] { OpenDialog(); }, false);
  a.openProject = make(
      QStringLiteral("プロジェクトを開く(&J)..."), QKeySequence(), [this] { OpenProjectDialog(); },
      false);
  a.close =
      make(QStringLiteral("閉じる(&C)"), QKeySequence(), [this] { mdi_->closeActiveSubWindow(); });
  a.save =
      make(QStringLiteral("上書き保存(&S)"), QKeySequence::Save, [this] { Save(ActiveView()); });
  a.saveAs = make(QStringLiteral("名前を付けて保存(&A)..."), QKeySequence(),
                  [this] { SaveAs(ActiveView()); });
  a.saveAll = make(QStringLiteral("すべて保存(&L)"), QKeySequence(), [this] { SaveAll(); });
  a.quit = make(
      QStringLiteral("アプリケーションの終了(&X)"), QKeySequence(), [this] { close(); }, false);

  a.zoomWhole = make(QStringLiteral("全体表示(&A)"), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                     onView(&SheetView::ZoomWhole));
  a.zoomWindow =
      make(QStringLiteral("ウインドウ(&W)"), QKeySequence(), onView(&SheetView::BeginZoomWindow));
  a.zoomIn =
      make(QStringLiteral("拡大(&I)"), QKeySequence(Qt::Key_PageUp), onView(&SheetView::ZoomIn));
  a.zoomOut =
      make(QStringLiteral("縮小(&O)"), QKeySequence(Qt::Key_PageDown), onView(&SheetView::ZoomOut));
  a.zoomPrevious =
      make(QStringLiteral("前画面(&P)"), QKeySequence(), onView(&SheetView::ZoomPrevious));
  a.center =
      make(QStringLiteral("センター表示(&C)"), QKeySequence(), onView(&SheetView::BeginCenter));
  a.view1 = make(QStringLiteral("表示１(&1)"), QKeySequence(Qt::Key_Home), [this] {
    if (SheetView* v = ActiveView()) v->GoToView(1);
  });
  a.view2 = make(QStringLiteral("表示２(&2)"), QKeySequence(Qt::Key_End), [this] {
    if (SheetView* v = ActiveView()) v->GoToView(2);
  });
  a.setWhole = make(QStringLiteral("全体表示に設定(&A)"), QKeySequence(), [this] {
    if (SheetView* v = ActiveView()) {
      v->StoreView(0);
      UpdateTitles();
    }
  });
  a.setView1 = make(QStringLiteral("表示１に設定(&1)"), QKeySequence(), [this] {
    if (SheetView* v = ActiveView()) v->StoreView(1);
  });
  a.setView2 = make(QStringLiteral("表示２に設定(&2)"), QKeySequence(), [this] {
    if (SheetView* v = ActiveView()) v->StoreView(2);
  });
  a.clearViews = make(QStringLiteral("クリア(&C)"), QKeySequence(), onView(&SheetView::ClearViews));
  a.subGrid = make(QStringLiteral("サブグリッド表示(&S)"), QKeySequence(), [this] {
    if (SheetView* v = ActiveView()) v->SetSubGrid(a_->subGrid->isChecked());
  });
  a.subGrid->setCheckable(true);
  a.grid = make(
      QStringLiteral("グリッド表示(&G)"), QKeySequence(),
      [this] {
        Settings& s = AppSettings();
        const std::string v = s.GetString("Color", "Grid");
        const long color = std::strtol(v.c_str(), nullptr, 10);
        s.WriteString("Color", "Grid",
                      std::to_string(color) + (a_->grid->isChecked() ? " 1" : " 0"));
        for (SheetView* view : Views()) view->ReloadStyle();
      },
      false);
  a.grid->setCheckable(true);
  a.grid->setChecked(host_.DisplaySwitch(kDispGrid));
  a.titleFrame = make(
      QStringLiteral("図枠表示(&T)"), QKeySequence(),
      [this] {
        AppSettings().WriteInt("Sheet", "TitleDisp", a_->titleFrame->isChecked() ? 1 : 0);
        for (SheetView* view : Views()) view->ReloadStyle();
      },
      false);
  a.titleFrame->setCheckable(true);
  a.titleFrame->setChecked(host_.DisplaySwitch(kDispTitle));

  a.cascade =
      make(QStringLiteral("重ねて表示(&C)"), QKeySequence(), [this] { mdi_->cascadeSubWindows(); });
  a.tile =
      make(QStringLiteral("並べて表示(&T)"), QKeySequence(), [this] { mdi_->tileSubWindows(); });
  a.nextWindow = make(QStringLiteral("次のウインドウ(&N)"), QKeySequence(Qt::CTRL | Qt::Key_Tab),
                      [this] { mdi_->activateNextSubWindow(); });
  a.previousWindow =
      make(QStringLiteral("前のウインドウ(&P)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
           [this] { mdi_->activatePreviousSubWindow(); });
  a.print = make(QStringLiteral("印刷(&P)..."), QKeySequence::Print, [this] { PrintDialogRun(); });
  a.printPreview =
      make(QStringLiteral("印刷プレビュー(&V)"), QKeySequence(), [this] { PrintPreviewRun(); });
  a.exportFile = make(QStringLiteral("別ファイル形式で保存(&E)..."), QKeySequence(),
                      [this] { ExportDialogRun(); });
  a.sheetInfo = make(QStringLiteral("図面の情報(&I)..."), QKeySequence(), [this] {
    if (SheetView* v = ActiveView()) SheetInfoDialog::Run(this, v->Document().Doc());
  });
  a.projectProperties = make(
      QStringLiteral("プロジェクトのプロパティ(&J)..."), QKeySequence(),
      [this] {
        if (!projectPath_.empty() && ProjectDialog::Run(this, projectPath_)) RefreshProjectPanel();
      },
      false);
  a.settings = make(
      QStringLiteral("設定(&O)..."), QKeySequence(),
      [this] {
        if (!SettingsDialog::Run(this)) return;
        // Colours, switches, the grid and the timers follow the new values.
        for (SheetView* view : Views()) {
          view->ReloadStyle();
          view->Document().SetUndoDepth(AppSettings().GetInt("FileSave", "UndoCount"));
        }
        RestartAutoSave();
        UpdateTitles();
      },
      false);
  a.libraryConvert = make(
      QStringLiteral("部品ファイル変換(&L)..."), QKeySequence(),
      [this] { LibraryConvertDialog::Run(this); }, false);
  a.find = make(QStringLiteral("検索(&F)..."), QKeySequence(Qt::CTRL | Qt::Key_F),
                [this] { FindDialogRun(); });
  a.findNext =
      make(QStringLiteral("次を検索(&N)"), QKeySequence(Qt::Key_F3), [this] { FindNextRun(); });
  a.about = make(
      QStringLiteral("バージョン情報(&A)..."), QKeySequence(), [this] { ShowAbout(); }, false);
}

void MainWindow::BuildMenus() {
  Actions& a = *a_;
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->addAction(a.newFile);
  file->addAction(a.open);
  file->addAction(a.openProject);
  file->addAction(a.close);
  file->addSeparator();
  file->addAction(a.save);
  file->addAction(a.saveAs);
  file->addAction(a.saveAll);
  file->addSeparator();
  file->addAction(a.exportFile);
  file->addSeparator();
  file->addAction(a.sheetInfo);
  file->addAction(a.projectProperties);
  file->addSeparator();
  file->addAction(a.print);
  file->addAction(a.printPreview);
  file->addSeparator();
  recentFiles_ = file->addMenu(QStringLiteral("最近使ったファイル(&F)"));
  recentProjects_ = file->addMenu(QStringLiteral("最近使ったプロジェクト(&R)"));
  file->addSeparator();
  file->addAction(a.quit);
  RefreshRecentMenus();

  editMenu_ = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  edit_->FillMenu(editMenu_);
  editMenu_->addSeparator();
  // The click-assignment mode of part numbers is an edit command too.
  editMenu_->addAction(input_->Action(InputActions::kRefClick));
  editMenu_->addSeparator();
  editMenu_->addAction(a.find);
  editMenu_->addAction(a.findNext);

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  view->addAction(a.zoomWhole);
  view->addAction(a.zoomWindow);
  view->addAction(a.zoomIn);
  view->addAction(a.zoomOut);
  view->addAction(a.zoomPrevious);
  view->addAction(a.center);
  view->addSeparator();
  view->addAction(a.view1);
  view->addAction(a.view2);
  QMenu* range = view->addMenu(QStringLiteral("表示範囲(&R)"));
  range->addAction(a.setWhole);
  range->addAction(a.setView1);
  range->addAction(a.setView2);
  range->addAction(a.clearViews);
  view->addSeparator();
  view->addAction(a.grid);
  view->addAction(a.subGrid);
  view->addAction(a.titleFrame);

  QMenu* input = menuBar()->addMenu(QStringLiteral("入力(&I)"));
  input_->FillMenu(input);
  // The menu of a right click on the sheet: the input modes, then the edit
  // commands.
  contextMenu_ = new QMenu(this);
  input_->FillMenu(contextMenu_->addMenu(QStringLiteral("入力(&I)")));
  contextMenu_->addSeparator();
  contextMenu_->addActions(editMenu_->actions());
  QMenu* tool = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
  tools_->FillMenu(tool);
  tool->addSeparator();
  tool->addAction(a.libraryConvert);
  tool->addSeparator();
  tool->addAction(a.settings);

  windowMenu_ = menuBar()->addMenu(QStringLiteral("ウインドウ(&W)"));
  connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
    windowMenu_->clear();
    windowMenu_->addAction(a_->cascade);
    windowMenu_->addAction(a_->tile);
    windowMenu_->addAction(a_->nextWindow);
    windowMenu_->addAction(a_->previousWindow);
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    int n = 0;
    for (QMdiSubWindow* w : windows) {
      QAction* act =
          windowMenu_->addAction(QStringLiteral("&%1 %2").arg(++n).arg(w->windowTitle()));
      act->setCheckable(true);
      act->setChecked(w == mdi_->activeSubWindow());
      connect(act, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    }
  });

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->addAction(a.about);

  QToolBar* bar = addToolBar(QStringLiteral("標準"));
  bar->setObjectName(QStringLiteral("standard"));
  bar->addAction(a.newFile);
  bar->addAction(a.open);
  bar->addAction(a.save);
  bar->addSeparator();
  bar->addAction(a.zoomWhole);
  bar->addAction(a.zoomIn);
  bar->addAction(a.zoomOut);
  bar->addAction(a.zoomPrevious);
}

void MainWindow::BuildStatusBar() {
  prompt_ = new QLabel(QStringLiteral("コマンドを選択してください"), this);
  pointer_ = new QLabel(this);
  pointer_->setMinimumWidth(200);
  selection_ = new QLabel(this);
  selection_->setMinimumWidth(120);
  stage_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setMaximumWidth(160);
  progress_->setVisible(false);
  statusBar()->addWidget(prompt_, 1);
  statusBar()->addPermanentWidget(stage_);
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(pointer_);
  statusBar()->addPermanentWidget(selection_);
}

void MainWindow::BuildProjectPanel() {
  QDockWidget* dock = new QDockWidget(QStringLiteral("プロジェクト"), this);
  dock->setObjectName(QStringLiteral("project"));
  projectTree_ = new QTreeWidget(dock);
  projectTree_->setHeaderHidden(true);
  projectTree_->setRootIsDecorated(false);
  dock->setWidget(projectTree_);
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  connect(projectTree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const QString path = item->data(0, Qt::UserRole).toString();
    if (!path.isEmpty()) OpenSheet(path);
  });
  RefreshProjectPanel();
}

void MainWindow::RefreshProjectPanel() {
  projectTree_->clear();
  if (projectPath_.empty()) {
    projectTree_->setHeaderLabel(QStringLiteral("プロジェクトなし"));
    return;
  }
  const auto entries = ProjectFile::ReadEntries(projectPath_);
  if (!entries) return;
  for (const ProjectEntry& e : *entries) {
    auto* item = new QTreeWidgetItem(projectTree_);
    item->setText(0, Q(fs::path(e.path).filename().string()));
    item->setToolTip(0, Q(e.path));
    item->setData(0, Qt::UserRole, Q(e.path));
    // The check flag selects the file for the project's jobs; it is edited
    // in the project file, not here.
    item->setCheckState(0, e.checked ? Qt::Checked : Qt::Unchecked);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  }
}

void MainWindow::UpdateActions() {
  const bool any = ActiveView() != nullptr;
  for (QAction* a : a_->needView) a->setEnabled(any);
  SheetView* v = ActiveView();
  if (v) a_->subGrid->setChecked(v->SubGrid());
  edit_->Update();
  input_->Update();
  tools_->Update();
  a_->projectProperties->setEnabled(!projectPath_.empty());
  selection_->setText(v ? Q(SelectionReadout(v->Document().SelectionSheet())) : QString());
}

// ---- recent files and projects ----

std::vector<std::string> MainWindow::Recent(const char* section) const {
  std::vector<std::string> out;
  const Settings& s = AppSettings();
  for (int i = 1; i <= 64; ++i) {
    const std::string key = "File" + std::to_string(i);
    if (!s.Has(section, key)) break;
    std::string v = s.GetString(section, key, "");
    if (!v.empty()) out.push_back(Cp932ToUtf8(v));
  }
  return out;
}

void MainWindow::AddRecent(const char* section, int limitDefault, const char* limitKey,
                           const std::string& path) {
  Settings& s = AppSettings();
  const int limit = std::clamp(s.GetInt("Sheet", limitKey, limitDefault), 0, 64);
  std::vector<std::string> list = Recent(section);
  std::erase(list, path);
  list.insert(list.begin(), path);
  if (static_cast<int>(list.size()) > limit) list.resize(limit);
  s.DeleteSection(section);
  for (size_t i = 0; i < list.size(); ++i)
    s.WriteString(section, "File" + std::to_string(i + 1), Utf8ToCp932(list[i]));
  RefreshRecentMenus();
}

void MainWindow::RefreshRecentMenus() {
  auto fill = [this](QMenu* menu, const char* section, bool project) {
    menu->clear();
    int n = 0;
    for (const std::string& path : Recent(section)) {
      QAction* act = menu->addAction(QStringLiteral("&%1 %2").arg(++n % 10).arg(Q(path)));
      const QString p = Q(path);
      connect(act, &QAction::triggered, this, [this, p, project] {
        if (project)
          OpenProject(p);
        else
          OpenSheet(p);
      });
    }
    menu->setEnabled(n > 0);
  };
  fill(recentFiles_, "Recent File List", false);
  fill(recentProjects_, "Project File List", true);
}

// ---- documents ----

QString MainWindow::DocumentTitle(const EditorDocument& doc) {
  const bool full = AppSettings().GetInt("Sheet", "FullPath") != 0;
  return Q(DocumentWindowTitle(doc.Path(), Utf8ToCp932(doc.DisplayName()), full, doc.IsModified()));
}

void MainWindow::UpdateTitles() {
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* v = qobject_cast<SheetView*>(w->widget()))
      w->setWindowTitle(DocumentTitle(v->Document()));
}

SheetView* MainWindow::ActiveView() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (w == nullptr) {
    const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    if (list.isEmpty()) return nullptr;
    w = list.back();
  }
  return qobject_cast<SheetView*>(w->widget());
}

std::vector<SheetView*> MainWindow::Views() const {
  std::vector<SheetView*> out;
  for (QMdiSubWindow* w : mdi_->subWindowList())
    if (auto* v = qobject_cast<SheetView*>(w->widget())) out.push_back(v);
  return out;
}

QMdiSubWindow* MainWindow::FindWindow(const std::string& path) const {
  const std::string want = Canonical(path);
  for (QMdiSubWindow* w : mdi_->subWindowList()) {
    auto* v = qobject_cast<SheetView*>(w->widget());
    if (v && !v->Document().IsUntitled() && Canonical(v->Document().Path()) == want) return w;
  }
  return nullptr;
}

bool MainWindow::IsOpen(const std::string& path) const { return FindWindow(path) != nullptr; }

SheetView* MainWindow::AddView(std::unique_ptr<EditorDocument> doc) {
  auto* view = new SheetView(std::move(doc));
  QMdiSubWindow* w = mdi_->addSubWindow(view);
  w->installEventFilter(this);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->setWindowTitle(DocumentTitle(view->Document()));
  view->SetContextMenu(contextMenu_);
  connect(view, &SheetView::PointerMoved, this, &MainWindow::OnPointer);
  connect(view, &SheetView::Prompt, this, [this](const QString& text) {
    prompt_->setText(text.isEmpty() ? QStringLiteral("コマンドを選択してください") : text);
  });
  connect(view, &SheetView::Changed, this, [this] {
    UpdateTitles();
    UpdateActions();
  });
  connect(view, &SheetView::ModeEnded, this, [this] { input_->Update(); });
  connect(view, &SheetView::Readout, this, [this](const QString& text) {
    if (!text.isEmpty()) pointer_->setText(text);
  });
  connect(view, &SheetView::NetPointed, this, [this](const QStringList& names) {
    if (!names.isEmpty()) statusBar()->showMessage(names.join(QStringLiteral(", ")), 3000);
  });
  // A sheet fills the window, as the sheets before it do; once the user has
  // arranged the windows, a new one opens beside them at a usual size.
  QMdiSubWindow* front = mdi_->activeSubWindow();
  if (front == nullptr || front->isMaximized()) {
    w->showMaximized();
  } else {
    w->resize(mdi_->size() * 0.8);
    w->show();
  }
  UpdateActions();
  return view;
}

SheetView* MainWindow::NewSheet() {
  auto doc = std::make_unique<EditorDocument>();
  const DocStatus st = doc->New(++untitled_);
  for (const std::string& w : st.warnings) statusBar()->showMessage(Q(w), 5000);
  return AddView(std::move(doc));
}

SheetView* MainWindow::OpenSheet(const QString& path, bool report) {
  const std::string p = Canonical(U(path));
  if (QMdiSubWindow* w = FindWindow(p)) {
    if (w->isMinimized()) w->showNormal();
    mdi_->setActiveSubWindow(w);
    return qobject_cast<SheetView*>(w->widget());
  }
  auto doc = std::make_unique<EditorDocument>();
  const DocStatus st = doc->Open(p);
  if (!st.ok) {
    if (report) Warn(Q(st.message));
    return nullptr;
  }
  for (const std::string& w : st.warnings) statusBar()->showMessage(Q(w), 5000);
  const std::string readOnly = ReadOnlyAutoSaveWarning(p, SaveOptions::FromSettings(AppSettings()));
  AddRecent("Recent File List", 16, "FMRU", p);
  SheetView* view = AddView(std::move(doc));
  if (!readOnly.empty()) Warn(Q(readOnly));
  return view;
}

bool MainWindow::OpenProject(const QString& path) {
  const std::string p = Canonical(U(path));
  const bool all = AppSettings().GetInt("Sheet", "ProjectAllFile") != 0;
  std::vector<std::string> files;
  if (ProjectFile::ReadFileList(p, files, all, false) < 0) {
    Warn(QStringLiteral("ファイル %1 を開けません").arg(Q(p)));
    return false;
  }
  // The documents of the previous project are closed first (asking to save).
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) return false;
  projectPath_ = p;
  host_.SetProject(p);
  RefreshProjectPanel();
  UpdateActions();
  // The last entry opens first, so that the first ends as the front window,
  // unless "RevOpen" asks for list order.
  if (AppSettings().GetInt("Sheet", "RevOpen") == 0) std::reverse(files.begin(), files.end());
  int opened = 0;
  QStringList failed;
  for (const std::string& f : files) {
    if (OpenSheet(Q(f), false))
      ++opened;
    else
      failed << Q(f);
  }
  if (!failed.isEmpty())
    Warn(QStringLiteral("ファイル %1 を開けません").arg(failed.join(QStringLiteral("\n"))));
  if (opened > 0) {
    AddRecent("Project File List", 16, "PMRU", p);
    AppSettings().WriteInt("Sheet", "NoProj", 0);
  }
  setWindowTitle(QStringLiteral("Tavro - %1").arg(Q(fs::path(p).filename().string())));
  return true;
}

void MainWindow::OpenFiles(const QStringList& files) {
  // The first project becomes the current one; then every sheet opens.
  for (const QString& f : files) {
    if (EndsWithNoCase(f, ".tpj")) {
      OpenProject(f);
      break;
    }
  }
  for (const QString& f : files)
    if (!EndsWithNoCase(f, ".tpj")) OpenSheet(f);
}

void MainWindow::OpenDialog() {
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QStringLiteral("開く"), QString(),
      QStringLiteral(
          "図面・プロジェクト (*.tcd *.tpj *.txt *.sch);;図面ファイル (*.tcd);;プロジェクト "
          "(*.tpj);;テキスト (*.txt);;Tango File(DOS) (*.s*);;すべてのファイル (*)"));
  if (!files.isEmpty()) OpenFiles(files);
}

void MainWindow::OpenProjectDialog() {
  const QString f = QFileDialog::getOpenFileName(this, QStringLiteral("プロジェクトを開く"),
                                                 QString(), QStringLiteral("プロジェクト (*.tpj)"));
  if (!f.isEmpty()) OpenProject(f);
}

// ---- saving ----

bool MainWindow::Save(SheetView* view) {
  if (view == nullptr) return false;
  if (view->Document().IsUntitled()) return SaveAs(view);
  const SaveResult r =
      view->Document().SaveAs(view->Document().Path(), SaveOptions::FromSettings(AppSettings()));
  UpdateTitles();
  view->viewport()->update();
  if (!r.ok) {
    Warn(Q(r.message));
    return false;
  }
  statusBar()->showMessage(QStringLiteral("保存しました: %1").arg(Q(view->Document().Path())),
                           3000);
  return true;
}

bool MainWindow::SaveAs(SheetView* view) {
  if (view == nullptr) return false;
  EditorDocument& doc = view->Document();
  const QString suggested = Q(doc.IsUntitled() ? doc.DisplayName() : doc.Path());
  QString path;
  if (dialogs_.saveFileName) {
    path = dialogs_.saveFileName(suggested);
  } else {
    path = QFileDialog::getSaveFileName(this, QStringLiteral("名前を付けて保存"), suggested,
                                        QStringLiteral("図面ファイル (*.tcd)"));
  }
  if (path.isEmpty()) return false;
  if (!EndsWithNoCase(path, ".tcd")) path += QStringLiteral(".tcd");
  const std::string p = Canonical(U(path));
  // Another window showing that file would no longer match it.
  if (QMdiSubWindow* other = FindWindow(p); other && other->widget() != view) {
    Warn(QStringLiteral("ファイル %1 は別のウインドウで開かれています").arg(Q(p)));
    return false;
  }
  const SaveResult r = doc.SaveAs(p, SaveOptions::FromSettings(AppSettings()));
  UpdateTitles();
  view->viewport()->update();
  if (!r.ok) {
    Warn(Q(r.message));
    return false;
  }
  AddRecent("Recent File List", 16, "FMRU", p);
  return true;
}

bool MainWindow::SaveAll() {
  bool all = true;
  for (SheetView* v : Views())
    if (v->Document().IsModified() || v->Document().IsUntitled()) all = Save(v) && all;
  return all;
}

bool MainWindow::MaySave(SheetView* view) {
  if (view == nullptr || !view->Document().IsModified()) return true;
  const QString question =
      QStringLiteral("%1 への変更を保存しますか？").arg(Q(view->Document().DisplayName()));
  int answer;
  if (dialogs_.ask) {
    answer = dialogs_.ask(question);
  } else {
    answer = QMessageBox::question(this, QStringLiteral("Tavro"), question,
                                   QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                   QMessageBox::Yes);
  }
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::No) return true;
  return Save(view);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    if (auto* w = qobject_cast<QMdiSubWindow*>(watched)) {
      if (!MaySave(qobject_cast<SheetView*>(w->widget()))) {
        event->ignore();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::RestartAutoSave() {
  const int ms = AutoSaveIntervalMs(SaveOptions::FromSettings(AppSettings()));
  if (ms > 0)
    autoSave_->start(ms);
  else
    autoSave_->stop();
}

void MainWindow::AutoSaveTick() {
  const SaveOptions options = SaveOptions::FromSettings(AppSettings());
  const std::string work = fs::current_path().string();
  for (SheetView* v : Views()) {
    const AutoSaveResult r =
        v->Document().AutoSave(options, work, v->Document().Serial(), isRemovable_);
    if (r.outcome == AutoSaveOutcome::kSkipped && r.status.empty()) continue;
    if (r.outcome == AutoSaveOutcome::kFailed) {
      statusBar()->showMessage(Q(r.message), 10000);
      continue;
    }
    if (r.outcome == AutoSaveOutcome::kSaved)
      statusBar()->showMessage(Q(std::string(kAutoSaveStatus) + ": " + r.target), 3000);
  }
  UpdateTitles();
}

// ---- printing ----

std::string MainWindow::PrintViews(QPrinter& printer, const std::vector<SheetView*>& views) {
  std::vector<const CSheetDoc*> docs;
  for (SheetView* v : views) docs.push_back(&v->Document().Doc());
  return PrintDocuments(printer, docs, host_);
}

void MainWindow::PrintDialogRun() {
  SheetView* v = ActiveView();
  if (v == nullptr) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Q(v->Document().DisplayName()));
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string error = PrintViews(printer, {v});
  if (!error.empty()) Warn(Q(error));
}

void MainWindow::PrintPreviewRun() {
  SheetView* v = ActiveView();
  if (v == nullptr) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog preview(&printer, this);
  preview.setWindowTitle(QStringLiteral("印刷プレビュー - %1").arg(Q(v->Document().DisplayName())));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this, v](QPrinter* p) { PrintViews(*p, {v}); });
  preview.exec();
}

bool MainWindow::PrintFiles(const QStringList& files, const QString& printerName) {
  QPrinter printer(QPrinter::HighResolution);
  if (!printerName.isEmpty()) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) {
      Warn(QStringLiteral("プリンタ %1 が見つかりません").arg(printerName));
      return false;
    }
    printer.setPrinterName(printerName);
  } else if (QPrinterInfo::defaultPrinter().isNull()) {
    Warn(QStringLiteral("プリンタがありません"));
    return false;
  }
  return PrintFiles(files, printer);
}

bool MainWindow::PrintFiles(const QStringList& files, QPrinter& printer) {
  // An open document prints as it stands; any other file as it was saved.
  std::vector<std::unique_ptr<EditorDocument>> read;
  std::vector<const CSheetDoc*> docs;
  for (const QString& f : files) {
    if (QMdiSubWindow* w = FindWindow(Canonical(U(f)))) {
      docs.push_back(&qobject_cast<SheetView*>(w->widget())->Document().Doc());
      continue;
    }
    auto doc = std::make_unique<EditorDocument>();
    const DocStatus st = doc->Open(Canonical(U(f)));
    if (!st.ok) {
      Warn(Q(st.message));
      return false;
    }
    docs.push_back(&doc->Doc());
    read.push_back(std::move(doc));
  }
  const std::string error = PrintDocuments(printer, docs, host_);
  if (!error.empty()) {
    Warn(Q(error));
    return false;
  }
  return true;
}

// ---- export ----

std::string MainWindow::ExportView(SheetView* view, const QString& path,
                                   const ImageOptions& image) {
  if (view == nullptr) return "図面がありません";
  const std::string p = U(path);
  const CSheetDoc& doc = view->Document().Doc();
  if (EndsWithNoCase(path, ".dxf")) {
    std::string dxf, error;
    const DocStatus st = doc.WriteDXF(dxf);
    if (!st.ok) return st.message;
    if (!WriteFileAtomic(p, dxf, &error))
      return "ファイル " + p + " を作成できません (" + error + ")";
    return {};
  }
  if (EndsWithNoCase(path, ".txt") || EndsWithNoCase(path, ".sch")) {
    std::string error;
    const std::string text = EndsWithNoCase(path, ".sch") ? doc.WriteTango() : doc.WriteText();
    if (!WriteFileAtomic(p, text, &error))
      return "ファイル " + p + " を作成できません (" + error + ")";
    return {};
  }
  ImageOptions options = image;
  if (EndsWithNoCase(path, ".svg"))
    options.format = ImageOptions::kSvg;
  else if (EndsWithNoCase(path, ".png"))
    options.format = ImageOptions::kPng;
  else
    return "ファイル " + p +
           " を作成できません (.png, .svg, .sch, .dxf, .txt のいずれかにしてください)";
  return WriteImage(doc, p, options);
}

void MainWindow::ExportDialogRun() {
  SheetView* v = ActiveView();
  if (v == nullptr) return;
  const QString base =
      Q(fs::path(v->Document().IsUntitled() ? v->Document().DisplayName() : v->Document().Path())
            .replace_extension()
            .string());
  // The choices of 別ファイル形式で保存, the last one chosen first
  // ("Settings"/"FilterIndex", from 1).
  const QStringList filters = {QStringLiteral("PNG画像 (*.png)"), QStringLiteral("SVG図形 (*.svg)"),
                               QStringLiteral("Tango File(DOS) (*.sch)"),
                               QStringLiteral("テキスト形式 (*.txt)"),
                               QStringLiteral("ＤＸＦファイル (*.dxf)")};
  const QStringList extensions = {QStringLiteral(".png"), QStringLiteral(".svg"),
                                  QStringLiteral(".sch"), QStringLiteral(".txt"),
                                  QStringLiteral(".dxf")};
  int index = AppSettings().GetInt("Settings", "FilterIndex") - 1;
  if (index < 0 || index >= filters.size()) index = 0;
  QString filter = filters[index];
  QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("別ファイル形式で保存"),
                                   base + extensions[index], filters.join(";;"), &filter);
  if (path.isEmpty()) return;
  const int chosen = static_cast<int>(filters.indexOf(filter));
  if (chosen >= 0) {
    AppSettings().WriteInt("Settings", "FilterIndex", chosen + 1);
    if (!extensions.contains(QFileInfo(path).suffix().prepend('.'), Qt::CaseInsensitive))
      path += extensions[chosen];
  }
  ImageOptions image;
  if (!EndsWithNoCase(path, ".txt") && !EndsWithNoCase(path, ".sch") &&
      !EndsWithNoCase(path, ".dxf")) {
    // The picture's resolution and colours.
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("画像の設定"));
    auto* form = new QFormLayout(&dialog);
    auto* dpi = new QSpinBox(&dialog);
    dpi->setRange(ImageOptions::kMinDpi, ImageOptions::kMaxDpi);
    dpi->setValue(image.dpi);
    dpi->setSuffix(QStringLiteral(" dpi"));
    auto* mono = new QCheckBox(QStringLiteral("白黒 (印刷の色)"), &dialog);
    form->addRow(QStringLiteral("解像度(&R):"), dpi);
    form->addRow(mono);
    form->addRow(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return;
    image.dpi = dpi->value();
    image.mono = mono->isChecked();
  }
  const std::string error = ExportView(v, path, image);
  if (!error.empty())
    Warn(Q(error));
  else
    statusBar()->showMessage(QStringLiteral("%1 を作成しました").arg(path), 5000);
}

// ---- find ----

void MainWindow::FindDialogRun() {
  if (ActiveView() == nullptr) return;
  const Settings& settings = AppSettings();
  FindDialog dialog(FindOptions::FromSettings(settings), FindHistory(settings), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const FindOptions options = dialog.Options();
  if (!options.Store(AppSettings()))
    statusBar()->showMessage(QStringLiteral("設定を保存できません"), 5000);
  Find(options, true);
}

void MainWindow::FindNextRun() {
  const FindOptions options = FindOptions::FromSettings(AppSettings());
  if (options.pattern.empty()) {
    FindDialogRun();
    return;
  }
  Find(options, false);
}

bool MainWindow::Find(const FindOptions& options, bool newSearch) {
  SheetView* active = ActiveView();
  if (active == nullptr) return false;
  std::vector<SheetView*> views = options.allSheets ? Views() : std::vector<SheetView*>{active};
  const QString pattern = Q(Cp932ToUtf8(options.pattern));
  auto notFound = [&] {
    QApplication::beep();
    statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(pattern), 5000);
    return false;
  };
  if (options.selectItems) {
    int total = 0;
    for (SheetView* v : views) {
      const CSheet& sheet = v->Document().Sheet();
      Selection s;
      for (const FindMatch& m : SelectMatches(sheet, options)) s.AddItem(sheet, m.item);
      if (s.Empty()) continue;
      total += s.Count();
      v->Document().Select(std::move(s));
      v->AfterEdit();
    }
    if (total == 0) return notFound();
    statusBar()->showMessage(QStringLiteral("「%1」: %2 個選択しました").arg(pattern).arg(total),
                             5000);
    return true;
  }
  std::vector<FindDocument> docs;
  size_t current = 0;
  for (size_t i = 0; i < views.size(); ++i) {
    docs.push_back({&views[i]->Document().Sheet(), &views[i]->Document().FoundCounter()});
    if (views[i] == active) current = i;
  }
  const std::optional<FindHit> hit = FindNext(docs, current, options, newSearch);
  if (!hit) return notFound();
  SheetView* v = views[hit->doc];
  if (auto* w = qobject_cast<QMdiSubWindow*>(v->parentWidget())) {
    if (w->isMinimized()) w->showNormal();
    mdi_->setActiveSubWindow(w);
  }
  Selection s;
  s.AddItem(v->Document().Sheet(), hit->match.item);
  v->Document().Select(std::move(s));
  v->EnsureVisible(hit->match.point);
  v->AfterEdit();
  statusBar()->showMessage(
      QStringLiteral("「%1」: %2").arg(pattern, Q(Cp932ToUtf8(hit->match.text))), 5000);
  return true;
}

bool MainWindow::Confirm(const QString& question) {
  if (dialogs_.ask) return dialogs_.ask(question) == QMessageBox::Yes;
  return QMessageBox::question(this, QStringLiteral("Tavro"), question,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::Warn(const QString& message) {
  if (dialogs_.warn) {
    dialogs_.warn(message);
    return;
  }
  QMessageBox::warning(this, QStringLiteral("Tavro"), message);
}

void MainWindow::ShowAbout() {
  QMessageBox::about(this, QStringLiteral("バージョン情報"),
                     QStringLiteral("Tavro %1\n回路図エディタ").arg(Q(Version())));
}

void MainWindow::OnPointer(CPoint at) { pointer_->setText(Q(PointerReadout(at))); }

// ---- progress ----

void MainWindow::BeginStage(int stage, int total) {
  stage_->setText(QString::fromUtf8(StageTextUtf8(stage)));
  progress_->setRange(0, std::max(1, total));
  progress_->setValue(0);
  progress_->setVisible(true);
}

void MainWindow::StepProgress() {
  progress_->setValue(std::min(progress_->maximum(), progress_->value() + 1));
  if (progress_->value() >= progress_->maximum()) {
    progress_->setVisible(false);
    stage_->clear();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace tavro::gui
