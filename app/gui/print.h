// Printing sheets and copying them as pictures, through the one drawing
// walk with the print colours of section "Printer".
//
// A sheet is printed on one page. With "AutoScale" on, the page turns to the
// sheet's orientation and the work area is fitted into the printable area,
// centred; otherwise it is printed at its own size (1 mil = 1/1000 inch)
// from the printable area's top left corner. The offsets of the paper form
// ("UpOffset", "RightOffset": six signed bytes, millimetres, one per sheet
// size code) then move the drawing up and to the right, to make up for a
// printer that does not print where it should.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <span>
#include <string>

#include "app/gui/qt_canvas.h"
#include "core/model/geometry.h"

class QPrinter;

namespace tavro {
class CSheet;
class CSheetDoc;
class Host;
}  // namespace tavro

namespace tavro::gui {

struct PrintSetup {
  bool color = false;    // "Color"
  bool fit = true;       // "AutoScale"
  double upMm = 0;       // the paper form's "UpOffset"
  double rightMm = 0;    // the paper form's "RightOffset"

  static PrintSetup FromSettings(int sizeCode);
};

// Where a work area lands on a page of `pageSize` device pixels at `dpi`.
SheetTransform PageTransform(const CRect& area, QSizeF pageSize, double dpi,
                             const PrintSetup& setup);

// Prints every document on a page of its own; "" or why it failed (UTF-8).
std::string PrintDocuments(QPrinter& printer, std::span<const CSheetDoc* const> docs, Host& host);

// A document holding copies of `items`, moved so that their box sits with a
// margin in a work area of its own size, without a title frame: what a
// picture of a selection shows.
void SelectionDocument(const CSheet& items, CSheetDoc& into);

}  // namespace tavro::gui
