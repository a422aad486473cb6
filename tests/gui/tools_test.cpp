// The tool menu on the demo project: the jobs it runs write what the command
// line writes for the same options, read the open sheets from the editor
// (unsaved changes included), ask before working without a project, and the
// dialogs fill their jobs from the settings and store them back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/gui/check_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/index_dialog.h"
#include "app/gui/main_window.h"
#include "app/gui/netlist_dialog.h"
#include "app/gui/pdf_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "app/project.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

// What the tool menu told and asked.
struct Told {
  QStringList warnings;
  QStringList statuses;
  QStringList questions;
  QStringList shown;
  bool answer = true;
  std::function<void()> whileAsked;  // what the user does while the question shows
};

// The demo project copied into a temporary folder, open in a main window,
// with a tool menu whose questions and messages the test answers.
class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    for (const char* key : {"Tool", "PDF"}) AppSettings().DeleteSection(key);
    for (const char* f : {"demo.tpj", "amp1.tcd", "amp2.tcd"})
      fs::copy_file(fs::path(TAVRO_SOURCE_DIR "/examples/demo") / f, tmp_.path() / f);
    w_.SetDialogs({[this](const QString& m) { told_.warnings << m; },
                   [](const QString&) { return int(QMessageBox::No); },
                   {},
                   {}});
    tools_ = std::make_unique<ToolActions>(&w_, Hooks());
  }
  void TearDown() override {
    ::unsetenv("SOURCE_DATE_EPOCH");
    for (const char* key : {"Tool", "PDF"}) AppSettings().DeleteSection(key);
  }

  ToolActions::Hooks Hooks() {
    return {[this] { return w_.ActiveView(); },
            [this] { return w_.Views(); },
            [this] { return w_.ProjectPath(); },
            [this]() -> Host* { return host_ ? host_ : &w_.Host(); },
            [this](const QString& m) { told_.warnings << m; },
            [this](const QString& q) {
              told_.questions << q;
              if (told_.whileAsked) told_.whileAsked();
              return told_.answer;
            },
            [this](const QString& s) { told_.statuses << s; },
            [this](const QString& p) {
              told_.shown << p;
              return true;
            },
            {}};
  }

  std::string File(const char* name) const { return tmp_.file(name); }
  bool OpenDemo() { return w_.OpenProject(QString::fromStdString(File("demo.tpj"))); }
  SheetView* ViewOf(const char* name) {
    for (SheetView* v : w_.Views())
      if (v->Document().DisplayName() == name) return v;
    return nullptr;
  }
  std::vector<std::string> Listing() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(tmp_.path()))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

  TempDir tmp_;
  MainWindow w_;
  Told told_;
  Host* host_ = nullptr;
  std::unique_ptr<ToolActions> tools_;
};

// The netlist from the menu (after its dialog) is byte for byte the one
// `tavro netlist` writes for the same options, its component file too; the
// net report goes with it, progress reaches the host and the file is shown.
TEST_F(ToolsTest, TheNetlistIsTheCommandLines) {
  ASSERT_TRUE(OpenDemo());
  test::RecordingHost host;
  host_ = &host;
  const struct {
    int format;
    unsigned start;
    const char* pcb;
    const char* compo;  // "" for none
    bool unix;
  } cases[] = {
      {1, 1, "", "", false},          // CR3000
      {13, 5, "PCB", "", false},      // PADS-PCB: parts and nets
      {21, 1, "", "", true},          // SPICE, from the pin-level index, ".cir"
      {3, 100, "PCB", "cmp", false},  // CADVANCE, components in a file of their own
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    NetlistOptions o;
    o.format = c.format;
    o.startNo = c.start;
    o.pcbProperty = c.pcb;
    o.componentFile = *c.compo != '\0';
    o.componentExt = c.compo;
    o.unixLineEnds = c.unix;
    o.report = true;
    o.index = false;
    told_ = {};
    host.stages.clear();
    const NetlistResult r = tools_->RunNetlist(o, true);
    ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
    EXPECT_TRUE(told_.questions.isEmpty());  // a project is set
    EXPECT_TRUE(told_.warnings.isEmpty()) << told_.warnings.join('\n').toStdString();
    EXPECT_EQ(told_.shown, QStringList{QString::fromStdString(r.outputPath)});
    ASSERT_EQ(told_.statuses.size(), 1);
    EXPECT_TRUE(told_.statuses[0].contains(QStringLiteral("総ネット数")))
        << told_.statuses[0].toStdString();
    EXPECT_TRUE(fs::exists(r.reportPath));
    EXPECT_TRUE(std::any_of(host.stages.begin(), host.stages.end(),
                            [](const auto& s) { return s.stage == kStageWrite; }));

    const std::string netlist = ReadAll(r.outputPath);
    const std::string components = r.componentPath.empty() ? "" : ReadAll(r.componentPath);
    ASSERT_FALSE(netlist.empty());
    EXPECT_EQ(r.componentPath.empty(), *c.compo == '\0');
    fs::remove(r.outputPath);
    if (!r.componentPath.empty()) fs::remove(r.componentPath);

    std::vector<std::string> args = {"netlist",
                                     "-q",
                                     "--no-index",
                                     "--format",
                                     std::to_string(c.format),
                                     "--start",
                                     std::to_string(c.start)};
    if (*c.pcb) args.insert(args.end(), {"--pcb", c.pcb});
    if (*c.compo) args.insert(args.end(), {"--compo", c.compo});
    if (c.unix) args.push_back("--unix");
    args.push_back(File("demo.tpj"));
    const test::RunResult cli = test::RunTavro(args);
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(ReadAll(r.outputPath), netlist);
    if (!r.componentPath.empty()) {
      EXPECT_EQ(ReadAll(r.componentPath), components);
    }
  }
}

// A sheet changed in the editor and not saved is what every job reads: the
// renamed label reaches the netlist and the net index, the PDF pages differ
// from those of the files, and the file on disk and the modified mark stay.
// Unchanged, the PDF of the open sheets is the command line's to the byte
// (the title frames' file names, page numbers and dates included).
TEST_F(ToolsTest, AnUnsavedChangeIsWhatTheJobsRead) {
  ASSERT_TRUE(OpenDemo());
  PdfOptions pdf;
  pdf.title = "T";
  pdf.subtitle = "S";
  pdf.outputPath = File("tool.pdf");
  auto cliPdf = [&] {
    const test::RunResult cli = test::RunTavro(
        {"pdf", "-q", "--title", "T", "--subtitle", "S", "-o", File("cli.pdf"), File("demo.tpj")});
    EXPECT_EQ(cli.exitCode, 0) << cli.err;
    return ReadAll(File("cli.pdf"));
  };
  ASSERT_EQ(tools_->RunPdf(pdf, PdfTarget::kProject).status, PdfResult::kOk);
  EXPECT_EQ(ReadAll(File("tool.pdf")), cliPdf());

  SheetView* v = ViewOf("amp1.tcd");
  ASSERT_NE(v, nullptr);
  const std::string onDisk = ReadAll(File("amp1.tcd"));
  int renamed = 0;
  v->Document().Edit([&](CSheet& sheet, Selection&) {
    for (auto& wire : sheet.Wires())
      if (wire->GetName() == "STAGE1") {
        wire->NameText().SetName(std::string("STAGEX"));
        ++renamed;
      }
  });
  ASSERT_EQ(renamed, 1);
  ASSERT_TRUE(v->Document().IsModified());

  NetlistOptions netlist;
  netlist.index = true;
  netlist.indexOptions.xy = true;
  const NetlistResult n = tools_->RunNetlist(netlist);
  ASSERT_EQ(n.status, NetlistResult::kOk) << n.message;
  const std::string text = ReadAll(n.outputPath);
  EXPECT_NE(text.find("STAGEX"), std::string::npos) << text;
  // The index written with the netlist and the one of its own command.
  EXPECT_NE(ReadAll(n.indexPath).find("STAGEX"), std::string::npos);
  NetIndexOptions index;
  index.view = false;
  const NetIndexResult i = tools_->RunIndex(index);
  ASSERT_EQ(i.status, NetIndexResult::kOk) << i.message;
  const std::string indexText = ReadAll(i.outputPath);
  EXPECT_NE(indexText.find("STAGEX"), std::string::npos) << indexText;
  EXPECT_NE(indexText.find("STAGE1"), std::string::npos);  // amp2 keeps its label
  EXPECT_TRUE(told_.shown.isEmpty());                      // nothing asked to be shown

  ASSERT_EQ(tools_->RunPdf(pdf, PdfTarget::kProject).status, PdfResult::kOk);
  EXPECT_NE(ReadAll(File("tool.pdf")), cliPdf());

  EXPECT_EQ(ReadAll(File("amp1.tcd")), onDisk);
  EXPECT_TRUE(v->Document().IsModified());
  EXPECT_TRUE(told_.warnings.isEmpty()) << told_.warnings.join('\n').toStdString();
}

// Without a project every job asks first: "no" writes nothing at all; "yes"
// takes the open sheets that have a file (naming the one left out), and the
// PDF of the active sheet alone asks nothing.
TEST_F(ToolsTest, WithoutAProjectTheOpenSheetsAfterTheQuestion) {
  QMenu menu;
  tools_->FillMenu(&menu);
  QStringList labels;
  for (QAction* a : menu.actions())
    if (!a->isSeparator()) labels << a->text();
  EXPECT_EQ(labels, (QStringList{
                        QStringLiteral("ネットリスト(&N)..."),
                        QStringLiteral("ネットレポート・ルールチェック(&R)..."),
                        QStringLiteral("ネットインデックス(&I)..."),
                        QStringLiteral("部品表作成(&B)..."), QStringLiteral("PDF変換(&P)..."),
                        QStringLiteral("部品番号割付(&A)..."), QStringLiteral("重複整理(&C)...")}));
  tools_->Update();
  EXPECT_FALSE(menu.actions().front()->isEnabled());  // nothing to work on

  for (const char* f : {"amp1.tcd", "amp2.tcd"})
    ASSERT_NE(w_.OpenSheet(QString::fromStdString(File(f))), nullptr);
  SheetView* untitled = w_.NewSheet();
  ASSERT_NE(untitled, nullptr);
  tools_->Update();
  EXPECT_TRUE(menu.actions().front()->isEnabled());

  const std::vector<std::pair<const char*, std::function<int()>>> jobs = {
      {"netlist", [&] { return int(tools_->RunNetlist(NetlistOptions{}, true).status); }},
      {"check", [&] { return int(tools_->RunCheck(CheckOptions{}, true).status); }},
      {"index", [&] { return int(tools_->RunIndex(NetIndexOptions{}).status); }},
      {"pdf", [&] { return int(tools_->RunPdf(PdfOptions{}, PdfTarget::kProject, true).status); }},
  };
  const std::vector<std::string> before = Listing();
  told_.answer = false;
  for (const auto& [name, run] : jobs) {
    SCOPED_TRACE(name);
    EXPECT_EQ(run(), NetlistResult::kCancelled);
  }
  EXPECT_EQ(told_.questions.size(), 4);
  for (const QString& q : told_.questions)
    EXPECT_EQ(q, QStringLiteral(
                     "プロジェクトが設定されていません\n現在開いているファイルで処理しますか？"));
  EXPECT_EQ(Listing(), before);
  EXPECT_TRUE(told_.shown.isEmpty());

  // While a job runs (here: its question shows) the menu is off and a
  // second job does not start.
  told_ = {};
  int nested = -1;
  bool enabled = true;
  told_.whileAsked = [&] {
    enabled = menu.actions().front()->isEnabled();
    nested = tools_->RunIndex(NetIndexOptions{}).status;
  };
  NetlistOptions o;
  const NetlistResult r = tools_->RunNetlist(o);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(told_.questions.size(), 1);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(nested, NetIndexResult::kCancelled);
  EXPECT_TRUE(menu.actions().front()->isEnabled());
  // Beside the first sheet, with the parts of both.
  EXPECT_EQ(fs::path(r.outputPath), tmp_.path() / "amp1.net");
  const std::string text = ReadAll(r.outputPath);
  EXPECT_NE(text.find("R1("), std::string::npos);
  EXPECT_NE(text.find("R9("), std::string::npos);
  ASSERT_EQ(told_.warnings.size(), 1);
  EXPECT_TRUE(
      told_.warnings[0].contains(QString::fromStdString(untitled->Document().DisplayName())))
      << told_.warnings[0].toStdString();

  told_ = {};
  const PdfResult all = tools_->RunPdf(PdfOptions{}, PdfTarget::kProject);
  ASSERT_EQ(all.status, PdfResult::kOk) << all.message;
  EXPECT_EQ(all.pages, 2);
  ASSERT_NE(ViewOf("amp2.tcd"), nullptr);
  w_.OpenSheet(QString::fromStdString(File("amp2.tcd")));  // to the front
  told_ = {};
  const PdfResult one = tools_->RunPdf(PdfOptions{}, PdfTarget::kDocument);
  ASSERT_EQ(one.status, PdfResult::kOk) << one.message;
  EXPECT_EQ(one.pages, 1);
  EXPECT_EQ(fs::path(one.outputPath), tmp_.path() / "amp2.pdf");
  EXPECT_TRUE(told_.questions.isEmpty());
}

template <class W>
W* Child(QWidget& dialog, const char* name) {
  W* w = dialog.findChild<W*>(QString::fromUtf8(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

// Each dialog starts from the stored settings, fills its job with them, and
// stores back exactly what it shows.
TEST_F(ToolsTest, TheDialogsRoundTripTheirSettings) {
  Settings& s = AppSettings();
  {
    const std::pair<const char*, int> ints[] = {{"NetType", 26}, {"StartNo", 7}, {"Compo", 1},
                                                {"Index", 0},    {"Html", 1},    {"NetUnix", 1},
                                                {"View", 0}};
    for (const auto& [key, value] : ints) s.WriteInt("Tool", key, value);
    s.WriteString("Tool", "PCB", J("フット"));
    s.WriteString("Tool", "Ext", "cmp");
    NetlistDialog d;
    auto* formats = Child<QListWidget>(d, "format");
    ASSERT_EQ(formats->count(), 29);
    EXPECT_TRUE(formats->item(0)->text().startsWith(QStringLiteral("CR3000")));
    EXPECT_TRUE(formats->item(13)->text().startsWith(QStringLiteral("CADVANCE")));
    EXPECT_TRUE(formats->item(25)->text().startsWith(QStringLiteral("DK-Σ/Magic")));
    EXPECT_TRUE(formats->item(28)->text().startsWith(QStringLiteral("Dream CAD")));
    NetlistOptions o = d.Options();
    EXPECT_EQ(o.format, 27);  // PowerPCB
    EXPECT_EQ(o.startNo, 7u);
    EXPECT_EQ(o.pcbProperty, J("フット"));
    EXPECT_TRUE(o.componentFile);
    EXPECT_EQ(o.componentExt, "cmp");
    EXPECT_FALSE(o.index);
    EXPECT_TRUE(o.html);
    EXPECT_TRUE(o.unixLineEnds);
    EXPECT_TRUE(o.report);
    EXPECT_FALSE(d.View());
    EXPECT_TRUE(d.Problem().isEmpty());
    // The component extension is checked against the system's own files
    // and the netlist's own extension.
    auto* ext = Child<QLineEdit>(d, "ext");
    const std::pair<const char*, const char*> exts[] = {
        {"", "コンポーネントファイル拡張子を設定してください。"},
        {"nrp", "ファイル拡張子が不正または使用できません。"},
        {"asc", "ファイル拡張子が不正または使用できません。"},
        {"prt", ""}};
    for (const auto& [e, problem] : exts) {
      ext->setText(QString::fromUtf8(e));
      EXPECT_EQ(d.Problem(), QString::fromUtf8(problem)) << e;
    }
    Child<QCheckBox>(d, "compo")->setChecked(false);
    ext->setText(QString());
    EXPECT_TRUE(d.Problem().isEmpty());  // no component file, no extension needed
    formats->setCurrentRow(20);
    Child<QSpinBox>(d, "startNo")->setValue(42);
    d.StoreSettings();
    EXPECT_EQ(s.GetInt("Tool", "NetType"), 20);
    EXPECT_EQ(s.GetInt("Tool", "StartNo"), 42);
    EXPECT_EQ(s.GetInt("Tool", "Compo"), 0);
    NetlistDialog again;
    o = again.Options();
    EXPECT_EQ(o.format, 21);  // SPICE
    EXPECT_EQ(o.pcbProperty, J("フット"));
    EXPECT_TRUE(o.html);
    EXPECT_FALSE(again.View());
  }
  {
    s.WriteInt("Tool", "Html", 1);
    s.WriteInt("Tool", "NetUnix", 0);
    s.WriteInt("Tool", "View", 1);
    CheckDialog d;
    EXPECT_TRUE(d.Options().html);
    EXPECT_FALSE(d.Options().unixLineEnds);
    EXPECT_TRUE(d.View());
    Child<QCheckBox>(d, "unix")->setChecked(true);
    Child<QCheckBox>(d, "html")->setChecked(false);
    d.StoreSettings();
    EXPECT_EQ(s.GetInt("Tool", "NetUnix"), 1);
    EXPECT_EQ(s.GetInt("Tool", "Html"), 0);
    EXPECT_EQ(s.GetInt("Tool", "View"), 1);
  }
  {
    const std::pair<const char*, int> ints[] = {
        {"IndexSingle", 0}, {"IndexXY", 1}, {"IndexHtml", 1}, {"IndexView", 0}};
    for (const auto& [key, value] : ints) s.WriteInt("Tool", key, value);
    IndexDialog d;
    NetIndexOptions o = d.Options();
    EXPECT_FALSE(o.single);
    EXPECT_TRUE(o.xy);
    EXPECT_TRUE(o.html);
    EXPECT_FALSE(o.view);
    Child<QCheckBox>(d, "single")->setChecked(true);
    d.StoreSettings();
    for (const auto& [key, value] : ints)
      EXPECT_EQ(s.GetInt("Tool", key), std::string(key) == "IndexSingle" ? 1 : value) << key;
  }
  {
    const std::pair<const char*, int> ints[] = {{"Up", -20},  {"Left", 30},        {"Back", 1},
                                                {"Color", 1}, {"TitleInclude", 0}, {"AllFile", 1},
                                                {"View", 0}};
    for (const auto& [key, value] : ints) s.WriteInt("PDF", key, value);
    s.WriteString("PDF", "Scale", "0.86");
    ASSERT_TRUE(ProjectFile::SetProperty(File("demo.tpj"), "PDFTITLE", J("回路図")));
    PdfDialog::Context context{File("demo.tpj"), File("amp2.tcd"), "me"};
    PdfDialog d(context);
    PdfOptions o = d.Options();
    EXPECT_EQ(o.outputPath, File("demo.pdf"));
    EXPECT_EQ(o.title, J("回路図"));
    EXPECT_EQ(o.subtitle, "");
    EXPECT_EQ(o.author, "me");
    EXPECT_EQ(o.topMargin, -20);
    EXPECT_EQ(o.leftMargin, 30);
    EXPECT_DOUBLE_EQ(o.scale, 0.86);
    EXPECT_TRUE(o.background && o.color && o.allFiles && o.storeTitles);
    EXPECT_FALSE(o.titleInclude);
    EXPECT_FALSE(d.View());
    EXPECT_EQ(d.Target(), PdfTarget::kProject);
    // The name follows the target until the user writes his own; ".pdf" is
    // added to a name without it.
    Child<QRadioButton>(d, "targetDocument")->setChecked(true);
    EXPECT_EQ(d.Target(), PdfTarget::kDocument);
    EXPECT_EQ(d.Options().outputPath, File("amp2.pdf"));
    auto* output = Child<QLineEdit>(d, "output");
    output->setText(QString::fromStdString(File("mine")));
    Child<QRadioButton>(d, "targetProject")->setChecked(true);
    EXPECT_EQ(d.Options().outputPath, File("mine.pdf"));
    output->clear();
    EXPECT_EQ(d.Problem(), QStringLiteral("出力ファイル名を入力してください。"));
    // A file the user named himself is replaced only after "yes"; the
    // suggested one without asking.
    test::WriteAll(File("old.pdf"), "old");
    test::WriteAll(File("demo.pdf"), "old");
    int asked = 0;
    bool yes = false;
    d.SetConfirm([&](const QString& q) {
      EXPECT_EQ(q, QStringLiteral("ファイルが存在します。上書きしますか？"));
      ++asked;
      return yes;
    });
    const struct {
      std::string name;
      bool yes;
      int asked;
      QDialog::DialogCode result;
    } names[] = {{File("old"), false, 1, QDialog::Rejected},
                 {File("old"), true, 2, QDialog::Accepted},
                 {File("demo.pdf"), false, 2, QDialog::Accepted}};
    for (const auto& n : names) {
      d.setResult(QDialog::Rejected);
      output->setText(QString::fromStdString(n.name));
      yes = n.yes;
      d.accept();
      EXPECT_EQ(asked, n.asked) << n.name;
      EXPECT_EQ(d.result(), n.result) << n.name;
    }
    EXPECT_EQ(output->text(), QString::fromStdString(File("demo.pdf")));
    Child<QDoubleSpinBox>(d, "scale")->setValue(1.5);
    Child<QSpinBox>(d, "top")->setValue(5);
    d.StoreSettings();
    EXPECT_EQ(s.GetString("PDF", "Scale"), "1.50");
    EXPECT_EQ(s.GetInt("PDF", "Up"), 5);
    for (const auto& [key, value] : ints) {
      if (std::string(key) != "Up") {
        EXPECT_EQ(s.GetInt("PDF", key), value) << key;
      }
    }
  }
}

}  // namespace
}  // namespace tavro::gui
