// The DXF header file "DXF_HDR.DAT" (CP932 text in the data folder): the
// settings of the DXF export and the raw DXF text it adds to every file.
//
// Each line is trimmed on the left; empty lines and lines beginning with "#"
// are skipped. A keyword counts only at the start of a line (compared without
// regard to letter case) and its value starts one character after it:
//   [VERSION] text       the version string (trimmed)
//   [LAYER] n1 ... n8    the layers of wires, buses, graphic lines, junctions,
//                        texts, free pins, arcs and parts
//   [TITLE] n            the layer of everything on a title-frame sheet
//   [APOINT] n           point markers on when not 0
//   [CMD999] n           the "999" comment line on when not 0
//   [HEADER]             ends the settings: every non-empty line after it is
//                        raw DXF text, copied to the file as it stands
// Numbers are decimal; a number that does not read counts as 0, and numbers
// missing from the end of a "[LAYER]" line keep their defaults. Only the lines
// after "[HEADER]" are raw text, whether or not the file has a version line: a
// settings line is never DXF.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavro {

// Indexes of the layer table.
enum DxfLayer : int {
  kDxfLayerTitle = 0,  // everything on a title-frame sheet
  kDxfLayerWire = 1,
  kDxfLayerBus = 2,
  kDxfLayerLine = 3,
  kDxfLayerJunc = 4,
  kDxfLayerText = 5,
  kDxfLayerPin = 6,
  kDxfLayerArc = 7,
  kDxfLayerPart = 8,
};

using DxfLayers = std::array<int, 9>;

struct DxfHeader {
  DxfLayers layers{15, 1, 2, 3, 4, 5, 6, 7, 8};
  bool comment = true;   // the "999" comment line
  bool markers = false;  // point markers (block "32767") at connection points
  std::string version;
  // The lines after "[HEADER]", each ending in "\n".
  std::string raw;
};

// Reads the header file's text (never fails: what does not read keeps its
// default).
DxfHeader ParseDxfHeader(std::string_view text);

}  // namespace tavro
