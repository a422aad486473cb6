// The project file (.tpj): the ordered list of a design's sheet files, each
// with a check mark, and the design's named properties (drawing number,
// product name, PDF title...). A small line-oriented CP932 text file:
//
//   Project File Ver 0.03
//   1:main.tcd              check flag, colon, path (relative to the project
//   0:sub\power.tcd          folder where possible, backslash separators)
//   EndFileList
//   Property List           optional
//   &SHEETNO&A-1234
//   EndPropertyList
//
// Older files (versions 1 and 2) hold bare paths, all checked; "Propaty List"
// and "EndPropatyList" are accepted as the old spellings of the markers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavro {

// Paths in memory are the platform's own (UTF-8, "/" separators); the file
// holds CP932 with backslash separators in relative paths. Property names and
// values are CP932 like all model text.
struct ProjectEntry {
  std::string path;  // absolute
  bool checked = true;
};

class ProjectFile {
 public:
  // All entries of the file list, relative paths made absolute; nullopt when
  // the file cannot be read or is not a project file.
  static std::optional<std::vector<ProjectEntry>> ReadEntries(const std::string& projectPath);

  // The reader of the project dialog and the commands: fills `out` (emptied
  // first) with the checked paths, or every path with `allFiles`, each prefixed
  // with "1:" or "0:" when `withFlags` is also set. Returns the number of
  // paths, or -1 when the file cannot be opened or is not a project file.
  static int ReadFileList(const std::string& projectPath, std::vector<std::string>& out,
                          bool allFiles, bool withFlags);

  // Rewrites the file list (version 3), keeping every line that followed
  // "EndFileList" in the old file. Paths in the project folder or below are
  // written relative to it. False (file untouched) when it cannot be written.
  static bool WriteFileList(const std::string& projectPath,
                            const std::vector<ProjectEntry>& entries, std::string* error = nullptr);

  // The value of a named property (names compared without regard to case),
  // empty when the project has none.
  static std::string GetProperty(const std::string& projectPath, std::string_view name);
  // All properties of the property list in file order (name, value).
  static std::vector<std::pair<std::string, std::string>> GetProperties(
      const std::string& projectPath);
  // Adds or replaces a property. False (file untouched) when the file cannot
  // be read or written.
  static bool SetProperty(const std::string& projectPath, std::string_view name,
                          std::string_view value, std::string* error = nullptr);
  // Adds or replaces several properties in one write, in the order given.
  static bool SetProperties(const std::string& projectPath,
                            const std::vector<std::pair<std::string, std::string>>& props,
                            std::string* error = nullptr);
  // Removes the properties named in `remove` (every line of such a name, names
  // compared without regard to case), then adds or replaces `props` as
  // SetProperties does, in one write. The markers of the list stay, even
  // around an empty list. False (file untouched) when the file cannot be read
  // or written.
  static bool UpdateProperties(const std::string& projectPath,
                               const std::vector<std::string>& remove,
                               const std::vector<std::pair<std::string, std::string>>& props,
                               std::string* error = nullptr);
  // Why a property (CP932) cannot be kept in a project file and read back as
  // it was given, blanks around the name and the value aside (UTF-8); nullopt
  // when it can.
  static std::optional<std::string> CheckProperty(std::string_view name, std::string_view value);

  // The version of a first line ("Project File Ver 0.03" gives 3); 0 when the
  // line is not a project file's first line.
  static int ParseVersion(std::string_view firstLine);
  // The path (CP932) as written into the file for a project in `projectDir`.
  static std::string RelativePath(const std::string& projectDir, const std::string& path);
  // A stored (CP932) path made absolute against `projectDir` (both separators
  // accepted), as a platform path.
  static std::string AbsolutePath(const std::string& projectDir, std::string_view stored);
  // A path is absolute when it starts with "/", a drive letter or two backslashes.
  static bool IsAbsolute(std::string_view stored);
};

}  // namespace tavro
