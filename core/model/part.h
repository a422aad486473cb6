// CPart: a placed component: an origin, a cached bounding box, its package
// (number of gates and which gate this is), a rotation/mirror word, three
// attribute texts (part name, reference, value) and owned pins, graphic
// lines, arcs and extra texts (labels and property texts such as "REFFORM" and
// "FRAME").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/arc.h"
#include "core/model/geometry.h"
#include "core/model/line.h"
#include "core/model/object.h"
#include "core/model/pin.h"
#include "core/model/text.h"

namespace tavro {

class CArchive;
class CPDFPage;

inline constexpr uint32_t kPartPinsHidden = 0x20;  // attr: the part's pins are not drawn

// Selector bits of CPart::Find (with kFindPinName and kFindPinNo of CPin):
// the part name, the reference, the value and the extra texts.
inline constexpr int kFindPartName = 0x1;
inline constexpr int kFindPartRef = 0x2;
inline constexpr int kFindPartValue = 0x4;
inline constexpr int kFindPartText = 0x20;

class CPart : public CObject {
 public:
  CPart();
  CPart(CPoint org, CPoint rectStart, CPoint rectEnd, unsigned packageMax, unsigned package,
        unsigned char angle, unsigned char attr);
  CPart(const CPart& o);
  CPart& operator=(const CPart& o);
  CPart(CPart&&) noexcept = default;
  CPart& operator=(CPart&&) noexcept = default;
  const char* GetRuntimeClass() const override { return "CPart"; }

  // --- owned items ---
  CPin& NewPin(CPoint start, CPoint end, uint32_t elect);
  CPin& NewPin(const CPin& pin);
  CLine& NewLine(CPoint p);
  CLine& NewLine(CPoint start, CPoint end);
  CLine& NewLine(const CLine& line);
  CArc& NewArc(CPoint center, unsigned radius, int startAngle, int endAngle, int type);
  CArc& NewArc(CPoint p1, CPoint p2, CPoint p3, int type);
  CArc& NewArc(const CArc& arc);
  CText& NewText(const std::string& name, CPoint at, int size, uint32_t attr);
  CText& NewText(const CText& text);
  const ItemList<CPin>& Pins() const { return pins_; }
  ItemList<CPin>& Pins() { return pins_; }
  const ItemList<CLine>& Lines() const { return lines_; }
  ItemList<CLine>& Lines() { return lines_; }
  const ItemList<CArc>& Arcs() const { return arcs_; }
  ItemList<CArc>& Arcs() { return arcs_; }
  const ItemList<CText>& Texts() const { return texts_; }
  ItemList<CText>& Texts() { return texts_; }
  int GetPinCount() const { return static_cast<int>(pins_.size()); }
  // Destroys every extra text whose string begins with prefix.
  void DeleteText(std::string_view prefix);

  // --- fields ---
  CPoint GetOrg() const { return org_; }
  void SetOrg(CPoint p) { org_ = p; }
  void SetRect(CPoint s, CPoint e) {
    rectStart_ = s;
    rectEnd_ = e;
  }
  CPoint GetRectStart() const { return rectStart_; }
  CPoint GetRectEnd() const { return rectEnd_; }
  uint32_t GetAngle() const { return angle_; }
  void SetAngle(uint32_t a) { angle_ = a; }
  uint32_t GetAttr() const { return attr_; }
  void SetAttr(uint32_t a) { attr_ = a; }
  void ModifyAttr(uint32_t clear, uint32_t set) { attr_ = (attr_ & ~clear) | set; }
  unsigned GetPackage() const { return package_; }
  void SetPackage(unsigned p) { package_ = p; }
  unsigned GetPackageMax() const { return packageMax_; }
  void SetPackageMax(unsigned p) { packageMax_ = p; }

  // --- attribute texts ---
  const std::string& GetPartName() const { return partNameText_.GetName(); }
  const CText& GetPartNameText() const { return partNameText_; }
  CText& PartNameText() { return partNameText_; }
  const std::string& GetRefName() const { return refNameText_.GetName(); }
  const CText& GetRefNameText() const { return refNameText_; }
  CText& RefNameText() { return refNameText_; }
  const std::string& GetValName() const { return valueText_.GetName(); }
  const CText& GetValNameText() const { return valueText_; }
  CText& ValNameText() { return valueText_; }
  void SetPartName(const CText& t) { partNameText_ = t; }
  void SetRefName(const CText& t) { refNameText_ = t; }
  void SetValue(const CText& t) { valueText_ = t; }
  void SetPartName(const char* line);
  void SetRefName(const char* line);
  void SetValue(const char* line);
  void SetPartName(const std::string& s, CPoint at, uint32_t attr);
  void SetRefName(const std::string& s, CPoint at, uint32_t attr);
  void SetValue(const std::string& s, CPoint at, uint32_t attr);
  // 2 keeps a text's display state, any other value sets it.
  void SetDisp(int name, int ref, int value);

  // --- reference ---
  // Splits the reference into prefix, suffix and number; false (and empty
  // parts) for an empty reference.
  bool GetRefName(std::string& prefix, std::string& suffix, int& number) const;
  // The reference up to and including its last ASCII digit (whole without digits).
  std::string GetRefNameA() const;
  int GetRefNo() const;
  bool RefCheck() const;
  void SetRefNo(int no, int force);
  void IncRefName(int step);
  int CompareRef(const CPart& o) const;
  // A reference taken apart (see GetRefName); sorting many parts splits each
  // reference once.
  struct RefParts {
    std::string prefix;
    std::string suffix;
    int number = 0;
    bool valid = false;      // the reference is not empty
    bool undecided = false;  // it holds "?"
  };
  static RefParts SplitRef(std::string_view ref);
  // The order of CompareRef: prefix (ignoring case), number, suffix (ignoring
  // case); -1, 0 or 1.
  static int CompareRefParts(const RefParts& a, const RefParts& b);

  // --- properties (extra texts in property form) ---
  std::string GetProperty(std::string_view key) const;
  std::string GetPropertyCSV(std::string_view keys) const;
  bool IsProperty(std::string_view key) const;
  void DeleteProperty(std::string_view key);
  const CText* HitProperty(CPoint p) const;
  std::string FindString(std::string_view s) const;

  // --- comparison and search ---
  bool operator==(const CPart& o) const;
  // Strict equality; sorts the pins of both parts.
  bool Compare(CPart& o);
  std::optional<CPoint> Find(std::string_view pattern, bool matchCase, bool whole,
                             bool includeHidden, int selector) const;

  // --- geometry ---
  void Offset(CPoint d);
  void Rotate(CPoint c, int dir);
  void Rotate(int dir) { Rotate(org_, dir); }
  void MirrorX(CPoint c);
  void MirrorY(CPoint c);
  void RotateText(CPoint c, int dir);
  void MirrorXText(CPoint c);
  void MirrorYText(CPoint c);
  void OffsetAttr(CPoint d);
  CRect GetBoundingRect();
  CRect GetSimpleBoundingRect() const;
  CPoint GetCenter() const;
  void CalcBoundRect(bool recalcTexts = false);
  CRect IncName(int step);
  // Resizes the selected elements; pins by gridStep.
  CRect ZoomData(int dir, int gridStep);
  void SortPin();
  void SortPinNo();

  // --- connectivity ---
  // Cuts the given wire back at any of this part's displayed pins it runs along.
  bool CheckOnPin(CLine& wire) const;

  // --- the sheet text form ---
  // A part from a "Part ..." record (its members follow as further records).
  explicit CPart(const char* record);
  // PART, its attributes, its lines, arcs, texts and pins, PARTEND.
  void SerializeTango(CArchive& ar) const;
  // The DXF entities on `layer` (core/file/dxf_write.cpp); with `markers` a
  // point marker (block "32767") at each connection point.
  void SerializeDXF(CArchive& ar, int layer, bool markers) const;
  void SerializeText(CArchive& ar) const;

  // --- records ---
  // Draws the part (texts, pins, body) on a PDF page in the display colours.
  void SerializePDF(CPDFPage& page) const;

  void DataWrite(CArchive& ar) const;
  void DataRead(CArchive& ar, bool loadChildren, int version);

 private:
  void CalcFrameProperty(CText& frame) const;
  // No graphics, no visible pin and no displayed text.
  bool ShowsNothing() const;
  // The three attribute texts, then the extra texts.
  void ForEachAttrText(const std::function<void(CText&)>& fn);

  CPoint org_;
  CPoint rectStart_;
  CPoint rectEnd_;
  uint32_t packageMax_ = 0;
  uint32_t package_ = 0;
  uint32_t angle_ = 0;
  uint32_t attr_ = 0;
  CText partNameText_;
  CText refNameText_;
  CText valueText_;
  ItemList<CPin> pins_;
  ItemList<CText> texts_;
  ItemList<CLine> lines_;
  ItemList<CArc> arcs_;
};

}  // namespace tavro
