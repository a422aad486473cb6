// CText: every piece of text in a drawing (free texts, the attribute and extra
// texts of parts, pin names and numbers, wire and bus names). A text carries a
// CP932 string, an anchor point, a height, an attribute word (alignment,
// direction, selection, own font, print and display flags, frame style), an
// optional own font record and two cached rectangles: the box of the text and
// the box of the text with its frame.
//
// String conventions:
//  - "\n" (backslash, n) breaks a text into lines; "\\n" does not.
//  - A property text reads "&NAME&value[&value...]"; a literal "&" is "\&".
//    A property whose first value equals its name (ignoring case) shows its
//    last value (a display property).
//  - The digits at the end (before one trailing "~" overline marker) form the
//    text's number; full-width digits count when the last character is
//    double-byte.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/geometry.h"
#include "core/model/object.h"
#include "core/platform/font.h"

namespace tavro {

class CArchive;
class CPDFPage;

// Bits of a text's attribute word.
inline constexpr uint32_t kTextOrgMask = 0x7F;        // alignment code (TextOrg)
inline constexpr uint32_t kTextDirMask = 0x380;       // direction: 0x000, 0x100, 0x200, 0x300
inline constexpr uint32_t kTextSelected = 0x400;      // run-time selection (stored as it stands)
inline constexpr uint32_t kTextOwnFont = 0x2000;      // the text has its own font record
inline constexpr uint32_t kTextNoPrint = 0x4000;      // not printed
inline constexpr uint32_t kTextHidden = 0x8000;       // not displayed
inline constexpr uint32_t kTextFrameMask = 0x1F0000;  // frame style code

// Frame style codes (bits 16-20 of the attribute word).
inline constexpr uint32_t kFrameNone = 0;
inline constexpr uint32_t kFrameBox = 0x10000;
inline constexpr uint32_t kFrameBox2 = 0x20000;
inline constexpr uint32_t kFrameInOut = 0x30000;
inline constexpr uint32_t kFrameIn = 0x40000;
inline constexpr uint32_t kFrameOut = 0x50000;
inline constexpr uint32_t kFrameParallel = 0x60000;
inline constexpr uint32_t kFrameDiamond = 0x70000;
inline constexpr uint32_t kFrameRound = 0x80000;
inline constexpr uint32_t kFrameRound2 = 0x90000;
inline constexpr uint32_t kFrameRound3 = 0xA0000;
inline constexpr uint32_t kFrameUnderline = 0xB0000;
inline constexpr uint32_t kFrameUnderline2 = 0xC0000;
inline constexpr uint32_t kFrameIn2 = 0xD0000;
inline constexpr uint32_t kFrameOut2 = 0xE0000;

// One frame style as the frame selector lists it.
struct TextFrameStyle {
  std::string_view name;  // CP932
  uint32_t code;
  int bitmap;  // resource id of its picture
};
// The frame styles in the order of the frame selector.
const std::array<TextFrameStyle, 15>& TextFrameStyles();

// Text height limits and step (mils).
inline constexpr int kTextDefaultSize = 70;
inline constexpr int kTextMinSize = 20;
inline constexpr int kTextMaxSize = 300;
inline constexpr int kTextSizeStep = 5;

class CText : public CObject {
 public:
  CText();
  CText(std::string name, CPoint point, int size, uint32_t attr);
  // Parses a text line as SetName(const char*) does.
  explicit CText(const char* line);
  CText(const CText&) = default;
  CText& operator=(const CText&) = default;
  CText(CText&&) noexcept = default;
  CText& operator=(CText&&) noexcept = default;
  const char* GetRuntimeClass() const override { return "CText"; }

  // --- accessors ---
  const std::string& GetName() const { return name_; }
  int GetLength() const { return static_cast<int>(name_.size()); }
  bool IsEmpty() const { return name_.empty(); }
  CPoint GetPoint() const { return point_; }
  int GetSize() const { return size_; }
  uint32_t GetAttr() const { return attr_; }
  int GetOrg() const { return static_cast<int>(attr_ & kTextOrgMask); }
  int GetDir() const { return static_cast<int>(attr_ & kTextDirMask); }
  uint32_t GetFrame() const { return attr_ & kTextFrameMask; }
  bool IsTextSel() const { return (attr_ & kTextSelected) != 0; }
  bool HasOwnFont() const { return (attr_ & kTextOwnFont) != 0; }
  bool IsPrint() const { return (attr_ & kTextNoPrint) == 0; }
  const LogFont& GetFont() const { return font_; }
  const CRect& GetTextBoundingRect() const { return textRect_; }
  const CRect& GetFrameBoundingRect() const { return frameRect_; }

  // --- setters (each recomputes the rectangles unless said) ---
  void SetName(const std::string& name);
  void SetName(const std::string& name, CPoint point, int size, uint32_t attr);
  // A text line: "\"name\" x y size attr" (the name between the first and the
  // last double quote; missing numbers keep their values), or, without a
  // double quote, the whole line as the name. An empty line changes nothing.
  void SetName(const char* line);
  // A font line (only for a text with its own font): "\"face\" width
  // escapement orientation weight style charset outPrecision clipPrecision
  // quality pitchAndFamily" (style: 1 strike-out, 2 underline, 4 italic), or a
  // bare face name.
  void SetFont(const char* line);
  void SetFont(const LogFont& font);
  void SetSize(int size);
  void SetAngle(uint32_t attr);  // replaces the whole attribute word
  void ModifyAngle(uint32_t set, uint32_t clear);
  void SetPoint(CPoint point);  // moves both rectangles along; no recomputation
  // Alignment of a non-empty displayed text; keypad codes 97-105 are mapped.
  void SetOrg(int org);
  // Grows (dir >= 1) or shrinks the height by 5 within 20..300 (non-empty
  // displayed texts); true when the height changed.
  bool ChangeSize(int dir);
  void Disp(int on);
  bool IsDisp() const;
  void Print(int on);
  // Selects a non-empty displayed text whose box meets r; true when selected.
  bool SetTextSel(const CRect& r);
  void ResetTextSel() { attr_ &= ~kTextSelected; }
  // Stores this text's look as the defaults of new texts (section "Text")
  // when "Remember Attr" is set.
  void SetAttribute() const;

  // Steps the frame style of a non-empty, selected, displayed text through the
  // selector's order (dir 0 forward, otherwise backward, wrapping); true when
  // it changed. A code not in the table is left alone.
  bool FrameChange(int dir);

  // 1 + the number of unescaped line breaks.
  int CalcLines() const;

  // --- property texts ---
  // The number of values of a property text, 0 for other texts.
  int IsProperty() const;
  std::string GetPropertyName() const;
  // Value n (1-based, "\&" unescaped); 0 is the last value; "" beyond the count.
  std::string GetPropertyVal(int n = 1) const;
  bool IsDispProperty() const;
  // "&name&value" (value with "&" escaped), hidden.
  void SetProperty(std::string_view name, std::string_view value);
  // Replaces value n (0: the last, after the name for a display property);
  // beyond the count, empty values are added up to n - 1. False for a text that
  // is not a property text.
  bool SetPropertyVal(std::string_view value, int n);
  // What the text shows: the last value of a display property, else the name.
  std::string GetDispString() const;

  // --- trailing numbers ---
  // Adds step to the trailing number (or appends step when there is none and
  // step > 0); true when the name changed.
  bool IncName(int step);
  // Rewrites the trailing number with at least len digits (or appends len
  // zeros); true when the name changed.
  bool SetNumberLen(int len);
  // Count of trailing digits; -1 for an empty text.
  int GetNumberLen() const;

  // --- search and comparison ---
  // The anchor point when the text matches; without matchCase the text is
  // compared upper-cased. Hidden texts match only with includeHidden.
  std::optional<CPoint> Find(std::string_view pattern, bool matchCase, bool whole,
                             bool includeHidden) const;
  bool operator==(const CText& o) const;
  bool operator!=(const CText& o) const { return !(*this == o); }
  // Sort order: larger y first, then smaller x.
  bool operator<(const CText& o) const;

  // --- geometry ---
  // Moves a non-empty text and its boxes.
  void Offset(CPoint d);
  // Offset, RotateText, MirrorXText and MirrorYText act on selected texts only.
  void OffsetAttr(CPoint d);
  // Quarter turn of the anchor (dir != 0 counter-clockwise). Texts stay at
  // 0x000 / 0x100: 0x000 turns to 0x100 (dir != 0) and 0x100 to 0x000
  // (dir == 0); the turn that would put a text upside down flips the
  // alignment instead (adjust), or leaves the direction alone (no adjust).
  // Other directions are kept.
  void Rotate(CPoint center, int dir, bool adjust = true);
  // Quarter turn through all four directions, alignment unchanged.
  void RotateA(CPoint center, int dir);
  // Mirror of the anchor; with adjust the alignment swaps sides so that the
  // text stays on the mirrored side (left/right for horizontal texts in x and
  // for texts reading up in y, top/bottom otherwise).
  void MirrorX(CPoint center, bool adjust = true);
  void MirrorY(CPoint center, bool adjust = true);
  void RotateText(CPoint center, int dir, bool adjust = true);
  void MirrorXText(CPoint center, bool adjust = true);
  void MirrorYText(CPoint center, bool adjust = true);
  // Text and frame box of a non-empty displayed text, else empty.
  CRect GetBoundingRect() const;
  void CalcBoundRect();
  // Sets the text box to `box` (computed by the owner, as for a part's frame
  // property) and the frame box to it with the margins of the frame style.
  void SetBoundRect(const CRect& box);

  // --- the sheet text form ---
  // Writes the text line (with "Text " in front when withPrefix) and, for a
  // text with its own font, the font line.
  // --- the Tango exchange (core/file/tango_write.cpp) ---
  // The attribute tail of a Tango record: "\"name\" x y code 0 visibility\n".
  std::string ConvTangoString() const;
  // Justification (from the alignment) x 16 + quarter turns.
  int GetTangoAngle() const;
  // "TEXT size tail" (nothing for an empty or property text).
  void SerializeTango(CArchive& ar) const;

  // --- the DXF export (core/file/dxf_write.cpp) ---
  // TEXT entities on `layer`, one per line, and the frame outline (nothing
  // for an empty or hidden text; a display property writes its value).
  void SerializeDXF(CArchive& ar, int layer) const;
  // The outline of the frame style around `frame` as LINE and ARC entities.
  void SerializeDXFFrame(CArchive& ar, int layer, const CRect& frame) const;

  void SerializeText(CArchive& ar, bool withPrefix) const;

  // --- output ---
  // Draws the text (its lines, overlines and frame) on a PDF page in the
  // page's fill colour; SerializePDFFrame draws only the frame outline of
  // the frame rectangle.
  void SerializePDF(CPDFPage& page) const;
  void SerializePDFFrame(CPDFPage& page, const CRect& frame) const;

  // --- records ---
  void DataWrite(CArchive& ar) const;
  void DataRead(CArchive& ar, int version);
  // The text line of the sheet text form without prefix and line end:
  // "\"name\" x y size attr".
  std::string TextLine() const;
  // The font line without "Font " and line end: "\"face\" width escapement
  // orientation weight style charset outPrecision clipPrecision quality
  // pitchAndFamily".
  std::string FontLine() const;

 private:
  std::string name_;
  CPoint point_;
  int32_t size_ = kTextDefaultSize;
  LogFont font_;
  uint32_t attr_ = kOrgBottomLeft;
  CRect textRect_;
  CRect frameRect_;

  CRect MeasureLine(std::string_view line, CPoint at) const;
  CRect FrameOf(const CRect& text) const;
};

}  // namespace tavro
