#include "core/platform/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <bitset>
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

// Calls width(code, n) for each character of a CP932 string (n: its length
// in bytes, 1 or 2) and sums the results.
template <class Width>
int64_t SumWidths(std::string_view text, Width width) {
  int64_t sum = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharLen(text, i);
    unsigned code = static_cast<unsigned char>(text[i]);
    if (n == 2) code = (code << 8) | static_cast<unsigned char>(text[i + 1]);
    sum += width(code, n);
    i += n;
  }
  return sum;
}

// A font record and a height, as the batch keeps advances by them.
struct GlyphKey {
  std::array<uint8_t, LogFont::kSize> record;
  int height;
  bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
  size_t operator()(const GlyphKey& k) const {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    auto mix = [&h](uint8_t b) {
      h ^= b;
      h *= 1099511628211ull;
    };
    for (uint8_t b : k.record) mix(b);
    for (int i = 0; i < 4; ++i)
      mix(static_cast<uint8_t>(static_cast<uint32_t>(k.height) >> (8 * i)));
    return static_cast<size_t>(h);
  }
};

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

// The rounded advances of one font record at one height, measured as a
// batch asks for them.
struct FcFtFontEngine::Glyphs {
  FontFace* face;
  Scale scale;
  int height;
  std::array<int, 256> single{};
  std::bitset<256> known;
  std::unordered_map<unsigned, int> dual;

  Glyphs(FontFace* f, const LogFont& font, int h)
      : face(f), scale(f ? f->Tables() : kFixedTables, font, h), height(h) {}

  int Width(FcFtFontEngine& engine, unsigned code) {
    if (code < single.size()) {
      if (!known[code]) {
        single[code] = RoundToInt(engine.Advance(face, scale, height, code));
        known.set(code);
      }
      return single[code];
    }
    auto it = dual.find(code);
    if (it == dual.end())
      it = dual.emplace(code, RoundToInt(engine.Advance(face, scale, height, code))).first;
    return it->second;
  }
};

struct FcFtFontEngine::Batch {
  LogFont singleByte;  // the default faces when the batch started
  LogFont doubleByte;
  std::unordered_map<GlyphKey, std::unique_ptr<Glyphs>, GlyphKeyHash> glyphs;
  // The advances of the two default faces by height (of `glyphs`).
  std::unordered_map<int, std::pair<Glyphs*, Glyphs*>> defaults;
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
  batch_.reset();
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

LogFont FcFtFontEngine::SingleByteDefault() const {
  return batch_ ? batch_->singleByte : DefaultSingleByteFont();
}

LogFont FcFtFontEngine::DoubleByteDefault() const {
  return batch_ ? batch_->doubleByte : DefaultDoubleByteFont();
}

void FcFtFontEngine::BeginBatch() {
  if (batchDepth_++ > 0) return;
  batch_ = std::make_unique<Batch>();
  batch_->singleByte = DefaultSingleByteFont();
  batch_->doubleByte = DefaultDoubleByteFont();
}

void FcFtFontEngine::EndBatch() {
  if (batchDepth_ == 0) return;
  if (--batchDepth_ == 0) batch_.reset();
}

FcFtFontEngine::Glyphs& FcFtFontEngine::BatchGlyphs(const LogFont& font, int height) {
  GlyphKey key{font.ToBytes(), height};
  auto it = batch_->glyphs.find(key);
  if (it == batch_->glyphs.end())
    it = batch_->glyphs.emplace(key, std::make_unique<Glyphs>(Face(font), font, height)).first;
  return *it->second;
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
    request.SetFaceName(request.charSet == kShiftJisCharSet ? DoubleByteDefault().FaceName()
                                                            : SingleByteDefault().FaceName());
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
    FontFace* fallback = Face(DoubleByteDefault());
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
  if (batch_) {
    Glyphs& g = BatchGlyphs(font, height);
    const int64_t width =
        SumWidths(text, [&](unsigned code, size_t) { return g.Width(*this, code); });
    return {ClampToInt(width), g.scale.Cell()};
  }
  FontFace* face = Face(font);
  const Scale s(face ? face->Tables() : kFixedTables, font, height);
  const int64_t width = SumWidths(
      text, [&](unsigned code, size_t) { return RoundToInt(Advance(face, s, height, code)); });
  return {ClampToInt(width), s.Cell()};
}

TextExtent FcFtFontEngine::MeasureDefault(int height, std::string_view text) {
  height = ClampHeight(height);
  if (batch_) {
    auto& faces = batch_->defaults[height];
    if (!faces.first) {
      faces.first = &BatchGlyphs(batch_->singleByte, height);
      faces.second = &BatchGlyphs(batch_->doubleByte, height);
    }
    Glyphs& single = *faces.first;
    Glyphs& dual = *faces.second;
    const int64_t width = SumWidths(
        text, [&](unsigned code, size_t n) { return (n == 2 ? dual : single).Width(*this, code); });
    return {ClampToInt(width), std::max(single.scale.Cell(), dual.scale.Cell())};
  }
  const LogFont single = DefaultSingleByteFont();
  const LogFont dual = DefaultDoubleByteFont();
  FontFace* singleFace = Face(single);
  FontFace* dualFace = Face(dual);
  const Scale singleScale(singleFace ? singleFace->Tables() : kFixedTables, single, height);
  const Scale dualScale(dualFace ? dualFace->Tables() : kFixedTables, dual, height);
  const int64_t width = SumWidths(text, [&](unsigned code, size_t n) {
    return n == 2 ? RoundToInt(Advance(dualFace, dualScale, height, code))
                  : RoundToInt(Advance(singleFace, singleScale, height, code));
  });
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
