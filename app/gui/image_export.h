// Image copies of a sheet drawn through the one drawing walk: a bitmap
// (PNG, or a QImage for the clipboard) or SVG. The image covers the sheet's
// work area; in black and white it is drawn as the PDF is (print colours).
#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>

#include "app/image_options.h"

namespace tavro {
class CSheetDoc;
class CSheet;
class Host;
}  // namespace tavro

namespace tavro::gui {

// A QGuiApplication for batch drawing while it lives (the offscreen platform
// unless one is named); nothing when an application exists already.
class BatchGuiApplication {
 public:
  BatchGuiApplication();
  ~BatchGuiApplication();
  BatchGuiApplication(const BatchGuiApplication&) = delete;
  BatchGuiApplication& operator=(const BatchGuiApplication&) = delete;

 private:
  int argc_ = 1;
  char name_[6] = "tavro";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

// The sheet (with its title frame when the display switch is on) at `dpi`.
QImage RenderImage(const CSheetDoc& doc, const ImageOptions& options, Host& host);
QByteArray RenderSvg(const CSheetDoc& doc, const ImageOptions& options, Host& host);

// The image writer of the command line: PNG or SVG by options.format.
std::string WriteImage(const CSheetDoc& doc, const std::string& path, const ImageOptions& options);

}  // namespace tavro::gui
