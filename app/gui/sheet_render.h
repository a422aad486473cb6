// Drawing a sheet document with a QPainter: the paper, the grid, the title
// frame and the sheet through the one drawing walk, then the selection and
// the highlighted net on top. The screen, the printer and the image export
// all draw through here.
#pragma once

#include <QPainter>
#include <QRectF>

#include "app/gui/qt_canvas.h"
#include "core/draw/draw.h"

namespace tavro {
class CSheet;
class CSheetDoc;
}  // namespace tavro

namespace tavro::gui {

struct RenderOptions {
  DrawStyle style;                    // colours and display switches
  bool color = true;                  // the display colours; false: black on white
  bool background = true;             // paint the paper in the sheet colour (white without colour)
  bool titleFrame = true;             // draw the title-frame sheet
  bool grid = false;                  // dots on the main grid
  bool subGrid = false;               // dots on the sub grid
  int mainGridStep = 100;             // mils
  int subGridStep = 50;               // mils
  const CSheet* selection = nullptr;  // drawn in the highlight colour
  const CSheet* highlight = nullptr;  // the highlighted net, in the highlight colour
  const CSheet* placing = nullptr;    // items being drawn or placed, in their own colours

  // The screen's options: the display colours and switches of the host, with
  // the texts that are not printed shown too, and the grid of the settings.
  static RenderOptions Screen(Host& host);
  // A printout's or an exported image's: the print settings of the host
  // (as the PDF is drawn), in colour or black.
  static RenderOptions Print(Host& host, bool color);
};

// Draws `doc` with sheet mils mapped to the device by `t`. `visible` is the
// device area to draw (grid dots are limited to it).
void RenderDocument(QPainter& painter, const SheetTransform& t, const CSheetDoc& doc,
                    const RenderOptions& options, const QRectF& visible);

// The work area of a document in sheet mils.
CRect WorkArea(const CSheetDoc& doc);

}  // namespace tavro::gui
