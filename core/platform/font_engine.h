// The font engine of the process: fontconfig picks the font file for a font
// record (FontMatcher), FreeType supplies its design-unit tables (FontFace).
//
// How sizes come out (they decide where text boxes land):
// - A height h > 0 asks for a cell of h: ascent + descent == h exactly. The
//   cell of a font in design units is OS/2 usWinAscent + usWinDescent (hhea
//   ascender - descender when the font has no OS/2 table), so the scale is
//   s = h / cell. A height h < 0 asks for an em of -h (the PDF writer's em of
//   1000): s = -h / unitsPerEm. A height of 0 measures as nothing.
// - ascent = round(usWinAscent * s); descent = h - ascent (for h < 0:
//   round(usWinDescent * s)).
// - internal leading = cell - round(unitsPerEm * s), not below 0;
//   external leading = round(max(0, lineGap - (cell - (hhea ascender - hhea
//   descender))) * s), all design values from hhea.
// - average width = round(OS/2 xAvgCharWidth * sx), maximum width =
//   round(hhea advanceWidthMax * sx), where sx = s unless the record has a
//   width (below).
// - first / last character: the single-byte range the font covers,
//   max(0x20, usFirstCharIndex) .. min(0xFF, usLastCharIndex).
// - The advance of a character is its unhinted design advance times sx,
//   rounded to an integer for each character; a string is as wide as the sum
//   of its characters, and as high as the cell.
// - A record width W != 0 scales along the text: sx = s * |W| / (xAvgCharWidth
//   * s'), s' being the scale at the record's own height (at h when the record
//   height is 0), so that the average character of the record is W wide.
// - Characters are CP932 (one byte, or lead << 8 | trail). A character the
//   font lacks is measured in the default Japanese face at the same height (as
//   the screen falls back to it); one that face lacks too, or a byte that is
//   not CP932, is as wide as the font's glyph 0 (the box drawn for it).
// - A bold or italic request that no installed file matches uses the regular
//   file with its own advances (no synthetic widening).
// - When no font can be loaded at all, fixed metrics apply: a cell of h with
//   ascent 4/5 of it, single-byte characters h / 2 and double-byte characters
//   h wide.
//
// In a batch (BeginBatch / EndBatch) the default faces are read from the
// settings once, when the batch starts, and the rounded advance of every
// character measured is kept per font record and height until the batch
// ends: a string is still the sum of the same rounded advances, so the
// figures are the ones measured outside a batch.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>

#include "core/platform/font.h"
#include "core/platform/font_face.h"
#include "core/platform/font_matcher.h"

namespace tavro {

class FcFtFontEngine : public FontEngine {
 public:
  struct Options {
    // False: no installed font is used, every measurement uses the fixed metrics.
    bool systemFonts = true;
  };
  FcFtFontEngine();
  explicit FcFtFontEngine(Options options);
  ~FcFtFontEngine() override;
  FcFtFontEngine(const FcFtFontEngine&) = delete;
  FcFtFontEngine& operator=(const FcFtFontEngine&) = delete;

  FontMetrics Metrics(const LogFont& font, int height) override;
  int CharWidth(const LogFont& font, int height, unsigned code) override;
  TextExtent Measure(const LogFont& font, int height, std::string_view text) override;
  TextExtent MeasureDefault(int height, std::string_view text) override;
  std::string ResolveFile(const LogFont& font) override;
  void BeginBatch() override;
  void EndBatch() override;

  // The records MeasureDefault uses: the "FontE" face (Arial when empty) and
  // the "FontJ" face (IPAGothic when empty, character set 128).
  static LogFont DefaultSingleByteFont();
  static LogFont DefaultDoubleByteFont();

 private:
  struct Scale;
  struct Glyphs;
  struct Batch;
  // The default faces: those the batch started with, else from the settings.
  LogFont SingleByteDefault() const;
  LogFont DoubleByteDefault() const;
  // The advances kept in the batch for `font` at the (clamped) `height`.
  Glyphs& BatchGlyphs(const LogFont& font, int height);
  // The face chosen for `font` (nullptr: fixed metrics), loaded and cached.
  FontFace* Face(const LogFont& font);
  FontFace* LoadFace(const FontFileRef& ref);
  // Unicode character of a CP932 code, or nullopt when the code is not CP932.
  std::optional<char32_t> Decode(unsigned code);
  // Unrounded advance of `code` in the caller's units.
  double Advance(FontFace* face, const Scale& scale, int height, unsigned code);

  struct FtLibraryDeleter {
    void operator()(FT_LibraryRec_* library) const;
  };
  // Declared before the faces so that it outlives them.
  std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter> library_;
  FontMatcher matcher_;
  std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces_;  // by file and index
  // Resolved records: face name, weight, italic, character set -> face (may be null).
  std::map<std::tuple<std::string, int32_t, bool, uint8_t>, FontFace*> resolved_;
  std::unordered_map<unsigned, char32_t> decoded_;  // kNotCp932 marks an invalid code
  int batchDepth_ = 0;
  std::unique_ptr<Batch> batch_;  // while a batch is open
};

}  // namespace tavro
