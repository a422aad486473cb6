#include "core/platform/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr uint8_t kShiftJisCharSet = 128;
// Heights beyond this many units are taken as this many, so that no sum of
// ascent and descent can overflow.
constexpr int kMaxHeight = 1 << 24;
// Decoded-code cache entry for a code that is not a CP932 character.
constexpr char32_t kNotCp932 = 0xFFFFFFFF;

// The figures of the fixed metrics: an em and a cell of 1000 units, single-byte
// characters 500 and double-byte characters 1000 wide.
const FaceTables kFixedTables{};
constexpr int kFixedSingleAdvance = 500;
constexpr int kFixedDoubleAdvance = 1000;

int ClampHeight(int height) { return std::clamp(height, -kMaxHeight, kMaxHeight); }

int RoundToInt(double v) {
  if (!std::isfinite(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(std::lround(v));
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// Caller's units per design unit for a height (cell for h > 0, em for h < 0).
double ScaleAt(const FaceTables& t, int64_t height) {
  if (height > 0) return static_cast<double>(height) / t.CellUnits();
  if (height < 0) return static_cast<double>(-height) / t.unitsPerEm;
  return 0;
}

std::string FaceOrDefault(std::string face, const char* fallback) {
  if (Trim(face).empty()) return fallback;
  return face;
}

}  // namespace

// The scale of one font at one height.
struct FcFtFontEngine::Scale {
  double sy = 0;  // across the text
  double sx = 0;  // along the text (differs from sy when the record has a width)
  int ascent = 0;
  int descent = 0;
  int Cell() const { return ascent + descent; }

  Scale(const FaceTables& t, const LogFont& font, int height) {
    sy = ScaleAt(t, height);
    ascent = RoundToInt(t.winAscent * sy);
    descent = height > 0 ? height - ascent : RoundToInt(t.winDescent * sy);
    sx = sy;
    if (font.width != 0 && sy > 0 && t.avgCharWidth > 0) {
      const int64_t ref = font.height != 0 ? ClampHeight(font.height) : height;
      const double refScale = ScaleAt(t, ref);
      if (refScale > 0) {
        sx = sy * std::abs(static_cast<double>(font.width)) / (t.avgCharWidth * refScale);
      }
    }
  }
};

void FcFtFontEngine::FtLibraryDeleter::operator()(FT_LibraryRec_* library) const {
  FT_Done_FreeType(library);
}

FcFtFontEngine::FcFtFontEngine() : FcFtFontEngine(Options{}) {}

FcFtFontEngine::FcFtFontEngine(Options options) : matcher_(options.systemFonts) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) library_.reset(library);
}

FcFtFontEngine::~FcFtFontEngine() {
  // Faces go before the library they were opened with.
  resolved_.clear();
  faces_.clear();
}

LogFont FcFtFontEngine::DefaultSingleByteFont() {
  LogFont f;
  f.weight = 400;
  f.SetFaceName(FaceOrDefault(AppSettings().GetString("Default", "FontE"), "Arial"));
  return f;
}

LogFont FcFtFontEngine::DefaultDoubleByteFont() {
  LogFont f;
  f.weight = 400;
  f.charSet = kShiftJisCharSet;
  f.SetFaceName(FaceOrDefault(AppSettings().GetString("Default", "FontJ"), "IPAGothic"));
  return f;
}

FontFace* FcFtFontEngine::LoadFace(const FontFileRef& ref) {
  auto key = std::make_pair(ref.path, ref.index);
  auto it = faces_.find(key);
  if (it == faces_.end()) {
    it = faces_.emplace(std::move(key), FontFace::Load(library_.get(), ref.path, ref.index)).first;
  }
  return it->second.get();
}

FontFace* FcFtFontEngine::Face(const LogFont& font) {
  LogFont request = font;
  if (Trim(request.FaceName()).empty()) {
    // No face: the default face of the record's kind of text.
    request.SetFaceName(request.charSet == kShiftJisCharSet ? DefaultDoubleByteFont().FaceName()
                                                            : DefaultSingleByteFont().FaceName());
  }
  const int32_t weight = request.weight <= 0 ? 400 : request.weight;
  auto key = std::make_tuple(request.FaceName(), weight, request.italic != 0, request.charSet);
  if (auto it = resolved_.find(key); it != resolved_.end()) return it->second;

  FontFace* face = nullptr;
  for (const FontFileRef& ref : matcher_.Match(request)) {
    face = LoadFace(ref);
    if (face) break;
  }
  resolved_.emplace(std::move(key), face);
  return face;
}

std::optional<char32_t> FcFtFontEngine::Decode(unsigned code) {
  if (code > 0xFFFF) return std::nullopt;
  auto it = decoded_.find(code);
  if (it == decoded_.end()) {
    std::string bytes;
    bool shapeOk;
    if (code > 0xFF) {
      shapeOk = IsLeadByte(static_cast<unsigned char>(code >> 8));
      bytes += static_cast<char>(code >> 8);
      bytes += static_cast<char>(code & 0xFF);
    } else {
      shapeOk = !IsLeadByte(static_cast<unsigned char>(code));
      bytes += static_cast<char>(code);
    }
    char32_t u = kNotCp932;
    if (shapeOk) {
      size_t invalid = 0;
      const std::u16string utf16 = Cp932ToUtf16(bytes, &invalid);
      if (invalid == 0 && utf16.size() == 1 && utf16[0] != kReplacementChar) u = utf16[0];
    }
    it = decoded_.emplace(code, u).first;
  }
  if (it->second == kNotCp932) return std::nullopt;
  return it->second;
}

double FcFtFontEngine::Advance(FontFace* face, const Scale& scale, int height, unsigned code) {
  if (!face) return (code > 0xFF ? kFixedDoubleAdvance : kFixedSingleAdvance) * scale.sx;
  if (const auto u = Decode(code)) {
    if (const auto a = face->Advance(*u)) return *a * scale.sx;
    // The screen shows a character the font lacks in the Japanese face.
    FontFace* fallback = Face(DefaultDoubleByteFont());
    if (fallback && fallback != face && scale.sy > 0) {
      if (const auto a = fallback->Advance(*u)) {
        return *a * ScaleAt(fallback->Tables(), height) * (scale.sx / scale.sy);
      }
    }
  }
  return face->Tables().missingAdvance * scale.sx;
}

FontMetrics FcFtFontEngine::Metrics(const LogFont& font, int height) {
  height = ClampHeight(height);
  FontFace* face = Face(font);
  const FaceTables& t = face ? face->Tables() : kFixedTables;
  const Scale s(t, font, height);
  FontMetrics m;
  m.ascent = s.ascent;
  m.descent = s.descent;
  m.internalLeading = std::max(0, s.Cell() - RoundToInt(t.unitsPerEm * s.sy));
  const int gap = std::max(0, t.lineGap - (t.CellUnits() - (t.hheaAscent + t.hheaDescent)));
  m.externalLeading = RoundToInt(gap * s.sy);
  m.aveCharWidth = RoundToInt(t.avgCharWidth * s.sx);
  m.maxCharWidth = RoundToInt(t.maxAdvance * s.sx);
  m.firstChar = std::clamp(t.firstChar, 0x20, 0xFF);
  m.lastChar = std::clamp(t.lastChar, m.firstChar, 0xFF);
  return m;
}

int FcFtFontEngine::CharWidth(const LogFont& font, int height, unsigned code) {
  height = ClampHeight(height);
  FontFace* face = Face(font);
  const Scale s(face ? face->Tables() : kFixedTables, font, height);
  return RoundToInt(Advance(face, s, height, code));
}

TextExtent FcFtFontEngine::Measure(const LogFont& font, int height, std::string_view text) {
  height = ClampHeight(height);
  FontFace* face = Face(font);
  const Scale s(face ? face->Tables() : kFixedTables, font, height);
  int64_t width = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharLen(text, i);
    unsigned code = static_cast<unsigned char>(text[i]);
    if (n == 2) code = (code << 8) | static_cast<unsigned char>(text[i + 1]);
    width += RoundToInt(Advance(face, s, height, code));
    i += n;
  }
  return {ClampToInt(width), s.Cell()};
}

TextExtent FcFtFontEngine::MeasureDefault(int height, std::string_view text) {
  height = ClampHeight(height);
  const LogFont single = DefaultSingleByteFont();
  const LogFont dual = DefaultDoubleByteFont();
  FontFace* singleFace = Face(single);
  FontFace* dualFace = Face(dual);
  const Scale singleScale(singleFace ? singleFace->Tables() : kFixedTables, single, height);
  const Scale dualScale(dualFace ? dualFace->Tables() : kFixedTables, dual, height);
  int64_t width = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharLen(text, i);
    unsigned code = static_cast<unsigned char>(text[i]);
    if (n == 2) {
      code = (code << 8) | static_cast<unsigned char>(text[i + 1]);
      width += RoundToInt(Advance(dualFace, dualScale, height, code));
    } else {
      width += RoundToInt(Advance(singleFace, singleScale, height, code));
    }
    i += n;
  }
  return {ClampToInt(width), std::max(singleScale.Cell(), dualScale.Cell())};
}

std::string FcFtFontEngine::ResolveFile(const LogFont& font) {
  FontFace* face = Face(font);
  if (!face) return {};
  std::error_code ec;
  auto canonical = std::filesystem::canonical(face->Path(), ec);
  return ec ? face->Path() : canonical.string();
}

namespace {
FontEngine* g_engine = nullptr;  // set by SetFontEngine
}  // namespace

FontEngine& GetFontEngine() {
  if (g_engine) return *g_engine;
  static FcFtFontEngine engine;
  return engine;
}

void SetFontEngine(FontEngine* engine) { g_engine = engine; }

}  // namespace tavro
