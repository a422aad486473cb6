// The fields of the attribute editors behind 修正 (ライン編集, ピン編集,
// 文字編集, 部品編集, 部品属性編集), read from an item and written back to
// it. The dialogs only show and collect these values; everything an editor
// does to the item is here, without widgets.
//
// Writing fields back changes only what differs from the item, so an editor
// confirmed without a change leaves the item byte for byte as it was. A name
// or number typed into a text that was empty gets the place and height a new
// text of that kind would get (an empty text has no meaningful place).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/text.h"
#include "core/platform/font.h"

namespace tavro::gui {

// ---- ライン編集: wires, buses and graphic lines ----
struct LineFields {
  std::string name;  // CP932
  bool nameShown = true;
  int style = 0;            // line style code (type bits 0xE00 >> 9): 0 solid ... 4 dash-dot-dot
  bool power = false;       // power wire (wires only)
  bool startArrow = false;  // arrowheads (graphic lines only)
  bool endArrow = false;
  bool operator==(const LineFields&) const = default;
};
LineFields ReadLineFields(const CLine& line);
void ApplyLineFields(CLine& line, const LineFields& f);

// The line styles of the style list, in code order (UTF-8 names).
inline constexpr const char* kLineStyleNames[] = {"実線", "点線", "破線", "一点鎖線", "二点鎖線"};
// Arrowhead length given to an end that gets an arrow.
inline constexpr int kNewArrowLength = 100;

// ---- ピン編集: free pins and the pins of a part ----
struct PinFields {
  std::string number;  // CP932
  std::string name;    // CP932
  int type = kPinPassive;
  bool dot = false;
  bool clock = false;
  bool shown = true;
  int length = 0;
  bool numberShown = true;
  bool nameShown = true;
  bool operator==(const PinFields&) const = default;
};
PinFields ReadPinFields(const CPin& pin);
void ApplyPinFields(CPin& pin, const PinFields& f);

// The electrical types the type list offers: every code that has a name,
// in code order.
struct PinTypeName {
  int code;
  const char* name;
};
std::vector<PinTypeName> PinTypeNames();

// Pin lengths the editor accepts (mils). A pin of length 0 would lose its
// direction.
inline constexpr int kPinMinLength = 10;
inline constexpr int kPinMaxLength = 10000;

// ---- 文字編集: free texts ----
struct TextFields {
  std::string text;  // CP932
  int org = kOrgBottomLeft;
  bool shown = true;
  int dir = 0;  // direction bits 0x000, 0x100, 0x200, 0x300
  int height = kTextDefaultSize;
  uint32_t frame = kFrameNone;
  bool printed = true;
  bool ownFont = false;
  LogFont font;  // meaningful with ownFont
  bool operator==(const TextFields&) const = default;
};
TextFields ReadTextFields(const CText& text);
void ApplyTextFields(CText& text, const TextFields& f);

// Alignment codes from the two rows of choices (h: 0 left, 1 centre,
// 2 right; v: 0 top, 1 middle, 2 bottom), and back; false for a code that is
// not one of the nine.
int OrgCode(int h, int v);
bool SplitOrg(int org, int& h, int& v);

// ---- 部品編集: placed parts and library gates ----
struct PartFields {
  std::string name;   // CP932
  std::string value;  // CP932
  std::string ref;    // CP932
  unsigned unit = 0;
  unsigned units = 0;
  bool inverted = false;
  bool operator==(const PartFields&) const = default;
};
PartFields ReadPartFields(const CPart& part);
// Sets the fields and, when one changed, recomputes the part's box.
void ApplyPartFields(CPart& part, const PartFields& f);

// ---- 部品属性編集: the property texts of a part ----
struct PartProperty {
  size_t text = 0;  // position in the part's extra texts
  std::string name;
  std::string value;     // the last value, "&" unescaped
  bool display = false;  // a display property ("[NAME]")
};
std::vector<PartProperty> PartProperties(const CPart& part);
// 追加変更: the property of that name (ignoring case) and kind gets the
// value; without one a new property text is added at the part's origin
// (hidden, or shown for a display property). Returns the text's position.
size_t SetPartProperty(CPart& part, std::string_view name, std::string_view value, bool display);
// 削除: removes the property text at `text`; false when that is no property.
bool RemovePartProperty(CPart& part, size_t text);
// Why a property name cannot be stored ("" when it can; UTF-8).
std::string PropertyNameProblem(std::string_view name);
// 参照: the value naming a chosen file (UTF-8 path) seen from the sheet file
// at sheetPath: the absolute path, or with relative (絶対パス off) the path
// relative to the sheet's folder. A sheet without a file gets the absolute
// path. CP932.
std::string PropertyFileValue(const std::string& file, const std::string& sheetPath, bool absolute);

}  // namespace tavro::gui
