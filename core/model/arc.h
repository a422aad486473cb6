// CArc: an arc or full circle given by center, radius and two angles in
// degrees (counter-clockwise from start to end; equal angles: a full circle).
#pragma once

#include <cstdint>

#include "core/model/geometry.h"
#include "core/model/object.h"

namespace tavro {

class CArchive;
class CPDFPage;

inline constexpr uint32_t kArcFilled = 0x8000;
inline constexpr uint32_t kArcStyleMask = 0xE00;

class CArc : public CObject {
 public:
  CArc();
  CArc(CPoint center, uint32_t radius, int startAngle, int endAngle, int type, int width);
  // An arc from p1 to p2 through p3 (see SetArcPoint).
  CArc(CPoint p1, CPoint p2, CPoint p3, int type, int width);
  CArc(const CArc&) = default;
  CArc& operator=(const CArc&) = default;
  const char* GetRuntimeClass() const override { return "CArc"; }

  CPoint GetCenter() const { return center_; }
  int GetRadius() const { return radius_; }
  int GetRadial() const { return radius_; }
  int GetStartAngle() const { return startAngle_; }
  int GetEndAngle() const { return endAngle_; }
  uint32_t GetType() const { return type_; }
  void SetType(uint32_t t) { type_ = t; }
  int GetWidth() const { return width_; }
  void SetWidth(int w) { width_ = w; }
  void SetEndAngle(int a) { endAngle_ = a; }
  bool IsCircle() const { return startAngle_ == endAngle_; }
  // The point at angle a degrees: center + trunc(cos/sin * radius).
  CPoint PointAt(double degrees) const;
  CPoint GetStartPoint() const { return PointAt(startAngle_); }
  CPoint GetEndPoint() const { return PointAt(endAngle_); }
  // Angle of q seen from the center, 0-359 (see the .cpp).
  int AngleOf(CPoint q) const;

  // Arc from p1 to p2 through p3; p1 == p2 gives a circle about p3. Three
  // points on one line have no circle: the arc is left unchanged and the
  // result is false (see the .cpp).
  bool SetArcPoint(CPoint p1, CPoint p2, CPoint p3);
  void SetArcPoint2(CPoint p1, CPoint p2, CPoint c);
  // Editing helpers: the centre moves to c and the arc runs between the
  // directions of its old end points, with the radius to its old start point;
  // an end angle becomes the direction of a picked point, rounded to a
  // multiple of `snap` degrees when snap > 0.
  void SetCenter(CPoint c);
  void SetStartAngle(CPoint p, int snap = 0);
  void SetEndAngle(CPoint p, int snap);

  int GetStartCheck() const { return startCheck_; }
  int GetEndCheck() const { return endCheck_; }
  void SetCheck(int v) { startCheck_ = endCheck_ = v; }
  void SetCheck(const CRect& r);
  bool CheckEdge() const { return (startCheck_ != 0) != (endCheck_ != 0); }
  void SetCircle();

  int GetStartArrow() const { return startArrow_; }
  int GetEndArrow() const { return endArrow_; }
  void SetArrow(int which);
  void SetArrow(int startArrow, int endArrow) {
    startArrow_ = startArrow;
    endArrow_ = endArrow;
  }
  int IsArrow() const { return (startArrow_ ? 1 : 0) | (endArrow_ ? 2 : 0); }
  bool ArrowStrokes(int which, CPoint& a, CPoint& b) const;

  // With exactly one end grabbed that end's angle follows the moved end point
  // (snap as for SetStartAngle); otherwise the centre moves.
  void Offset(CPoint d, int snap = 0);
  void Rotate(CPoint c, int dir);
  void MirrorX(CPoint c);
  void MirrorY(CPoint c);
  CRect GetBoundingRect() const;
  CRect GetBoundingRect2() const;
  // Hit on the pen (within max(width / 2, 4) of the circle, inside the arc's
  // angles), inside a filled sector, near an end point or on an arrowhead.
  bool CheckPoint(CPoint p) const;

  bool operator==(const CArc& o) const;

  // The sheet text form: an arc from an "Arc ..." record, and the writer.
  explicit CArc(const char* record);
  // ARC (a full circle with sweep 0) and the arrowheads as LINE records.
  void SerializeTango(CArchive& ar) const;
  // ARC, or CIRCLE for a full circle, and the arrowheads as LINE entities
  // (core/file/dxf_write.cpp).
  void SerializeDXF(CArchive& ar, int layer) const;
  void SerializeText(CArchive& ar) const;

  // Draws the arc or circle with its arrowheads on a PDF page.
  void SerializePDF(CPDFPage& page) const;

  void DataWrite(CArchive& ar) const;
  void DataRead(CArchive& ar, int version);

 private:
  uint32_t type_ = 0;
  CPoint center_;
  int32_t radius_ = 0;
  int32_t startAngle_ = 0;
  int32_t endAngle_ = 0;
  int32_t startCheck_ = 0;
  int32_t endCheck_ = 0;
  int32_t width_ = 8;
  int32_t startArrow_ = 0;
  int32_t endArrow_ = 0;
};

}  // namespace tavro
