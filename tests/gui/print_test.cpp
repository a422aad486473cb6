// Printing and pictures: where a sheet lands on the page, printing files
// (an open document as it stands) to a PDF printer, the start-up's print
// requests, and the picture copies of 他の形式で保存.
#include "app/gui/print.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/gui/edit_actions.h"
#include "app/gui/editor.h"
#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

using test::TempDir;

TEST(PrintTest, WhereTheWorkAreaLandsOnThePage) {
  const CRect area(0, 0, 16000, 11000);  // mils
  const struct {
    const char* name;
    PrintSetup setup;
    QSizeF page;
    QPointF topLeft;      // where the area's top left corner lands
    QPointF bottomRight;  // and its bottom right corner
  } cases[] = {
      // Fitted: the width decides (16000 mils in 1600 px), centred up and down.
      {"fit", {false, true, 0, 0}, QSizeF(1600, 1600), QPointF(0, 250), QPointF(1600, 1350)},
      // Own size at 100 dpi, from the top left corner.
      {"actual", {false, false, 0, 0}, QSizeF(1000, 1000), QPointF(0, 0), QPointF(1600, 1100)},
      // 25.4 mm up and right at 100 dpi is 100 px.
      {"offsets",
       {false, false, 25.4, 25.4},
       QSizeF(1000, 1000),
       QPointF(100, -100),
       QPointF(1700, 1000)},
  };
  for (const auto& c : cases) {
    const SheetTransform t = PageTransform(area, c.page, 100, c.setup);
    const QPointF tl = t.Map(area.left, area.bottom);
    const QPointF br = t.Map(area.right, area.top);
    EXPECT_NEAR(tl.x(), c.topLeft.x(), 1e-6) << c.name;
    EXPECT_NEAR(tl.y(), c.topLeft.y(), 1e-6) << c.name;
    EXPECT_NEAR(br.x(), c.bottomRight.x(), 1e-6) << c.name;
    EXPECT_NEAR(br.y(), c.bottomRight.y(), 1e-6) << c.name;
  }
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

// The pages of a PDF as pictures (PNG bytes at a low resolution).
std::string Pages(const std::string& pdf) {
  return Output("pdftoppm -r 20 -png '" + pdf + "' 2>/dev/null");
}

TEST(PrintTest, FilesPrintOnePageEachAndAnOpenDocumentAsItStands) {
  TempDir tmp;
  MainWindow w;
  w.show();
  const QString amp1 = QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd");
  const QString amp2 = QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp2.tcd");
  auto print = [&](const QStringList& files, const char* name) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(tmp.file(name)));
    EXPECT_TRUE(w.PrintFiles(files, printer)) << name;
    return tmp.file(name);
  };
  const std::string both = print({amp1, amp2}, "both.pdf");
  const std::string info = Output("pdfinfo '" + both + "' 2>&1");
  ASSERT_NE(info.find("\nPages: "), std::string::npos) << info;
  EXPECT_EQ(std::atoi(info.c_str() + info.find("\nPages: ") + 8), 2) << info;

  // The file as saved, then its open window with everything deleted and not
  // saved: the print follows the window.
  const std::string saved = Pages(print({amp1}, "saved.pdf"));
  SheetView* v = w.OpenSheet(amp1);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(Pages(print({amp1}, "open.pdf")), saved);
  v->Document().Select(Selection::All(v->Document().Sheet()));
  v->Document().DeleteSelection();
  EXPECT_NE(Pages(print({amp1}, "changed.pdf")), saved);

  // A file that is not a sheet prints nothing and is told.
  QStringList told;
  w.SetDialogs({[&](const QString& m) { told << m; }, {}, {}, {}});
  test::WriteAll(tmp.file("bad.tcd"), "not a sheet\n");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(tmp.file("bad.pdf")));
  EXPECT_FALSE(w.PrintFiles({QString::fromStdString(tmp.file("bad.tcd"))}, printer));
  EXPECT_EQ(told.size(), 1);
}

TEST(PrintTest, StartArguments) {
  const struct {
    QStringList args;
    bool ok;
    StartRequest::Kind kind;
    QString printer;
    int files;
  } cases[] = {
      {{}, true, StartRequest::kOpen, {}, 0},
      {{"a.tcd", "b.tpj"}, true, StartRequest::kOpen, {}, 2},
      {{"--print", "a.tcd"}, true, StartRequest::kPrint, {}, 1},
      {{"--print-to", "lp0", "a.tcd", "b.tcd"}, true, StartRequest::kPrintTo, "lp0", 2},
      {{"--print-to=lp1", "a.tcd"}, true, StartRequest::kPrintTo, "lp1", 1},
      {{"--print"}, false, StartRequest::kPrint, {}, 0},
      {{"--print-to"}, false, StartRequest::kPrintTo, {}, 0},
      {{"--print-to=", "a.tcd"}, false, StartRequest::kPrintTo, {}, 1},
  };
  for (const auto& c : cases) {
    StartRequest r;
    QString error;
    const std::string name = c.args.join(' ').toStdString();
    ASSERT_EQ(ParseStartArguments(c.args, r, error), c.ok) << name;
    if (!c.ok) {
      EXPECT_FALSE(error.isEmpty()) << name;
      continue;
    }
    EXPECT_EQ(r.kind, c.kind) << name;
    EXPECT_EQ(r.printer, c.printer) << name;
    ASSERT_EQ(r.files.size(), c.files) << name;
    for (const QString& f : r.files) EXPECT_TRUE(f.startsWith('/')) << name;
  }
}

TEST(PrintTest, PicturesOfTheSelectionAndOfTheSheet) {
  MainWindow w;
  w.show();
  SheetView* v = w.OpenSheet(QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd"));
  ASSERT_NE(v, nullptr);
  // The whole sheet at 150 dpi.
  w.Edit().CopyPicture(EditActions::Picture::kColor);
  QImage sheet = QGuiApplication::clipboard()->image();
  EXPECT_EQ(sheet.width(), static_cast<int>(std::ceil(v->Document().Doc().GetWorkWidth() * 0.15)));
  // One text: its box and a margin of 100 mils each side.
  Selection s;
  s.Add(kSelTexts, 0);
  v->Document().Select(s);
  const CRect box = v->Document().SelectionSheet().GetBoundingRect().Normalized();
  w.Edit().CopyPicture(EditActions::Picture::kMono);
  const QImage text = QGuiApplication::clipboard()->image();
  EXPECT_EQ(text.width(), static_cast<int>(std::ceil((box.Width() + 200) * 0.15)));
  EXPECT_EQ(text.height(), static_cast<int>(std::ceil((box.Height() + 200) * 0.15)));
  // Black and white: nothing but greys.
  for (int y = 0; y < text.height(); ++y)
    for (int x = 0; x < text.width(); ++x) {
      const QRgb p = text.pixel(x, y);
      ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
    }
  w.Edit().CopyPicture(EditActions::Picture::kSvg);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));
  EXPECT_TRUE(data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
}

TEST(PrintTest, ExportWritesTextFormTangoAndPictures) {
  TempDir tmp;
  MainWindow w;
  w.show();
  SheetView* v = w.OpenSheet(QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd"));
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->Document().Paste("EXPORTED"), 1);  // what is exported is the window's sheet
  auto path = [&](const char* name) { return QString::fromStdString(tmp.file(name)); };
  ImageOptions image;
  image.dpi = 50;
  EXPECT_EQ(w.ExportView(v, path("a.txt"), image), "");
  EXPECT_EQ(test::ReadAll(tmp.file("a.txt")), v->Document().Doc().WriteText());
  EXPECT_EQ(w.ExportView(v, path("a.png"), image), "");
  const QImage png(path("a.png"));
  EXPECT_EQ(png.width(), static_cast<int>(std::ceil(v->Document().Doc().GetWorkWidth() * 0.05)));
  EXPECT_EQ(w.ExportView(v, path("a.svg"), image), "");
  EXPECT_NE(test::ReadAll(tmp.file("a.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(w.ExportView(v, path("a.sch"), image), "");
  EXPECT_EQ(test::ReadAll(tmp.file("a.sch")), v->Document().Doc().WriteTango());
  EXPECT_EQ(w.ExportView(v, path("a.dxf"), image), "");
  EXPECT_NE(test::ReadAll(tmp.file("a.dxf")).find("ENTITIES"), std::string::npos);
  // The Tango file opens as a new drawing: saving it never writes over it.
  SheetView* tango = w.OpenSheet(path("a.sch"));
  ASSERT_NE(tango, nullptr);
  EXPECT_TRUE(tango->Document().IsUntitled());
  EXPECT_EQ(tango->Document().Doc().GetSheet().Parts().size(),
            v->Document().Doc().GetSheet().Parts().size());
  // Another extension is refused and writes nothing.
  EXPECT_NE(w.ExportView(v, path("a.doc"), image), "");
  EXPECT_FALSE(std::filesystem::exists(tmp.file("a.doc")));
}

}  // namespace
}  // namespace tavro::gui
