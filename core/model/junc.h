// CJunc: a junction dot at one point.
#pragma once

#include "core/model/geometry.h"
#include "core/model/object.h"

namespace tavro {

class CArchive;
class CPDFPage;
class CLine;

class CJunc : public CObject {
 public:
  CJunc() = default;
  explicit CJunc(CPoint p) : point_(p) {}
  CJunc(const CJunc&) = default;
  CJunc& operator=(const CJunc&) = default;
  const char* GetRuntimeClass() const override { return "CJunc"; }

  CPoint GetPoint() const { return point_; }
  void SetPoint(CPoint p) { point_ = p; }
  void Offset(CPoint d) { point_ += d; }
  void Rotate(CPoint c, int dir) { point_ = point_.Rotated(c, dir); }
  void MirrorX(CPoint c) { point_ = point_.MirroredX(c); }
  void MirrorY(CPoint c) { point_ = point_.MirroredY(c); }
  CRect GetBoundingRect() const {
    return {point_.x - 20, point_.y - 20, point_.x + 20, point_.y + 20};
  }
  bool CheckPoint(CPoint p) const { return p == point_; }
  bool operator==(const CJunc& o) const { return point_ == o.point_; }
  // True when the dot lies on a horizontal or vertical line (ends included).
  bool OnWire(const CLine& l) const;

  // The sheet text form: a junction from a "Junc x y" record, and the writer.
  explicit CJunc(const char* record);
  void SerializeTango(CArchive& ar) const;
  // The DXF entities on `layer` (core/file/dxf_write.cpp); with `markers` a
  // point marker (block "32767") at each connection point.
  void SerializeDXF(CArchive& ar, int layer, bool markers) const;
  void SerializeText(CArchive& ar) const;

  // Draws the dot on a PDF page in the page's fill colour.
  void SerializePDF(CPDFPage& page) const;

  void DataWrite(CArchive& ar) const;
  void DataRead(CArchive& ar, int version = 0);

 private:
  CPoint point_;
};

}  // namespace tavro
