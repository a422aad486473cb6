// Changes of part texts decided by a project-wide job (the reference
// numbering, a Was-Is file) and their write-back to the sheets.
//
// A job decides on its own copies of the sheets; each change remembers the
// part's place in its sheet's part list and what the part was (the fields
// CPart::operator== compares, and its three attribute texts). The same
// change is then made on the sheet a user keeps: the document open in the
// editor (one undoable step per document) or the sheet file (saved as the
// editor saves it). There the part is taken at its place when it still is
// what it was, else the first part not changed yet that is; a change whose
// part is no longer there is reported, never made on another part, and no
// part is changed twice.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "app/doc_save.h"
#include "core/file/document.h"
#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro {

struct PartChange {
  size_t index = 0;  // the part's place in its sheet's part list
  // What the part was.
  CPoint org, rectStart, rectEnd;
  unsigned packageMax = 0;
  unsigned package = 0;
  std::string oldName, oldRef, oldValue;  // CP932
  // What it becomes.
  std::string newName, newRef, newValue;  // CP932

  // A change of `part` (at `index`) that changes nothing yet.
  static PartChange Of(const CPart& part, size_t index);
  // Whether `part` is still the part this change was decided on.
  bool Matches(const CPart& part) const;
  // Sets the part's texts to the new ones and recomputes its box.
  void ApplyTo(CPart& part) const;
  bool ChangesSomething() const {
    return newName != oldName || newRef != oldRef || newValue != oldValue;
  }
};

// The changes of one sheet of a job.
struct SheetChanges {
  size_t sheet = 0;  // index in the job's covered sheets
  std::string path;  // full platform path of the sheet file
  std::string name;  // the document's name (CP932), as the reports show it
  int number = 0;    // the sheet's index in the project, from 1
  std::vector<PartChange> changes;
};

// Makes the changes on `sheet` as described above. Returns the changes that
// found no part (and so were not made).
std::vector<const PartChange*> ApplyPartChanges(CSheet& sheet, std::span<const PartChange> changes);

struct SheetWriteResult {
  bool ok = false;
  std::string message;     // UTF-8, one line naming the file, when !ok
  std::string backupPath;  // the backup made; empty when none
};

// Opens the sheet file of `changes`, makes the changes and saves it with
// SaveDocument (backup, atomic write, creation time kept). Fails, leaving the
// file as it was, when it is not a sheet file (.tcd: a Tango file would be
// replaced by a sheet file) or when a change finds no part (the file changed
// since the job read it).
SheetWriteResult SaveSheetChanges(const SheetChanges& changes, const SaveOptions& options);

// Whether the bytes begin with a sheet file's first line.
bool IsSheetFileData(std::string_view data);

// Reads a sheet file for a job that may write it back (without the title
// frame, as the jobs read sheets): anything but a sheet file (.tcd) is
// refused, so that a text-form or Tango file is never replaced by a sheet
// file.
DocStatus ReadSheetFileForChange(const std::string& path, CSheetDoc& doc);

}  // namespace tavro
