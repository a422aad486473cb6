// CSheet::SerializeText: the sheet text form of a whole sheet, the program's
// clipboard format and the readable form of test sheets and the demo.
//
// Writing lists wires, buses, graphic lines, junctions, free pins, free texts
// ("Text" records), arcs and parts, each line ended by a line feed.
//
// Reading takes one line at a time (a line ends at LF, CR or CR LF, or at a
// zero byte, which also ends the input) and looks at its first characters,
// without regard to case. Record lines become items (see
// sheet_text_items.cpp); "Name", "Ref", "Val", "No", "NetIndex" and "Font"
// lines dress the item or text before them; any other non-empty line becomes
// a free text at x = 0, one grid pitch below the one before, so that plain
// text pastes as a column of texts. One line is at most kMaxTextFormLine
// bytes; the rest of a longer line is read as further lines. A text made from
// a plain line holds at most kMaxPlainText bytes (see sheet_text.h).
#include "core/file/sheet_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/file/archive.h"
#include "core/model/sheet.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// True when `line` begins with `keyword` (compared without regard to case).
bool Starts(std::string_view line, std::string_view keyword) {
  return line.size() >= keyword.size() && EqualNoCase(line.substr(0, keyword.size()), keyword);
}

// The reader's state: the open part, the last item and the last text.
class TextFormReader {
 public:
  explicit TextFormReader(CSheet& sheet) : sheet_(sheet) {}

  void Read(CArchive& ar) {
    std::string line;
    while (ar.ReadLine(line, kMaxTextFormLine)) Take(line);
    ClosePart();
  }

 private:
  void Take(const std::string& line) {
    const std::string_view s = line;
    if (Starts(s, "Font ")) {
      if (lastText_) lastText_->SetFont(line.c_str() + 5);
      lastText_ = nullptr;
      return;
    }
    // Only the text of the line just before takes a font line.
    lastText_ = nullptr;
    if (Starts(s, "Line ")) {
      CLine l(line.c_str());
      CLine& added = part_ ? part_->NewLine(l) : sheet_.NewLine(l);
      SetLast(&added, nullptr);
    } else if (Starts(s, "Junc ")) {
      SetLast(nullptr, nullptr);
      sheet_.NewJunc(CJunc(line.c_str()));
    } else if (Starts(s, "PartEnd")) {
      // A stray end outside a part has nothing to close.
      ClosePart();
    } else if (Starts(s, "Part ")) {
      // A part without its end is closed by the next one.
      ClosePart();
      part_ = &sheet_.NewPart(CPart(line.c_str()));
    } else if (Starts(s, "Pin ")) {
      CPin p(line.c_str());
      CPin* added;
      if (part_) {
        added = &part_->NewPin(p);
      } else {
        // A free pin is always pasted visible.
        p.ModifyElect(0, kPinHidden);
        added = &sheet_.NewPin(p);
      }
      SetLast(nullptr, added);
    } else if (Starts(s, "Name ")) {
      const char* rest = line.c_str() + 5;
      if (lastLine_) {
        lastLine_->SetName(rest);
        lastText_ = &lastLine_->NameText();
      } else if (lastPin_) {
        lastPin_->SetName(rest);
        lastText_ = &lastPin_->NameText();
      } else if (part_) {
        part_->SetPartName(rest);
        lastText_ = &part_->PartNameText();
      }
    } else if (Starts(s, "Ref ")) {
      if (part_) {
        part_->SetRefName(line.c_str() + 4);
        lastText_ = &part_->RefNameText();
      }
    } else if (Starts(s, "Val ")) {
      if (part_) {
        part_->SetValue(line.c_str() + 4);
        lastText_ = &part_->ValNameText();
      }
    } else if (Starts(s, "No ")) {
      if (lastPin_) {
        lastPin_->SetNo(line.c_str() + 3);
        lastText_ = &lastPin_->NoText();
      }
    } else if (Starts(s, "Arc ")) {
      SetLast(nullptr, nullptr);
      const CArc a(line.c_str());
      if (part_) {
        part_->NewArc(a);
      } else {
        sheet_.NewArc(a);
      }
    } else if (Starts(s, "Text ")) {
      CText t(line.c_str() + 5);
      if (t.IsEmpty()) return;
      if (part_) {
        lastText_ = &part_->NewText(t);
      } else {
        t.ModifyAngle(0, kTextHidden);
        lastText_ = &sheet_.NewText(t);
      }
    } else if (Starts(s, "NetIndex ")) {
      if (lastLine_ && !lastLine_->GetName().empty()) {
        lastLine_->SetCrossName(line.c_str() + 9);
        lastText_ = &lastLine_->CrossNameText();
      }
    } else if (!line.empty()) {
      PlainText(line);
    }
  }

  // Every other line: a text at x = 0 below the one before.
  void PlainText(std::string_view line) {
    const int height = AppSettings().GetInt("Default", "Text Height");
    while (!line.empty()) {
      // Cut at a character boundary within the bound.
      size_t n = 0;
      while (n < line.size() && n + CharLen(line, n) <= kMaxPlainText) n += CharLen(line, n);
      if (n == 0) n = std::min(line.size(), kMaxPlainText);
      sheet_.NewText(std::string(line.substr(0, n)), {0, static_cast<int32_t>(y_)}, height,
                     kOrgBottomLeft);
      y_ = std::max<int64_t>(y_ - Pitch(height), std::numeric_limits<int32_t>::min());
      line.remove_prefix(n);
    }
  }

  // The grid step, raised in whole steps until it is at least the text height.
  static int64_t Pitch(int height) {
    const int64_t grid = CurrentHost().GridStep();
    if (grid <= 0) return std::max(height, 1);
    const int64_t steps = height > grid ? (height + grid - 1) / grid : 1;
    return grid * steps;
  }

  void SetLast(CLine* line, CPin* pin) {
    lastLine_ = line;
    lastPin_ = pin;
  }

  void ClosePart() {
    if (part_) part_->CalcBoundRect();
    part_ = nullptr;
    SetLast(nullptr, nullptr);
  }

  CSheet& sheet_;
  CPart* part_ = nullptr;
  CLine* lastLine_ = nullptr;
  CPin* lastPin_ = nullptr;
  CText* lastText_ = nullptr;
  int64_t y_ = 0;
};

}  // namespace

void CSheet::SerializeText(CArchive& ar) {
  if (ar.IsLoading()) {
    TextFormReader(*this).Read(ar);
    return;
  }
  for (const auto& l : wires_) l->SerializeText(ar);
  for (const auto& l : buses_) l->SerializeText(ar);
  for (const auto& l : lines_) l->SerializeText(ar);
  for (const auto& j : juncs_) j->SerializeText(ar);
  for (const auto& p : pins_) p->SerializeText(ar);
  for (const auto& t : texts_) t->SerializeText(ar, true);
  for (const auto& a : arcs_) a->SerializeText(ar);
  for (const auto& p : parts_) p->SerializeText(ar);
}

}  // namespace tavro
