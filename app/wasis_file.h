// The Was-Is file (.tws): reference changes carried between the sheets and
// the outside world (back-annotation after a board designer renumbered the
// parts). CP932 text, lines ended by LF. Two forms:
//
// Full form, one record per part:
//
//   Tavro Was-Is File Version 1.03
//   #
//   # Project File Name:
//   #  /work/amp/amp.tpj
//   #
//   #
//   #---- "amp1.tcd [1]" ----
//   #
//   File:"amp1.tcd [1]"
//   Old:Name="7400" Ref="U1A" Value="7400" x=2150 y=3050
//   New:Name="7400" Ref="U1A" Value="7400"
//
// The user edits the New lines. Reading: leading empty and "#" lines, then
// the version line (blanks around it ignored); then records of a "File:",
// an "Old:" and a "New:" line in any order (blanks around each line ignored,
// empty and "#" lines skipped). A second line of one key within a record, a
// line with none of the keys or an Old line without a position is a format
// error. Fields are key="text" (Name, Ref, Value; the text runs to the next
// double quote) and key=number (x or X, y or Y). The File name loses a
// trailing " [n]" (the sheet's index, kept apart) and its double quotes.
//
// Simple form, one line per reference base (the reference without its gate
// suffix): "U1<TAB>U5". Reading: empty lines and lines starting with "#", ";"
// or "/" are skipped; the old base runs to the first blank, comma or tab, the
// new base follows after blanks and commas and runs to the first blank,
// comma, tab, "#", ";" or "/". A line equal to the version line means the
// file is a full one and is refused.
//
// Both readers read the whole text before anything is applied, so a refused
// or damaged file changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro {

inline constexpr std::string_view kWasisVersionLine = "Tavro Was-Is File Version 1.03";
inline constexpr const char* kMsgWasisVersion = "バージョンが違います";
inline constexpr const char* kMsgWasisFormat = "ファイルフォーマットが異常です";

// The fields of an Old or New line, as far as the line holds them (CP932).
struct WasisFields {
  std::optional<std::string> name, ref, value;
  std::optional<int> x, y;
};
WasisFields ParseWasisFields(std::string_view text);

// The sheet a File line names.
struct WasisSheetName {
  std::string name;          // CP932, without quotes and index
  std::optional<int> index;  // the " [n]" cut from it
};
WasisSheetName ParseWasisFileName(std::string_view afterKey);

struct WasisRecord {
  int line = 0;          // line number of the record's first line (from 1)
  std::string fileText;  // after "File:"
  std::string oldText;   // after "Old:"
  std::string newText;   // after "New:"
  WasisSheetName sheet;
  WasisFields oldFields;
  WasisFields newFields;
  CPoint position;  // from the Old line
  // An unchanged record: its Old line holds its New line.
  bool Unchanged() const;
};

struct WasisSimpleLine {
  int line = 0;
  std::string oldBase;  // CP932
  std::string newBase;
};

struct WasisRead {
  enum Error { kNone, kVersion, kFormat };
  Error error = kNone;
  int errorLine = 0;                   // the line at fault (from 1); 0 at the end of the file
  std::vector<WasisRecord> records;    // full form: the complete records
  std::vector<int> incomplete;         // full form: lines of records left incomplete
  std::vector<WasisSimpleLine> lines;  // simple form: the usable lines
  std::vector<int> unusable;           // simple form: lines without an old or a new base
  // The message of the error (UTF-8), naming the line; empty without one.
  std::string Message() const;
};

WasisRead ReadWasisFull(std::string_view text);
WasisRead ReadWasisSimple(std::string_view text);

// Writing (from the gathered parts of part_gather.h, in the order given).
// `projectPath` is the project file's path (CP932; empty without a project).
std::string WriteWasisFull(const CSheet& gathered, std::string_view projectPath);
// One line per distinct reference base (letter case ignored), in the order
// of the parts (the caller sorts them by reference first).
std::string WriteWasisSimple(const CSheet& gathered);

}  // namespace tavro
