#include "app/gui/print.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "app/gui/sheet_render.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

double OffsetMm(const char* key, int sizeCode) {
  const auto bytes = AppSettings().GetBinary("Printer", key);
  if (!bytes || sizeCode < 0 || static_cast<size_t>(sizeCode) >= bytes->size()) return 0;
  return static_cast<int8_t>((*bytes)[static_cast<size_t>(sizeCode)]);
}

// Margin around a selection's picture (mils).
constexpr int kSelectionMargin = 100;

}  // namespace

PrintSetup PrintSetup::FromSettings(int sizeCode) {
  const Settings& s = AppSettings();
  PrintSetup p;
  p.color = s.GetInt("Printer", "Color") != 0;
  p.fit = s.GetInt("Printer", "AutoScale") != 0;
  p.upMm = OffsetMm("UpOffset", sizeCode);
  p.rightMm = OffsetMm("RightOffset", sizeCode);
  return p;
}

SheetTransform PageTransform(const CRect& area, QSizeF pageSize, double dpi,
                             const PrintSetup& setup) {
  const double aw = std::max(1.0, static_cast<double>(area.right) - area.left);
  const double ah = std::max(1.0, static_cast<double>(area.bottom) - area.top);
  SheetTransform t;
  double x0 = 0;
  double y0 = 0;
  if (setup.fit) {
    t.scale = std::min(pageSize.width() / aw, pageSize.height() / ah);
    x0 = (pageSize.width() - aw * t.scale) / 2;
    y0 = (pageSize.height() - ah * t.scale) / 2;
  } else {
    t.scale = dpi / 1000.0;
  }
  x0 += setup.rightMm / 25.4 * dpi;
  y0 -= setup.upMm / 25.4 * dpi;
  t.left = area.left - x0 / t.scale;
  t.top = area.bottom + y0 / t.scale;
  return t;
}

std::string PrintDocuments(QPrinter& printer, std::span<const CSheetDoc* const> docs, Host& host) {
  if (docs.empty()) return {};
  QPainter painter;
  for (size_t i = 0; i < docs.size(); ++i) {
    const CSheetDoc& doc = *docs[i];
    const CRect area = WorkArea(doc);
    const PrintSetup setup = PrintSetup::FromSettings(doc.GetSizeCode());
    if (setup.fit)
      printer.setPageOrientation(area.Width() >= area.Height() ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
    if (i == 0) {
      if (!painter.begin(&printer)) return "印刷を開始できません";
    } else if (!printer.newPage()) {
      return "印刷できません";
    }
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const SheetTransform t = PageTransform(area, page.size(), printer.resolution(), setup);
    painter.save();
    painter.setClipRect(QRectF(QPointF(0, 0), page.size()));
    RenderDocument(painter, t, doc, RenderOptions::Print(host, setup.color),
                   QRectF(QPointF(0, 0), page.size()));
    painter.restore();
  }
  painter.end();
  return {};
}

void SelectionDocument(const CSheet& items, CSheetDoc& into) {
  into = CSheetDoc();
  CSheet& sheet = into.GetSheet();
  sheet = items;
  const CRect box = sheet.GetBoundingRect().Normalized();
  // Whole items move (a rubber band's grab flags are not meant here).
  sheet.SetCheck();
  sheet.OffsetItem(CPoint(kSelectionMargin - box.left, kSelectionMargin - box.top), true);
  into.SetWorkSize(box.Width() + 2 * kSelectionMargin, box.Height() + 2 * kSelectionMargin);
}

}  // namespace tavro::gui
