// A font engine with fixed metrics for the PDF writer's tests, so that no
// byte written depends on the fonts installed.
#pragma once

#include <string>

#include "core/platform/font.h"

namespace tavro::test {

// Single-byte fonts: ascent 905, descent 212, internal leading 33, external
// leading 67, average width 441, maximum width 1000, characters 32..255, each
// 500 + (code % 5) * 10 wide. Japanese fonts (character set 128): ascent 880,
// descent 120, internal leading 0, external leading 0, average width 500,
// maximum width 1000, characters 32..255 each 500 wide, double-byte
// characters 1000 wide. A face whose name begins with "P" (after an optional
// "@") has variable pitch: 'i' is 250 wide. Heights other than -1000 scale.
class StubFontEngine : public FontEngine {
 public:
  FontMetrics Metrics(const LogFont& font, int height) override {
    FontMetrics m;
    if (font.charSet == 128) {
      m = {880, 120, 0, 0, 500, 1000, 32, 255};
    } else {
      m = {905, 212, 33, 67, 441, 1000, 32, 255};
    }
    if (height != -1000) {
      const int h = height < 0 ? -height : height;
      m.ascent = m.ascent * h / 1000;
      m.descent = m.descent * h / 1000;
      m.internalLeading = m.internalLeading * h / 1000;
      m.externalLeading = m.externalLeading * h / 1000;
      m.aveCharWidth = m.aveCharWidth * h / 1000;
      m.maxCharWidth = m.maxCharWidth * h / 1000;
    }
    return m;
  }
  int CharWidth(const LogFont& font, int height, unsigned code) override {
    int w = 0;
    if (code > 0xFF)
      w = 1000;
    else if (font.charSet == 128)
      w = (code == 'i' && Proportional(font)) ? 250 : 500;
    else
      w = 500 + int(code % 5) * 10;
    const int h = height < 0 ? -height : height;
    return w * h / 1000;
  }
  TextExtent Measure(const LogFont& font, int height, std::string_view text) override {
    int cx = 0;
    for (unsigned char c : text) cx += CharWidth(font, height, c);
    return {cx, height};
  }
  TextExtent MeasureDefault(int height, std::string_view text) override {
    return Measure(LogFont{}, height, text);
  }
  std::string ResolveFile(const LogFont&) override { return {}; }

 private:
  static bool Proportional(const LogFont& font) {
    std::string face = font.FaceName();
    if (!face.empty() && face[0] == '@') face.erase(0, 1);
    return !face.empty() && face[0] == 'P';
  }
};

// Installs an engine for the lifetime of the guard.
class ScopedFontEngine {
 public:
  explicit ScopedFontEngine(FontEngine* engine) { SetFontEngine(engine); }
  ~ScopedFontEngine() { SetFontEngine(nullptr); }
  ScopedFontEngine(const ScopedFontEngine&) = delete;
  ScopedFontEngine& operator=(const ScopedFontEngine&) = delete;
};

}  // namespace tavro::test
