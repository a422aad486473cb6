#include "app/part_gather.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "core/net/connectivity.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// Texts that only the gathering writes; a part that brings one of its own
// (from a pasted text form) must not be taken for a tagged copy.
constexpr std::string_view kMarkerKey = "{TAVRO";

void DropMarkerTexts(CPart& part) {
  std::erase_if(part.Texts(), [](const std::unique_ptr<CText>& t) {
    return Find(t->GetName(), kMarkerKey) != std::string::npos;
  });
}

}  // namespace

const PartOrigin* GatheredParts::OriginOf(const CPart& copy) const {
  const auto it = origins_.find(&copy);
  return it == origins_.end() ? nullptr : &it->second;
}

CPart& GatheredParts::Add(const CPart& part, const PartOrigin& origin) {
  CPart& copy = sheet_.NewPart(part);
  origins_[&copy] = origin;
  return copy;
}

std::string GatherDocName(const CSheetDoc& doc, const std::string& path) {
  // A document read from bytes (as the jobs read open sheets) has no title
  // of its own; its file names it as the window does.
  if (path.empty()) return doc.GetTitle();
  return Utf8ToCp932(std::filesystem::path(path).filename().string());
}

std::string DocNameTagText(std::string_view docName, int number) {
  return std::string(kDocNameTag) + std::string(docName) + " [" + std::to_string(number) + "]";
}

std::string SizeTagText(int32_t width, int32_t height) {
  char size[48];
  std::snprintf(size, sizeof size, "%05d,%05d", static_cast<int>(width), static_cast<int>(height));
  return std::string(kSizeTag) + size;
}

bool GatherParts(std::span<const GatherSource> sources, bool sortByPosition, GatheredParts& out) {
  Host& host = CurrentHost();
  for (size_t s = 0; s < sources.size(); ++s) {
    const GatherSource& src = sources[s];
    const std::string docTag = DocNameTagText(GatherDocName(*src.doc, src.path), src.number);
    const std::string sizeTag = SizeTagText(src.doc->GetWorkWidth(), src.doc->GetWorkHeight());
    const std::string pinSuffix = " [" + std::to_string(src.number) + "]";

    // This sheet's copies, each remembering its place in the sheet.
    CSheet copies(kSheetScratch);
    std::unordered_map<const CPart*, size_t> place;
    const ItemList<CPart>& parts = src.doc->GetSheet().Parts();
    for (size_t i = 0; i < parts.size(); ++i) {
      const CPart& part = *parts[i];
      if (part.GetRefName().empty()) continue;
      const std::string file = part.GetProperty("FILE");
      if (!file.empty() && host.IsFileOpen(ResolveSheetFile(file, src.path))) continue;
      CPart& copy = copies.NewPart(part);
      DropMarkerTexts(copy);
      copy.NewText(docTag, copy.GetOrg(), kTextDefaultSize, kTextHidden);
      copy.NewText(sizeTag, copy.GetOrg(), kTextDefaultSize, kTextHidden);
      place[&copy] = i;
    }
    if (sortByPosition && copies.SortPart() != 0) return false;
    for (const auto& copy : copies.Parts()) out.Add(*copy, {s, place.at(copy.get())});
    for (const auto& pin : src.doc->GetSheet().Pins()) {
      CPin& p = out.Sheet().NewPin(*pin);
      if (!p.GetName().empty()) p.NameText().SetName(p.GetName() + pinSuffix);
    }
  }
  return true;
}

std::string GatheredDocName(const CPart& copy) { return copy.FindString(kDocNameTag); }

std::optional<int> TagSheetIndex(std::string_view docName) {
  const size_t open = docName.rfind('[');
  const size_t close = docName.rfind(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close <= open + 1)
    return std::nullopt;
  int64_t v = 0;
  for (size_t i = open + 1; i < close; ++i) {
    const char c = docName[i];
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > std::numeric_limits<int>::max()) return std::nullopt;
  }
  return static_cast<int>(v);
}

LoadResult LoadAndGather(const Coverage& coverage, const SheetLoader& loader, bool sortByPosition,
                         std::vector<CSheetDoc>& docs, GatheredParts& gathered,
                         std::string& error) {
  const LoadResult loaded = LoadCoveredSheets(coverage, loader, docs, error);
  if (loaded != LoadResult::kOk) return loaded;
  std::vector<GatherSource> sources;
  for (size_t i = 0; i < docs.size(); ++i)
    sources.push_back({&docs[i], coverage.sheets[i].path, coverage.sheets[i].number});
  return GatherParts(sources, sortByPosition, gathered) ? LoadResult::kOk : LoadResult::kCancelled;
}

}  // namespace tavro
