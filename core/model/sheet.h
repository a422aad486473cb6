// CSheet: one schematic drawing in memory: eight ordered lists of owned items
// (wires, buses, graphic lines, arcs, junctions, free texts, free pins, parts)
// and a few header fields. A line always sits in the list its type selects.
// The document holds a main sheet (type 0), a title-frame sheet (type 1) and
// scratch sheets (type 3).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/arc.h"
#include "core/model/geometry.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/object.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/text.h"

namespace tavro {

class CArchive;
class CPDFPage;
class CSheetDoc;
class CNet;
struct NetWriteOptions;
using NetList = std::vector<std::unique_ptr<CNet>>;

enum SheetType : int { kSheetMain = 0, kSheetTitle = 1, kSheetScratch = 3 };

class CSheet : public CObject {
 public:
  explicit CSheet(int sheetType = kSheetMain);
  CSheet(const CSheet& o);
  // Replaces the contents with copies of o's items (the type is kept).
  CSheet& operator=(const CSheet& o);
  ~CSheet() override;
  const char* GetRuntimeClass() const override { return "CSheet"; }

  int GetSheetType() const { return sheetType_; }
  void SetSheetType(int t) { sheetType_ = t; }
  int GetItemCount() const { return itemCount_; }
  // Version of the data being read (set by the document while reading).
  int GetVersion() const { return version_; }
  void SetVersion(int v) { version_ = v; }

  // --- the lists ---
  const ItemList<CLine>& Wires() const { return wires_; }
  const ItemList<CLine>& Buses() const { return buses_; }
  const ItemList<CLine>& Lines() const { return lines_; }
  const ItemList<CArc>& Arcs() const { return arcs_; }
  const ItemList<CJunc>& Juncs() const { return juncs_; }
  const ItemList<CText>& Texts() const { return texts_; }
  const ItemList<CPin>& Pins() const { return pins_; }
  const ItemList<CPart>& Parts() const { return parts_; }
  // Mutable access for in-place edits of items (not for adding or removing:
  // use New*/Delete* so that the count and the notifications stay right).
  ItemList<CLine>& Wires() { return wires_; }
  ItemList<CLine>& Buses() { return buses_; }
  ItemList<CLine>& Lines() { return lines_; }
  ItemList<CArc>& Arcs() { return arcs_; }
  ItemList<CJunc>& Juncs() { return juncs_; }
  ItemList<CText>& Texts() { return texts_; }
  ItemList<CPin>& Pins() { return pins_; }
  ItemList<CPart>& Parts() { return parts_; }
  // The line list a kind code selects: 1, 28, 29 graphic lines; 2, 26, 27
  // buses; any other kind wires (so the line type codes select their own list).
  const ItemList<CLine>& LineList(int kind) const;
  ItemList<CLine>& LineList(int kind);
  // The list that holds lines of this type (type & 3: 1 lines, 2 buses, else wires).
  ItemList<CLine>& ListForType(uint32_t type);

  // --- whole sheet ---
  CRect DeleteContents();
  CSheet& operator+=(const CSheet& o);
  bool operator==(CSheet& o);
  void MoveItem(CSheet& from, int kind);
  // Moves the parts of `from` that `take` accepts to the end of this
  // sheet's part list, in their order (the parts themselves, not copies);
  // the others stay in `from`.
  void TakeParts(CSheet& from, const std::function<bool(const CPart&)>& take);
  CRect GetBoundingRect() const;
  void ReCalcTextBoundingRect();

  // --- adding (each returns the new item, owned by the sheet) ---
  // Dispatches on the run-time class; any other object is taken as a sheet and
  // appended (the sheet itself is returned).
  CObject* AddItem(const CObject& item);
  CLine& NewWire(CPoint start);
  CLine& NewWire(CPoint start, CPoint end);
  CLine& NewBus(CPoint start);
  CLine& NewBus(CPoint start, CPoint end);
  CLine& NewLine(CPoint start);
  CLine& NewLine(CPoint start, CPoint end);
  CLine& NewLine(const CLine& line);
  CJunc& NewJunc(CPoint p);
  CJunc& NewJunc(const CJunc& j);
  CJunc& NewJuncCheck(CPoint p);
  CPin& NewPin(CPoint start, CPoint end, uint32_t elect);
  CPin& NewPin(const CPin& pin);
  CText& NewText(const std::string& name, CPoint at, int size, uint32_t attr);
  CText& NewText(const CText& text);
  CArc& NewArc(CPoint center, unsigned radius, int startAngle, int endAngle, int type, int width);
  CArc& NewArc(const CArc& arc);
  CArc& NewArc(const CLine& line);
  CPart& NewPart(CPoint org, CPoint rectStart, CPoint rectEnd, unsigned packageMax,
                 unsigned package, unsigned char angle, unsigned char attr);
  CPart& NewPart(const CPart& part);
  // Fills a part from this sheet's graphic lines, free pins, texts and arcs.
  void MakePart(CPart& part);

  // --- removing (true when an item was removed and destroyed) ---
  bool DeleteLine(const CLine& line);
  bool DeleteJunc(const CJunc& j);
  bool DeletePin(const CPin& pin);
  bool DeleteText(const CText& text);
  bool DeleteArc(const CArc& arc);
  bool DeletePart(CPart& part);
  bool DeleteItem(CObject& item);
  // Removes and destroys that very item (identity, not equality), so that of
  // two equal items the one meant goes; false when the sheet does not hold it.
  bool RemoveItem(const CObject* item);

  // --- transforms of the whole sheet ---
  void OffsetItem(CPoint d, bool withArcEnds);
  // dir > 0 counter-clockwise, dir < 0 clockwise, dir == 0 counter-clockwise
  // unless `shift` (the Shift key) is held.
  void Rotate(CPoint center, int dir, bool shift = false);
  void MirrorX(CPoint center);
  void MirrorY(CPoint center);
  void RotateText(CPoint center, int dir);
  void MirrorXText(CPoint center);
  void MirrorYText(CPoint center);
  void OffsetAttr(CPoint d);
  void SetCheck();
  void ResetTextSel();
  void SetTextSel(const CRect& r, int mode = 0);
  void FrameChange(int dir);
  void ChangeTextOrg(int org, int more);
  void ChangeTextNumber(int len);
  // Whether the selected texts agree in alignment / number length (-1: they
  // differ or there are none; else the common value).
  int CheckTextOrg(bool more) const;
  int CheckTextNumber() const;

  // --- line joining and corner trimming (core/model/line_trim.cpp) ---
  // Joins the collinear lines of each line list (wires, buses, graphic
  // lines) and makes the leading horizontal lines of a list meet the
  // vertical lines after them in corners (paired from the first vertical
  // line onward, or from the tail backward when `reverse`). True when
  // anything changed.
  bool TrimLine(bool reverse);
  // Makes a horizontal line h and a vertical line v meet in a corner.
  static void TrimCrossLine(CLine& h, CLine& v);
  // True when some other line of the list for the line's type absorbed it.
  bool TrimLine(CLine& line);

  // --- clean-up (core/model/sheet_clean.cpp); each returns the number of
  // items removed or changed, 0 when the sheet stayed as it was ---
  // Removes zero-length wires, buses and lines, arcs of radius below 1 and
  // texts without text.
  int CleanNulItem();
  // Removes every later item equal to an earlier one of its list (lines by
  // operator== unless both are named differently, the kept line taking a
  // removed one's name when it has none; arcs, texts and junctions by
  // operator==; pins by Compare). Parts are not compared.
  int CleanDupItem();
  // Removes the items (parts included) whose box does not meet the sheet
  // (0, 0)-(width, height).
  int CleanOutItem(int32_t width, int32_t height);
  // Merges the collinear lines of each list (CLine::Clean; wires with the
  // junction rules when wireJunc). The lines must be in normal form.
  int CleanLine(bool wireJunc);
  // Puts every line in normal form, marking the swapped ones (kLineSwapped);
  // RestoreLineDirections swaps them back and clears the mark.
  void NormalLines();
  void RestoreLineDirections();
  // Removes from this sheet and from `other` every line, arc, text, junction
  // and pin that both hold (each item pairs with one equal item of the
  // other; parts are not compared): what remains is what changed.
  void CleanSheet(CSheet& other);

  // --- counting and classification ---
  int GetCount(int kind) const;
  int CheckKind() const;
  bool CheckItem(const CObject* item) const;
  // Moves the most recently added items into dest (see the .cpp for counts).
  void GetItemTail(const unsigned* counts, CSheet& dest);

  // --- sorting (selection sort in place; progress and cancel through the host) ---
  void SortText();
  void SortPin();
  void SortLine(int kind);
  // 1 when cancelled, else 0.
  int SortPart();
  // 1 when cancelled, else 0 (also for a sheet without parts).
  int SortPartRef();
  bool FindPartRef(std::string_view ref) const;

  // --- connectivity bookkeeping ---
  int GetCalcOpenMode() const { return calcOpenMode_; }
  void SetCalcOpenMode(int m) { calcOpenMode_ = m; }
  // Called on the main sheet when a named line is added or deleted while the
  // notification is on (the application keeps same-named wires cross-referenced).
  using NamedLineHook = std::function<void(const CLine&, bool added)>;
  void SetCrossNameNotify(NamedLineHook hook) { crossNameHook_ = std::move(hook); }

  // --- connectivity (defined in core/net/; see core/net/connectivity.h) ---
  // Appends the wire groups of this sheet to nets; 1 when cancelled, else 0.
  int CreateWireGroup(NetList& nets);
  // Adds the wire and every junction that lies on it to the group.
  void GetWireOnJuncPoint(const CLine& wire, CNet& group) const;
  // Counts items at a point: 1 wires hit, 7 junctions, 23 displayed part pins,
  // 32 wires with an end at the point; 0 for any other selector.
  int GetOnCount(CPoint p, int selector) const;
  // Whether a junction dot belongs at the point.
  bool CheckJunc(CPoint p, bool allowTwo) const;
  // Whether the point lies on a displayed pin of a part or a displayed free pin.
  bool CheckOnPin(CPoint p) const;
  // Cuts wires back to the pins they run along; deletes zero-length wires on
  // pins. The number of wires that lay on a pin (0: none).
  int CheckOnPin();
  // Recomputes the open-pin X marks (when the sheet's connectivity changed).
  void CalcPinOpen();
  // Highlights the wires of one net; returns their box. `names` receives the
  // names met (and gives the start names when byNames is set).
  CRect SetHighlight(CPoint p, std::vector<std::string>& names, bool byNames);
  void SetRecalcCrossNet(const CLine& wire);
  // Given a list whose first entry is a line, appends every other line of the
  // same kind and name, each followed by the first entry.
  void GetCrossNet(std::vector<const CLine*>& list) const;
  // Adds the pins of this sheet to the wire groups in nets (built by
  // CreateWireGroup on the same list); filePath is the sheet file's full path
  // and fileNo the sheet's number in the project, both recorded in each pin
  // entry. 1 when cancelled, else 0.
  int CreatePinGroup(NetList& nets, const std::string& filePath, int fileNo = 0);
  void CreatePinGroupHelper(NetList& nets, const CPart& part, const CPin& pin,
                            std::string_view name, const std::string& filePath, int fileNo = 0);
  // Merges nets: mode 1 within one sheet, mode 0 across the sheets of a
  // project. 1 when cancelled, else 0.
  static int NetCorrection(NetList& nets, int mode);
  // Sorts the entries of every net, then the nets. 1 when cancelled, else 0.
  static int SortNet(NetList& nets);

  // --- netlists (defined in core/net/) ---
  // Appends the component section of a netlist format for this (working)
  // sheet to `out`; true when cancelled. Sorts the parts by reference. The
  // first form takes the footprint property from the setting "Tool"/"PCB".
  bool NetWrite(int format, std::string& out);
  bool NetWrite(int format, std::string& out, const NetWriteOptions& options);
  // Records on the parts' pins the net names of the nets (the pin-level index
  // of the component-oriented formats); `flag` is the first number given to
  // unnamed nets. 1 when cancelled, else 0.
  int NetIndex(int format, const NetList& nets, int flag);

  // --- the sheet text form (defined in core/file/) ---
  // Writes the items when the archive is storing, reads them when loading.
  void SerializeText(CArchive& ar);
  // The Tango body: junctions, graphic lines, texts, parts, wires, buses
  // (arcs and free pins of the sheet are not exchanged).
  void SerializeTango(CArchive& ar) const;
  // The DXF entities of the sheet: junctions, graphic lines, free pins,
  // texts (their print text, with the macros of `doc` when given), arcs,
  // parts, wires, buses, each kind on its layer of `layers` (indexes as
  // DxfLayer), or all on layers[0] for a title-frame sheet.
  void SerializeDXF(CArchive& ar, const std::array<int, 9>& layers, bool markers,
                    const CSheetDoc* doc) const;

  // --- output (defined in core/file/ and core/pdf/) ---
  // The text's name with its macros replaced by the values of the document
  // that owns this sheet (and of the project, through the host): what every
  // output prints for a free text. The stored text keeps its macros.
  std::string GetPrintProperty(const CText& text, const CSheetDoc& doc) const;
  // Draws the sheet on a PDF page: all colours black unless `color`, the
  // lists under their display switches. `doc` (may be null) supplies the
  // macro values of the free texts.
  void SerializePDF(CPDFPage& page, int color, const CSheetDoc* doc = nullptr) const;

  // --- records ---
  // The sheet body of the sheet file.
  void DataWrite(CArchive& ar) const;
  // Appends what it reads (version from SetVersion); throws ArchiveError on bad data.
  void DataRead(CArchive& ar);

 private:
  // Bookkeeping of every item that enters or leaves the lists: the count,
  // and on the main sheet the open-pin mode and the named-line hook.
  void Added(const CObject& item);
  void Removed(const CObject& item);
  void Touched(const CObject& item, bool added);
  // Takes an item into its list (a line into the list its type selects).
  CLine& Adopt(std::unique_ptr<CLine> line);
  CJunc& Adopt(std::unique_ptr<CJunc> junc);
  CPin& Adopt(std::unique_ptr<CPin> pin);
  CText& Adopt(std::unique_ptr<CText> text);
  CArc& Adopt(std::unique_ptr<CArc> arc);
  CPart& Adopt(std::unique_ptr<CPart> part);
  // Removes the items of `list` whose flag is set; returns how many
  // (core/model/sheet_clean.cpp).
  template <class T>
  int EraseFlagged(ItemList<T>& list, const std::vector<bool>& gone);
  // The merge pass of CleanLine over one list.
  int CleanLineList(ItemList<CLine>& list, bool junctionRules);

  int sheetType_;
  int itemCount_ = 0;
  int version_ = 8;
  ItemList<CLine> wires_;
  ItemList<CLine> buses_;
  ItemList<CLine> lines_;
  ItemList<CArc> arcs_;
  ItemList<CJunc> juncs_;
  ItemList<CText> texts_;
  ItemList<CPin> pins_;
  ItemList<CPart> parts_;
  int calcOpenMode_ = 0;
  NamedLineHook crossNameHook_;
};

}  // namespace tavro
