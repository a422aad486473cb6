// UndoStack: the states of a sheet that undo and redo step through. Each
// state is a whole copy of the main sheet with the selection that went with
// it, so undo then redo gives back the very same sheet, byte for byte.
//
// Every state has its own number; the document's undo position is the
// number of the state it shows, so a document is clean again exactly when
// it shows the state it was saved in (a state that was undone and replaced
// by a new change never comes back with the same number).
#pragma once

#include <deque>
#include <memory>

#include "app/gui/selection.h"
#include "core/model/sheet.h"

namespace tavro::gui {

class UndoStack {
 public:
  // `depth`: how many changes can be undone (at least 1).
  explicit UndoStack(int depth = 10) { SetDepth(depth); }
  void SetDepth(int depth);

  // Before a change: remembers the sheet and selection as they are now (the
  // state the change can be undone to).
  void Begin(const CSheet& sheet, const Selection& selection);
  // After the change: the sheet and selection it left become the current
  // state; the states that could be redone are dropped. Returns the new
  // state's number.
  int Commit(const CSheet& sheet, const Selection& selection);

  bool CanUndo() const { return pos_ > 0; }
  bool CanRedo() const { return pos_ + 1 < states_.size(); }
  // Puts the previous (next) state into `sheet` and `selection`; false when
  // there is none.
  bool Undo(CSheet& sheet, Selection& selection);
  bool Redo(CSheet& sheet, Selection& selection);

  // The number of the state shown (0 before the first change).
  int Position() const { return states_.empty() ? 0 : states_[pos_].id; }
  void Clear();

 private:
  struct State {
    std::unique_ptr<CSheet> sheet;
    Selection selection;
    int id = 0;
  };
  void Restore(const State& s, CSheet& sheet, Selection& selection) const;

  std::deque<State> states_;
  size_t pos_ = 0;
  size_t depth_ = 10;
  int nextId_ = 1;
};

}  // namespace tavro::gui
