// The parts list from the editor: the dialog 部品表作成 starts from the
// project's values and the settings, stores them back when confirmed, and
// the tool menu's job writes what `tavro bom` writes for the same options.
#include "app/gui/bom_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <cstdlib>
#include <filesystem>

#include "app/gui/main_window.h"
#include "app/gui/tool_actions.h"
#include "app/project.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

template <class W>
W* Child(QWidget& dialog, const char* name) {
  W* w = dialog.findChild<W*>(QString::fromUtf8(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

class BomDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings().DeleteSection("Tool");
    for (const char* f : {"demo.tpj", "amp1.tcd", "amp2.tcd"})
      fs::copy_file(fs::path(TAVRO_SOURCE_DIR "/examples/demo") / f, tmp_.path() / f);
  }
  void TearDown() override { AppSettings().DeleteSection("Tool"); }
  std::string File(const char* name) const { return tmp_.file(name); }
  TempDir tmp_;
};

// The dialog shows the project's SHEETNO (no SETNAME, no PCBMAKE: the count
// starts at 1) and the stored settings; OK stores the three values into the
// project (its other lines unchanged) and the two settings, but not the
// forcing of NOPARTLIST.
TEST_F(BomDialogTest, StoresTheValuesIntoTheProject) {
  Settings& s = AppSettings();
  s.WriteInt("Tool", "PartCount", 1);
  s.WriteString("Tool", "ListProperty", "PCB");
  const std::string tpj = File("demo.tpj");
  BomDialog d(tpj);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("部品表作成"));
  auto* sheetNo = Child<QLineEdit>(d, "sheetNo");
  auto* setName = Child<QLineEdit>(d, "setName");
  auto* pcbMake = Child<QSpinBox>(d, "pcbMake");
  auto* partCount = Child<QCheckBox>(d, "partCount");
  auto* force = Child<QCheckBox>(d, "forceNoPartList");
  auto* properties = Child<QLineEdit>(d, "properties");
  EXPECT_EQ(sheetNo->text(), QStringLiteral("AMP-001"));
  EXPECT_EQ(setName->text(), QString());
  EXPECT_EQ(pcbMake->value(), 1);
  EXPECT_EQ(pcbMake->minimum(), 1);
  EXPECT_EQ(pcbMake->maximum(), 32767);
  EXPECT_TRUE(partCount->isChecked());
  EXPECT_FALSE(force->isChecked());
  EXPECT_EQ(properties->text(), QStringLiteral("PCB"));

  sheetNo->setText(QStringLiteral(" AMP-002 "));
  setName->setText(QStringLiteral("プリアンプ"));
  pcbMake->setValue(20);
  partCount->setChecked(false);
  force->setChecked(true);
  properties->setText(QStringLiteral("MAKER,PARTNO"));
  const BomOptions o = d.Options();
  EXPECT_EQ(o.sheetNo, "AMP-002");
  EXPECT_EQ(o.setName, J("プリアンプ"));
  EXPECT_EQ(o.pcbMake, 20);
  EXPECT_FALSE(o.partCount);
  EXPECT_TRUE(o.forceNoPartList);
  EXPECT_EQ(o.listProperty, "MAKER,PARTNO");
  EXPECT_FALSE(o.storeHeader);  // the dialog stores them itself
  EXPECT_TRUE(d.Problem().isEmpty());

  QStringList warnings;
  d.SetWarn([&](const QString& m) { warnings << m; });
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  EXPECT_EQ(ReadAll(tpj),
            "Project File Ver 0.03\n1:amp1.tcd\n1:amp2.tcd\nEndFileList\n"
            "Property List\n&SHEETNO&AMP-002\n&PRODUCT&Audio preamplifier\n"
            "&SETNAME&" +
                J("プリアンプ") + "\n&PCBMAKE&20\nEndPropertyList\n");
  EXPECT_EQ(s.GetInt("Tool", "PartCount"), 0);
  EXPECT_EQ(s.GetString("Tool", "ListProperty"), "MAKER,PARTNO");

  // The next dialog starts from what was stored; forcing starts off again.
  BomDialog again(tpj);
  EXPECT_EQ(Child<QLineEdit>(again, "setName")->text(), QStringLiteral("プリアンプ"));
  EXPECT_EQ(Child<QSpinBox>(again, "pcbMake")->value(), 20);
  EXPECT_FALSE(Child<QCheckBox>(again, "forceNoPartList")->isChecked());

  // Without a project nothing is stored and nothing is read.
  BomDialog none("");
  EXPECT_EQ(Child<QLineEdit>(none, "sheetNo")->text(), QString());
  EXPECT_TRUE(none.StoreProject());
}

// A project that cannot be written keeps its values and says so; the list
// is still made.
TEST_F(BomDialogTest, AProjectThatCannotBeWritten) {
  const std::string tpj = File("demo.tpj");
  BomDialog d(tpj);
  QStringList warnings;
  d.SetWarn([&](const QString& m) { warnings << m; });
  fs::remove(tpj);
  fs::create_directory(tpj);  // a folder where the file was
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  ASSERT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("を作成できません")))
      << warnings[0].toStdString();
}

// From the tool menu on the open demo project: the list the command line
// writes for the same options, beside the project, progress on the host.
TEST_F(BomDialogTest, TheMenuJobIsTheCommandLines) {
  ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  MainWindow w;
  w.SetDialogs(
      {[](const QString&) {}, [](const QString&) { return int(QMessageBox::No); }, {}, {}});
  ASSERT_TRUE(w.OpenProject(QString::fromStdString(File("demo.tpj"))));
  QStringList warnings, statuses, questions;
  test::RecordingHost host;
  ToolActions::Hooks hooks;
  hooks.activeView = [&] { return w.ActiveView(); };
  hooks.views = [&] { return w.Views(); };
  hooks.projectPath = [&] { return w.ProjectPath(); };
  hooks.host = [&]() -> Host* { return &host; };
  hooks.warn = [&](const QString& m) { warnings << m; };
  hooks.ask = [&](const QString& q) {
    questions << q;
    return true;
  };
  hooks.status = [&](const QString& m) { statuses << m; };
  ToolActions tools(&w, hooks);
  QMenu menu;
  tools.FillMenu(&menu);
  bool listed = false;
  for (QAction* a : menu.actions())
    listed = listed || (a->text() == QStringLiteral("部品表作成(&B)...") && a->isEnabled());
  EXPECT_TRUE(listed);

  BomOptions o;
  o.partCount = true;
  o.listProperty = "PCB";
  o.pcbMake = 4;
  const BomResult r = tools.RunBom(o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_EQ(fs::path(r.outputPath), tmp_.path() / "demo.csv");
  EXPECT_TRUE(questions.isEmpty());
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  ASSERT_EQ(statuses.size(), 1);
  EXPECT_EQ(statuses[0], QStringLiteral("demo.csv を作成しました　使用部品数 15"));
  bool grouped = false;
  for (const auto& st : host.stages) grouped = grouped || st.stage == kStagePartList;
  EXPECT_TRUE(grouped);
  const std::string fromMenu = ReadAll(r.outputPath);
  EXPECT_NE(fromMenu.find("PCBMAKE,4\r\n"), std::string::npos) << fromMenu;
  fs::remove(r.outputPath);

  const test::RunResult cli = test::RunTavro(
      {"bom", "-q", "--count", "--properties", "PCB", "--pcbmake", "4", File("demo.tpj")});
  ASSERT_EQ(cli.exitCode, 0) << cli.err;
  EXPECT_EQ(ReadAll(File("demo.csv")), fromMenu);
  ::unsetenv("SOURCE_DATE_EPOCH");
}

}  // namespace
}  // namespace tavro::gui
