// CSheetDoc: reading Tango schematic files (first line ";Tango").
//
// The file is read line by line in pieces of at most 127 bytes; each piece
// is tested against the record keywords by its first characters. Quoted
// strings are taken out of a line before its numbers are scanned (ATTR takes
// out two: the attribute's name, then its value). Numbers are scanned in
// order; when one does not scan, it and the ones after it keep the values of
// the record before, as a scanner over shared fields does. A PART or MODULE
// record opens the part that the following LINE, TEXT, ARC, PIN, PORT and
// RECTAN records fill, and PARTEND closes it; a pin, pin-number or
// attribute record with no open part or pin is ignored. Names of buses and
// graphic lines (attribute kind 3) are read as well as written.
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr size_t kTangoLine = 127;

// Takes the first quoted string out of `line` (with its quotes); empty when
// the line holds no pair of quotes.
std::string TakeQuoted(std::string& line) {
  const size_t open = line.find('"');
  if (open == std::string::npos) return {};
  const size_t close = line.find('"', open + 1);
  if (close == std::string::npos) return {};
  std::string s = line.substr(open + 1, close - open - 1);
  line.erase(open, close - open + 1);
  return s;
}

// A scanner over one line, after the C library's: a word ("%s"), then
// integers ("%d" / "%u": blanks, a sign and digits). The scan stops at the
// first field that does not match.
class Scan {
 public:
  explicit Scan(std::string_view s) : s_(s) {}
  bool Word() {
    if (failed_) return false;
    SkipBlanks();
    const size_t start = pos_;
    while (pos_ < s_.size() && !IsBlank(s_[pos_])) ++pos_;
    failed_ = pos_ == start;
    return !failed_;
  }
  // Reads an integer into `v` (unchanged when it does not scan).
  bool Int(int32_t& v) {
    if (failed_) return false;
    SkipBlanks();
    size_t p = pos_;
    bool negative = false;
    if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) negative = s_[p++] == '-';
    const size_t digits = p;
    int64_t n = 0;
    while (p < s_.size() && s_[p] >= '0' && s_[p] <= '9') {
      n = n * 10 + (s_[p] - '0');
      if (n > 0xFFFFFFFFLL) n = 0xFFFFFFFFLL;  // the C library saturates too
      ++p;
    }
    if (p == digits) {
      failed_ = true;
      return false;
    }
    pos_ = p;
    v = static_cast<int32_t>(static_cast<uint32_t>(negative ? -n : n));
    return true;
  }
  // Reads n integers into fields[0..n); stops at the first that does not scan.
  void Ints(int32_t* fields, int n) {
    for (int i = 0; i < n && Int(fields[i]); ++i) {
    }
  }
  // The characters after the blanks that follow, at most n of them.
  std::string_view Chars(size_t n) {
    if (failed_) return {};
    SkipBlanks();
    std::string_view r = s_.substr(pos_, std::min(n, s_.size() - pos_));
    pos_ += r.size();
    return r;
  }

 private:
  static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  void SkipBlanks() {
    while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
  }
  std::string_view s_;
  size_t pos_ = 0;
  bool failed_ = false;
};

// The alignment and direction bits of a justification-and-rotation code.
uint32_t TextAttrOfCode(int32_t code) {
  uint32_t org = 8;
  switch (code / 16) {
    case 1:
      org = 24;
      break;
    case 2:
      org = 0;
      break;
    case 4:
      org = 14;
      break;
    case 5:
      org = 30;
      break;
    case 6:
      org = 6;
      break;
    case 8:
      org = 10;
      break;
    case 9:
      org = 26;
      break;
    case 10:
      org = 2;
      break;
    default:
      break;
  }
  const int rotation = code % 16;
  const uint32_t dir = rotation >= 1 && rotation <= 3 ? static_cast<uint32_t>(rotation) << 8 : 0;
  return org | dir;
}

uint32_t PinTypeOfCode(int32_t code) {
  if (code >= 1 && code <= 6) return static_cast<uint32_t>(code);
  if (code == 7) return 15;
  if (code == 8) return 7;
  if (code == 9) return 8;
  return 0;
}

bool Starts(std::string_view line, std::string_view keyword) {
  return line.substr(0, keyword.size()) == keyword;
}

class TangoReader {
 public:
  TangoReader(CSheet& sheet, WorkSize* size) : sheet_(sheet), size_(size) {}

  void Read(CArchive& ar) {
    std::string line;
    while (ar.ReadLine(line, kTangoLine)) Take(line);
    Close();
  }

 private:
  void Take(std::string line) {
    if (Starts(line, "SHEET")) {
      Scan s(line);
      s.Word();
      s.Ints(n_.data(), 4);
      if (size_) *size_ = WorkSize{n_[2], n_[3]};
    } else if (Starts(line, "WIRE")) {
      ScanPoints(line);
      lastWire_ = &sheet_.NewWire(P(0), P(2));
    } else if (Starts(line, "LINE ")) {
      ScanPoints(line);
      NewLine(P(0), P(2));
    } else if (Starts(line, "BUS")) {
      ScanPoints(line);
      lastNamed_ = &sheet_.NewBus(P(0), P(2));
    } else if (Starts(line, "RECTAN ")) {
      ScanPoints(line);
      Rectangle(P(0), P(2), part_);
    } else if (Starts(line, "TEXT ")) {
      ReadText(line);
    } else if (Starts(line, "JUNC ")) {
      Scan s(line);
      s.Word();
      s.Ints(n_.data(), 2);
      sheet_.NewJunc(P(0));
    } else if (Starts(line, "ATTR ")) {
      ReadAttr(line);
    } else if (Starts(line, "PINDES")) {
      ReadPinNumber(line);
    } else if (Starts(line, "PIN ")) {
      ReadPin(line);
    } else if (Starts(line, "ARC")) {
      ReadArc(line);
    } else if (Starts(line, "PARTEND")) {
      Close();
    } else if (Starts(line, "PART ")) {
      ReadPart(line);
    } else if (Starts(line, "MODULE")) {
      ReadModule(line);
    } else if (Starts(line, "PORT")) {
      ReadPort(line);
    }
  }

  CPoint P(int i) const { return CPoint{n_[i], n_[i + 1]}; }

  void ScanPoints(const std::string& line) {
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 4);
  }

  void NewLine(CPoint a, CPoint b) {
    if (part_)
      part_->NewLine(a, b);
    else
      lastNamed_ = &sheet_.NewLine(a, b);
  }

  void Rectangle(CPoint a, CPoint b, CPart* part) {
    const CPoint corners[4] = {a, {b.x, a.y}, b, {a.x, b.y}};
    for (int i = 0; i < 4; ++i) {
      if (part)
        part->NewLine(corners[i], corners[(i + 1) % 4]);
      else
        sheet_.NewLine(corners[i], corners[(i + 1) % 4]);
    }
  }

  void ReadText(std::string line) {
    const std::string name = TakeQuoted(line);
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 4);  // size, x, y, code
    if (name.empty()) return;
    const uint32_t attr = TextAttrOfCode(n_[3]);
    const CPoint at{n_[1], n_[2]};
    if (part_)
      part_->NewText(name, at, n_[0], attr);
    else
      sheet_.NewText(name, at, n_[0], attr);
  }

  // A text of an attribute record, placed and shown as the record says.
  static void Place(CText& text, const std::string& value, CPoint at, int32_t code, bool shown) {
    text.SetName(value);
    text.SetPoint(at);
    text.SetAngle((text.GetAttr() & ~(kTextOrgMask | kTextDirMask | kTextHidden)) |
                  TextAttrOfCode(code) | (shown ? 0 : kTextHidden));
    text.CalcBoundRect();
  }

  void ReadAttr(std::string line) {
    const std::string name = TakeQuoted(line);
    const std::string value = TakeQuoted(line);
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 6);  // kind, x, y, code, -, visibility
    const int32_t kind = n_[0];
    const CPoint at{n_[1], n_[2]};
    const int32_t code = n_[3];
    const bool shown = (n_[5] & 2) != 0;
    const uint32_t hidden = shown ? 0 : kTextHidden;
    const Settings& settings = AppSettings();
    switch (kind) {
      case 9:
        if (!part_) return;
        if (name == "DESIGNATOR")
          part_->SetRefName(value, at, TextAttrOfCode(code) | hidden);
        else if (name == "TYPE")
          part_->SetPartName(value, at, TextAttrOfCode(code) | hidden);
        else if (name == "VALUE")
          part_->SetValue(value, at, TextAttrOfCode(code) | hidden);
        else
          part_->NewText(value, at, 50, TextAttrOfCode(code) | hidden);
        break;
      case 8:
        if (!part_) return;
        if (name == "NAME") {
          part_->SetPartName(value, at, TextAttrOfCode(code) | hidden);
        } else if (name == "DESIGNATOR") {
          part_->SetRefName(value, at, TextAttrOfCode(code) | hidden);
        } else if (name == "FILE") {
          part_->NewText("&FILE&" + ReplaceAll(value, "\\\\", "\\"), at, 50,
                         TextAttrOfCode(code) | hidden);
        }
        part_->CalcBoundRect();
        break;
      case 14:
        if (!pin_) return;
        if (name == "DESIGNATOR") Place(pin_->NoText(), value, at, code, shown);
        if (name == "NAME") Place(pin_->NameText(), value, at, code, shown);
        if (part_) part_->CalcBoundRect();
        break;
      case 10:
        if (pin_) Place(pin_->NameText(), value, at, code, shown);
        break;
      case 20:
        if (lastWire_ && name == "NAME") {
          CText& t = lastWire_->NameText();
          t.SetSize(settings.GetInt("Default", "WireAttrHeight"));
          Place(t, value, at, code, shown);
        }
        break;
      case 3:
        // The name of a bus or of a graphic line of the sheet, as the export
        // writes it, so that it comes back.
        if (lastNamed_ && name == "NAME") {
          CText& t = lastNamed_->NameText();
          t.SetSize(settings.GetInt("Default", lastNamed_->GetLineType() == kLineBus
                                                   ? "BusAttrHeight"
                                                   : "LineAttrHeight"));
          Place(t, value, at, code, shown);
        }
        break;
      default:
        break;
    }
  }

  void ReadPin(const std::string& line) {
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 4);
    const std::string flags(s.Chars(18));
    Scan f(flags);
    f.Ints(f_.data(), 8);
    if (!part_) return;
    uint32_t elect = PinTypeOfCode(f_[0]);
    if (f_[2] >= 1 && f_[2] <= 3) elect |= static_cast<uint32_t>(f_[2]) * 0x10;
    if (f_[3] >= 1 && f_[3] <= 6) elect |= static_cast<uint32_t>(f_[3]) * 0x80;
    if (f_[4] != 0) elect |= kPinClock;
    if (f_[5] >= 1 && f_[5] <= 6) elect |= static_cast<uint32_t>(f_[5]) * 0x400;
    if (f_[5] >= 8 && f_[5] <= 12) elect |= static_cast<uint32_t>(f_[5] - 1) * 0x400;
    if (f_[6] != 0) elect |= kPinHidden;
    pin_ = &part_->NewPin(P(0), P(2), elect);
  }

  void ReadPinNumber(std::string line) {
    const std::string number = TakeQuoted(line);
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 6);  // unit, x, y, code, -, visibility
    if (!pin_) return;
    Place(pin_->NoText(), number, CPoint{n_[1], n_[2]}, n_[3], (n_[5] & 2) != 0);
  }

  void ReadArc(const std::string& line) {
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 5);  // x, y, radius, start, sweep
    if (!part_ || n_[2] < 0) return;
    part_->NewArc(P(0), static_cast<unsigned>(n_[2]), n_[3], n_[3] + n_[4], 0);
  }

  void ReadPart(const std::string& line) {
    Close();
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 15);
    uint32_t attr = 0;
    if (n_[14] != 0) attr |= 0x80;
    if (n_[9] != 0) attr |= 0x20;
    if (n_[10] == 1) attr |= 0x01;
    if (n_[10] == 2) attr |= 0x02;
    if (n_[12] != 0) attr |= 0x40;
    // The rotation in degrees and, after it, the mirroring (1 in x, 2 in y,
    // 3 both), as the export writes them.
    uint32_t angle = 0;
    switch (n_[6]) {
      case 90:
        angle = 0x100;
        break;
      case 180:
        angle = 0x200;
        break;
      case 270:
        angle = 0x300;
        break;
      default:
        break;
    }
    if (n_[7] & 1) angle |= 0x1000;
    if (n_[7] & 2) angle |= 0x2000;
    CPart part(P(0), P(2), P(4), static_cast<unsigned>(n_[8]), static_cast<unsigned>(n_[13]), 0,
               static_cast<unsigned char>(attr));
    part.SetAngle(angle);
    part_ = &sheet_.NewPart(part);
  }

  void ReadModule(const std::string& line) {
    Close();
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 5);
    CPart part(P(0), P(0), P(2), 0, 0, 0, 0);
    part_ = &sheet_.NewPart(part);
    Rectangle(P(0), P(2), part_);
  }

  void ReadPort(const std::string& line) {
    Scan s(line);
    s.Word();
    s.Ints(n_.data(), 5);  // x, y, type, direction, -
    if (!part_) return;
    const CPoint at = P(0);
    CPoint end{at.x + 150, at.y};
    if (n_[3] == 1) end = CPoint{at.x - 150, at.y};
    if (n_[3] == 2) end = CPoint{at.x, at.y - 150};
    if (n_[3] == 3) end = CPoint{at.x, at.y + 150};
    pin_ = &part_->NewPin(at, end, PinTypeOfCode(n_[2]));
  }

  void Close() {
    if (part_) part_->CalcBoundRect(true);
    part_ = nullptr;
    pin_ = nullptr;
  }

  CSheet& sheet_;
  WorkSize* size_;
  CPart* part_ = nullptr;
  CPin* pin_ = nullptr;
  CLine* lastWire_ = nullptr;
  CLine* lastNamed_ = nullptr;  // the last bus or graphic line of the sheet
  // The scanned fields, shared by the records as they follow one another.
  std::array<int32_t, 16> n_{};
  std::array<int32_t, 8> f_{};
};

}  // namespace

DocStatus CSheetDoc::ReadTango(std::string_view data, const std::string& /*name*/, CSheet& into,
                               WorkSize* size) {
  CArchive ar(data);
  TangoReader(into, size).Read(ar);
  return {};
}

}  // namespace tavro
