// The SerializePDF members of the drawing items: the one drawing walk
// (core/draw/) called with a PDF page, in the display colours and switches
// of the host.
#include "core/draw/draw.h"
#include "core/model/arc.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/sheet.h"
#include "core/model/text.h"
#include "core/pdf/pdf_page.h"

namespace tavro {

namespace {
DrawWalk Walk(CPDFPage& page) { return DrawWalk(page, DrawStyle::FromHost(CurrentHost())); }
}  // namespace

void CSheet::SerializePDF(CPDFPage& page, int color, const CSheetDoc* doc) const {
  Walk(page).Sheet(*this, color != 0, doc);
}
void CLine::SerializePDF(CPDFPage& page, bool writeName) const {
  Walk(page).Line(*this, writeName);
}
void CArc::SerializePDF(CPDFPage& page) const { Walk(page).Arc(*this); }
void CJunc::SerializePDF(CPDFPage& page) const { Walk(page).Junc(*this); }
void CPin::SerializePDF(CPDFPage& page, bool name, bool number) const {
  Walk(page).Pin(*this, name, number);
}
void CPart::SerializePDF(CPDFPage& page) const { Walk(page).Part(*this); }
void CText::SerializePDF(CPDFPage& page) const { Walk(page).Text(*this); }
void CText::SerializePDFFrame(CPDFPage& page, const CRect& frame) const {
  Walk(page).TextFrame(*this, frame);
}

}  // namespace tavro
