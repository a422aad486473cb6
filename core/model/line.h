// CLine: a straight segment that is a wire, a bus or a graphic line, with an
// optional name label, a second ("cross") label, arrowheads and a line style.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/geometry.h"
#include "core/model/object.h"
#include "core/model/text.h"

namespace tavro {

class CArchive;
class CPDFPage;

// Line type codes (type & 3) and further bits of the type word.
inline constexpr uint32_t kLineWire = 0;
inline constexpr uint32_t kLineGraphic = 1;
inline constexpr uint32_t kLineBus = 2;
inline constexpr uint32_t kLineKindMask = 0x3;
inline constexpr uint32_t kLinePower = 0x4;
inline constexpr uint32_t kLineStyleMask = 0xE00;
inline constexpr uint32_t kLineHighlight = 0x4000;        // run-time
inline constexpr uint32_t kLineRecalcCross = 0x40000000;  // run-time mark (also used by clean-up)
inline constexpr uint32_t kLineSwapped = 0x80000000;      // run-time mark: put in normal form by clean-up
inline constexpr uint32_t kLineMarkMask = 0xC0000000;     // run-time marks of clean-up and trimming
inline constexpr uint32_t kLineStoredMask = 0x3FFFBFFF;   // what is stored and compared

class CLine : public CObject {
 public:
  CLine();
  CLine(CPoint start, CPoint end, uint32_t type);
  CLine(const CLine&) = default;
  CLine& operator=(const CLine&) = default;
  const char* GetRuntimeClass() const override { return "CLine"; }

  // --- points and type ---
  CPoint GetStartPoint() const { return start_; }
  CPoint GetEndPoint() const { return end_; }
  void GetPoint(CPoint& s, CPoint& e) const {
    s = start_;
    e = end_;
  }
  void SetStartPoint(CPoint p) { start_ = p; }
  void SetPoint(CPoint p) { end_ = p; }  // sets the end
  uint32_t GetType() const { return type_; }
  int GetLineType() const { return static_cast<int>(type_ & kLineKindMask); }
  void ModifyType(uint32_t clear, uint32_t set) { type_ = (type_ & ~clear) | set; }
  bool IsWire() const { return GetLineType() != kLineGraphic && GetLineType() != kLineBus; }
  int GetWidth() const { return width_; }
  void SetWidth(int w) { width_ = w; }

  // --- grab flags ---
  int GetStartCheck() const { return startCheck_; }
  int GetEndCheck() const { return endCheck_; }
  void SetCheck(int v) { startCheck_ = endCheck_ = v; }
  void SetCheck(CPoint p, int v);
  void SetCheck(const CRect& r);

  // --- arrows ---
  int GetStartArrow() const { return startArrow_; }
  int GetEndArrow() const { return endArrow_; }
  void SetArrow(int which);  // 1 toggles the start arrow (0 / 100), 2 the end arrow
  void SetArrow(int startArrow, int endArrow) {
    startArrow_ = startArrow;
    endArrow_ = endArrow;
  }
  int IsArrow() const { return (startArrow_ ? 1 : 0) | (endArrow_ ? 2 : 0); }

  // --- names ---
  const std::string& GetName() const { return nameText_.GetName(); }
  const CText& GetNameText() const { return nameText_; }
  CText& NameText() { return nameText_; }
  const CText& GetCrossNameText() const { return crossNameText_; }
  CText& CrossNameText() { return crossNameText_; }
  void SetNameText(const CText& t) { nameText_ = t; }
  void SetName(const char* line);
  // Sets the label with the height of the line's kind; a non-zero attr is
  // adjusted to the line (see the .cpp).
  void SetName(const std::string& name, CPoint at, uint32_t attr);
  void SetNamePoint(CPoint p);
  bool IncName(int step);
  void SetCrossName(const char* line);
  std::optional<CPoint> Find(std::string_view pattern, bool matchCase, bool whole,
                             bool includeHidden) const;

  // --- shape tests ---
  bool IsHorizontal() const { return start_.y == end_.y && start_.x != end_.x; }
  bool IsVertical() const { return start_.x == end_.x && start_.y != end_.y; }
  bool IsPoint() const { return start_ == end_; }
  // Kind 24-31 test: even kinds horizontal, others vertical (never a point).
  bool IsHVLine(int kind) const;
  bool NormalPoint();
  void Swap();
  // Absorbs `other` when both are horizontal on one row (or vertical on one
  // column) with the same type, no grabbed end and no conflicting names: this
  // line then spans both (they need not touch) and takes other's name when it
  // has none. `other` keeps its orientation. False when they cannot join.
  bool Trim(CLine& other);
  // Clean-up of two lines of one list (core/model/sheet_clean.cpp), both in
  // normal form: true when `other` is now covered by this line and is to be
  // deleted; either line may be extended or cut back. `mask` -1 merges by
  // type alone; 0 to 15 applies the junction rules (bit 1: a junction on
  // this line's start, 2 its end, 4 other's start, 8 other's end).
  bool Clean(CLine& other, int mask);

  // --- geometry ---
  void Offset(CPoint d);
  void OffsetAttr(CPoint d, bool shift = false);
  void Rotate(CPoint center, int dir);
  void MirrorX(CPoint center);
  void MirrorY(CPoint center);
  void RotateText(CPoint center, int dir);
  void MirrorXText(CPoint center);
  void MirrorYText(CPoint center);
  CRect GetBoundingRect() const;
  // The two strokes of the arrowhead at the start (which 1) or end (2); false
  // when that end has no arrow (or the line has no direction: a point).
  bool ArrowStrokes(int which, CPoint& a, CPoint& b) const;

  // --- stroke helpers shared with arcs ---
  // Point test of one stroke from a to b drawn with pen `width`: a horizontal
  // or vertical stroke (or a point) is hit inside its box grown by width; an
  // oblique stroke within width / 2 of the segment.
  static bool HitSegment(CPoint a, CPoint b, int width, CPoint p);
  // The two strokes of an arrowhead of length len at tip, at +15 and -15
  // degrees from the direction `toward` (radians); coordinates truncated
  // toward zero.
  static void ArrowHead(CPoint tip, double toward, int len, CPoint& a, CPoint& b);
  // The stored arrow field: low byte end / 10, high byte start / 10, each
  // truncated and limited to 0..255; and back (multiples of 10).
  static uint16_t EncodeArrows(int startArrow, int endArrow);
  static void DecodeArrows(uint16_t v, int& startArrow, int& endArrow);

  // --- hit tests ---
  bool CheckPoint(CPoint p) const;
  bool CheckPoint(const CRect& r) const;

  // --- comparison ---
  // Ends, stored type bits and arrows.
  bool operator==(const CLine& o) const;
  // The same and equal name texts.
  bool Compare(const CLine& o) const;

  // --- the sheet text form ---
  // A line from a "Line x1 y1 x2 y2 width type startArrow endArrow" record.
  explicit CLine(const char* record);
  // WIRE, BUS or LINE with its name attribute and the arrowheads as LINE
  // records (core/file/tango_write.cpp).
  void SerializeTango(CArchive& ar) const;
  // The DXF entities on `layer` (core/file/dxf_write.cpp); with `markers` a
  // point marker (block "32767") at each connection point.
  void SerializeDXF(CArchive& ar, int layer, bool markers) const;
  void SerializeText(CArchive& ar) const;

  // --- records ---
  // Draws the line on a PDF page (pen from its width and dash style, arrowheads,
  // the name when writeName), in the page's current colours.
  void SerializePDF(CPDFPage& page, bool writeName) const;

  void DataWrite(CArchive& ar, bool withText = true) const;
  void DataRead(CArchive& ar, int version);

 private:
  // Swaps the ends with their grab flags and arrows.
  void SwapEnds();

  uint32_t type_ = 0;
  CPoint start_;
  CPoint end_;
  int32_t startCheck_ = 0;
  int32_t endCheck_ = 0;
  int32_t width_ = 8;
  int32_t startArrow_ = 0;
  int32_t endArrow_ = 0;
  CText nameText_;
  CText crossNameText_;
};

}  // namespace tavro
