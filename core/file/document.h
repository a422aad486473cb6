// CSheetDoc: one sheet document: the main sheet (type 0), the title-frame
// sheet (type 1) and the document's own fields: property strings
// ("&key&value", CP932), work size, sheet size code, view rectangle and
// data-file version, with its path, title and the file times it read.
//
// The sheet file (.tcd) is one header line ("Tavro DATA FILE Ver 0.08")
// followed by a binary body in the archive encoding:
//
//   uint32 900, uint32 N, N property strings     (version 7 and later)
//   uint32 1, int32 width, int32 height, int32 sheet size code
//   uint32 2, view rectangle                     (version 4 and later)
//   main sheet body
//   uint32 title flag; when 1: title sheet body, uint32 0
//
// Reading never changes the document until the whole file has been read: it
// reads into a fresh document and takes it over only on success. A document
// without an embedded title frame gets the title file of its paper from the
// data folder; reading a title file only fills the title-frame sheet, never
// the document's fields. Writing goes to a temporary file in the same folder
// that replaces the target only when it is complete.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro {

class CArchive;

// Sheet size codes.
enum SheetSizeCode : int {
  kSizeA2 = 0,   // A2 landscape
  kSizeA3 = 1,   // A3 landscape
  kSizeA4 = 2,   // A4 landscape
  kSizeA2P = 3,  // A2 portrait
  kSizeA3P = 4,  // A3 portrait
  kSizeA4P = 5,  // A4 portrait
};

// The outcome of a read or a write.
struct DocStatus {
  bool ok = true;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8: what went wrong without failing
};

// Times of the document's file (0 when unknown). The creation time is the
// one the program recorded on the file (see SetFileCreationTime), else the
// file system's birth time where it keeps one, else the status change time.
struct FileTimes {
  std::time_t lastWrite = 0;
  std::time_t lastAccess = 0;
  std::time_t creation = 0;
};

// Width and height of a drawing area in mils.
struct WorkSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The times of a file (zeros when it cannot be read).
FileTimes ReadFileTimes(const std::string& path);

// The extended attribute holding a sheet file's creation time: decimal
// seconds since the epoch, as text. The system cannot set a file's birth
// time, and every save makes a new file, so the creation time a sheet keeps
// across saves is recorded here.
inline constexpr const char* kCreationTimeAttribute = "user.tavro.creation";
// Records `t` as the creation time of the file at `path` (links followed);
// false when the file system refuses.
bool SetFileCreationTime(const std::string& path, std::time_t t);

// Where the title-frame sheet came from.
enum class TitleSource { kNone, kEmbedded, kFile };

class CSheetDoc {
 public:
  // The version written.
  static constexpr int kFileVersion = 8;
  static constexpr std::string_view kHeaderLine = "Tavro DATA FILE Ver 0.08\n";

  // A new document as Reset() makes it (no title frame loaded).
  CSheetDoc();
  CSheetDoc(CSheetDoc&&) noexcept;
  CSheetDoc& operator=(CSheetDoc&&) noexcept;
  CSheetDoc(const CSheetDoc&) = delete;
  CSheetDoc& operator=(const CSheetDoc&) = delete;
  ~CSheetDoc();

  // --- new documents ---
  // Empties the document and takes size code and work size from the settings
  // (section "Sheet": "Work", "Work Width", "Work Height"); the view is the
  // whole work area.
  void Reset();
  // Reset() and the title frame of the paper.
  DocStatus NewDocument();

  // --- reading ---
  // Opens a sheet file, or a Tango file as a new drawing named after it (no
  // path: saving asks for a sheet file's name).
  DocStatus Open(const std::string& path);
  // Reads the bytes of a sheet file as Open does; `name` names the file in
  // messages. With loadTitle the title file is loaded when the file embeds
  // no title frame.
  DocStatus Load(std::string_view data, const std::string& name, bool loadTitle = true);
  // A new document (Reset) whose main sheet holds the items of a text-form file.
  DocStatus OpenText(const std::string& path);
  DocStatus LoadText(std::string_view text, const std::string& name, bool loadTitle = true);
  // Loads the title file when the title-frame sheet is empty. A title file
  // that cannot be read leaves the sheet empty and gives a warning.
  DocStatus LoadTitleFrame();

  // --- writing ---
  // Writes a version-8 sheet file; the title frame is embedded when
  // titleInclude (default: section "FileSave", "TitleInclude").
  DocStatus Save(const std::string& path);
  DocStatus Save(const std::string& path, bool titleInclude);
  // The bytes Save writes.
  std::string Write(bool titleInclude) const;
  // The main sheet as a Tango schematic file (header and body).
  std::string WriteTango() const;
  // The main sheet and, when the title frame is shown ("Sheet"/"TitleDisp"),
  // the title-frame sheet as a DXF file, configured and extended by the
  // header file "DXF_HDR.DAT" of the data folder. Without that file nothing
  // is written: the status carries the message.
  DocStatus WriteDXF(std::string& out) const;
  // The text form of the main sheet.
  std::string WriteText() const;

  // --- sheets ---
  CSheet& GetSheet() { return *sheet_; }
  const CSheet& GetSheet() const { return *sheet_; }
  CSheet& GetTitleSheet() { return *titleSheet_; }
  const CSheet& GetTitleSheet() const { return *titleSheet_; }
  TitleSource GetTitleSource() const { return titleSource_; }

  // --- fields ---
  const std::vector<std::string>& GetProperties() const { return properties_; }
  void SetProperties(std::vector<std::string> p) { properties_ = std::move(p); }
  // The value of the first property string "&key&..." (key compared without
  // regard to case); empty when there is none.
  std::string GetProperty(std::string_view key) const;
  int32_t GetWorkWidth() const { return workWidth_; }
  int32_t GetWorkHeight() const { return workHeight_; }
  void SetWorkSize(int32_t width, int32_t height);
  int GetSizeCode() const { return sizeCode_; }
  void SetSizeCode(int code) { sizeCode_ = code; }
  const CRect& GetViewRect() const { return viewRect_; }
  void SetViewRect(const CRect& r) { viewRect_ = r; }
  int GetVersion() const { return version_; }
  // The file's path (a platform path, UTF-8); empty for a new document.
  const std::string& GetPath() const { return path_; }
  // The name shown for the document (CP932): the file name.
  const std::string& GetTitle() const { return title_; }
  const FileTimes& GetFileTimes() const { return times_; }
  // Replaces the remembered file times (after the creation time was carried
  // over to a newly written file).
  void SetFileTimes(const FileTimes& t) { times_ = t; }

  // --- title files and paper ---
  // The title file of this document (CP932): the "&TitleFile&" property when
  // there is one, else the file of the paper; empty for an unknown size code.
  std::string GetTitleFileName() const;
  // "Title.A2" .. "Title.A4" for codes 0-2, "Title.A2P" .. "Title.A4P" for 3-5.
  static std::string TitleFileNameForSize(int sizeCode);
  // The paper name of a size code (UTF-8: "A3横"), "" for an unknown code.
  static const char* PaperName(int sizeCode);
  // Work size of a new document of this size code from the settings, with
  // the built-in paper sizes (mils) where the settings hold none.
  static WorkSize WorkSizeForCode(int sizeCode);

 private:
  // Reads the header fields and sheets after the header line of a sheet file
  // of `version` into this document.
  void ReadBody(CArchive& ar, int version);
  // Reads a title file's bytes into `into` (its header fields are passed over).
  static DocStatus ReadTitleFile(std::string_view data, const std::string& name, CSheet& into);
  // The Tango reader: a Tango schematic file into `into`.
  // The sheet's width and height come back in `size` when it is given.
  static DocStatus ReadTango(std::string_view data, const std::string& name, CSheet& into,
                             WorkSize* size = nullptr);
  void TakeFile(const std::string& path, const FileTimes& times);

  std::unique_ptr<CSheet> sheet_;
  std::unique_ptr<CSheet> titleSheet_;
  TitleSource titleSource_ = TitleSource::kNone;
  std::vector<std::string> properties_;
  int32_t workWidth_ = 0;
  int32_t workHeight_ = 0;
  int sizeCode_ = kSizeA3;
  CRect viewRect_;
  int version_ = kFileVersion;
  std::string path_;
  std::string title_;
  FileTimes times_;
};

}  // namespace tavro
