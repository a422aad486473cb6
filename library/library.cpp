// CLibrary: names, prompts, the library file and its records.
#include "library/library.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/file/file_backup.h"
#include "core/model/part.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "library/library_scan.h"

namespace tavro {

namespace {

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualNoCase(s.substr(s.size() - suffix.size()), suffix);
}

std::string ReplaceFirst(std::string_view text, std::string_view what, std::string_view with) {
  std::string s(text);
  const size_t at = s.find(what);
  if (at != std::string::npos) s.replace(at, what.size(), with);
  return s;
}

}  // namespace

CLibrary::CLibrary() = default;
CLibrary::CLibrary(LibraryPrompts prompts) : prompts_(std::move(prompts)) {}
CLibrary::~CLibrary() = default;

// ---------------------------------------------------------------------------
// Prompts

void CLibrary::Show(std::string_view message) {
  lastMessage_ = message;
  if (prompts_.show) prompts_.show(message);
}

bool CLibrary::Ask(std::string_view question) {
  lastMessage_ = question;
  return prompts_.ask && prompts_.ask(question);
}

void CLibrary::Damage(const std::string& package, const std::string& reason) {
  damaged_ = true;
  std::string text = "部品ファイル " + libraryPath_ + " が壊れています";
  if (!package.empty()) text += " (パッケージ " + Cp932ToUtf8(package) + ")";
  text += ": " + reason;
  Show(text);
}

std::string CLibrary::CannotCreate(const std::string& path) const {
  return ReplaceFirst(kLibCannotCreate, "%1", path);
}

// ---------------------------------------------------------------------------
// Names

void CLibrary::SetLibraryName(const std::string& path) {
  std::string p = path;
  while (!p.empty() && (p.back() == ' ' || p.back() == '.')) p.pop_back();
  libraryPath_ = p;
  indexPath_ = EndsWithNoCase(p, ".lib") ? p.substr(0, p.size() - 4) + ".tix" : p + ".tix";
}

std::string CLibrary::BackupName(const std::string& path) {
  if (EndsWithNoCase(path, ".lib")) return path.substr(0, path.size() - 4) + ".lbk";
  std::string p = path;
  if (!p.empty() && p.back() == '.') p.pop_back();
  return p + ".lbk";
}

// ---------------------------------------------------------------------------
// The file

int CLibrary::ReadFile() {
  damaged_ = false;
  if (EndsWithNoCase(libraryPath_, ".lbk")) {
    Show(kLibIsBackup);
    return 0;
  }
  std::optional<std::string> bytes = tavro::ReadFile(libraryPath_);
  if (!bytes) {
    if (errno != ENOENT) {
      // Only a missing file is offered for creation: an unreadable one is
      // never replaced by an empty library.
      Show(libraryPath_ + "\nファイルが開けません (" + std::strerror(errno) + ")");
      return 0;
    }
    if (!Ask(libraryPath_ + "\n" + std::string(kLibAskCreate))) return 0;
    std::string error;
    if (!WriteFileAtomic(libraryPath_, {}, &error)) {
      Show(CannotCreate(libraryPath_));
      return 0;
    }
    bytes.emplace();
  }
  if (bytes->size() > static_cast<size_t>(INT32_MAX)) {
    Show(libraryPath_ + "\nファイルが大きすぎます");
    return 0;
  }
  image_ = std::move(*bytes);
  return 1;
}

bool CLibrary::MakeBackUp() {
  if (AppSettings().GetInt("FileSave", "LibraryBackUp") == 0) return false;
  struct stat st {};
  if (::stat(libraryPath_.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  savedCreationTime_ = ReadFileTimes(libraryPath_).creation;
  if (IsReadOnlyMode(st.st_mode)) return true;
  MakeBackupCopy(libraryPath_, BackupName(libraryPath_), savedCreationTime_);
  return true;
}

// Deletes the index of a library that has changed (a read-only index stays).
void DropIndex(const std::string& indexPath) {
  struct stat st {};
  if (::stat(indexPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !IsReadOnlyMode(st.st_mode))
    ::unlink(indexPath.c_str());
}

// Writes a whole library file through the one save routine; the file keeps
// the creation time it had (a new file records its own).
bool WriteLibraryBytes(const std::string& path, std::string_view bytes, std::string& error) {
  struct stat st {};
  const bool existed = ::stat(path.c_str(), &st) == 0;
  if (existed && IsReadOnlyMode(st.st_mode)) {
    error = "読み込み専用です";
    return false;
  }
  const std::time_t creation = existed ? ReadFileTimes(path).creation : 0;
  if (!WriteFileAtomic(path, bytes, &error)) return false;
  const std::time_t keep = creation != 0 ? creation : ReadFileTimes(path).creation;
  if (keep != 0) SetFileCreationTime(path, keep);
  return true;
}

void WriteTerminator(std::string& image) {
  CArchive ar;
  ar.WriteI32(kLibMarkerEnd);
  image += ar.Buffer();
}

bool CLibrary::WriteFile() {
  MakeBackUp();
  std::string error;
  if (!WriteLibraryBytes(libraryPath_, image_, error)) {
    Show(CannotCreate(libraryPath_) + " (" + error + ")");
    return false;
  }
  DropIndex(indexPath_);
  return true;
}

std::string LibraryRecord(const std::string& name, const std::vector<const CPart*>& parts) {
  CArchive body;
  body.WriteI32(static_cast<int32_t>(parts.size()));
  for (const CPart* p : parts) p->DataWrite(body);
  CArchive ar;
  ar.WriteI32(kLibMarkerPackage);
  ar.WriteString(name);
  ar.WriteI32(static_cast<int32_t>(body.Buffer().size()));
  ar.WriteBytes(body.Buffer().data(), body.Buffer().size());
  return ar.TakeBuffer();
}

bool CLibrary::WritePart(const CSheet& sheet) {
  if (HasImage() && !WriteFile()) return false;
  std::optional<std::string> file = tavro::ReadFile(libraryPath_);
  if (!file) {
    if (errno != ENOENT) {
      Show(CannotCreate(libraryPath_) + " (" + std::strerror(errno) + ")");
      return false;
    }
    file.emplace();
  }
  // The new record takes the place of the terminator. A library whose
  // records do not lead to its last four bytes is damaged: appending after
  // the damage would hide the new package, so nothing is written.
  LibScan scan(*file);
  LibRecord r;
  while (scan.Next(r)) {
  }
  if (!scan.Error().empty()) {
    Damage(scan.DamagedName(), scan.Error());
    return false;
  }
  size_t at = scan.EndOffset();
  if (scan.EndedAtTerminator() && at + 4 != file->size()) {
    Damage({}, "data after the end of the library at byte " + std::to_string(at + 4));
    return false;
  }
  std::vector<const CPart*> parts;
  for (const auto& p : sheet.Parts()) parts.push_back(p.get());
  std::string bytes = file->substr(0, at) + LibraryRecord(packageName_, parts);
  WriteTerminator(bytes);
  std::string error;
  if (!WriteLibraryBytes(libraryPath_, bytes, error)) {
    Show(CannotCreate(libraryPath_) + " (" + error + ")");
    return false;
  }
  // The index no longer lists what the library holds.
  DropIndex(indexPath_);
  return true;
}

namespace {

// The gates of one package record; throws ArchiveError on damage.
std::vector<std::unique_ptr<CPart>> ReadGates(std::string_view body, int32_t marker, bool full) {
  CArchive ar(body);
  const int32_t count = ar.ReadI32();
  if (count < 0 || static_cast<size_t>(count) > ar.Remaining() / kLibMinPartRecord)
    throw ArchiveError("gate count " + std::to_string(count) + " does not fit in the " +
                       std::to_string(ar.Remaining()) + " bytes of the package");
  const int version = marker == kLibMarkerPackageV6 ? 6 : 8;
  std::vector<std::unique_ptr<CPart>> gates;
  for (int32_t i = 0; i < count; ++i) {
    auto part = std::make_unique<CPart>();
    part->DataRead(ar, full, version);
    gates.push_back(std::move(part));
  }
  return gates;
}

}  // namespace

std::vector<std::unique_ptr<CPart>> ReadLibraryGates(std::string_view body, int32_t marker,
                                                     bool full) {
  return ReadGates(body, marker, full);
}

bool CLibrary::ReadGatesOf(const LibRecord& record, bool full,
                           std::vector<std::unique_ptr<CPart>>& gates) {
  try {
    gates = ReadLibraryGates(record.Body(image_), record.marker, full);
    return true;
  } catch (const ArchiveError& e) {
    Damage(record.name, e.what());
    return false;
  }
}

int CLibrary::ReadPart(CSheet& sheet, bool alias) {
  if (!HasImage()) return 0;
  std::string aliasName;
  const bool resolved = alias && ReadTruePartName(aliasName);
  return ReadPartFrom(sheet, aliasName, resolved);
}

int CLibrary::ReadPartFrom(CSheet& sheet, const std::string& alias, bool resolved) {
  LibScan scan(image_);
  LibRecord r;
  while (scan.Next(r)) {
    if (!r.IsPackage()) continue;
    if (!packageName_.empty() && !EqualNoCase(packageName_, r.name)) continue;
    std::vector<std::unique_ptr<CPart>> gates;
    if (!ReadGatesOf(r, true, gates)) return 0;
    for (auto& g : gates) {
      if (resolved) g->PartNameText().SetName(alias);
      sheet.NewPart(*g);
    }
    return 1;
  }
  if (!scan.Error().empty()) {
    Damage(scan.DamagedName(), scan.Error());
    return 0;
  }
  if (resolved) {
    // The alias itself may be a package of this library.
    packageName_ = alias;
    return ReadPartFrom(sheet, {}, false);
  }
  return 0;
}

int CLibrary::GetPart(CPart& part, const std::string& libraryPath, const std::string& packageName,
                      int gate) {
  SetPackageName(packageName);
  SetLibraryName(libraryPath);
  ReadFile();
  CSheet temp(kSheetScratch);
  ReadPart(temp, true);
  if (temp.Parts().empty()) {
    if (!damaged_) Show(std::string(kLibDataFault) + " " + std::string(kLibSupportContact));
    return 0;
  }
  const auto& parts = temp.Parts();
  const size_t at = gate >= 1 && static_cast<size_t>(gate) <= parts.size() ? gate - 1 : 0;
  part = *parts[at];
  return 1;
}

bool CLibrary::DelPart(bool ask, bool write) {
  if (!HasImage()) return true;
  LibScan scan(image_);
  LibRecord r;
  while (scan.Next(r)) {
    if (!r.IsPackage() || !EqualNoCase(r.name, packageName_)) continue;
    if (ask && !Ask(kLibAskOverwrite)) return false;
    image_.erase(r.start, r.End() - r.start);
    return write ? WriteFile() : true;
  }
  if (!scan.Error().empty()) {
    Damage(scan.DamagedName(), scan.Error());
    return false;
  }
  return true;
}

std::vector<std::string> CLibrary::PackageNames() {
  std::vector<std::string> names;
  LibScan scan(image_);
  LibRecord r;
  while (scan.Next(r))
    if (r.IsPackage()) names.push_back(r.name);
  if (!scan.Error().empty()) Damage(scan.DamagedName(), scan.Error());
  return names;
}

}  // namespace tavro
