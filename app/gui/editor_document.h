// EditorDocument: one open sheet document of the editor: the sheet document
// (main sheet and title frame), the selection and a scratch sheet holding
// copies of the selected items (drawn on top, counted for the status bar),
// the undo stack, the stored views and the modified state the window title
// shows. Every change of the sheet goes through Edit, so that it can be
// undone and counts as a change. GUI-free.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/doc_save.h"
#include "app/gui/selection.h"
#include "app/gui/undo_stack.h"
#include "core/file/document.h"
#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro::gui {

class EditorDocument {
 public:
  EditorDocument();

  CSheetDoc& Doc() { return doc_; }
  const CSheetDoc& Doc() const { return doc_; }
  CSheet& Sheet() { return doc_.GetSheet(); }
  const CSheet& Sheet() const { return doc_.GetSheet(); }

  // --- the selection ---
  const Selection& Selected() const { return selected_; }
  // Copies of the selected items (the sheet of the selection).
  const CSheet& SelectionSheet() const { return selectionSheet_; }
  void Select(Selection s);
  void ClearSelection() { Select({}); }
  // 再選択: the last selection that was cleared, as far as the sheet still
  // has its items; false when there is none.
  bool Reselect();

  // --- changes ---
  // One undoable change of the sheet: `change` edits the main sheet and may
  // change the selection; then the change is recorded and counted.
  void Edit(const std::function<void(CSheet& sheet, Selection& selection)>& change);
  bool CanUndo() const { return undo_.CanUndo(); }
  bool CanRedo() const { return undo_.CanRedo(); }
  bool Undo();
  bool Redo();
  void SetUndoDepth(int depth) { undo_.SetDepth(depth); }

  // The edit commands on the selection (each one change; nothing happens
  // without a selection). `grid` is the step that keeps pins on the grid.
  void MoveSelection(CPoint d);
  // コピー: copies of the selected items are added, moved by d, and become
  // the selection.
  void CopySelection(CPoint d);
  void DeleteSelection();
  // ９０度回転 (counter-clockwise), 左右反転, 上下反転 about the centre of
  // the selection put on the grid.
  void RotateSelection(int grid);
  void MirrorSelection(bool leftRight, int grid);
  // 部品番号リセット: the decided references (CPart::RefCheck) of the
  // selected parts become undecided ("?"). The number of parts changed.
  int ResetSelectedRefs();
  // 部品化: the graphic lines, free pins, free texts and arcs of the
  // selection become one part with these attribute texts (CP932), its origin
  // on the grid at the centre of their box; the free texts "Name", "Ref" and
  // "Val" only say where the attribute texts go. The part becomes the
  // selection. False when the selection holds nothing a part is made of.
  bool MakePartOfSelection(const std::string& name, const std::string& ref,
                           const std::string& value, int grid);
  // 線の結合・角の整理: the selected wires, buses and graphic lines (held
  // whole) are joined where they lie on one row or column and the leading
  // horizontal ones are made to meet the vertical ones in corners
  // (CSheet::TrimLine on the selected lines alone; `reverse` pairs them from
  // the tail). One undoable change; false when nothing changed.
  bool TrimSelectedLines(bool reverse);
  // 部品分解: every selected part becomes its graphic lines, arcs, free pins
  // and free texts (its attribute texts among them), which become the
  // selection. The number of parts broken.
  int BreakSelectedParts();
  // ピンの向き: the selected free pins turn to a direction (0x000 toward +x,
  // 0x100 +y, 0x200 -x, 0x300 -y about their roots), or toggle a mark
  // (kPinClock, kPinDot). False when no free pin is selected.
  bool SetPinDirection(uint32_t angle);
  bool TogglePinMark(uint32_t mark);
  // 属性移動: moves the attribute texts (of parts, pins and lines) found at
  // `at` by d; false when there is none there.
  bool MoveAttributeAt(CPoint at, int tol, CPoint d);
  // Puts other parts in the place of parts of the sheet (by their position
  // in the part list), in one change; the selection stays. False when there
  // is nothing to replace.
  bool ReplaceParts(const std::vector<std::pair<size_t, CPart>>& parts);

  // --- the clipboard ---
  // The sheet text form of the selection (CP932; empty without a selection).
  std::string SelectionText() const;
  // 貼り付け: the items of a sheet text form are added and become the
  // selection; references and names that the sheet already holds are
  // stepped by the copy increment first (see copy_increment.h). The number
  // of items added (0: nothing that could be read).
  int Paste(std::string_view text);

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
  // The undo position: the number of the state shown.
  int UndoPosition() const { return undo_.Position(); }

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

  // The matches of the last search already visited by find next.
  int& FoundCounter() { return found_; }

  // The stored views 1 and 2 (表示１ / 表示２).
  std::optional<CRect>& View(int n) { return n == 1 ? view1_ : view2_; }

 private:
  // A fresh document: no selection, no undo, clean.
  void ResetEditing();

  CSheetDoc doc_;
  Selection selected_;
  Selection lastSelected_;
  CSheet selectionSheet_{kSheetScratch};
  UndoStack undo_;
  DocSaveState save_;
  long serial_;
  int found_ = 0;
  std::string upperPath_;
  std::string untitled_;
  std::optional<CRect> view1_;
  std::optional<CRect> view2_;
};

}  // namespace tavro::gui
