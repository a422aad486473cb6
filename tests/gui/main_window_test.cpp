// The main window on the demo project: opening, the project panel, the
// window titles and the views' zoom commands.
#include "app/gui/main_window.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include "app/gui/editor_document.h"
#include "app/gui/sheet_view.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

using test::TempDir;

const QString kDemo = QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/demo.tpj");

bool Near(double a, double b) { return std::abs(a - b) < 1e-9 * std::max(1.0, std::abs(a)); }

TEST(MainWindowTest, OpensTheDemoProject) {
  MainWindow w;
  w.resize(1200, 800);
  w.show();
  ASSERT_TRUE(w.OpenProject(kDemo));
  const std::vector<SheetView*> views = w.Views();
  ASSERT_EQ(views.size(), 2u);
  // The last entry opens first, so that the first one ends in front.
  ASSERT_NE(w.ActiveView(), nullptr);
  EXPECT_EQ(w.ActiveView()->Document().DisplayName(), "amp1.tcd");
  for (SheetView* v : views) {
    EXPECT_FALSE(v->Document().IsModified());
    EXPECT_GT(v->Document().Doc().GetSheet().GetItemCount(), 0);
  }
  auto* tree = w.findChild<QTreeWidget*>();
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("amp1.tcd"));
  EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Checked);
  // Opening a file that is open already brings its window forward.
  const QString amp2 = QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp2.tcd");
  SheetView* again = w.OpenSheet(amp2);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(w.Views().size(), 2u);
  EXPECT_EQ(w.ActiveView(), again);
  // The project went to the top of the recent projects.
  EXPECT_NE(AppSettings().GetString("Project File List", "File1", "").find("demo.tpj"),
            std::string::npos);
}

TEST(MainWindowTest, ABadFileChangesNothing) {
  TempDir tmp;
  test::WriteAll(tmp.file("bad.tcd"), "not a sheet file\n");
  MainWindow w;
  QStringList told;
  w.SetDialogs({[&](const QString& m) { told << m; }, {}, {}, {}});
  w.show();
  EXPECT_EQ(w.OpenSheet(QString::fromStdString(tmp.file("bad.tcd"))), nullptr);
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(told[0].contains(QStringLiteral("bad.tcd"))) << told[0].toStdString();
  EXPECT_TRUE(w.Views().empty());
  EXPECT_FALSE(w.OpenProject(QString::fromStdString(tmp.file("missing.tpj"))));
  ASSERT_EQ(told.size(), 2);
  EXPECT_EQ(told[1], QStringLiteral("ファイル %1 を開けません")
                         .arg(QString::fromStdString(tmp.file("missing.tpj"))));
  EXPECT_TRUE(w.ProjectPath().empty());
  EXPECT_EQ(test::ReadAll(tmp.file("bad.tcd")), "not a sheet file\n");
}

TEST(MainWindowTest, TitleFollowsTheModifiedStateAndFullPath) {
  EditorDocument doc;
  ASSERT_TRUE(doc.Open(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd").ok);
  Settings& s = AppSettings();
  s.WriteInt("Sheet", "FullPath", 0);
  EXPECT_EQ(MainWindow::DocumentTitle(doc), QStringLiteral("amp1.tcd"));
  doc.SetModified(true);
  EXPECT_EQ(MainWindow::DocumentTitle(doc), QStringLiteral("amp1.tcd (更新)"));
  s.WriteInt("Sheet", "FullPath", 1);
  EXPECT_EQ(MainWindow::DocumentTitle(doc),
            QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd (更新)"));
  s.DeleteValue("Sheet", "FullPath");
}

TEST(SheetViewTest, ZoomCommandsAndStoredViews) {
  MainWindow w;
  w.resize(1200, 800);
  w.show();
  SheetView* v = w.OpenSheet(QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd"));
  ASSERT_NE(v, nullptr);
  v->ZoomWhole();
  // The whole work area is in view.
  const CRect work(0, 0, v->Document().Doc().GetWorkWidth(), v->Document().Doc().GetWorkHeight());
  CRect seen = v->VisibleArea().Normalized();
  EXPECT_LE(seen.left, work.left);
  EXPECT_GE(seen.right, work.right);
  EXPECT_LE(seen.top, work.top);
  EXPECT_GE(seen.bottom, work.bottom);
  const SheetTransform whole = v->Transform();

  // In and out again give the same scale; the previous view goes back.
  v->ZoomIn();
  EXPECT_GT(v->Transform().scale, whole.scale);
  v->ZoomOut();
  EXPECT_TRUE(Near(v->Transform().scale, whole.scale));
  v->ZoomPrevious();
  v->ZoomPrevious();
  EXPECT_TRUE(Near(v->Transform().scale, whole.scale));

  // A stored view comes back; an unset view shows the whole sheet.
  v->ZoomTo(CRect(2000, 2000, 6000, 5000));
  const CRect area = v->VisibleArea().Normalized();
  EXPECT_TRUE(area.PtInRect(CPoint(4000, 3500)));
  v->StoreView(1);
  v->ZoomWhole();
  v->GoToView(1);
  EXPECT_TRUE(Near(v->Transform().scale, v->Transform().scale));
  EXPECT_TRUE(v->VisibleArea().Normalized().PtInRect(CPoint(4000, 3500)));
  EXPECT_LT(v->Transform().scale * 0.99, v->Transform().scale);
  v->GoToView(2);
  EXPECT_TRUE(Near(v->Transform().scale, whole.scale));

  // A point outside the view is brought to its centre.
  v->ZoomTo(CRect(0, 0, 2000, 2000));
  v->EnsureVisible(CPoint(12000, 9000));
  const CRect c = v->VisibleArea().Normalized();
  EXPECT_TRUE(c.PtInRect(CPoint(12000, 9000)));
}

}  // namespace
}  // namespace tavro::gui
