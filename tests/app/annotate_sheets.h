// Small sheets for the numbering and Was-Is tests, written in the sheet text
// form: each part a 200 x 200 box with two pins, so its centre is its origin.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/file/document.h"
#include "core/platform/codec.h"

namespace tavro::test {

struct PartSpec {
  PartSpec() = default;
  PartSpec(int px, int py, std::string r, std::string n = "R", std::string v = "", unsigned g = 1,
           unsigned gt = 0, std::string e = "")
      : x(px),
        y(py),
        ref(std::move(r)),
        name(std::move(n)),
        value(std::move(v)),
        gates(g),
        gate(gt),
        extra(std::move(e)) {}
  int x = 0, y = 0;
  std::string ref;
  std::string name = "R";
  std::string value;
  unsigned gates = 1;  // packageMax
  unsigned gate = 0;   // package
  std::string extra;   // an extra text ("&REFFORM&%03d"), "" for none
};

// A part in the text form (UTF-8 texts converted to CP932).
inline std::string PartText(const PartSpec& p) {
  const std::string x = std::to_string(p.x), y = std::to_string(p.y);
  std::string s = "Part " + x + " " + y + " " + std::to_string(p.x - 100) + " " +
                  std::to_string(p.y - 100) + " " + std::to_string(p.x + 100) + " " +
                  std::to_string(p.y + 100) + " " + std::to_string(p.gates) + " " +
                  std::to_string(p.gate) + " 0 0\n";
  s += "Name \"" + Utf8ToCp932(p.name) + "\" " + x + " " + std::to_string(p.y - 150) + " 65 8\n";
  if (!p.ref.empty())
    s += "Ref \"" + Utf8ToCp932(p.ref) + "\" " + x + " " + std::to_string(p.y + 150) + " 65 8\n";
  if (!p.value.empty())
    s += "Val \"" + Utf8ToCp932(p.value) + "\" " + x + " " + std::to_string(p.y - 250) + " 65 8\n";
  s += "Pin " + std::to_string(p.x - 100) + " " + y + " " + std::to_string(p.x - 50) + " " + y +
       " 0\n";
  s += "Pin " + std::to_string(p.x + 50) + " " + y + " " + std::to_string(p.x + 100) + " " + y +
       " 0\n";
  if (!p.extra.empty()) s += "Text \"" + Utf8ToCp932(p.extra) + "\" " + x + " " + y + " 65 32768\n";
  return s + "PartEnd\n";
}

inline std::string SheetText(const std::vector<PartSpec>& parts) {
  std::string s;
  for (const PartSpec& p : parts) s += PartText(p);
  return s;
}

// A document holding the parts.
inline CSheetDoc SheetDoc(const std::vector<PartSpec>& parts) {
  CSheetDoc d;
  d.LoadText(SheetText(parts), "test", false);
  return d;
}

// The references of a sheet's parts in list order (UTF-8).
inline std::vector<std::string> Refs(const CSheet& sheet) {
  std::vector<std::string> out;
  for (const auto& p : sheet.Parts()) out.push_back(Cp932ToUtf8(p->GetRefName()));
  return out;
}

}  // namespace tavro::test
