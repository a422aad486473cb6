// The image copy of a sheet (PNG or SVG): what the command line and the
// editor's export ask for. The drawing itself needs a painter, so the writer
// lives with the editor (app/gui/image_export.h) and the command line reaches
// it through SetImageWriter when the program is built with the editor.
#pragma once

#include <string>

namespace tavro {

class CSheetDoc;

struct ImageOptions {
  enum Format { kPng, kSvg };
  Format format = kPng;
  int dpi = 150;      // pixels per inch of the sheet (SVG: its user units)
  bool mono = false;  // black on white instead of the display colours

  static constexpr int kMinDpi = 10;
  static constexpr int kMaxDpi = 2400;
  // Images are refused above this many pixels (a sheet at a high resolution
  // would need gigabytes).
  static constexpr long long kMaxPixels = 200'000'000;
};

// Writes the sheet `doc` as an image to `path`; returns "" or why it failed
// (UTF-8, one line naming the file).
using ImageWriter = std::string (*)(const CSheetDoc& doc, const std::string& path,
                                    const ImageOptions& options);
void SetImageWriter(ImageWriter writer);
// The writer set, or nullptr in a program built without the editor.
ImageWriter GetImageWriter();

}  // namespace tavro
