// What a sheet document holds, as `tavro info` prints it and the editor's
// sheet information dialog shows it: the document's fields, the title frame in
// use, the items of the main and title-frame sheets by kind and the file's
// times. GUI-free.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/file/document.h"
#include "core/model/geometry.h"

namespace tavro {

class CSheet;

// The number of items of one kind on a sheet.
struct ItemCount {
  const char* kind;   // as `tavro info` names it ("wires", "part pins")
  const char* label;  // UTF-8, as the editor names it ("ワイヤー")
  size_t count = 0;
};

struct SheetInfo {
  std::string path;  // as given (UTF-8)
  int version = 0;
  int sizeCode = 0;
  std::string paper;  // UTF-8 ("A3横"); empty for an unknown size code
  int32_t workWidth = 0;
  int32_t workHeight = 0;
  CRect view;
  std::vector<std::string> properties;  // UTF-8, "&key&value" as stored
  std::string titleFile;                // UTF-8
  TitleSource titleSource = TitleSource::kNone;
  std::vector<ItemCount> mainCounts;  // in the order of ItemCounts()
  std::vector<ItemCount> titleCounts;
  FileTimes times;  // of the file as it was read (0: unknown)
};

// Wires, buses, lines, junctions, parts, the pins of parts, free pins, texts
// and arcs of a sheet, in that order.
std::vector<ItemCount> ItemCounts(const CSheet& sheet);

// The facts of a document read from `path` (or shown under that name).
SheetInfo GetSheetInfo(const CSheetDoc& doc, const std::string& path);

// The title source as `tavro info` names it: "embedded", "title file" or "none".
const char* TitleSourceName(TitleSource source);

// The text `tavro info` prints: one "name: value" line for each fact (the
// file times are left out: they say when, not what).
std::string SheetInfoText(const SheetInfo& info);

}  // namespace tavro
