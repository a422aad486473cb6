// Fonts: the 60-byte font record stored with texts, and the font engine that
// measures CP932 strings. The engine maps face names to installed fonts with
// fontconfig ("Arial" -> Liberation Sans, Japanese faces -> IPA Gothic or
// IPA Mincho) and measures with FreeType. All sizes are in the caller's units
// (sheet mils): a font of height h has a cell (ascent + descent) of h.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// The font record in the layout of the 8-bit-character Windows LOGFONT.
struct LogFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  std::array<char, 32> faceName{};  // CP932, zero-terminated

  static constexpr size_t kSize = 60;
  // Byte-exact little-endian image of the record.
  std::array<uint8_t, kSize> ToBytes() const;
  static LogFont FromBytes(const uint8_t* bytes);  // reads kSize bytes

  std::string FaceName() const;             // up to the first zero byte
  void SetFaceName(std::string_view face);  // truncated to 31 bytes
  bool operator==(const LogFont&) const = default;
};

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int firstChar = 0;
  int lastChar = 0;
  int Height() const { return ascent + descent; }
};

struct TextExtent {
  int cx = 0;  // along the reading direction
  int cy = 0;  // across it
};

class FontEngine {
 public:
  virtual ~FontEngine() = default;
  // Metrics of `font` at cell height `height`. A negative height asks for an
  // em of -height instead, as in the font record (the PDF writer's -1000).
  virtual FontMetrics Metrics(const LogFont& font, int height) = 0;
  // Advance width of one character code (a single byte, or lead << 8 | trail).
  virtual int CharWidth(const LogFont& font, int height, unsigned code) = 0;
  // Width and height of a CP932 string (one line) in `font` at `height`.
  virtual TextExtent Measure(const LogFont& font, int height, std::string_view text) = 0;
  // The same in the default font of texts without an own font: the "FontE"
  // face (section "Default") for single-byte characters and the "FontJ" face
  // (a Japanese Gothic when empty) for double-byte characters.
  virtual TextExtent MeasureDefault(int height, std::string_view text) = 0;
  // Path of the font file chosen for a font record (for embedding and tests).
  virtual std::string ResolveFile(const LogFont& font) = 0;

  // A batch of measurements (many texts read at once): from BeginBatch to
  // the matching EndBatch (pairs nest) the engine may read the settings it
  // depends on (the default faces) once, at the start, and keep what it
  // measured for the rest of the batch. It gives exactly the figures it
  // gives outside a batch as long as those settings do not change during
  // the batch; a change is seen by the next batch. By default a batch
  // changes nothing.
  virtual void BeginBatch() {}
  virtual void EndBatch() {}
};

// The engine of the process (fontconfig + FreeType), created on first use.
FontEngine& GetFontEngine();
// Replaces the engine (tests); nullptr restores the default.
void SetFontEngine(FontEngine* engine);

// A batch of the engine of the process for the lifetime of the object.
class FontBatch {
 public:
  FontBatch() : engine_(GetFontEngine()) { engine_.BeginBatch(); }
  ~FontBatch() { engine_.EndBatch(); }
  FontBatch(const FontBatch&) = delete;
  FontBatch& operator=(const FontBatch&) = delete;

 private:
  FontEngine& engine_;
};

}  // namespace tavro
