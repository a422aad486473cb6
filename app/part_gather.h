// Gathering the parts of a project onto one working sheet, as the reference
// numbering and the Was-Is template see them.
//
// Each sheet, in project order, gives copies of its parts, each tagged with
// two hidden texts:
//
//   {TAVRO:DOCNAME}amp1.tcd [2]     the document's name and the sheet's index
//   {TAVRO:SIZE}17000,11000         the sheet's width and height ("%05d,%05d")
//
// Left out are parts with an empty reference (power and label symbols) and
// hierarchical block symbols (a "FILE" property naming a sheet the host has
// open). Free pins are copied too, their names followed by " [index]". With
// sortByPosition each sheet's copies are ordered by CSheet::SortPart (rows
// from the top of the sheet, then from the left) before they are appended.
//
// The working sheet remembers where each copy came from (the sheet and the
// place in its part list), so that what is decided on the copies goes back to
// exactly the part it was copied from, even when two parts of a sheet are
// alike in every field.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/covered_sheets.h"
#include "core/file/document.h"
#include "core/model/sheet.h"

namespace tavro {

inline constexpr std::string_view kDocNameTag = "{TAVRO:DOCNAME}";
inline constexpr std::string_view kSizeTag = "{TAVRO:SIZE}";

// One sheet to gather from.
struct GatherSource {
  const CSheetDoc* doc = nullptr;
  std::string path;  // full platform path (a FILE property is resolved against it)
  int number = 0;    // the sheet's index in the project, from 1
};

// Where a gathered copy came from.
struct PartOrigin {
  size_t source = 0;  // index into the sources
  size_t part = 0;    // place in that sheet's part list
};

class GatheredParts {
 public:
  GatheredParts() = default;
  GatheredParts(const GatheredParts&) = delete;
  GatheredParts& operator=(const GatheredParts&) = delete;

  CSheet& Sheet() { return sheet_; }
  const CSheet& Sheet() const { return sheet_; }
  // The origin of a copy on the working sheet; null for a part that is not one.
  const PartOrigin* OriginOf(const CPart& copy) const;
  // Adds a copy of `part` with its origin (used by GatherParts and by tests).
  CPart& Add(const CPart& part, const PartOrigin& origin);

 private:
  CSheet sheet_{kSheetScratch};
  std::unordered_map<const CPart*, PartOrigin> origins_;
};

// The name a sheet's parts are tagged with: the file name of `path` (CP932),
// the document's title without one.
std::string GatherDocName(const CSheetDoc& doc, const std::string& path);
// The two tag texts of a sheet.
std::string DocNameTagText(std::string_view docName, int number);
std::string SizeTagText(int32_t width, int32_t height);

// Copies the parts (and free pins) of the sources into `out` as described
// above. False when the user stopped the position sort.
bool GatherParts(std::span<const GatherSource> sources, bool sortByPosition, GatheredParts& out);

// Reads the sheets a command covers into `docs` and gathers their parts into
// `gathered` (each sheet's by position when `sortByPosition`); kCancelled
// also when the user stopped the sort.
LoadResult LoadAndGather(const Coverage& coverage, const SheetLoader& loader, bool sortByPosition,
                         std::vector<CSheetDoc>& docs, GatheredParts& gathered, std::string& error);

// The "{TAVRO:DOCNAME}" text of a gathered copy, after the key ("amp1.tcd [2]").
std::string GatheredDocName(const CPart& copy);
// The number between the last "[" and the last "]" of a tag text; nullopt
// when there is none.
std::optional<int> TagSheetIndex(std::string_view docName);

}  // namespace tavro
