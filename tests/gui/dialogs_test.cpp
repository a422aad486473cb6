// The settings, project and sheet information dialogs do the jobs of
// `tavro config`, `tavro project` and `tavro info`: the same checks with the
// same words, the same bytes written, the same facts shown. Each dialog is
// compared with the command run on a copy of the same input.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/gui/project_dialog.h"
#include "app/gui/settings_dialog.h"
#include "app/gui/sheet_info_dialog.h"
#include "app/sheet_info.h"
#include "core/file/document.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::RunTavro;
using test::TempDir;

const fs::path kDemo = TAVRO_SOURCE_DIR "/examples/demo";

// ---------------------------------------------------------------------------
// Settings

// A settings file of the test's own that the dialog edits and the command
// line reads.
struct Store {
  TempDir dir;
  std::string ini = dir.file("tavro.ini");
  Settings settings{ini};
  std::vector<std::string> Env() const { return {"TAVRO_SETTINGS=" + ini}; }
};

TEST(SettingsDialogTest, RefusesWhatTheCommandLineRefusesInItsWordsAndWritesNothing) {
  Store store;
  ASSERT_TRUE(store.settings.WriteInt("Tool", "StartNo", 5));
  const std::string before = ReadAll(store.ini);
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"Tool", "NetType", "99"},    {"Tool", "StartNo", "x"}, {"FileSave", "UndoCount", "5"},
      {"Sheet", "Cursor", "3"},     {"Color", "Wire", "red"}, {"Color", "Wire", "255"},
      {"Sheet", "MainGrid", "1e3"},
  };
  for (const Case& c : cases) {
    const std::string name = std::string(c.section) + "/" + c.key;
    SettingsDialog dialog(store.settings);
    const QString why = dialog.SetValue(c.section, c.key, c.value);
    ASSERT_FALSE(why.isEmpty()) << name << " " << c.value;
    const test::RunResult r = RunTavro({"config", "set", name, c.value}, store.Env());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.rfind("tavro config: '" + name + "' " + why.toStdString() + "\n", 0), 0u)
        << r.err;
    // The refusal shows beside the value and keeps OK from storing anything.
    EXPECT_TRUE(
        dialog.ItemOf(c.section, c.key)->text(SettingsDialog::kMeaningColumn).contains(why));
    EXPECT_FALSE(dialog.Apply());
    EXPECT_TRUE(dialog.Problem().contains(why)) << dialog.Problem().toStdString();
    EXPECT_EQ(ReadAll(store.ini), before) << name;
  }
}

TEST(SettingsDialogTest, StoresTheBytesTheCommandLineStoresAndResetsToTheDefault) {
  struct Case {
    const char* section;
    const char* key;
    const char* typed;
    const char* got;  // what `tavro config get` prints afterwards
  } cases[] = {
      {"Tool", "NetType", "12", "12"},
      {"tool", "startno", " 7 ", "7"},  // table spelling, blanks around a number
      {"Default", "Part VCC", "VCC 電源", "VCC 電源"},
      {"Color", "Wire", "65280 0", "65280 0"},
      {"FileSave", "UndoCount", "10", "10"},
      {"Sheet", "FullPath", "0", "0"},
  };
  Store byDialog, byCommand;
  SettingsDialog dialog(byDialog.settings);
  for (const Case& c : cases) {
    EXPECT_EQ(dialog.SetValue(c.section, c.key, QString::fromUtf8(c.typed)), QString()) << c.key;
    const std::string name = std::string(c.section) + "/" + c.key;
    ASSERT_EQ(RunTavro({"config", "set", name, c.typed}, byCommand.Env()).exitCode, 0) << name;
  }
  EXPECT_EQ(dialog.PendingChanges(), static_cast<int>(std::size(cases)));
  ASSERT_TRUE(dialog.Apply()) << dialog.Problem().toStdString();
  EXPECT_EQ(dialog.PendingChanges(), 0);
  EXPECT_EQ(ReadAll(byDialog.ini), ReadAll(byCommand.ini));
  for (const Case& c : cases) {
    const std::string name = std::string(c.section) + "/" + c.key;
    EXPECT_EQ(RunTavro({"config", "get", name}, byDialog.Env()).out, std::string(c.got) + "\n");
  }

  // A dialog opened afterwards shows the stored values with their meaning, as
  // the list does ("Tool/NetType = 12 (Scicards, format 15)").
  SettingsDialog again(byDialog.settings);
  QTreeWidgetItem* netType = again.ItemOf("Tool", "NetType");
  ASSERT_NE(netType, nullptr);
  EXPECT_EQ(netType->text(SettingsDialog::kValueColumn), "12");
  EXPECT_EQ(netType->text(SettingsDialog::kDefaultColumn), "0");
  EXPECT_EQ(netType->text(SettingsDialog::kMeaningColumn), "Scicards, format 15");
  const std::string list = RunTavro({"config", "list"}, byDialog.Env()).out;
  EXPECT_NE(list.find("\nTool/NetType = 12 (Scicards, format 15)\n"), std::string::npos);

  // 既定値に戻す removes the stored value: the default applies again.
  ASSERT_TRUE(again.ResetValue("Tool", "NetType"));
  EXPECT_EQ(netType->text(SettingsDialog::kValueColumn), "0");
  ASSERT_TRUE(again.Apply());
  EXPECT_EQ(RunTavro({"config", "get", "Tool/NetType"}, byDialog.Env()).out, "0\n");
  EXPECT_EQ(ReadAll(byDialog.ini).find("NetType"), std::string::npos);
}

TEST(SettingsDialogTest, ListsEveryDefaultAndShowsBinaryValuesReadOnly) {
  Store store;
  ASSERT_TRUE(store.settings.WriteBinary("Printer", "UpOffset", {1, 2, 0xFE}));
  ASSERT_TRUE(store.settings.WriteString("Recent File List", "File1", "/tmp/a.tcd"));
  SettingsDialog dialog(store.settings);
  for (const SettingDefault& d : SettingDefaults())
    EXPECT_NE(dialog.ItemOf(QString::fromStdString(Cp932ToUtf8(d.section)),
                            QString::fromStdString(Cp932ToUtf8(d.key))),
              nullptr)
        << d.key;
  // Values without a default are listed too, as `tavro config list` lists them.
  QTreeWidgetItem* recent = dialog.ItemOf("Recent File List", "File1");
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent->text(SettingsDialog::kValueColumn), "/tmp/a.tcd");

  QTreeWidgetItem* offset = dialog.ItemOf("Printer", "UpOffset");
  ASSERT_NE(offset, nullptr);
  EXPECT_EQ(offset->text(SettingsDialog::kValueColumn), "hex:0102FE");
  EXPECT_FALSE(offset->flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(dialog.SetValue("Printer", "UpOffset", "1").isEmpty());
  EXPECT_FALSE(dialog.ResetValue("Printer", "UpOffset"));
  EXPECT_FALSE(dialog.SetValue("Tool", "NoSuchKey", "1").isEmpty());
  // Typing into the cell is checked as SetValue checks.
  QTreeWidgetItem* grid = dialog.ItemOf("Sheet", "MainGrid");
  grid->setText(SettingsDialog::kValueColumn, "abc");
  EXPECT_EQ(grid->text(SettingsDialog::kMeaningColumn), "× takes a whole number");
  EXPECT_FALSE(dialog.Apply());
  ASSERT_TRUE(dialog.ResetValue("Sheet", "MainGrid"));
  EXPECT_EQ(grid->text(SettingsDialog::kValueColumn), "100");
  // A character the file's code page lacks would turn into "?": refused.
  EXPECT_FALSE(dialog.SetValue("Default", "FontE", "Arial ☃").isEmpty());
  EXPECT_EQ(dialog.SetValue("Default", "FontE", "Arial"), QString());
}

TEST(SettingsDialogTest, AFileThatCannotBeWrittenIsReportedAndTheChangesKept) {
  TempDir dir;
  test::WriteAll(dir.file("blocker"), "a file where a folder should be\n");
  Settings settings(dir.file("blocker/tavro.ini"));
  SettingsDialog dialog(settings);
  ASSERT_EQ(dialog.SetValue("Tool", "NetType", "3"), QString());
  EXPECT_FALSE(dialog.Apply());
  EXPECT_TRUE(dialog.Problem().contains(QStringLiteral("を作成できません")))
      << dialog.Problem().toStdString();
  EXPECT_EQ(dialog.PendingChanges(), 1);
  EXPECT_FALSE(fs::exists(dir.file("blocker/tavro.ini")));
}

// ---------------------------------------------------------------------------
// Project

// The demo project copied into a temporary folder.
struct DemoProject {
  TempDir dir;
  std::string tpj = dir.file("demo.tpj");
  DemoProject() {
    for (const char* f : {"demo.tpj", "amp1.tcd", "amp2.tcd"})
      fs::copy_file(kDemo / f, dir.path() / f);
  }
};

// The row of a property in the dialog's table, -1 when there is none.
int RowOf(const ProjectDialog& d, const QString& name) {
  for (int r = 0; r < d.Properties()->rowCount(); ++r)
    if (d.Properties()->item(r, 0)->text() == name) return r;
  return -1;
}

TEST(ProjectDialogTest, PropertiesRoundTripAsTheCommandLineWritesThem) {
  DemoProject byDialog, byCommand;
  const std::string original = ReadAll(byDialog.tpj);
  const std::string fileList = original.substr(0, original.find("EndFileList\n") + 12);

  {
    // OK without a change writes nothing.
    ProjectDialog dialog(byDialog.tpj);
    ASSERT_EQ(dialog.LoadError(), QString());
    ASSERT_EQ(dialog.Files()->count(), 2);
    EXPECT_EQ(dialog.Files()->item(1)->text(), "amp2.tcd");
    EXPECT_EQ(dialog.Files()->item(1)->checkState(), Qt::Checked);
    const auto mtime = fs::last_write_time(byDialog.tpj);
    ASSERT_TRUE(dialog.Apply());
    EXPECT_EQ(fs::last_write_time(byDialog.tpj), mtime);
  }
  {
    // A changed value and a new property: the bytes of `--set` for both.
    ProjectDialog dialog(byDialog.tpj);
    const int sheetNo = RowOf(dialog, "SHEETNO");
    ASSERT_GE(sheetNo, 0);
    EXPECT_EQ(dialog.Properties()->item(sheetNo, 1)->text(), "AMP-001");
    dialog.Properties()->item(sheetNo, 1)->setText("AMP-002");
    dialog.AddProperty("PDFTITLE", "アンプ R&D");
    ASSERT_TRUE(dialog.Apply()) << dialog.Problem().toStdString();
  }
  const test::RunResult r = RunTavro(
      {"project", byCommand.tpj, "--set", "SHEETNO=AMP-002", "--set", "PDFTITLE=アンプ R&D"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(byDialog.tpj), ReadAll(byCommand.tpj));
  EXPECT_EQ(RunTavro({"project", byDialog.tpj}).out,
            "1:" + byDialog.dir.file("amp1.tcd") + "\n1:" + byDialog.dir.file("amp2.tcd") +
                "\nproperty: SHEETNO=AMP-002\nproperty: PRODUCT=Audio preamplifier\n"
                "property: PDFTITLE=アンプ R&D\n");

  {
    // Deleting a property takes its line out and leaves the rest as it was,
    // as `--unset` does; a check mark cleared is written into the file list.
    ProjectDialog dialog(byDialog.tpj);
    ASSERT_EQ(dialog.Properties()->item(2, 1)->text(), "アンプ R&D");
    dialog.RemoveProperty(RowOf(dialog, "PRODUCT"));
    ASSERT_TRUE(dialog.Apply()) << dialog.Problem().toStdString();
    EXPECT_EQ(ReadAll(byDialog.tpj), fileList + "Property List\n&SHEETNO&AMP-002\n&PDFTITLE&" +
                                         J("アンプ R\\&D") + "\nEndPropertyList\n");
    ASSERT_EQ(RunTavro({"project", byCommand.tpj, "--unset", "product"}).exitCode, 0);
    EXPECT_EQ(ReadAll(byDialog.tpj), ReadAll(byCommand.tpj));
    dialog.Files()->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(dialog.Apply());
  }
  EXPECT_EQ(ReadAll(byDialog.tpj),
            "Project File Ver 0.03\n1:amp1.tcd\n0:amp2.tcd\nEndFileList\n"
            "Property List\n&SHEETNO&AMP-002\n&PDFTITLE&" +
                J("アンプ R\\&D") + "\nEndPropertyList\n");
}

TEST(ProjectDialogTest, RefusesRowsTheFileCannotKeepAndWritesNothing) {
  DemoProject demo;
  const std::string before = ReadAll(demo.tpj);
  struct Case {
    const char* name;
    const char* value;
    const char* why;  // part of the message
  } cases[] = {
      {"", "A-1", "プロパティ名がありません"},
      {"A&B", "1", "「&」"},
      {"sheetno", "again", "重複"},
      {"SNOW", "☃", "シフトJIS"},
      {"BACK\\", "1", "書けません"},
  };
  for (const Case& c : cases) {
    ProjectDialog dialog(demo.tpj);
    // A row added and left blank is no property and no problem.
    dialog.AddProperty();
    const int row = dialog.AddProperty(QString::fromUtf8(c.name), QString::fromUtf8(c.value));
    EXPECT_FALSE(dialog.Apply()) << c.name;
    EXPECT_TRUE(dialog.Problem().startsWith(QStringLiteral("%1 行目: ").arg(row + 1)))
        << dialog.Problem().toStdString();
    EXPECT_TRUE(dialog.Problem().contains(QString::fromUtf8(c.why)))
        << dialog.Problem().toStdString();
    EXPECT_EQ(ReadAll(demo.tpj), before);
  }

  test::WriteAll(demo.dir.file("not.tpj"), "not a project\n");
  for (const std::string& path : {demo.dir.file("not.tpj"), demo.dir.file("missing.tpj")})
    EXPECT_TRUE(ProjectDialog(path).LoadError().contains(QStringLiteral("を開けません")));
}

// ---------------------------------------------------------------------------
// Sheet information

TEST(SheetInfoDialogTest, ShowsWhatTavroInfoPrints) {
  // The demo sheet with document properties, saved where both can read it.
  TempDir dir;
  const std::string path = dir.file("amp2.tcd");
  {
    CSheetDoc doc;
    ASSERT_TRUE(doc.Open((kDemo / "amp2.tcd").string()).ok);
    doc.SetProperties({J("&AUTHOR&山田"), "&REV&3"});
    ASSERT_TRUE(doc.Save(path).ok);
  }
  CSheetDoc doc;
  ASSERT_TRUE(doc.Open(path).ok);
  SheetInfoDialog dialog(doc);
  const test::RunResult r = RunTavro({"info", path});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  // Every line of the command is a fact the dialog shows.
  const std::vector<ItemCount> kinds = ItemCounts(doc.GetSheet());
  QStringList properties;
  for (int i = 0; i < dialog.Properties()->count(); ++i)
    properties << dialog.Properties()->item(i)->text();
  std::istringstream lines(r.out);
  std::string line;
  int facts = 0;
  while (std::getline(lines, line)) {
    const size_t colon = line.find(": ");
    ASSERT_NE(colon, std::string::npos) << line;
    const std::string name = line.substr(0, colon);
    const QString value = QString::fromStdString(line.substr(colon + 2));
    ++facts;
    if (name == "file") {
      EXPECT_EQ(dialog.Fact("file"), value);
    } else if (name == "format version") {
      EXPECT_EQ(dialog.Fact("version"), value);
    } else if (name == "sheet size") {  // "1 A3横"
      const QStringList codeAndName = value.split(' ');
      EXPECT_EQ(dialog.Fact("paper"),
                QStringLiteral("%1 (%2)").arg(codeAndName[1], codeAndName[0]));
    } else if (name == "work size") {
      EXPECT_EQ(dialog.Fact("work"), value);
    } else if (name == "view rectangle") {
      const QStringList n = value.split(' ');
      EXPECT_EQ(dialog.Fact("view"),
                QStringLiteral("(%1, %2) - (%3, %4)").arg(n[0], n[1], n[2], n[3]));
    } else if (name == "title file") {  // "Title.A3 (title file)"
      EXPECT_EQ(dialog.Fact("title"), QStringLiteral("Title.A3 (図枠ファイル)"));
      EXPECT_EQ(value, "Title.A3 (title file)");
    } else if (name == "property") {
      EXPECT_TRUE(properties.contains(value)) << line;
    } else {
      const bool inTitle = name.rfind("title ", 0) == 0;
      ASSERT_TRUE(inTitle || name.rfind("main ", 0) == 0) << line;
      const std::string kind = name.substr(inTitle ? 6 : 5);
      const auto at = std::find_if(kinds.begin(), kinds.end(),
                                   [&](const ItemCount& k) { return kind == k.kind; });
      ASSERT_NE(at, kinds.end()) << line;
      const int row = static_cast<int>(at - kinds.begin());
      EXPECT_EQ(dialog.Counts()->item(row, 0)->text(), QString::fromUtf8(at->label));
      EXPECT_EQ(dialog.Counts()->item(row, inTitle ? 2 : 1)->text(), value) << line;
    }
  }
  EXPECT_EQ(facts, 6 + 2 + 2 * static_cast<int>(kinds.size()));
  EXPECT_EQ(properties, QStringList({"&AUTHOR&山田", "&REV&3"}));
  // And when the file was written, which the command leaves out.
  EXPECT_EQ(dialog.Fact("modified"), QFileInfo(QString::fromStdString(path))
                                         .lastModified()
                                         .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
}

}  // namespace
}  // namespace tavro::gui
