// Drawing a large sheet as the editor's sheet view paints it: the whole
// document (paper, title frame, sheet, the empty selection on top) through
// RenderDocument with the screen's options, antialiased, into a 1600 x 1100
// ARGB32 premultiplied image (a full-screen window's viewport).
//
// The sheet is an A2 sheet of 10,000 items laid out in 20 x 15 cells of
// 1000 mils, each cell a small circuit: one part (a resistor, a capacitor,
// an op-amp with hidden power pins, or an 8-pin IC with pin names), power and
// ground rails split into wire segments with named ends, the part's pins
// wired to the rails, a vertical wire between the rails with a labelled
// stub, junctions at every tee, four free texts (Japanese, multi-line, framed,
// plain), a dashed frame, an arrow, a thick line, an arc, and a named bus in
// every third cell. It is written in the sheet text form and read as a file
// would be.
//
// Cases: the whole sheet in the window (the zoom after opening a file) and
// eight times closer on its middle (every item still walked, most of them
// clipped). TAVRO_BENCH_IMAGE=FILE.png saves the last frame, to look at.
// Run a Release build (the program finds the title frames in the build
// tree's share/tavro, as the editor does):
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel
//   build-rel/bench/bench_sheet_render_bench
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/gui/image_export.h"
#include "app/gui/sheet_render.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro::gui {
namespace {

constexpr int kColumns = 20;
constexpr int kRows = 15;
constexpr int kCell = 1000;    // mils
constexpr int kMargin = 700;   // from the paper's edge to the first cell
constexpr int kItems = 10000;  // 300 cells of 33 items, a bus in every third
constexpr int kWidth = 1600;
constexpr int kHeight = 1100;

// Record lines of the text form, appended with printf formats.
class TextForm {
 public:
  template <class... Args>
  void Add(const char* format, Args... args) {
    char line[512];
    std::snprintf(line, sizeof line, format, args...);
    text_ += line;
    text_ += '\n';
  }
  // A record whose first field is a quoted CP932 string (given in UTF-8).
  template <class... Args>
  void AddQuoted(const char* keyword, const std::string& utf8, const char* format, Args... args) {
    text_ += keyword;
    text_ += " \"" + J(utf8) + "\"";
    Add(format, args...);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

struct Ends {
  int lx, ly;  // the pin end wired to the upper rail
  int rx, ry;  // the pin end wired to the lower rail
};

// The part of cell `i`, centred on (cx, cy), in the forms the demo's parts use.
Ends AddPart(TextForm& f, int i, int cx, int cy) {
  const std::string n = std::to_string(i + 1);
  if (i % 10 == 9) {
    // An 8-pin IC: a box with named pins on both sides.
    f.Add("Part %d %d %d %d %d %d 0 0 0 0", cx, cy, cx - 356, cy - 350, cx + 356, cy + 365);
    f.AddQuoted("Name", "74HC157", " %d %d 65 32776", cx, cy - 350);
    f.AddQuoted("Ref", "IC" + n, " %d %d 65 8", cx - 150, cy + 300);
    f.AddQuoted("Val", "74HC157", " %d %d 65 8", cx - 150, cy - 350);
    static const char* const kNames[] = {"A0", "A1", "B0", "B1", "Y0", "Y1", "S", "E~"};
    for (int p = 0; p < 8; ++p) {
      const bool left = p < 4;
      const int y = cy + 150 - (p % 4) * 100;
      const int root = left ? cx - 150 : cx + 150, end = left ? cx - 300 : cx + 300;
      f.Add("Pin %d %d %d %d %d", root, y, end, y, left ? 1 : 2);
      f.AddQuoted("Name", kNames[p], " %d %d 70 %d", left ? root + 18 : root - 18, y,
                  left ? 24 : 26);
      f.AddQuoted("No", std::to_string(p + 1), " %d %d 70 %d", left ? root - 50 : root + 50, y,
                  left ? 10 : 8);
    }
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 150, cy - 250, cx + 150, cy - 250);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 150, cy - 250, cx + 150, cy + 250);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 150, cy + 250, cx - 150, cy + 250);
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 150, cy + 250, cx - 150, cy - 250);
    f.AddQuoted("Text", "&PCB&SOP16", " %d %d 50 32776", cx, cy);
    f.Add("PartEnd");
    return {cx - 300, cy + 150, cx + 300, cy - 150};
  }
  if (i % 4 == 3) {
    // One unit of a quad op-amp, its power pins hidden.
    f.Add("Part %d %d %d %d %d %d 4 %d 0 0", cx, cy, cx - 306, cy - 400, cx + 356, cy + 365,
          i / 4 % 4 + 1);
    f.AddQuoted("Name", "LM324", " %d %d 65 32776", cx - 200, cy - 450);
    f.AddQuoted("Ref", "U" + n, " %d %d 65 8", cx - 200, cy + 300);
    f.AddQuoted("Val", "LM324", " %d %d 65 8", cx - 200, cy - 400);
    f.Add("Pin %d %d %d %d 1", cx - 200, cy + 100, cx - 300, cy + 100);
    f.AddQuoted("Name", "-", " %d %d 70 24", cx - 182, cy + 100);
    f.AddQuoted("No", "2", " %d %d 70 10", cx - 250, cy + 100);
    f.Add("Pin %d %d %d %d 1", cx - 200, cy - 100, cx - 300, cy - 100);
    f.AddQuoted("Name", "+", " %d %d 70 24", cx - 182, cy - 100);
    f.AddQuoted("No", "3", " %d %d 70 10", cx - 250, cy - 100);
    f.Add("Pin %d %d %d %d 2", cx + 250, cy, cx + 350, cy);
    f.AddQuoted("No", "1", " %d %d 70 8", cx + 300, cy);
    f.Add("Pin %d %d %d %d 32783", cx, cy + 150, cx, cy + 300);
    f.AddQuoted("Name", "VCC", " %d %d 70 33050", cx, cy + 132);
    f.AddQuoted("No", "4", " %d %d 70 33032", cx, cy + 200);
    f.Add("Pin %d %d %d %d 32783", cx, cy - 150, cx, cy - 300);
    f.AddQuoted("Name", "GND", " %d %d 70 33048", cx, cy - 132);
    f.AddQuoted("No", "11", " %d %d 70 33034", cx, cy - 200);
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 200, cy + 250, cx - 200, cy - 250);
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 200, cy - 250, cx + 250, cy);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 250, cy, cx - 200, cy + 250);
    f.AddQuoted("Text", "&PCB&SOP14", " %d %d 50 32776", cx, cy);
    f.Add("PartEnd");
    return {cx - 300, cy + 100, cx + 350, cy};
  }
  const bool cap = i % 2 == 1;
  static const char* const kValues[] = {"10k", "4.7k", "100", "1M", "0.1u", "1u", "22p", "10u"};
  f.Add("Part %d %d %d %d %d %d 0 0 0 0", cx, cy, cx - 206, cy - 200, cx + 206, cy + 215);
  f.AddQuoted("Name", cap ? "C" : "R", " %d %d 65 32776", cx, cy);
  f.AddQuoted("Ref", (cap ? "C" : "R") + n, " %d %d 65 8", cx - 100, cy + 120);
  f.AddQuoted("Val", kValues[(cap ? 4 : 0) + i / 2 % 4], " %d %d 65 8", cx - 100, cy - 180);
  const int body = cap ? 50 : 100;
  f.Add("Pin %d %d %d %d 0", cx - body, cy, cx - 200, cy);
  f.AddQuoted("No", "1", " %d %d 70 32778", cx - body - 50, cy);
  f.Add("Pin %d %d %d %d 0", cx + body, cy, cx + 200, cy);
  f.AddQuoted("No", "2", " %d %d 70 32776", cx + body + 50, cy);
  if (cap) {
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 50, cy - 100, cx - 50, cy + 100);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 50, cy - 100, cx + 50, cy + 100);
  } else {
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 100, cy - 50, cx + 100, cy - 50);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 100, cy - 50, cx + 100, cy + 50);
    f.Add("Line %d %d %d %d 8 1 0 0", cx + 100, cy + 50, cx - 100, cy + 50);
    f.Add("Line %d %d %d %d 8 1 0 0", cx - 100, cy + 50, cx - 100, cy - 50);
  }
  f.AddQuoted("Text", cap ? "&PCB&C1608" : "&PCB&R1608", " %d %d 50 32776", cx, cy);
  f.Add("PartEnd");
  return {cx - 200, cy, cx + 200, cy};
}

// One cell: 33 items, 34 with a bus.
void AddCell(TextForm& f, int i) {
  const int x = kMargin + i % kColumns * kCell;
  const int y = kMargin + i / kColumns * kCell;
  const int top = y + 900, bottom = y + 100;
  const Ends e = AddPart(f, i, x + 500, y + 500);

  // The rails, four segments each, named at their left end.
  for (int s = 0; s < 4; ++s) {
    f.Add("Line %d %d %d %d 8 0 0 0", x + s * 250, top, x + s * 250 + 250, top);
    if (s == 0)
      f.AddQuoted("Name", i / kColumns % 2 ? "+5V" : "VCC", " %d %d 70 8", x + 30, top + 20);
  }
  for (int s = 0; s < 4; ++s) {
    f.Add("Line %d %d %d %d 8 0 0 0", x + s * 250, bottom, x + s * 250 + 250, bottom);
    if (s == 0) f.AddQuoted("Name", "GND", " %d %d 70 8", x + 30, bottom + 20);
  }
  // The part's pins to the rails.
  const int xl = e.lx - 100, xr = std::min(e.rx + 100, x + 900);
  f.Add("Line %d %d %d %d 8 0 0 0", e.lx, e.ly, xl, e.ly);
  f.Add("Line %d %d %d %d 8 0 0 0", xl, e.ly, xl, top);
  f.Add("Line %d %d %d %d 8 0 0 0", e.rx, e.ry, xr, e.ry);
  f.Add("Line %d %d %d %d 8 0 0 0", xr, e.ry, xr, bottom);
  // A wire between the rails with a labelled stub.
  for (int s = 0; s < 4; ++s)
    f.Add("Line %d %d %d %d 8 0 0 0", x + 950, bottom + s * 200, x + 950, bottom + s * 200 + 200);
  f.Add("Line %d %d %d %d 8 0 0 0", x + 950, y + 300, x + 910, y + 300);
  f.AddQuoted("Name", "D" + std::to_string(i % 64), " %d %d 70 8", x + 860, y + 320);
  f.Add("Junc %d %d", xl, top);
  f.Add("Junc %d %d", xr, bottom);
  f.Add("Junc %d %d", x + 950, top);
  f.Add("Junc %d %d", x + 950, bottom);

  // Notes.
  const std::string n = std::to_string(i + 1);
  f.AddQuoted("Text", "入力段 " + n, " %d %d 70 8", x + 250, y + 780);
  f.AddQuoted("Text", "TP" + n + "\\n検査用", " %d %d 50 8", x + 650, y + 780);
  f.AddQuoted("Text", "IN" + n, " %d %d 60 65544", x + 720, y + 160);
  f.AddQuoted("Text", "1% 品", " %d %d 50 8", x + 150, y + 160);
  // Graphics: a dashed frame round the cell, an arrow, a thick rule, an arc.
  const int a = x + 30, b = x + 970, c = y + 30, d = y + 970;
  f.Add("Line %d %d %d %d 8 513 0 0", a, c, b, c);
  f.Add("Line %d %d %d %d 8 513 0 0", b, c, b, d);
  f.Add("Line %d %d %d %d 8 513 0 0", b, d, a, d);
  f.Add("Line %d %d %d %d 8 513 0 0", a, d, a, c);
  f.Add("Line %d %d %d %d 8 1 0 100", x + 600, y + 250, x + 800, y + 250);
  f.Add("Line %d %d %d %d 24 1 0 0", x + 250, y + 760, x + 600, y + 760);
  f.Add("Arc %d %d 150 %d %d 8 0 0 100", x + 750, y + 650, 30 * (i % 12), 30 * (i % 12) + 120);
  if (i % 3 == 0) {
    f.Add("Line %d %d %d %d 24 2 0 0", x + 70, y + 250, x + 70, y + 750);
    f.AddQuoted("Name", "D[0..7]", " %d %d 70 8", x + 80, y + 260);
  }
}

// The document, built once: an A2 sheet with its title frame.
const CSheetDoc& BigSheet() {
  static const std::unique_ptr<CSheetDoc> doc = [] {
    TextForm f;
    for (int i = 0; i < kColumns * kRows; ++i) AddCell(f, i);
    auto d = std::make_unique<CSheetDoc>();
    const DocStatus st = d->LoadText(f.Text(), "bench.txt");
    if (!st.ok) {
      std::fprintf(stderr, "the bench sheet does not load: %s\n", st.message.c_str());
      std::exit(1);
    }
    return d;
  }();
  return *doc;
}

// The sheet view's transform after "zoom whole" at `zoom` = 1 (the work area
// fitted with a 4-pixel border and centred), or `zoom` times closer on its
// middle.
SheetTransform ViewTransform(const CSheetDoc& doc, double zoom) {
  const CRect area = WorkArea(doc);
  const double w = static_cast<double>(area.right) - area.left;
  const double h = static_cast<double>(area.bottom) - area.top;
  SheetTransform t;
  t.scale = std::min((kWidth - 8) / w, (kHeight - 8) / h) * zoom;
  t.left = (area.left + area.right) / 2.0 - kWidth / 2.0 / t.scale;
  t.top = (area.top + area.bottom) / 2.0 + kHeight / 2.0 / t.scale;
  return t;
}

void Draw(benchmark::State& state, double zoom) {
  const CSheetDoc& doc = BigSheet();
  const int items = doc.GetSheet().GetItemCount();
  if (items != kItems) {
    state.SkipWithError(("the sheet holds " + std::to_string(items) + " items").c_str());
    return;
  }
  if (doc.GetTitleSheet().GetItemCount() == 0) {
    state.SkipWithError("no title frame: the build tree's share/tavro was not found");
    return;
  }
  const SheetTransform t = ViewTransform(doc, zoom);
  RenderOptions options = RenderOptions::Screen(CurrentHost());
  const CSheet selection;
  options.selection = &selection;
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  const QRectF visible(0, 0, kWidth, kHeight);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(128, 128, 128));
    painter.setRenderHint(QPainter::Antialiasing);
    RenderDocument(painter, t, doc, options, visible);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["items"] = items;
  state.counters["px_per_mil"] = t.scale;
  if (const char* out = std::getenv("TAVRO_BENCH_IMAGE"); out && *out) image.save(out);
}

void BM_DrawWholeSheet(benchmark::State& state) { Draw(state, 1); }
void BM_DrawZoomedIn(benchmark::State& state) { Draw(state, 8); }

BENCHMARK(BM_DrawWholeSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawZoomedIn)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavro::gui

int main(int argc, char** argv) {
  // Fonts need a QGuiApplication; the offscreen platform needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const tavro::gui::BatchGuiApplication app;
  // The built-in settings, on A2 paper, whatever the user's settings file says.
  tavro::Settings settings;
  settings.WriteInt("Sheet", "Work", tavro::kSizeA2);
  tavro::SetAppSettings(&settings);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tavro::SetAppSettings(nullptr);
  return 0;
}
