// Image copies of a sheet: the size follows the resolution, black and white
// is drawn black on white, and what cannot be drawn is refused with a reason.
#include "app/gui/image_export.h"

#include <gtest/gtest.h>

#include <QImage>

#include "core/file/document.h"
#include "core/platform/host.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

using test::TempDir;

// Pixels that are not the background.
int Ink(const QImage& image, QRgb background) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) ++n;
  return n;
}

TEST(ImageExportTest, DrawsTheSheetAtTheResolution) {
  CSheetDoc doc;
  ASSERT_TRUE(doc.Open(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd").ok);
  ImageOptions o;
  o.dpi = 50;
  o.mono = true;
  const QImage mono = RenderImage(doc, o, CurrentHost());
  ASSERT_FALSE(mono.isNull());
  EXPECT_EQ(mono.width(), static_cast<int>(std::ceil(doc.GetWorkWidth() * 0.05)));
  EXPECT_EQ(mono.height(), static_cast<int>(std::ceil(doc.GetWorkHeight() * 0.05)));
  // Black and white: a white paper with dark ink, nothing coloured.
  EXPECT_EQ(mono.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_GT(Ink(mono, qRgb(255, 255, 255)), 1000);
  for (int y = 0; y < mono.height(); y += 3)
    for (int x = 0; x < mono.width(); x += 3) {
      const QColor c = mono.pixelColor(x, y);
      ASSERT_EQ(c.red(), c.green()) << x << "," << y;
      ASSERT_EQ(c.green(), c.blue()) << x << "," << y;
    }
  // In colour the paper takes the sheet colour (black by default).
  o.mono = false;
  const QImage color = RenderImage(doc, o, CurrentHost());
  EXPECT_EQ(color.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_GT(Ink(color, qRgb(0, 0, 0)), 1000);
}

TEST(ImageExportTest, WritesPngAndSvgAndRefusesTooLarge) {
  TempDir tmp;
  CSheetDoc doc;
  ASSERT_TRUE(doc.Open(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd").ok);
  ImageOptions o;
  o.dpi = 30;
  EXPECT_EQ(WriteImage(doc, tmp.file("a.png"), o), "");
  QImage back(QString::fromStdString(tmp.file("a.png")));
  EXPECT_FALSE(back.isNull());
  o.format = ImageOptions::kSvg;
  EXPECT_EQ(WriteImage(doc, tmp.file("a.svg"), o), "");
  const std::string svg = test::ReadAll(tmp.file("a.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);

  // A sheet too large for an image at this resolution leaves the file alone.
  test::WriteAll(tmp.file("keep.png"), "old");
  doc.SetWorkSize(2'000'000, 2'000'000);
  o.format = ImageOptions::kPng;
  o.dpi = 2400;
  const std::string why = WriteImage(doc, tmp.file("keep.png"), o);
  EXPECT_NE(why.find("keep.png"), std::string::npos);
  EXPECT_EQ(test::ReadAll(tmp.file("keep.png")), "old");
}

}  // namespace
}  // namespace tavro::gui
