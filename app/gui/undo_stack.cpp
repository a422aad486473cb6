#include "app/gui/undo_stack.h"

#include <algorithm>

namespace tavro::gui {

void UndoStack::SetDepth(int depth) {
  depth_ = static_cast<size_t>(std::max(1, depth));
  while (states_.size() > depth_ + 1 && pos_ > 0) {
    states_.pop_front();
    --pos_;
  }
}

void UndoStack::Begin(const CSheet& sheet, const Selection& selection) {
  if (states_.empty()) {
    State s;
    s.sheet = std::make_unique<CSheet>(sheet);
    s.selection = selection;
    s.id = 0;
    states_.push_back(std::move(s));
    pos_ = 0;
    return;
  }
  // The sheet is the current state's; the selection may have changed since.
  states_[pos_].selection = selection;
}

int UndoStack::Commit(const CSheet& sheet, const Selection& selection) {
  states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(pos_) + 1, states_.end());
  State s;
  s.sheet = std::make_unique<CSheet>(sheet);
  s.selection = selection;
  s.id = nextId_++;
  states_.push_back(std::move(s));
  pos_ = states_.size() - 1;
  while (states_.size() > depth_ + 1) {
    states_.pop_front();
    --pos_;
  }
  return states_[pos_].id;
}

void UndoStack::Restore(const State& s, CSheet& sheet, Selection& selection) const {
  sheet = *s.sheet;
  sheet.SetCalcOpenMode(1);
  selection = s.selection;
  selection.ClampTo(sheet);
}

bool UndoStack::Undo(CSheet& sheet, Selection& selection) {
  if (!CanUndo()) return false;
  states_[pos_].selection = selection;
  --pos_;
  Restore(states_[pos_], sheet, selection);
  return true;
}

bool UndoStack::Redo(CSheet& sheet, Selection& selection) {
  if (!CanRedo()) return false;
  ++pos_;
  Restore(states_[pos_], sheet, selection);
  return true;
}

void UndoStack::Clear() {
  states_.clear();
  pos_ = 0;
}

}  // namespace tavro::gui
