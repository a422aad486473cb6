// EditorDocument: one open sheet document of the editor: the sheet document
// (main sheet and title frame), the selection (a scratch sheet of the items
// taken out of the main sheet while they are selected), the stored views and
// the modified state the window title shows.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/doc_save.h"
#include "core/file/document.h"
#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro::gui {

class EditorDocument {
 public:
  EditorDocument();

  CSheetDoc& Doc() { return doc_; }
  const CSheetDoc& Doc() const { return doc_; }
  CSheet& Selection() { return selection_; }
  const CSheet& Selection() const { return selection_; }

  // Opens a sheet file or a text-form file (".txt"); the document is left
  // as it was when the file cannot be read.
  DocStatus Open(const std::string& path);
  // A new, untitled document of the paper in the settings.
  DocStatus New(int untitledNumber);

  // The path (UTF-8; empty for a new document) and the name shown.
  const std::string& Path() const { return doc_.GetPath(); }
  std::string DisplayName() const;
  bool IsUntitled() const { return doc_.GetPath().empty(); }
  bool IsModified() const { return save_.IsModified(); }
  // A change outside the undo stack (the stored whole view, ...).
  void SetModified(bool m) {
    save_.modified = m;
    if (m) ++save_.changeCount;
  }
  DocSaveState& SaveState() { return save_; }
  // The undo position (the undo stack comes with editing; 0 until then).
  int UndoPosition() const { return 0; }

  // Saves to `path` with backup and creation time; the document is clean
  // afterwards. The file is as it was when the save fails.
  SaveResult SaveAs(const std::string& path, const SaveOptions& options);
  // One check of the automatic save (the selection and the title from here).
  AutoSaveResult AutoSave(const SaveOptions& options, const std::string& workFolder, long number,
                          const std::function<bool(const std::string&)>& isRemovable);
  // The path of the sheet this one was opened from (the upper sheet of a
  // hierarchy); not saved.
  const std::string& UpperPath() const { return upperPath_; }
  void SetUpperPath(std::string p) { upperPath_ = std::move(p); }

  // A number of this document, unique in the program (names the automatic
  // save of a document without a title).
  long Serial() const { return serial_; }

  // The stored views 1 and 2 (表示１ / 表示２).
  std::optional<CRect>& View(int n) { return n == 1 ? view1_ : view2_; }

 private:
  CSheetDoc doc_;
  CSheet selection_{kSheetScratch};
  DocSaveState save_;
  long serial_;
  std::string upperPath_;
  std::string untitled_;
  std::optional<CRect> view1_;
  std::optional<CRect> view2_;
};

}  // namespace tavro::gui
