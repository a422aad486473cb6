#include "app/gui/qt_canvas.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
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

// Qt draws glyphs below this em from its glyph cache, larger ones as paths
// (its default QT_MAX_CACHED_GLYPH_SIZE).
constexpr double kMaxCachedGlyphPixels = 64;

// Font files by font record, the loaded fonts by file, the fonts set at a
// pixel size and the glyph runs of the texts drawn: the font engine chooses
// the file, Qt draws its glyphs. A sheet's thousands of texts come at a
// handful of sizes and repeat from frame to frame, so each font is sized,
// each text laid out and each glyph rendered once over many frames.
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
    layouts_.clear();
    sized_.clear();
    last_.reset();
    fallback_.reset();
    fonts_.clear();
    files_.clear();
  }

  // The glyph runs of `text` (CP932) in `font` with an em of `pixels`: runs
  // of characters in one font (the font's file, or the default Japanese face
  // for a character it lacks), each glyph placed at the sum of the advances
  // before it. Unkerned, as the PDF sets each glyph at the advance of the one
  // before. Empty when no font loads.
  const std::vector<QGlyphRun>& Layout(const LogFont& font, double pixels, std::string_view text) {
    const QRawFont* primary = For(font);
    if (primary == nullptr) primary = Fallback();
    if (primary == nullptr) return kNoRuns;
    key_.assign(reinterpret_cast<const char*>(&primary), sizeof primary);
    key_.append(reinterpret_cast<const char*>(&pixels), sizeof pixels);
    key_.append(text);
    if (auto it = layouts_.find(key_); it != layouts_.end()) return it->second;
    // Zooming through many scales would keep adding layouts: start afresh.
    if (layouts_.size() >= kMaxLayouts) layouts_.clear();
    return layouts_.emplace(key_, Lay(primary, pixels, text)).first->second;
  }

 private:
  static constexpr size_t kMaxSized = 256;
  static constexpr size_t kMaxLayouts = 16384;
  static inline const std::vector<QGlyphRun> kNoRuns;

  std::vector<QGlyphRun> Lay(const QRawFont* primary, double pixels, std::string_view text) {
    const QRawFont* fallback = Fallback();
    const QString s = QString::fromStdString(Cp932ToUtf8(text));
    // The font of the character at `i`, and its length in UTF-16 units.
    const auto fontAt = [&](qsizetype i, qsizetype* len) {
      *len = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
      const char32_t code = *len == 2 ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
      if (!primary->supportsCharacter(code) && fallback && fallback->supportsCharacter(code))
        return fallback;
      return primary;
    };
    std::vector<QGlyphRun> runs;
    double x = 0;
    for (qsizetype i = 0; i < s.size();) {
      qsizetype len = 0;
      const QRawFont* base = fontAt(i, &len);
      qsizetype end = i + len;
      while (end < s.size() && fontAt(end, &len) == base) end += len;
      const QRawFont sized = Sized(base, pixels);
      const QList<quint32> glyphs = sized.glyphIndexesForString(s.mid(i, end - i));
      const QList<QPointF> advances = sized.advancesForGlyphIndexes(glyphs);
      QList<QPointF> positions;
      positions.reserve(glyphs.size());
      for (qsizetype g = 0; g < glyphs.size(); ++g) {
        positions << QPointF(x, 0);
        x += g < advances.size() ? advances[g].x() : 0;
      }
      if (!glyphs.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(sized);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        runs.push_back(std::move(run));
      }
      i = end;
    }
    return runs;
  }

  const QRawFont* For(const LogFont& font) {
    LogFont key = font;
    key.height = 0;
    key.escapement = 0;
    key.orientation = 0;
    // Consecutive texts mostly share their font.
    if (last_ && last_->first == key) return last_->second;
    const QRawFont* raw = Load(File(key));
    last_.emplace(key, raw);
    return raw;
  }
  const QRawFont* Fallback() {
    if (!fallback_) fallback_ = Load(File(FcFtFontEngine::DefaultDoubleByteFont()));
    return *fallback_;
  }
  // `base` (a font of this cache) with an em of `pixels`. The size is the
  // exact one asked for: the glyphs and advances are those of that size.
  QRawFont Sized(const QRawFont* base, double pixels) {
    const std::pair key(base, pixels);
    auto it = sized_.find(key);
    if (it == sized_.end()) {
      if (sized_.size() >= kMaxSized) sized_.clear();
      QRawFont raw = *base;
      raw.setPixelSize(pixels);
      it = sized_.emplace(key, std::move(raw)).first;
    }
    return it->second;
  }
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
  std::map<std::string, QRawFont> fonts_;  // nodes stay put: the caches below key on them
  std::optional<const QRawFont*> fallback_;
  std::optional<std::pair<LogFont, const QRawFont*>> last_;
  std::map<std::pair<const QRawFont*, double>, QRawFont> sized_;
  // By the primary font, the em and the text.
  std::unordered_map<std::string, std::vector<QGlyphRun>> layouts_;
  std::string key_;
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
    : painter_(painter),
      t_(transform),
      antialiased_(painter.testRenderHint(QPainter::Antialiasing)),
      baseTransform_(painter.worldTransform()),
      dots_(painter.paintEngine() != nullptr &&
            painter.paintEngine()->type() == QPaintEngine::Raster),
      setAntialiased_(antialiased_) {}

QtCanvas::~QtCanvas() {
  UseBaseTransform();
  UseAntialiasing(antialiased_);
}

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

void QtCanvas::UseAntialiasing(bool on) {
  if (on == setAntialiased_) return;
  painter_.setRenderHint(QPainter::Antialiasing, on);
  setAntialiased_ = on;
}

void QtCanvas::UseBaseTransform() {
  if (!textTransform_) return;
  painter_.setWorldTransform(baseTransform_);
  textTransform_ = false;
}

void QtCanvas::UseStroke(bool sharp) {
  UseBaseTransform();
  if (penState_ != PenState::kStroke || setPenWidth_ != penWidth_ || setPenStyle_ != penStyle_ ||
      setPenColor_ != penColor_) {
    painter_.setPen(Pen());
    penState_ = PenState::kStroke;
    setPenWidth_ = penWidth_;
    setPenStyle_ = penStyle_;
    setPenColor_ = penColor_;
  }
  UseAntialiasing(antialiased_ && !sharp);
}

void QtCanvas::UseNoPen() {
  UseBaseTransform();
  if (penState_ != PenState::kNone) {
    painter_.setPen(Qt::NoPen);
    penState_ = PenState::kNone;
  }
  UseAntialiasing(antialiased_);
}

void QtCanvas::UseBrush(bool fill, Color color) {
  if (!fill) {
    if (brushState_ == BrushState::kNone) return;
    painter_.setBrush(Qt::NoBrush);
    brushState_ = BrushState::kNone;
    return;
  }
  if (brushState_ == BrushState::kColor && setBrushColor_ == color) return;
  painter_.setBrush(ToQColor(color));
  brushState_ = BrushState::kColor;
  setBrushColor_ = color;
}

void QtCanvas::UseTextPen() {
  // Texts are drawn in the fill colour.
  if (penState_ != PenState::kText || setPenColor_ != brushColor_) {
    painter_.setPen(ToQColor(brushColor_));
    penState_ = PenState::kText;
    setPenColor_ = brushColor_;
  }
}

void QtCanvas::StrokeAndFill(const QPainterPath& path, bool fill, Color fillColor) {
  UseStroke(!fill && Hairline());
  UseBrush(fill, fillColor);
  painter_.drawPath(path);
}

void QtCanvas::DrawLine(CPoint a, CPoint b) {
  UseStroke(Hairline());
  painter_.drawLine(t_.Map(a), t_.Map(b));
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
  if (fill && dots_ && penStyle_ == kPenSolid && penColor_ == brushColor_) {
    // A dot (a junction): filled and outlined in one colour it is one disc
    // out to the outline's outer edge, as on the PDF page. One filled ellipse
    // costs a third of filling and stroking the outline and its spoke.
    lastFill_ = brushColor_;
    const double outer = r + (penWidth_ <= 0 ? 0.0 : t_.Length(penWidth_) / 2);
    UseNoPen();
    UseBrush(true, brushColor_);
    painter_.drawEllipse(c, outer, outer);
    return;
  }
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
  const std::vector<QGlyphRun>& runs = RawFonts::Get().Layout(font, em, text);
  if (runs.empty()) return;

  const QPointF origin = t_.Map(baseline);
  if (direction == kTextDir0 && baseTransform_.type() == QTransform::TxNone &&
      em < kMaxCachedGlyphPixels) {
    // Along +x on an untransformed painter the glyphs land where the
    // translated painter below would put them (Qt maps cached glyphs to the
    // device before drawing), without changing the painter's transform for
    // every text.
    UseTextPen();
    UseAntialiasing(antialiased_);
    UseBaseTransform();
    for (const QGlyphRun& run : runs) painter_.drawGlyphRun(origin, run);
    return;
  }
  QTransform m = baseTransform_;
  m.translate(origin.x(), origin.y());
  // A text reads along +x, +y, -x or -y of the sheet; the device's y points down.
  switch (direction) {
    case kTextDir90:
      m.rotate(-90);
      break;
    case kTextDir180:
      m.rotate(180);
      break;
    case kTextDir270:
      m.rotate(90);
      break;
    default:
      break;
  }
  UseTextPen();
  UseAntialiasing(antialiased_);
  painter_.setWorldTransform(m);
  textTransform_ = true;
  for (const QGlyphRun& run : runs) painter_.drawGlyphRun(QPointF(0, 0), run);
}

}  // namespace tavro::gui
