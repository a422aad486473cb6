#include "app/gui/image_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QSvgGenerator>
#include <cstdlib>
#include <memory>

#include "app/gui/sheet_render.h"
#include "core/file/document.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"

namespace tavro::gui {

namespace {

struct Geometry {
  SheetTransform t;
  int width = 0;
  int height = 0;
};

// Pixels of the work area at the resolution; 0 x 0 when too large or empty.
Geometry ImageGeometry(const CSheetDoc& doc, const ImageOptions& options) {
  Geometry g;
  const int dpi = std::clamp(options.dpi, ImageOptions::kMinDpi, ImageOptions::kMaxDpi);
  g.t.scale = dpi / 1000.0;
  const CRect area = WorkArea(doc);
  g.t.left = area.left;
  g.t.top = area.bottom;
  const double w = std::ceil((static_cast<double>(area.right) - area.left) * g.t.scale);
  const double h = std::ceil((static_cast<double>(area.bottom) - area.top) * g.t.scale);
  if (!(w >= 1 && h >= 1) || w * h > static_cast<double>(ImageOptions::kMaxPixels)) return g;
  g.width = static_cast<int>(w);
  g.height = static_cast<int>(h);
  return g;
}

std::string Failed(const std::string& path, const std::string& why) {
  return "ファイル " + path + " を作成できません (" + why + ")";
}

}  // namespace

BatchGuiApplication::BatchGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
    // Qt wants a private runtime folder; a batch run makes its own.
    const std::string dir = "/tmp/tavro-runtime-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
      setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

BatchGuiApplication::~BatchGuiApplication() {
  if (app_) ReleaseFontCache();
}

QImage RenderImage(const CSheetDoc& doc, const ImageOptions& options, Host& host) {
  const Geometry g = ImageGeometry(doc, options);
  if (g.width == 0) return {};
  QImage image(g.width, g.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  const int dpm = static_cast<int>(std::lround(options.dpi / 0.0254));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  RenderDocument(painter, g.t, doc, RenderOptions::Print(host, !options.mono),
                 QRectF(0, 0, g.width, g.height));
  painter.end();
  return image;
}

QByteArray RenderSvg(const CSheetDoc& doc, const ImageOptions& options, Host& host) {
  const Geometry g = ImageGeometry(doc, options);
  if (g.width == 0) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(g.width, g.height));
  svg.setViewBox(QRect(0, 0, g.width, g.height));
  svg.setResolution(std::clamp(options.dpi, ImageOptions::kMinDpi, ImageOptions::kMaxDpi));
  svg.setTitle(QString::fromStdString(doc.GetPath()));
  svg.setDescription(QStringLiteral("Tavro"));
  QPainter painter(&svg);
  RenderDocument(painter, g.t, doc, RenderOptions::Print(host, !options.mono),
                 QRectF(0, 0, g.width, g.height));
  painter.end();
  return bytes;
}

std::string WriteImage(const CSheetDoc& doc, const std::string& path, const ImageOptions& options) {
  BatchGuiApplication app;
  if (ImageGeometry(doc, options).width == 0)
    return Failed(path, "the image would be empty or too large at this resolution");
  QByteArray bytes;
  if (options.format == ImageOptions::kSvg) {
    bytes = RenderSvg(doc, options, CurrentHost());
  } else {
    const QImage image = RenderImage(doc, options, CurrentHost());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return Failed(path, "cannot draw the image");
  }
  std::string why;
  if (!WriteFileAtomic(path, std::string_view(bytes.constData(), bytes.size()), &why))
    return Failed(path, why);
  return {};
}

}  // namespace tavro::gui
