#include "core/platform/font_matcher.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

// Desktop face names and the installed families that stand in for them. The
// Liberation fonts have the advances of the faces they replace; the IPA fonts
// are the usual Japanese stand-ins (the "P" faces are the proportional ones).
struct FaceAlias {
  const char* face;
  const char* family;
};
constexpr std::array kFaceAliases = {
    FaceAlias{"Arial", "Liberation Sans"},       FaceAlias{"Times New Roman", "Liberation Serif"},
    FaceAlias{"Courier New", "Liberation Mono"}, FaceAlias{"ＭＳ ゴシック", "IPAGothic"},
    FaceAlias{"MS Gothic", "IPAGothic"},         FaceAlias{"ＭＳ Ｐゴシック", "IPAPGothic"},
    FaceAlias{"MS PGothic", "IPAPGothic"},       FaceAlias{"MS UI Gothic", "IPAPGothic"},
    FaceAlias{"メイリオ", "IPAPGothic"},         FaceAlias{"Meiryo", "IPAPGothic"},
    FaceAlias{"Meiryo UI", "IPAPGothic"},        FaceAlias{"ＭＳ 明朝", "IPAMincho"},
    FaceAlias{"MS Mincho", "IPAMincho"},         FaceAlias{"ＭＳ Ｐ明朝", "IPAPMincho"},
    FaceAlias{"MS PMincho", "IPAPMincho"},
};

// The character set of Shift-JIS fonts in the font record.
constexpr uint8_t kShiftJisCharSet = 128;
// How many candidate files a match returns (the best one and some fallbacks).
constexpr size_t kMaxCandidates = 8;

// ASCII letters lowered, ASCII blanks dropped: face names compare this way.
std::string Normalized(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == ' ' || c == '\t') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

bool HasDoubleByte(std::string_view cp932) {
  return std::any_of(cp932.begin(), cp932.end(),
                     [](char c) { return IsLeadByte(static_cast<unsigned char>(c)); });
}

// The IPA family for a Japanese face that nothing else knows.
std::string JapaneseStandIn(std::string_view utf8Face) {
  const std::string n = Normalized(utf8Face);
  const bool mincho = n.find("明朝") != std::string::npos || n.find("mincho") != std::string::npos;
  const bool proportional = n.find("Ｐ") != std::string::npos ||
                            n.find("pgothic") != std::string::npos ||
                            n.find("pmincho") != std::string::npos;
  if (mincho) return proportional ? "IPAPMincho" : "IPAMincho";
  return proportional ? "IPAPGothic" : "IPAGothic";
}

// The record's weight (0 = don't care, 400 normal, 700 bold) as a fontconfig weight.
int FcWeightOf(int32_t weight) {
  const int w = weight <= 0 ? 400 : std::min<int32_t>(weight, 1000);
  return FcWeightFromOpenType(w);
}

bool HasFamily(FcPattern* font, const std::string& family) {
  const std::string want = Normalized(family);
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (Normalized(reinterpret_cast<const char*>(name)) == want) return true;
  }
  return false;
}

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

}  // namespace

void FontMatcher::ConfigDeleter::operator()(_FcConfig* config) const { FcConfigDestroy(config); }

FontMatcher::FontMatcher(bool systemFonts)
    : config_(systemFonts ? FcInitLoadConfigAndFonts() : FcConfigCreate()) {}

FontMatcher::~FontMatcher() = default;

std::optional<std::string> FontMatcher::MappedFamily(std::string_view utf8Face) {
  const std::string n = Normalized(utf8Face);
  for (const FaceAlias& a : kFaceAliases) {
    if (Normalized(a.face) == n) return std::string(a.family);
  }
  return std::nullopt;
}

std::vector<FontFileRef> FontMatcher::Query(const std::string& family, int weight, bool italic,
                                            bool* familyFound) const {
  if (familyFound) *familyFound = false;
  std::vector<FontFileRef> refs;
  if (!config_) return refs;
  std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
  if (!pattern) return refs;
  if (!family.empty()) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_.get(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcFontSet, FontSetDeleter> set(
      FcFontSort(config_.get(), pattern.get(), FcFalse, nullptr, &result));
  if (!set) return refs;
  for (int i = 0; i < set->nfont && refs.size() < kMaxCandidates; ++i) {
    FcPattern* font = set->fonts[i];
    FcBool scalable = FcTrue;
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    if (refs.empty() && familyFound && !family.empty()) *familyFound = HasFamily(font, family);
    refs.push_back({reinterpret_cast<const char*>(file), index});
  }
  return refs;
}

std::vector<FontFileRef> FontMatcher::Match(const LogFont& font) const {
  const std::string cp932Face = font.FaceName();
  std::string face = Cp932ToUtf8(Trim(cp932Face));
  // "@ＭＳ ゴシック" is the vertical form of the same face.
  if (!face.empty() && face.front() == '@') face.erase(0, 1);
  const bool japanese = HasDoubleByte(cp932Face) || font.charSet == kShiftJisCharSet;
  const int weight = FcWeightOf(font.weight);
  const bool italic = font.italic != 0;

  const std::string family = MappedFamily(face).value_or(face);
  bool found = false;
  std::vector<FontFileRef> refs = Query(family, weight, italic, &found);
  if (!found && japanese) {
    // Put the Japanese stand-in first and keep fontconfig's own choices as
    // further fallbacks.
    std::vector<FontFileRef> jp = Query(JapaneseStandIn(face), weight, italic, nullptr);
    jp.insert(jp.end(), refs.begin(), refs.end());
    return jp;
  }
  return refs;
}

}  // namespace tavro
