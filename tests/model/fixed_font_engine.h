// A font engine with fixed widths, so that box placement can be tested
// without real fonts: in the default font every byte is half the height wide,
// in an own font every byte is the full height wide; a line is `height` tall.
// Installed for the lifetime of the object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/font.h"

namespace tavro::test {

class FixedFontEngine : public FontEngine {
 public:
  FixedFontEngine() { SetFontEngine(this); }
  ~FixedFontEngine() override { SetFontEngine(nullptr); }
  FixedFontEngine(const FixedFontEngine&) = delete;
  FixedFontEngine& operator=(const FixedFontEngine&) = delete;

  FontMetrics Metrics(const LogFont&, int height) override {
    FontMetrics m;
    m.ascent = height * 4 / 5;
    m.descent = height - m.ascent;
    m.aveCharWidth = m.maxCharWidth = height / 2;
    m.firstChar = 0x20;
    m.lastChar = 0xFF;
    return m;
  }
  int CharWidth(const LogFont&, int height, unsigned) override { return height / 2; }
  TextExtent Measure(const LogFont& font, int height, std::string_view text) override {
    measured.emplace_back(text);
    lastFont = font;
    return {static_cast<int>(text.size()) * height, height};
  }
  TextExtent MeasureDefault(int height, std::string_view text) override {
    measured.emplace_back(text);
    return {static_cast<int>(text.size()) * height / 2, height};
  }
  std::string ResolveFile(const LogFont&) override { return {}; }

  std::vector<std::string> measured;  // every string measured, in order
  LogFont lastFont;                   // the record of the last own-font measurement
};

}  // namespace tavro::test
