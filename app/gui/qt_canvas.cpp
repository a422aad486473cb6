#include "app/gui/qt_canvas.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/codec.h"
#include "core/platform/font.h"
#include "core/platform/font_engine.h"

namespace tavro::gui {

namespace {

// A PDF page's dash unit: one point of the page, 1/0.072 mils of the sheet.
constexpr double kMilsPerPoint = 1.0 / 0.072;

// Dash patterns of the pen styles, in points (as the PDF writer states them).
std::vector<double> DashPoints(int style) {
  switch (style) {
    case kPenDash:
      return {3, 4};
    case kPenDot:
      return {1, 2};
    case kPenDashDot:
      return {5, 2, 1, 2};
    case kPenDashDotDot:
      return {5, 2, 1, 2, 1, 2};
    default:
      return {};
  }
}

// Font files by font record, and the loaded fonts by file: the font engine
// chooses the file, Qt draws its glyphs.
class RawFonts {
 public:
  // The cache lives while the application does: Qt's font engines cannot
  // be released after it (a post routine empties the cache in time).
  static RawFonts& Get() {
    static RawFonts* fonts = [] {
      qAddPostRoutine(&ReleaseFontCache);
      return new RawFonts;
    }();
    return *fonts;
  }
  void Clear() {
    fonts_.clear();
    files_.clear();
    fallbackFile_.reset();
  }

  const QRawFont* For(const LogFont& font) { return Load(File(font)); }
  const QRawFont* Fallback() {
    if (!fallbackFile_) fallbackFile_ = File(FcFtFontEngine::DefaultDoubleByteFont());
    return Load(*fallbackFile_);
  }

 private:
  std::string File(const LogFont& font) {
    LogFont key = font;
    key.height = 0;
    key.escapement = 0;
    key.orientation = 0;
    const auto bytes = key.ToBytes();
    std::string k(bytes.begin(), bytes.end());
    auto it = files_.find(k);
    if (it == files_.end()) it = files_.emplace(k, GetFontEngine().ResolveFile(key)).first;
    return it->second;
  }
  const QRawFont* Load(const std::string& file) {
    if (file.empty()) return nullptr;
    auto it = fonts_.find(file);
    if (it == fonts_.end()) {
      QRawFont raw(QString::fromStdString(file), 100, QFont::PreferNoHinting);
      it = fonts_.emplace(file, raw).first;
    }
    return it->second.isValid() ? &it->second : nullptr;
  }

  std::map<std::string, std::string> files_;
  std::map<std::string, QRawFont> fonts_;
  std::optional<std::string> fallbackFile_;
};

}  // namespace

void ReleaseFontCache() { RawFonts::Get().Clear(); }

CPoint SheetTransform::Unmap(QPointF d) const {
  return {static_cast<int32_t>(std::lround(d.x() / scale + left)),
          static_cast<int32_t>(std::lround(top - d.y() / scale))};
}

QTransform SheetTransform::ToDevice() const {
  return QTransform(scale, 0, 0, -scale, -left * scale, top * scale);
}

QtCanvas::QtCanvas(QPainter& painter, const SheetTransform& transform)
    : painter_(painter), t_(transform) {}

QColor QtCanvas::ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QPen QtCanvas::Pen() const {
  QPen pen(ToQColor(penColor_));
  const double width = t_.Length(penWidth_);
  // Width 0 is the device's thinnest line, as on a PDF page.
  pen.setWidthF(penWidth_ <= 0 ? 0.0 : width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  const std::vector<double> dash = DashPoints(penStyle_);
  if (!dash.empty()) {
    // Qt measures dashes in pen widths (a cosmetic pen counts as one pixel).
    const double unit = std::max(1.0, penWidth_ <= 0 ? 1.0 : width);
    QList<qreal> pattern;
    for (double d : dash) pattern << std::max(0.01, t_.Length(d * kMilsPerPoint) / unit);
    pen.setDashPattern(pattern);
  }
  return pen;
}

bool QtCanvas::Hairline() const { return penWidth_ <= 0 || t_.Length(penWidth_) < 1.5; }

void QtCanvas::StrokeAndFill(const QPainterPath& path, bool fill, Color fillColor) {
  painter_.setPen(Pen());
  painter_.setBrush(fill ? QBrush(ToQColor(fillColor)) : QBrush(Qt::NoBrush));
  // A line of about one pixel is drawn whole on the pixels it crosses, as a
  // PDF reader draws its thinnest lines, not smeared over two.
  const bool sharp = !fill && Hairline() && painter_.testRenderHint(QPainter::Antialiasing);
  if (sharp) painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.drawPath(path);
  if (sharp) painter_.setRenderHint(QPainter::Antialiasing, true);
}

void QtCanvas::DrawLine(CPoint a, CPoint b) {
  painter_.setPen(Pen());
  const bool sharp = Hairline() && painter_.testRenderHint(QPainter::Antialiasing);
  if (sharp) painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.drawLine(t_.Map(a), t_.Map(b));
  if (sharp) painter_.setRenderHint(QPainter::Antialiasing, true);
}

void QtCanvas::DrawPolygon(std::span<const CPoint> points, bool fill) {
  if (points.empty()) return;
  if (points.size() == 2) {
    DrawLine(points[0], points[1]);
    return;
  }
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  path.moveTo(t_.Map(points[0]));
  for (size_t i = 1; i < points.size(); ++i) path.lineTo(t_.Map(points[i]));
  if (fill) path.closeSubpath();
  StrokeAndFill(path, fill, lastFill_);
}

void QtCanvas::DrawCircle(CPoint center, int radius, bool fill) {
  const QPointF c = t_.Map(center);
  const double r = t_.Length(radius);
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
  path.arcMoveTo(box, 0);
  path.arcTo(box, 0, 360);
  if (fill) {
    // Closed through the centre, as the PDF page draws it.
    path.lineTo(c);
    path.closeSubpath();
    lastFill_ = brushColor_;
  }
  StrokeAndFill(path, fill, brushColor_);
}

void QtCanvas::DrawArc(CPoint center, int radius, int startAngle, int endAngle, bool fill) {
  int64_t start = startAngle, end = endAngle;
  if (end < start) end += 360 * ((start - end + 359) / 360);
  if (end - start > 720) end = start + 360 + (end - start) % 360;
  if (end == start && !fill) return;
  const QPointF c = t_.Map(center);
  const double r = t_.Length(radius);
  const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  path.arcMoveTo(box, static_cast<double>(start % 360));
  path.arcTo(box, static_cast<double>(start % 360), static_cast<double>(end - start));
  if (fill) {
    path.lineTo(c);
    path.closeSubpath();
  }
  StrokeAndFill(path, fill, lastFill_);
}

void QtCanvas::DrawText(std::string_view text, CPoint baseline, int height, int direction,
                        const LogFont& font) {
  lastFill_ = brushColor_;
  const double em = t_.Length(height);
  if (text.empty() || !(em >= 0.5)) return;
  RawFonts& fonts = RawFonts::Get();
  const QRawFont* primary = fonts.For(font);
  if (primary == nullptr) primary = fonts.Fallback();
  if (primary == nullptr) return;
  const QRawFont* fallback = fonts.Fallback();

  const QString s = QString::fromStdString(Cp932ToUtf8(text));
  // Runs of characters in one font, each glyph placed at the sum of the
  // advances before it.
  struct Run {
    QRawFont font;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  std::vector<Run> runs;
  double x = 0;
  for (qsizetype i = 0; i < s.size();) {
    const qsizetype len = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
    const QString ch = s.mid(i, len);
    i += len;
    QRawFont f = *primary;
    const char32_t code = len == 2 ? QChar::surrogateToUcs4(ch[0], ch[1]) : ch[0].unicode();
    if (!f.supportsCharacter(code) && fallback && fallback->supportsCharacter(code)) f = *fallback;
    f.setPixelSize(em);
    const QList<quint32> glyph = f.glyphIndexesForString(ch);
    if (glyph.isEmpty()) continue;
    const QList<QPointF> adv = f.advancesForGlyphIndexes(glyph, QRawFont::KernedAdvances);
    if (runs.empty() || runs.back().font != f) runs.push_back({f, {}, {}});
    for (qsizetype g = 0; g < glyph.size(); ++g) {
      runs.back().glyphs << glyph[g];
      runs.back().positions << QPointF(x, 0);
      x += g < adv.size() ? adv[g].x() : 0;
    }
  }

  painter_.save();
  painter_.translate(t_.Map(baseline));
  // A text reads along +x, +y, -x or -y of the sheet; the device's y points down.
  switch (direction) {
    case kTextDir90:
      painter_.rotate(-90);
      break;
    case kTextDir180:
      painter_.rotate(180);
      break;
    case kTextDir270:
      painter_.rotate(90);
      break;
    default:
      break;
  }
  painter_.setPen(ToQColor(brushColor_));
  for (const Run& run : runs) {
    QGlyphRun glyphs;
    glyphs.setRawFont(run.font);
    glyphs.setGlyphIndexes(run.glyphs);
    glyphs.setPositions(run.positions);
    painter_.drawGlyphRun(QPointF(0, 0), glyphs);
  }
  painter_.restore();
}

}  // namespace tavro::gui
