// CLibrary: the outline of a library and its index file.
//
// An outline part stands for one gate: only its own fields and its name,
// reference and value texts are read; its part name becomes the package name,
// its origin's x the package's gate count, and a gate whose own name differs
// from the package name carries that name as its one extra text. The index
// file (.tix) stores the same facts, so that a browser lists a library
// without decoding its parts; it is written from an outline and deleted
// whenever the library is rewritten.
#include <sys/stat.h>

#include "core/file/archive.h"
#include "core/model/part.h"
#include "core/model/sheet.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "library/library.h"
#include "library/library_scan.h"

namespace tavro {

int CLibrary::ReadPartOutline(CSheet& sheet) {
  if (!HasImage()) return 0;
  LibScan scan(image_);
  LibRecord r;
  while (scan.Next(r)) {
    if (!r.IsPackage()) continue;
    std::vector<std::unique_ptr<CPart>> gates;
    if (!ReadGatesOf(r, false, gates)) return 0;
    const int32_t count = static_cast<int32_t>(gates.size());
    for (auto& g : gates) {
      if (count > 1 && g->GetPartName() != r.name) g->NewText(g->GetPartName(), CPoint{}, 0, 0);
      g->PartNameText().SetName(r.name);
      g->SetOrg(CPoint{count, 0});
      sheet.NewPart(*g);
    }
  }
  if (!scan.Error().empty()) Damage(scan.DamagedName(), scan.Error());
  return 0;
}

namespace {

// The index entry of an outline part.
LibIndexEntry EntryOf(const CPart& part) {
  LibIndexEntry e;
  e.packageName = part.GetPartName();
  e.gateCount = part.GetOrg().x;
  if (e.gateCount > 1) {
    e.reference = part.GetRefName();
    if (!e.reference.empty())
      e.attr = part.GetAttr();
    else
      e.gateName = part.Texts().empty() ? part.GetPartName() : part.Texts().front()->GetName();
  }
  return e;
}

// The entries of an index file; nullopt unless it is a current, whole index.
std::optional<std::vector<LibIndexEntry>> ParseIndex(std::string_view bytes) {
  try {
    CArchive ar(bytes);
    if (!CLibrary::CheckIndexVer(ar.ReadString())) return std::nullopt;
    const int32_t count = ar.ReadI32();
    // An entry takes at least a one-byte name count and its gate count.
    if (count < 0 || static_cast<size_t>(count) > ar.Remaining() / 5) return std::nullopt;
    std::vector<LibIndexEntry> entries;
    for (int32_t i = 0; i < count; ++i) {
      LibIndexEntry e;
      e.packageName = ar.ReadString();
      e.gateCount = ar.ReadI32();
      if (e.gateCount > 1) {
        e.reference = ar.ReadString();
        if (!e.reference.empty())
          e.attr = ar.ReadU32();
        else
          e.gateName = ar.ReadString();
      }
      entries.push_back(std::move(e));
    }
    return entries;
  } catch (const ArchiveError&) {
    return std::nullopt;
  }
}

// An index written before the library last changed does not describe it.
bool IndexIsCurrent(const std::string& indexPath, const std::string& libraryPath) {
  struct stat is {
  }, ls{};
  if (::stat(indexPath.c_str(), &is) != 0) return false;
  if (::stat(libraryPath.c_str(), &ls) != 0) return true;
  if (is.st_mtim.tv_sec != ls.st_mtim.tv_sec) return is.st_mtim.tv_sec > ls.st_mtim.tv_sec;
  return is.st_mtim.tv_nsec >= ls.st_mtim.tv_nsec;
}

}  // namespace

bool CLibrary::CheckIndexVer(std::string_view text) { return text == kLibIndexVersion; }

bool CLibrary::MakeIndex(const CSheet& outline) {
  if (AppSettings().GetInt("Library File List", "Index") != 0) return true;
  CArchive ar;
  ar.WriteString(kLibIndexVersion);
  ar.WriteI32(static_cast<int32_t>(outline.Parts().size()));
  for (const auto& p : outline.Parts()) {
    const LibIndexEntry e = EntryOf(*p);
    ar.WriteString(e.packageName);
    ar.WriteI32(e.gateCount);
    if (e.gateCount > 1) {
      ar.WriteString(e.reference);
      if (!e.reference.empty())
        ar.WriteU32(e.attr);
      else
        ar.WriteString(e.gateName);
    }
  }
  return WriteFileAtomic(indexPath_, ar.Buffer());
}

std::optional<std::vector<LibIndexEntry>> CLibrary::ReadIndex() {
  if (IndexIsCurrent(indexPath_, libraryPath_)) {
    if (std::optional<std::string> bytes = tavro::ReadFile(indexPath_)) {
      if (auto entries = ParseIndex(*bytes)) return entries;
    }
  }
  if (!ReadFile()) return std::nullopt;
  CSheet outline(kSheetScratch);
  ReadPartOutline(outline);
  if (damaged_) return std::nullopt;
  MakeIndex(outline);
  std::vector<LibIndexEntry> entries;
  for (const auto& p : outline.Parts()) entries.push_back(EntryOf(*p));
  return entries;
}

}  // namespace tavro
