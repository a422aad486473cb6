// The parts list job (部品表): a comma-separated list of the parts of a
// project, or of sheet files taken together as the open sheets. GUI-free; the
// command line fills the options from its arguments, the editor from its
// dialog "部品表作成".
//
// A run gathers the parts as reference numbering does (each sheet in project
// order, parts without a reference and block symbols standing for a covered
// sheet left out, the copies of each sheet ordered by position), then:
//
//   - reference key of a part: its reference without the gate suffix
//     (GetRefNameA) when its package has more than one gate, else the whole
//     reference; upper-cased;
//   - group key: part name, value and the value of each listed property;
//   - first pass: the keys of the parts marked NOPARTLIST (unless forced) and
//     NOMOUNT, each key once, in gathered order;
//   - second pass: one entry per group key, holding the reference keys of its
//     parts (a key once, so the gates of one package count once; an
//     undecided key with "?" every time); the parts whose key is on the
//     NOPARTLIST list stay out of every entry;
//   - the references of an entry sorted by CompareRef, the entries by their
//     group key (bytes);
//
// and writes, in CP932:
//
//   NOPARTLIST,R9            when some part is marked so (and not forced)
//   NOMOUNT,C7,C8            when some part is marked so
//   SHEETNO,A-1234           the project's drawing number, when not empty
//   SETNAME,...              the product name, when not empty
//   PCBMAKE,5                the number of boards, when not 0
//   PROPERTY,MAKER,PARTNO    the listed properties, when there are any
//   REFCOUNT                 with the count
//   使用部品数,      12      the number of parts in the entries
//   RES,10k,R1,R2,R3         one line per entry: name, value, property values,
//                            the count, the references
//
// An entry with more than 250 fields after its name and value goes on over
// further lines, each starting with the name and value again. A field that
// holds a comma, a double quote or a line break is quoted (double quotes
// doubled), so that a value such as "1,5k" stays one column and one group.
//
// The file goes beside the project (PROJECT.csv) or, for sheets given without
// a project, beside the first sheet; outputPath overrides. Line ends are CR LF,
// or LF with unixLineEnds. A cancel or a failure writes nothing.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/covered_sheets.h"

namespace tavro {

class CSheet;
class CPart;
class Settings;

// The header values a project keeps for its parts list: "SHEETNO" (図面番号),
// "SETNAME" (製品名) and "PCBMAKE" (製作台数, 1 to 32767, stored as "%d").
struct BomHeader {
  std::string sheetNo;  // CP932
  std::string setName;  // CP932
  int pcbMake = 0;      // 0: none

  bool operator==(const BomHeader&) const = default;
};
inline constexpr int kMaxPcbMake = 32767;

struct BomOptions {
  std::string outputPath;        // empty: beside the project or the first sheet, ".csv"
  bool writeFile = true;         // false: the list is only returned
  bool partCount = false;        // "PartCount": the count of each entry after its group key
  std::string listProperty;      // "ListProperty": property names separated by commas (CP932)
  bool forceNoPartList = false;  // NOPARTLISTを強制出力: NOPARTLIST parts are listed as any other
  // The header values; those not given are the project's (none without a project).
  std::optional<std::string> sheetNo;  // CP932
  std::optional<std::string> setName;  // CP932
  std::optional<int> pcbMake;          // 0 to 32767
  // Store the header values into the project before the list is made (the
  // dialog stores them itself when it is confirmed).
  bool storeHeader = false;
  bool allFiles = false;      // every file of a project, not only the checked ones
  bool unixLineEnds = false;  // LF instead of CR LF
  // "プロジェクトが設定されていません\n現在開いているファイルで処理しますか？",
  // asked when sheets are given without a project; false cancels the run.
  // Unset: yes.
  std::function<bool()> useOpenSheets;

  // The defaults of a run: "PartCount" and "ListProperty" of section "Tool",
  // and "NetUnix" for the line ends.
  static BomOptions FromSettings(const Settings& settings);
  // Stores "PartCount" and "ListProperty" as the dialog does.
  void Store(Settings& settings) const;
};

struct BomResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8
  std::string outputPath;             // the file written (or that would be)
  std::string text;                   // the list (CP932, line ends applied)
  BomHeader header;                   // the header values used
  int entries = 0;                    // groups listed
  int usedParts = 0;                  // "使用部品数"
  int noPartList = 0;                 // keys on the NOPARTLIST line
  int noMount = 0;                    // keys on the NOMOUNT line
  bool stored = false;                // the header values went into the project
};

// The list of `gathered` parts (CP932, LF line ends); empty text with
// `cancelled` when the host's step asked to stop (stages "部品表を作成中",
// one step per part, and "ソート中").
struct BomList {
  std::string text;
  int entries = 0;
  int usedParts = 0;
  int noPartList = 0;
  int noMount = 0;
  bool cancelled = false;
};
BomList ComposeBom(const CSheet& gathered, const BomOptions& options, const BomHeader& header);

// The property names of a "ListProperty" text: blanks and commas cut from
// both ends, split at commas, each name trimmed and upper-cased (CP932).
std::vector<std::string> SplitPropertyList(std::string_view list);
// The reference key of a part (see above).
std::string BomRefKey(const CPart& part);
// One CSV field: as it is, or quoted when it holds a comma, a double quote
// or a line break.
std::string CsvField(std::string_view field);

// The parts list beside a project or sheet: its extension replaced by ".csv".
std::string BomPath(const std::string& base);

// The header values stored in a project. A "PCBMAKE" that is not a number
// from 1 to 32767 counts as none, with a warning (UTF-8) when `warnings` is
// given.
BomHeader ReadBomHeader(const std::string& projectPath,
                        std::vector<std::string>* warnings = nullptr);
// Why the header values cannot be stored into a project and read back as
// they are (UTF-8); nullopt when they can.
std::optional<std::string> CheckBomHeader(const BomHeader& header);
// Stores the header values into the project in one write: "SHEETNO" and
// "SETNAME", and "PCBMAKE" as "%d"; a value that is empty (a count of 0)
// removes its property. No other line of the file changes. False (file
// untouched) with `error` when the values cannot be stored or the file
// cannot be written.
bool StoreBomHeader(const std::string& projectPath, const BomHeader& header,
                    std::string* error = nullptr);

// Runs the job on one project file or on one or more sheet files. Progress
// and cancel go through `progress` (the current host when null).
BomResult RunBom(std::span<const std::string> inputs, const BomOptions& options,
                 Host* progress = nullptr, const SheetLoader& loader = {});

}  // namespace tavro
