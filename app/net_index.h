// The net index: for every wire label name of a project, the sheet files
// (and optionally the positions) where it occurs, so that a reader of the
// printed sheets can follow a signal from sheet to sheet. Written as text
// (".net.csv") or through the HTML template (".net.html", section "$NET$").
//
// A run: every file of the project in project order (file numbers 0, 1, 2
// ..., written 1-based) is read and its labelled wires collected in wire list
// order (a file that cannot be read is skipped and named in a warning); the
// entries are sorted by name, letter case ignored, then by file number,
// equal entries keeping their order; with IndexSingle 0 a name that occurs
// in no other entry is left out. The text: "File lists" with every project
// file, "Wire net index", then one line per name (consecutive entries whose
// names are equal when letter case is ignored, written as the first of them
// writes it) with the file number of each entry, or with IndexXY one line
// per entry with its file number and label position.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/covered_sheets.h"
#include "core/model/geometry.h"

namespace tavro {

class CSheet;
class HtmlTemplate;
class Settings;

struct NetIndexEntry {
  std::string name;  // the wire's label text (CP932)
  int fileNo = 0;    // 0-based position of the sheet file in the project
  CPoint at;         // the label text's position
};

// Appends an entry for every wire of the sheet whose label is not empty, in
// wire list order. True when cancelled.
bool CollectNetIndex(const CSheet& sheet, int fileNo, std::vector<NetIndexEntry>& entries);
// By name (letter case ignored), then file number; equal entries keep their order.
void SortNetIndex(std::vector<NetIndexEntry>& entries);
// Removes every entry whose name (letter case ignored) no other entry has.
void DropSingleNames(std::vector<NetIndexEntry>& entries);

// The texts (CP932, LF line ends). `files` are the project's files (CP932
// full paths), file number 1 first.
std::string ComposeNetIndexText(const std::vector<NetIndexEntry>& entries,
                                const std::vector<std::string>& files, bool xy);
std::string ComposeNetIndexHtml(const std::vector<NetIndexEntry>& entries,
                                const std::vector<std::string>& files, bool xy,
                                const HtmlTemplate& tmpl, std::string_view date);

struct NetIndexOptions {
  bool single = true;         // "IndexSingle": keep names that occur once
  bool html = false;          // "IndexHtml": ".net.html" instead of ".net.csv"
  bool xy = false;            // "IndexXY": one line per occurrence with its position
  bool view = true;           // "IndexView": the caller opens the written file
  std::string outputPath;     // empty: NetIndexOutputPath of the project
  bool writeFile = true;      // false: the text is only returned
  std::string templatePath;   // empty: tavrohtml.dat of the data folder
  bool unixLineEnds = false;  // LF instead of CR LF (text form)

  // The settings of section "Tool", and "NetUnix" for the line ends.
  static NetIndexOptions FromSettings(const Settings& settings);
};

// The index file of a project (or sheet): its extension replaced by
// ".net.csv", or ".net.html".
std::string NetIndexOutputPath(const std::string& base, bool html);

struct NetIndexResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8: the files that could not be read
  std::string outputPath;             // the file written (or that would be)
  std::string text;                   // the index as written (CP932, line ends applied)
  int entries = 0;                    // labelled wires listed
};

// Runs the index of a project (every file of it) or of sheet files.
// Progress and cancel go through `progress` (the current host when null).
NetIndexResult RunNetIndex(std::span<const std::string> inputs, const NetIndexOptions& options,
                           Host* progress = nullptr, const SheetLoader& loader = {});

}  // namespace tavro
