#include "app/setting_meaning.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/file/document.h"
#include "core/model/pin.h"
#include "core/net/netlist_format.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// How the values of a setting read.
enum class Kind {
  kChoice,     // a code 0..n-1 naming one of `choices`
  kRange,      // a number from `min` to `max`
  kPaper,      // a sheet size code
  kNetType,    // a position in the netlist dialog's format list
  kPinType,    // a pin's electrical type
  kDirection,  // text direction bits
  kColor,      // "%ld %d": colour and visibility
  kRgb,        // a colour 0x00BBGGRR
  kFindBits,   // the bit mask of the items find searches
};

struct Meaning {
  const char* section;
  const char* key;  // nullptr: every key of the section
  Kind kind;
  std::vector<const char*> choices = {};
  long min = 0, max = 0;
};

const std::vector<Meaning>& Meanings() {
  static const std::vector<Meaning> table = {
      {"Sheet", "Scroll", Kind::kChoice, {"favours speed", "favours drawing"}},
      {"Sheet", "AttrMove", Kind::kChoice, {"plain", "on the sub grid", "with the grid off"}},
      {"Sheet", "Cursor", Kind::kChoice, {"arrow", "cross", "full-window cross hair"}},
      {"Sheet", "Work", Kind::kPaper},
      {"Color", "Cursor", Kind::kRgb},
      {"Color", nullptr, Kind::kColor},
      {"Default", "Text H Base", Kind::kChoice, {"left", "centre", "right"}},
      {"Default", "Text V Base", Kind::kChoice, {"top", "centre", "bottom"}},
      {"Default", "Text Direction", Kind::kDirection},
      {"Default", "Pin Electric Type", Kind::kPinType},
      {"Text", "Text H Base", Kind::kChoice, {"left", "centre", "right"}},
      {"Text", "Text V Base", Kind::kChoice, {"top", "centre", "bottom"}},
      {"Text", "Text Direction", Kind::kDirection},
      {"Line", "WireLockMode", Kind::kChoice, {"free", "90°", "45°"}},
      {"Line", "BusLockMode", Kind::kChoice, {"free", "90°", "45°"}},
      {"Line", "LineLockMode", Kind::kChoice, {"free", "90°", "45°"}},
      {"Line", "ArcLockMode", Kind::kChoice, {"free", "15°", "45°"}},
      {"FileSave",
       "FileUpdate",
       Kind::kChoice,
       {"the automatic save overwrites the sheet file", "the automatic save goes to SaveFolder"}},
      {"FileSave", "UndoCount", Kind::kRange, {}, 10, 32767},
      {"FileSave", "DelayTime", Kind::kRange, {}, 1, 300},
      {"Tool", "NetType", Kind::kNetType},
      {"Tool",
       "PartNoMakeType",
       Kind::kChoice,
       {"number undecided references only", "renumber all", "apply a Was-Is file",
        "write a Was-Is template"}},
      {"Tool", "PartNoStep", Kind::kChoice, {"+1", "+2"}},
      {"Find", "Target", Kind::kFindBits},
  };
  return table;
}

const Meaning* FindMeaning(std::string_view section, std::string_view key) {
  for (const Meaning& m : Meanings()) {
    if (!EqualNoCase(section, m.section)) continue;
    if (m.key == nullptr || EqualNoCase(key, m.key)) return &m;
  }
  return nullptr;
}

std::string Rgb(unsigned long c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "red %lu, green %lu, blue %lu", c & 0xFF, (c >> 8) & 0xFF,
                (c >> 16) & 0xFF);
  return buf;
}

// "%ld %d": the colour and, when present, the visibility.
std::optional<std::pair<long, std::optional<long>>> ParseColorValue(std::string_view text) {
  std::string s(Trim(text));
  size_t blank = s.find(' ');
  auto colour = ParseSettingInt(s.substr(0, blank));
  if (!colour || *colour < 0 || *colour > 0xFFFFFF) return std::nullopt;
  if (blank == std::string::npos) return std::make_pair(*colour, std::optional<long>());
  auto flag = ParseSettingInt(s.substr(blank + 1));
  if (!flag) return std::nullopt;
  return std::make_pair(*colour, std::optional<long>(*flag));
}

const char* DirectionName(long bits) {
  switch (bits) {
    case 0x000:
      return "horizontal";
    case 0x100:
      return "turned 90° counter-clockwise";
    case 0x200:
      return "turned 180°";
    case 0x300:
      return "turned 270° counter-clockwise";
    default:
      return nullptr;
  }
}

constexpr std::pair<long, const char*> kFindBits[] = {
    {0x1, "part names"},   {0x2, "part references"}, {0x4, "part values"},  {0x8, "pin names"},
    {0x10, "pin numbers"}, {0x20, "texts of parts"}, {0x100, "wire names"}, {0x200, "free texts"},
};

}  // namespace

std::optional<std::string> DescribeSetting(std::string_view section, std::string_view key,
                                           std::string_view value) {
  const Meaning* m = FindMeaning(section, key);
  if (!m) return std::nullopt;
  if (m->kind == Kind::kColor) {
    auto c = ParseColorValue(value);
    if (!c) return std::nullopt;
    std::string text = Rgb(static_cast<unsigned long>(c->first));
    if (c->second) text += *c->second != 0 ? ", shown" : ", hidden";
    return text;
  }
  const auto n = ParseSettingInt(value);
  if (!n) return std::nullopt;
  switch (m->kind) {
    case Kind::kChoice:
      if (*n < 0 || *n >= static_cast<long>(m->choices.size())) return std::nullopt;
      return std::string(m->choices[static_cast<size_t>(*n)]);
    case Kind::kRange:
      return std::nullopt;
    case Kind::kPaper: {
      const char* name = CSheetDoc::PaperName(static_cast<int>(*n));
      if (!*name) return std::nullopt;
      return std::string(name);
    }
    case Kind::kNetType: {
      auto number = FormatAtListPosition(static_cast<int>(*n));
      if (!number) return std::nullopt;
      return std::string(FindNetlistFormat(*number)->name) + ", format " + std::to_string(*number);
    }
    case Kind::kPinType: {
      const char* name = CPin::EleName(static_cast<int>(*n));
      if (!name) return std::nullopt;
      return std::string(name);
    }
    case Kind::kDirection: {
      const char* name = DirectionName(*n);
      if (!name) return std::nullopt;
      return std::string(name);
    }
    case Kind::kRgb:
      if (*n < 0 || *n > 0xFFFFFF) return std::nullopt;
      return Rgb(static_cast<unsigned long>(*n));
    case Kind::kFindBits: {
      std::string text;
      for (const auto& [bit, name] : kFindBits) {
        if ((*n & bit) == 0) continue;
        if (!text.empty()) text += ", ";
        text += name;
      }
      return text.empty() ? std::string("nothing") : text;
    }
    case Kind::kColor:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> CheckSettingValue(std::string_view section, std::string_view key,
                                             std::string_view value) {
  const SettingDefault* d = FindSettingDefault(section, key);
  const Meaning* m = FindMeaning(section, key);
  if (m && m->kind == Kind::kColor) {
    auto c = ParseColorValue(value);
    if (!c || !c->second)
      return std::string("takes a colour and a visibility flag, e.g. \"255 1\"");
    return std::nullopt;
  }
  const bool integer = (d && !d->isString) || m;
  if (!integer) return std::nullopt;
  const auto n = ParseSettingInt(value);
  if (!n) return std::string("takes a whole number");
  if (!m) return std::nullopt;
  const bool known = m->kind == Kind::kRange ? *n >= m->min && *n <= m->max
                     : m->kind == Kind::kFindBits
                         ? *n >= 0 && *n <= 0xFFFF
                         : DescribeSetting(section, key, value).has_value();
  if (known) return std::nullopt;
  switch (m->kind) {
    case Kind::kRange:
      return "takes a number from " + std::to_string(m->min) + " to " + std::to_string(m->max);
    case Kind::kChoice:
      return "takes a code from 0 to " + std::to_string(m->choices.size() - 1);
    case Kind::kNetType:
      return std::string(
          "takes a position in the netlist format list (tavro config list shows "
          "the meaning; tavro netlist --list-formats the formats)");
    default:
      return std::string("takes one of the codes this setting knows");
  }
}

}  // namespace tavro
