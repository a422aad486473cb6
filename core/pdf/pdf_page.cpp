#include "core/pdf/pdf_page.h"

#include <cmath>
#include <cstdio>

#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Radians(double degrees) { return degrees * kPi / 180.0; }

std::string Hex(std::string_view bytes) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

// Half-width katakana (and the half-width punctuation beside it) of CP932.
bool IsHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// The text of a literal string. Parentheses are escaped, and so is every
// backslash: the two characters backslash-n stay visible as written, and a
// backslash at the end or before another letter cannot swallow the closing
// parenthesis or turn into a control character.
std::string LiteralBody(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

CPDFPage::CPDFPage() = default;

CPDFPage::CPDFPage(CPDFPage& source) : Canvas() { *this = source; }

CPDFPage& CPDFPage::operator=(CPDFPage& source) {
  if (this == &source) return *this;
  CopySettings(source);
  stream_ = std::move(source.content_);
  source.content_.clear();
  streamSize_ = static_cast<int>(stream_.size());
  content_.clear();
  return *this;
}

void CPDFPage::CopySettings(const CPDFPage& s) {
  pageSize_ = s.pageSize_;
  objNo_ = s.objNo_;
  penStyle_ = s.penStyle_;
  penWidth_ = s.penWidth_;
  penColor_ = s.penColor_;
  lastStyle_ = s.lastStyle_;
  lastWidth_ = s.lastWidth_;
  lastColor_ = s.lastColor_;
  brushColor_ = s.brushColor_;
  lastBrush_ = s.lastBrush_;
  leftMargin_ = s.leftMargin_;
  topMargin_ = s.topMargin_;
  scale_ = s.scale_;
  extent_ = s.extent_;
  numberer_ = s.numberer_;
  encoder_ = s.encoder_;
}

void CPDFPage::SetOffset(const CRect& extent, double leftMargin, double topMargin) {
  extent_ = extent;
  leftMargin_ = leftMargin;
  topMargin_ = topMargin;
}

// ---- numbers and colours ----

std::string CPDFPage::ConvStr(double d) {
  if (!std::isfinite(d)) d = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", d);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (s.size() >= 2 && s[0] == '0' && s[1] == '.') s.erase(0, 1);
  s += ' ';
  return s;
}

std::string CPDFPage::ConvColorStr(Color color) {
  std::string out;
  for (int shift : {0, 8, 16}) {
    unsigned c = (color >> shift) & 0xFF;
    if (c == 255) {
      out += "1 ";
    } else if (c == 0) {
      out += "0 ";
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.4f ", c / 256.0);
      out += buf;
    }
  }
  return out;
}

const char* CPDFPage::DashStr(int style) {
  switch (style) {
    case 1:
      return "[3 4] 0 d";
    case 2:
      return "[1 2] 0 d";
    case 3:
      return "[5 2 1 2] 0 d";
    case 4:
      return "[5 2 1 2 1 2] 0 d";
    default:
      return "[] 0 d";
  }
}

int CPDFPage::PageHeight(int size) {
  static constexpr int kHeights[6] = {1191, 842, 595, 1684, 1191, 842};
  return IsKnownPageSize(size) ? kHeights[size] : kHeights[2];
}

const char* CPDFPage::MediaBoxStr(int size) {
  static const char* const kBoxes[6] = {"1684 1191", "1191 842", "842 595",
                                        "1191 1684", "842 1191", "595 842"};
  return IsKnownPageSize(size) ? kBoxes[size] : kBoxes[2];
}

// ---- lazy state ----

void CPDFPage::WriteString(std::string_view line) {
  content_.append(line);
  content_ += '\n';
}

void CPDFPage::CheckPen() {
  CheckPenWidth();
  CheckPenStyle();
  CheckPenColor();
}

void CPDFPage::CheckPenWidth() {
  if (penWidth_ == lastWidth_) return;
  WriteString(ConvStr(penWidth_ * 0.072) + "w");
  lastWidth_ = penWidth_;
}

void CPDFPage::CheckPenStyle() {
  if (penStyle_ == lastStyle_) return;
  WriteString(DashStr(penStyle_));
  lastStyle_ = penStyle_;
}

void CPDFPage::CheckPenColor() {
  if (penColor_ == lastColor_) return;
  WriteString(ConvColorStr(penColor_) + "RG");
  lastColor_ = penColor_;
}

void CPDFPage::CheckBrush() {
  if (brushColor_ == lastBrush_) return;
  WriteString(ConvColorStr(brushColor_) + "rg");
  lastBrush_ = brushColor_;
}

// ---- primitives ----

void CPDFPage::WriteInit(bool background, Color backColor) {
  if (background) {
    WriteString("q");
    WriteString("1 0 0 1 0 0 cm");
    WriteString(ConvColorStr(backColor) + "RG");
    WriteString(ConvColorStr(backColor) + "rg");
    WriteString(std::string("0 0 ") + MediaBoxStr(pageSize_) + " re");
    WriteString("B");
    WriteString("Q");
  }
  const double k = 72 / 25.4;
  const double s = scale_;
  const double tx = leftMargin_ * k - extent_.left * 0.072;
  const double ty = PageHeight(pageSize_) - extent_.bottom * 0.072 * s - topMargin_ * k;
  WriteString(ConvStr(s) + "0 0 " + ConvStr(s) + ConvStr(tx) + ConvStr(ty) + "cm");
  WriteString("0 0 0 RG");
  WriteString("1 J");
  WriteString("1 j");
  penWidth_ = lastWidth_ = 0;
  penColor_ = lastColor_ = 0xFFFFFFFF;
  penStyle_ = lastStyle_ = -1;
  // The wanted fill colour carries over to the next sheet; the new content
  // stream itself starts with the default black fill, so that is what it
  // last set (the next fill in another colour is written again).
  lastBrush_ = 0;
}

void CPDFPage::WriteLine(CPoint a, CPoint b) {
  CheckPen();
  WriteString(ConvDataStr(a) + "m");
  WriteString(ConvDataStr(b) + "l");
  WriteString("S");
}

void CPDFPage::WritePolygon(std::span<const CPoint> points, bool fill) {
  if (points.empty()) return;
  if (points.size() == 2) {
    WriteLine(points[0], points[1]);
    return;
  }
  CheckPen();
  WriteString(ConvDataStr(points[0]) + "m");
  for (size_t i = 1; i < points.size(); ++i) WriteString(ConvDataStr(points[i]) + "l");
  WriteString(fill ? "h\nb*\n" : "S");
}

void CPDFPage::WriteCircle(CPoint center, int radius, bool fill) {
  CheckPen();
  if (fill) CheckBrush();
  const double cx = ConvPoint(center.x), cy = ConvPoint(center.y), r = ConvPoint(radius);
  const double k = (std::sqrt(2.0) - 1) * 4 * radius * 72 / 3000;
  auto pt = [](double x, double y) { return ConvStr(x) + ConvStr(y); };
  WriteString(pt(cx + r, cy) + "m");
  WriteString(pt(cx + r, cy + k) + pt(cx + k, cy + r) + pt(cx, cy + r) + "c");
  WriteString(pt(cx - k, cy + r) + pt(cx - r, cy + k) + pt(cx - r, cy) + "c");
  WriteString(pt(cx - r, cy - k) + pt(cx - k, cy - r) + pt(cx, cy - r) + "c");
  WriteString(pt(cx + k, cy - r) + pt(cx + r, cy - k) + pt(cx + r, cy) + "c");
  if (fill) {
    WriteString(ConvDataStr(center) + "l");
    WriteString("h");
    WriteString("b*");
  } else {
    WriteString("S");
  }
}

void CPDFPage::WriteArc(CPoint center, int radius, int a1, int a2, bool fill) {
  CheckPen();
  const double cx = ConvPoint(center.x), cy = ConvPoint(center.y), r = ConvPoint(radius);
  int64_t start = a1, end = a2;
  WriteString(ConvStr(cx + r * std::cos(Radians(static_cast<double>(start)))) +
              ConvStr(cy + r * std::sin(Radians(static_cast<double>(start)))) + "m");
  if (end < start) end += 360 * ((start - end + 359) / 360);
  // Angles come from files: a sweep of many turns draws the same outline as
  // one or two turns, so it is kept below 720° (the output stays bounded).
  if (end - start > 720) end = start + 360 + (end - start) % 360;
  while (end - start > 90) {
    WriteShortArc(cx, cy, r, Radians(static_cast<double>(start)),
                  Radians(static_cast<double>(start + 90)));
    start += 90;
  }
  if (start != end) {
    WriteShortArc(cx, cy, r, Radians(static_cast<double>(start)),
                  Radians(static_cast<double>(end)));
  }
  if (fill) {
    WriteString(ConvDataStr(center) + "l");
    WriteString("h");
    WriteString("b*");
  } else {
    WriteString("S");
  }
}

void CPDFPage::WriteShortArc(double cx, double cy, double r, double t1, double t2) {
  const double h = (t2 - t1) / 2;
  const double k = 4.0 / 3.0 * (1 - std::cos(h)) / std::sin(h);
  const double x1 = cx + r * (std::cos(t1) - k * std::sin(t1));
  const double y1 = cy + r * (std::sin(t1) + k * std::cos(t1));
  const double x2 = cx + r * (std::cos(t2) + k * std::sin(t2));
  const double y2 = cy + r * (std::sin(t2) - k * std::cos(t2));
  const double x3 = cx + r * std::cos(t2);
  const double y3 = cy + r * std::sin(t2);
  WriteString(ConvStr(x1) + ConvStr(y1) + ConvStr(x2) + ConvStr(y2) + ConvStr(x3) + ConvStr(y3) +
              "c");
}

void CPDFPage::WriteText(std::string_view text, CPoint point, int height, int direction,
                         int fontNo) {
  WriteString("BT");
  const std::string p = ConvDataStr(point);
  switch (direction) {
    case 256:
      WriteString("0 1 -1 0 " + p + "Tm");
      break;
    case 512:
      WriteString("-1 0 0 -1 " + p + "Tm");
      break;
    case 768:
      WriteString("0 -1 1 0 " + p + "Tm");
      break;
    default:
      WriteString(p + "TD");
      break;
  }
  CheckBrush();
  WriteString("/F" + std::to_string(fontNo) + " " + ConvStr(height * 0.072) + "Tf");
  std::optional<std::string> glyphs;
  if (encoder_) glyphs = encoder_(fontNo, text);
  if (glyphs) {
    WriteString("0 Tc 0 Tw <" + Hex(*glyphs) + "> Tj");
  } else {
    bool hex = false;
    for (unsigned char c : text) {
      if (IsLeadByte(c) || IsHalfWidthKana(c)) {
        hex = true;
        break;
      }
    }
    if (hex) {
      WriteString("0 Tc 0 Tw <" + Hex(text) + "> Tj");
    } else {
      WriteString("0 Tc 0 Tw (" + LiteralBody(text) + ") Tj");
    }
  }
  WriteString("ET");
}

void CPDFPage::DrawText(std::string_view text, CPoint baseline, int height, int direction,
                        const LogFont& font) {
  const int fontNo = numberer_ ? numberer_(font) : CurrentHost().FontNo(font);
  WriteText(text, baseline, height, direction, fontNo);
}

}  // namespace tavro
