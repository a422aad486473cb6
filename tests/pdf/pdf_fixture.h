// A small document for the PDF writer's tests: two sheets (A4 and A3
// landscape, the second with a background) with every primitive and texts in
// a single-byte and a Japanese font.
#pragma once

#include <string>
#include <string_view>

#include "core/pdf/pdf.h"
#include "core/pdf/pdf_page.h"
#include "core/platform/codec.h"

namespace tavro::test {

inline LogFont MakeFont(std::string_view faceCp932, uint8_t charSet, int weight = 400,
                        uint8_t italic = 0) {
  LogFont f;
  f.SetFaceName(faceCp932);
  f.charSet = charSet;
  f.weight = weight;
  f.italic = italic;
  return f;
}
inline LogFont Arial() { return MakeFont("Arial", 0); }
inline LogFont Gothic() { return MakeFont(J("ＭＳ ゴシック"), 128); }

// Japanese text of the second text line (CP932): kanji and half-width kana.
inline std::string JapaneseText() { return J("抵抗ｱｲｳ"); }

inline void DrawSheet(CPDFPage& page, int n) {
  page.SetPageSize(n == 0 ? 2 : 1);
  page.SetOffset(CRect(0, 0, 10000, 7000), 15, 15);
  page.SetScale(1.0);
  page.WriteInit(n == 1, 0xF0FFFF);
  page.SetPenWidth(8);
  page.SetPenColor(0x0000FF);
  page.DrawLine({0, 0}, {1000, 500});
  page.SetBrushColor(0x00FF00);
  page.DrawCircle({2000, 2000}, 100, true);
  page.SetPenStyle(1);
  page.DrawArc({3000, 3000}, 200, 0, 90, false);
  page.SetPenStyle(0);
  const CPoint dart[] = {{0, 0}, {100, 0}, {50, 80}};
  page.DrawPolygon(dart, true);
  page.SetBrushColor(0);
  page.DrawText("R1 (x)", {500, 500}, 100, 0, Arial());
  page.DrawText(JapaneseText(), {500, 800}, 100, 256, Gothic());
}

// Writes the two sheets into `pdf` (already Init'ed and optioned) and the PDF into the result.
inline std::string SmallDocument(CPDF& pdf) {
  pdf.SetInfo("Title", J("副題"), "abc");
  CPDFPage page;
  pdf.BindPage(page);
  for (int n = 0; n < 2; ++n) {
    DrawSheet(page, n);
    pdf.NewPage(page, n == 0 ? std::string("Sheet 1") : J("回路図"));
  }
  std::string out;
  pdf.WritePDF(out);
  return out;
}

}  // namespace tavro::test
