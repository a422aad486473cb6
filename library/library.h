// CLibrary: one part library file (.lib) and what lives beside it: the
// binary index (.tix) that lets a browser list a library without decoding
// every part, the backup (.lbk) kept before every rewrite, and the alias
// table (.tbl) of equivalent package names. It also keeps the user's ordered
// list of library files in the settings store.
//
// A library file is a sequence of package records closed by the int32
// terminator 0 (an empty file is an empty library). A record is
//   marker (int32: 202 current parts, 200 parts of record version 6; 0 and -1
//   end the library; any other value is a record of an unknown kind),
//   package name (counted string), body size (int32: the bytes after it up
//   to the end of the record), gate count (int32), and the gates' part
//   records.
// Every reader skips a record it does not want, of any kind, by its body
// size. Package names are looked up without regard to letter case.
//
// A library is held as an image: the whole file read into memory. Deleting
// changes the image; WriteFile puts it back on disk. WritePart appends a
// record to the file on disk (not to the image).
//
// Questions and messages (UTF-8) go through the prompts given to the
// library: the editor asks the user, the command line answers from its
// flags. A damaged record never crashes and is never written back: the
// reader stops with a message naming the library and the package.
//
// Paths are platform paths (UTF-8); package names are CP932 byte strings.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

class CArchive;
class CPart;
class CSheet;
class Settings;
struct LibRecord;

// Record markers of a library file.
inline constexpr int32_t kLibMarkerPackage = 202;    // parts of record version 8
inline constexpr int32_t kLibMarkerPackageV6 = 200;  // parts of record version 6
inline constexpr int32_t kLibMarkerEnd = 0;
inline constexpr int32_t kLibMarkerStop = -1;

// The first string of an index file.
inline constexpr std::string_view kLibIndexVersion = "TAVRO LIBRARY INDEX Ver 0.01";

// The questions and messages of the library (UTF-8).
inline constexpr std::string_view kLibAskCreate =
    "部品ファイルが見つかりません\n新規作成しますか？";
inline constexpr std::string_view kLibAskOverwrite = "同名の部品が存在します。\n上書きしますか？";
inline constexpr std::string_view kLibIsBackup = "バックアップファイルです。";
inline constexpr std::string_view kLibCannotCreate = "ファイル %1 を作成できません";
inline constexpr std::string_view kLibDataFault = "Library data falt. Please mail";
// Who to tell when a package cannot be loaded.
inline constexpr std::string_view kLibSupportContact =
    "the package name and the library file to your library's keeper or to the Tavro developers";

// How a library asks and tells (UTF-8 texts). Without an `ask`, every
// question is answered no; without a `show`, messages are only kept as the
// last message.
struct LibraryPrompts {
  std::function<bool(std::string_view question)> ask;
  std::function<void(std::string_view message)> show;
};

// One gate of a library as the index lists it.
struct LibIndexEntry {
  std::string packageName;  // CP932
  int32_t gateCount = 0;
  std::string reference;  // gate count > 1
  uint32_t attr = 0;      // gate count > 1 and a reference
  std::string gateName;   // gate count > 1 and no reference
};

class CLibrary {
 public:
  CLibrary();
  explicit CLibrary(LibraryPrompts prompts);
  ~CLibrary();
  CLibrary(const CLibrary&) = delete;
  CLibrary& operator=(const CLibrary&) = delete;
  CLibrary(CLibrary&&) noexcept = default;
  CLibrary& operator=(CLibrary&&) noexcept = default;

  void SetPrompts(LibraryPrompts prompts) { prompts_ = std::move(prompts); }
  // The last message shown or refused (UTF-8); empty when none.
  const std::string& LastMessage() const { return lastMessage_; }
  // True when the last read stopped at a damaged record.
  bool Damaged() const { return damaged_; }

  // --- names ---
  // Stores the path without trailing blanks and full stops; the index path is
  // the path less ".lib" (any case) plus ".tix", or the whole path plus ".tix".
  void SetLibraryName(const std::string& path);
  const std::string& GetLibraryName() const { return libraryPath_; }
  const std::string& GetIndexName() const { return indexPath_; }
  void SetPackageName(std::string name) { packageName_ = std::move(name); }
  const std::string& GetPackageName() const { return packageName_; }
  // The backup file of a library path ("a/x.lib" -> "a/x.lbk", "a/x" -> "a/x.lbk").
  static std::string BackupName(const std::string& path);
  // The alias table of a library path ("a/x.lib" -> "a/x.tbl"); empty when
  // the path does not end in ".lib".
  static std::string AliasTableName(const std::string& path);

  // --- the library list (settings section "Library File List") ---
  const std::vector<std::string>& ReadLibraryList();
  bool WriteLibraryList();
  void SetLibraryList(std::vector<std::string> list) { libraryList_ = std::move(list); }
  const std::vector<std::string>& GetLibraryList() const { return libraryList_; }

  // --- the file ---
  // Loads the library file into the image; 1 on success. A missing file is
  // offered for creation; a backup file is refused.
  int ReadFile();
  // Writes the image back (with backup); false when it could not be written.
  bool WriteFile();
  // Appends one package record, named by the package name, holding every
  // part of `sheet` in its order; false when nothing was written.
  bool WritePart(const CSheet& sheet);
  // Adds every gate of the package to `sheet`; 1 when the package was found.
  int ReadPart(CSheet& sheet, bool alias);
  // Loads gate `gate` (from 1; the first gate for 0 or one past the end) of a
  // package into `part`; 1 on success.
  int GetPart(CPart& part, const std::string& libraryPath, const std::string& packageName,
              int gate);
  // Removes the first package of the package name from the image; false when
  // the user refused the question or the image could not be written.
  bool DelPart(bool ask, bool write);
  // One outline part per gate of every package (see library_index.cpp); 0.
  int ReadPartOutline(CSheet& sheet);
  bool MakeIndex(const CSheet& outline);
  static bool CheckIndexVer(std::string_view text);
  // The index entries of the library: from its index file when that is
  // current, else from the library (and the index is written). nullopt when
  // the library cannot be read.
  std::optional<std::vector<LibIndexEntry>> ReadIndex();
  // The alias-table line that holds the package name; 1 when found.
  int SetPartNameList(std::string& line);

  // --- the text form of a library ---
  // Writes the image as a text library; 1 on success.
  int WriteAsciiFile(const std::string& textPath);
  // Replaces the library file with the packages of a text library; 1 on
  // success. On any error the library file is left as it was.
  int ReadAsciiFile(const std::string& textPath);

  // --- the image ---
  bool HasImage() const { return !image_.empty(); }
  const std::string& Image() const { return image_; }
  int32_t ImageSize() const { return static_cast<int32_t>(image_.size()); }
  // The package names of the image, in order.
  std::vector<std::string> PackageNames();

 private:
  bool MakeBackUp();
  bool ReadTruePartName(std::string& alias);
  int ReadPartFrom(CSheet& sheet, const std::string& alias, bool aliasResolved);
  // The gates of a package record (full parts or outlines); false after
  // reporting a damaged record.
  bool ReadGatesOf(const LibRecord& record, bool full, std::vector<std::unique_ptr<CPart>>& gates);
  void Show(std::string_view message);
  bool Ask(std::string_view question);
  void Damage(const std::string& package, const std::string& reason);
  std::string CannotCreate(const std::string& path) const;

  LibraryPrompts prompts_;
  std::string libraryPath_;
  std::string packageName_;
  std::string indexPath_;
  std::string image_;
  std::time_t savedCreationTime_ = 0;
  std::vector<std::string> libraryList_;
  std::string lastMessage_;
  bool damaged_ = false;
};

}  // namespace tavro
