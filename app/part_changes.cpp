#include "app/part_changes.h"

#include <vector>

#include "app/covered_sheets.h"
#include "core/file/document.h"
#include "core/platform/paths.h"

namespace tavro {

PartChange PartChange::Of(const CPart& part, size_t index) {
  PartChange c;
  c.index = index;
  c.org = part.GetOrg();
  c.rectStart = part.GetRectStart();
  c.rectEnd = part.GetRectEnd();
  c.packageMax = part.GetPackageMax();
  c.package = part.GetPackage();
  c.oldName = c.newName = part.GetPartName();
  c.oldRef = c.newRef = part.GetRefName();
  c.oldValue = c.newValue = part.GetValName();
  return c;
}

bool PartChange::Matches(const CPart& part) const {
  return part.GetOrg() == org && part.GetRectStart() == rectStart && part.GetRectEnd() == rectEnd &&
         part.GetPackageMax() == packageMax && part.GetPackage() == package &&
         part.GetPartName() == oldName && part.GetRefName() == oldRef &&
         part.GetValName() == oldValue;
}

void PartChange::ApplyTo(CPart& part) const {
  if (part.GetPartName() != newName) part.PartNameText().SetName(newName);
  if (part.GetRefName() != newRef) part.RefNameText().SetName(newRef);
  if (part.GetValName() != newValue) part.ValNameText().SetName(newValue);
  part.CalcBoundRect();
}

std::vector<const PartChange*> ApplyPartChanges(CSheet& sheet,
                                                std::span<const PartChange> changes) {
  ItemList<CPart>& parts = sheet.Parts();
  std::vector<bool> taken(parts.size(), false);
  std::vector<CPart*> target(changes.size(), nullptr);
  // Every part is found before any is changed, so that a change never finds
  // a part another change has just made look like its own.
  for (size_t i = 0; i < changes.size(); ++i) {
    const PartChange& c = changes[i];
    size_t at = parts.size();
    if (c.index < parts.size() && !taken[c.index] && c.Matches(*parts[c.index])) {
      at = c.index;
    } else {
      for (size_t j = 0; j < parts.size(); ++j)
        if (!taken[j] && c.Matches(*parts[j])) {
          at = j;
          break;
        }
    }
    if (at == parts.size()) continue;
    taken[at] = true;
    target[i] = parts[at].get();
  }
  std::vector<const PartChange*> missed;
  for (size_t i = 0; i < changes.size(); ++i) {
    if (target[i])
      changes[i].ApplyTo(*target[i]);
    else
      missed.push_back(&changes[i]);
  }
  return missed;
}

bool IsSheetFileData(std::string_view data) {
  const std::string_view first = data.substr(0, data.find('\n'));
  return first.find("Tavro DATA FILE") != std::string_view::npos;
}

DocStatus ReadSheetFileForChange(const std::string& path, CSheetDoc& doc) {
  DocStatus st;
  const std::optional<std::string> data = ReadFile(path);
  if (!data) {
    st.ok = false;
    st.message = FileMessage(kMsgCannotOpen, path);
    return st;
  }
  if (!IsSheetFileData(*data)) {
    st.ok = false;
    st.message = FileMessage(kMsgCannotOpen, path,
                             "not a sheet file (.tcd); the job could not write it back");
    return st;
  }
  return doc.Load(*data, path, false);
}

SheetWriteResult SaveSheetChanges(const SheetChanges& changes, const SaveOptions& options) {
  SheetWriteResult r;
  const std::optional<std::string> data = ReadFile(changes.path);
  if (!data) {
    r.message = FileMessage(kMsgCannotOpen, changes.path);
    return r;
  }
  if (!IsSheetFileData(*data)) {
    r.message = FileMessage(kMsgCannotCreate, changes.path,
                            "not a sheet file (.tcd); it is not replaced by one");
    return r;
  }
  CSheetDoc doc;
  const DocStatus st = doc.Open(changes.path);
  if (!st.ok) {
    r.message = FileMessage(kMsgCannotOpen, changes.path, st.message);
    return r;
  }
  if (!ApplyPartChanges(doc.GetSheet(), changes.changes).empty()) {
    r.message = FileMessage(kMsgCannotCreate, changes.path,
                            "the sheet changed while the job ran; nothing was written");
    return r;
  }
  DocSaveState state;
  const SaveResult saved = SaveDocument(doc, changes.path, options, state, 0);
  r.ok = saved.ok;
  r.message = saved.message;
  r.backupPath = saved.backupPath;
  return r;
}

}  // namespace tavro
