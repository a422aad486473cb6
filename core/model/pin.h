// CPin: one electrical pin, a stroke from its root at the part body (start) to
// its connection point (end) where wires attach, with an electrical type,
// marks (inversion dot, clock wedge), a name text and a number text. The
// direction word is always derived from the two points.
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
class CLine;

// Bits of a pin's elect word.
inline constexpr uint32_t kPinTypeMask = 0xF;
inline constexpr uint32_t kPinDot = 0x10;    // inversion dot at the root
inline constexpr uint32_t kPinMark = 0x20;   // further mark bit (stored and copied)
inline constexpr uint32_t kPinClock = 0x40;  // clock wedge at the root
inline constexpr uint32_t kPinMarkMask = 0x70;
inline constexpr uint32_t kPinHidden = 0x8000;
inline constexpr uint32_t kPinSelected = 0x10000;  // stored as it stands
inline constexpr uint32_t kPinOpenX = 0x20000;     // run-time: show the open-pin X (never stored)

// Electrical types (low four bits of elect).
enum PinType : int {
  kPinPassive = 0,
  kPinInput = 1,
  kPinOutput = 2,
  kPin3State = 3,
  kPinInOut = 4,
  kPinOpenLow = 5,
  kPinOpenHigh = 6,
  kPinPassiveDown = 7,
  kPinPassiveUp = 8,
  kPinNoConnect = 14,
  kPinPower = 15,
};

// Selector bits of Find: search the name text, the number text.
inline constexpr int kFindPinName = 8;
inline constexpr int kFindPinNo = 16;

inline constexpr int kPinDefaultLength = 300;

class CPin : public CObject {
 public:
  CPin();
  CPin(CPoint start, CPoint end, uint32_t elect);
  CPin(const CPin&) = default;
  CPin& operator=(const CPin&) = default;
  const char* GetRuntimeClass() const override { return "CPin"; }

  // --- points and direction ---
  CPoint GetPoint() const { return start_; }
  void GetPoint(CPoint& start, CPoint& end) const {
    start = start_;
    end = end_;
  }
  CPoint GetStartPoint() const { return start_; }
  CPoint GetEndPoint() const { return end_; }
  // Stores the points and elect, derives the direction and lays out the texts.
  void SetPoint(CPoint start, CPoint end, uint32_t elect);
  // Lays out the texts again with the current values.
  void SetPoint();
  uint32_t GetAngle() const { return angle_; }
  // Length along the pin's direction; an oblique pin reports 300.
  int GetLen() const;
  void SetLen(int len);
  // Turns the pin into direction a & 0x380 about its start, keeping its
  // length; returns the new direction word.
  uint32_t SetAngle(uint32_t a);

  // --- flags ---
  uint32_t GetElect() const { return elect_; }
  int GetEleType() const { return static_cast<int>(elect_ & kPinTypeMask); }
  // Stores elect; lays the texts out again when a mark bit changed. Returns the old value.
  uint32_t SetElect(uint32_t elect);
  void ModifyElect(uint32_t set, uint32_t clear) { elect_ = (elect_ & ~clear) | set; }
  bool IsPower() const { return GetEleType() == kPinPower; }
  bool IsElect(int type) const { return GetEleType() == type; }
  // The name of the electrical type, nullptr for the codes without a name.
  const char* GetEleName() const { return EleName(GetEleType()); }
  static const char* EleName(int type);
  bool IsDisp() const { return (elect_ & kPinHidden) == 0; }
  bool IsDispX() const { return (elect_ & kPinOpenX) != 0; }
  bool IsSelect() const { return (elect_ & kPinSelected) != 0; }
  void ResetPinSel() { elect_ &= ~kPinSelected; }
  bool SetPinSel(const CRect& r);

  // --- texts ---
  const std::string& GetName() const { return nameText_.GetName(); }
  const std::string& GetNo() const { return noText_.GetName(); }
  const CText& GetNameText() const { return nameText_; }
  const CText& GetNoText() const { return noText_; }
  CText& NameText() { return nameText_; }
  CText& NoText() { return noText_; }
  void SetName(const CText& t) { nameText_ = t; }
  void SetNo(const CText& t) { noText_ = t; }
  void SetName(const char* line);
  void SetNo(const char* line);
  void SetName(const std::string& name, CPoint at, uint32_t attr);
  void SetNo(const std::string& no, CPoint at, uint32_t attr);
  CRect IncName(int step);
  CRect IncNo(int step);
  const std::string& GetNetName() const { return netName_; }
  void SetNetName(const std::string& n) { netName_ = n; }

  // --- hit tests ---
  // A visible pin is hit inside the box of its points grown by 1.
  bool CheckPoint(CPoint p) const;
  // A visible pin whose connection point is p.
  bool CheckOnPoint(CPoint p) const;
  std::optional<CPoint> Find(std::string_view pattern, bool matchCase, bool whole,
                             bool includeHidden, int selector) const;

  // --- geometry ---
  void Offset(CPoint d);
  void Rotate(CPoint center, int dir);
  void Rotate(int dir) { Rotate(start_, dir); }
  void MirrorX(CPoint center);
  void MirrorY(CPoint center);
  void RotateText(CPoint center, int dir);
  void MirrorXText(CPoint center);
  void MirrorYText(CPoint center);
  void OffsetAttr(CPoint d);
  CRect GetBoundingRect() const;
  // Recomputes both texts' rectangles.
  void CalcBoundRect();

  // --- comparison ---
  bool operator==(const CPin& o) const { return start_ == o.start_ && end_ == o.end_; }
  // Points, texts, elect (selection and open-X ignored) and direction.
  bool Compare(const CPin& o) const;
  // Pin order of SortPin.
  bool operator<(const CPin& o) const;

  // --- connectivity ---
  // True when a horizontal or vertical wire runs along the pin on its own
  // axis; the wire is then cut back to end at the connection point.
  bool CheckOnPin(CLine& wire) const;

  // --- the sheet text form ---
  // A pin from a "Pin x1 y1 x2 y2 elect" record.
  explicit CPin(const char* record);
  // PIN, its name attribute and PINDES with the given unit number.
  void SerializeTango(CArchive& ar, int unit) const;
  // The DXF entities on `layer` (core/file/dxf_write.cpp); with `markers` a
  // point marker (block "32767") at each connection point.
  void SerializeDXF(CArchive& ar, int layer, bool markers) const;
  void SerializeText(CArchive& ar) const;

  // --- records ---
  // Draws the pin, its marks and (when asked) its name and number on a PDF
  // page in the display colours.
  void SerializePDF(CPDFPage& page, bool name, bool number) const;

  void DataWrite(CArchive& ar) const;
  void DataRead(CArchive& ar, int version);

 private:
  void CalcAngle();
  void LayoutTexts();
  void BottomAlignNumber();

  CPoint start_;
  CPoint end_;
  CText nameText_;
  CText noText_;
  uint32_t angle_ = 0;
  uint32_t elect_ = 0;
  std::string netName_;
};

}  // namespace tavro
