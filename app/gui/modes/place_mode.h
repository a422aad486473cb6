// The modes that place one item that follows the pointer: text (文字), pin
// (ピン) and part (部品). Each keeps the item being placed with its anchor on
// the pointer; R turns it a quarter about the anchor, X and Y mirror it; a
// click puts a copy into the sheet and the item stays on the pointer for the
// next one (stepped as the copy increment says). Escape drops the item, and
// ends the mode when nothing is being placed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/gui/modes/input_mode.h"
#include "core/model/sheet.h"

namespace tavro::gui {

// 文字: a click on a free text takes it (its string and attributes) to place
// copies; a click elsewhere asks for the text. Keys 1 to 9 set the alignment
// (the keypad layout: 7 top left ... 3 bottom right).
class TextMode : public InputMode {
 public:
  explicit TextMode(ModeAdapter& adapter);
  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer& p) override;
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  const CSheet* Preview() const override { return Busy() ? &preview_ : nullptr; }
  bool Busy() const override { return text_ != nullptr; }
  const CText* Text() const { return text_.get(); }

 private:
  void Follow(CPoint at);
  std::unique_ptr<CText> text_;
  CSheet preview_{kSheetScratch};
};

// ピン: a click on an empty place starts a free pin of the stored length and
// type ("Default": "Pin Length", "Pin Electric Type") whose connection point
// is on the pointer; C toggles the clock mark, D the inversion dot. Each pin
// placed steps the number (and name) as the copy increment says.
class PinMode : public InputMode {
 public:
  explicit PinMode(ModeAdapter& adapter);
  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer& p) override;
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  const CSheet* Preview() const override { return Busy() ? &preview_ : nullptr; }
  bool Busy() const override { return pin_ != nullptr; }
  const CPin* Pin() const { return pin_.get(); }

 private:
  void Follow(CPoint at);
  std::unique_ptr<CPin> pin_;
  CSheet preview_{kSheetScratch};
};

// 部品: a click on a part takes a copy of it to place; a click elsewhere asks
// for a package, found along the library list, and places its first unit.
// N takes the next unit of the package, I the unit's other logical form.
class PartMode : public InputMode {
 public:
  explicit PartMode(ModeAdapter& adapter);
  ModeAnswer Press(const ModePointer& p) override;
  ModeAnswer Move(const ModePointer& p) override;
  ModeAnswer Key(int key, const ModePointer& p) override;
  std::string Prompt() const override;
  const CSheet* Preview() const override { return Busy() ? &preview_ : nullptr; }
  bool Busy() const override { return part_ != nullptr; }
  const CPart* Part() const { return part_.get(); }
  // Starts placing a package's unit (the gates in package order).
  void Take(const CSheet& gates, size_t unit, CPoint at);

 private:
  void Follow(CPoint at);
  std::unique_ptr<CPart> part_;
  CSheet gates_{kSheetScratch};  // the package of the part, when known
  CSheet preview_{kSheetScratch};
};

// The free text at a point (its box grown by `tol`); nullptr when none.
const CText* TextAt(const CSheet& sheet, CPoint p, int tol);
// The part at a point (its body box grown by `tol`); nullptr when none.
const CPart* PartAt(const CSheet& sheet, CPoint p, int tol);

}  // namespace tavro::gui
