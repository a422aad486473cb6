#include "app/gui/editor_document.h"

#include <filesystem>

#include "app/gui/copy_increment.h"
#include "core/file/archive.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

bool EndsWithNoCase(const std::string& s, std::string_view ext) {
  return s.size() >= ext.size() &&
         EqualNoCase(std::string_view(s).substr(s.size() - ext.size()), ext);
}

}  // namespace

EditorDocument::EditorDocument() {
  static long next = 0;
  serial_ = ++next;
}

DocStatus EditorDocument::Open(const std::string& path) {
  CSheetDoc fresh;
  DocStatus st = EndsWithNoCase(path, ".txt") ? fresh.OpenText(path) : fresh.Open(path);
  if (!st.ok) return st;
  doc_ = std::move(fresh);
  ResetEditing();
  return st;
}

DocStatus EditorDocument::New(int untitledNumber) {
  CSheetDoc fresh;
  DocStatus st = fresh.NewDocument();
  doc_ = std::move(fresh);
  ResetEditing();
  untitled_ = "無題" + std::to_string(untitledNumber) + ".tcd";
  return st;
}

SaveResult EditorDocument::SaveAs(const std::string& path, const SaveOptions& options) {
  // The selected items stay in the sheet while they are selected, so the
  // sheet written is whole without ending the selection.
  return SaveDocument(doc_, path, options, save_, UndoPosition());
}

AutoSaveResult EditorDocument::AutoSave(
    const SaveOptions& options, const std::string& workFolder, long number,
    const std::function<bool(const std::string&)>& isRemovable) {
  AutoSaveContext context;
  context.selectionHasItems = !selected_.Empty();
  context.workFolder = workFolder;
  context.title = DisplayName();
  context.number = number;
  context.undoPos = UndoPosition();
  context.isRemovable = isRemovable;
  return AutoSaveDocument(doc_, save_, options, context);
}

std::string EditorDocument::DisplayName() const {
  if (IsUntitled()) return untitled_;
  return std::filesystem::path(doc_.GetPath()).filename().string();
}

void EditorDocument::ResetEditing() {
  selected_.Clear();
  lastSelected_.Clear();
  selectionSheet_.DeleteContents();
  undo_.Clear();
  undo_.SetDepth(AppSettings().GetInt("FileSave", "UndoCount"));
  save_ = {};
}

// ---- the selection ----

void EditorDocument::Select(Selection s) {
  s.ClampTo(doc_.GetSheet());
  if (s.Empty() && !selected_.Empty()) lastSelected_ = selected_;
  selected_ = std::move(s);
  selectionSheet_ = selected_.Copy(doc_.GetSheet());
}

bool EditorDocument::Reselect() {
  Selection s = lastSelected_;
  s.ClampTo(doc_.GetSheet());
  if (s.Empty()) return false;
  Select(std::move(s));
  return true;
}

// ---- changes ----

void EditorDocument::Edit(const std::function<void(CSheet&, Selection&)>& change) {
  undo_.Begin(doc_.GetSheet(), selected_);
  Selection s = selected_;
  change(doc_.GetSheet(), s);
  save_.Changed(undo_.Commit(doc_.GetSheet(), s));
  // A remembered selection may name items that are gone or have moved.
  lastSelected_.Clear();
  Select(std::move(s));
}

bool EditorDocument::Undo() {
  Selection s = selected_;
  if (!undo_.Undo(doc_.GetSheet(), s)) return false;
  save_.Changed(undo_.Position());
  lastSelected_.Clear();
  Select(std::move(s));
  return true;
}

bool EditorDocument::Redo() {
  Selection s = selected_;
  if (!undo_.Redo(doc_.GetSheet(), s)) return false;
  save_.Changed(undo_.Position());
  lastSelected_.Clear();
  Select(std::move(s));
  return true;
}

namespace {

CPoint OnGrid(CPoint p, int grid) {
  if (grid <= 1) return p;
  auto snap = [grid](int32_t v) {
    const int64_t g = grid;
    const int64_t q = (v >= 0 ? v + g / 2 : v - g / 2) / g;
    return Sat32(q * g);
  };
  return {snap(p.x), snap(p.y)};
}

bool AnyTextSelected(const CSheet& sheet) {
  for (const auto& t : sheet.Texts())
    if (t->IsTextSel()) return true;
  for (const auto* list : {&sheet.Wires(), &sheet.Buses(), &sheet.Lines()})
    for (const auto& l : *list)
      if (l->GetNameText().IsTextSel() || l->GetCrossNameText().IsTextSel()) return true;
  for (const auto& p : sheet.Pins())
    if (p->GetNameText().IsTextSel() || p->GetNoText().IsTextSel()) return true;
  for (const auto& part : sheet.Parts()) {
    if (part->GetPartNameText().IsTextSel() || part->GetRefNameText().IsTextSel() ||
        part->GetValNameText().IsTextSel())
      return true;
    for (const auto& t : part->Texts())
      if (t->IsTextSel()) return true;
    for (const auto& p : part->Pins())
      if (p->GetNameText().IsTextSel() || p->GetNoText().IsTextSel()) return true;
  }
  return false;
}

}  // namespace

void EditorDocument::MoveSelection(CPoint d) {
  if (selected_.Empty() || d == CPoint()) return;
  Edit([d](CSheet& sheet, Selection& s) {
    CSheet copy = s.Copy(sheet);
    copy.OffsetItem(d, false);
    s.WriteBack(copy, sheet);
  });
}

void EditorDocument::CopySelection(CPoint d) {
  if (selected_.Empty()) return;
  Edit([d](CSheet& sheet, Selection& s) {
    // Only whole items are copied: a copy of a rubber band would hang loose.
    CSheet copy = s.Copy(sheet, true);
    copy.SetCheck();
    copy.OffsetItem(d, true);
    // The copies are the items past the ends of the lists as they were.
    const Selection::ListSizes before = Selection::Sizes(sheet);
    sheet += copy;
    s = Selection::AddedSince(sheet, before);
  });
}

void EditorDocument::DeleteSelection() {
  if (selected_.Empty()) return;
  Edit([](CSheet& sheet, Selection& s) { s.DeleteFrom(sheet); });
}

void EditorDocument::RotateSelection(int grid) {
  if (selected_.Empty()) return;
  const CPoint c = OnGrid(selected_.Bounds(doc_.GetSheet()).CenterPoint(), grid);
  Edit([c](CSheet& sheet, Selection& s) {
    CSheet copy = s.Copy(sheet, true);
    copy.Rotate(c, 1);
    s.WriteBack(copy, sheet, true);
  });
}

void EditorDocument::MirrorSelection(bool leftRight, int grid) {
  if (selected_.Empty()) return;
  const CPoint c = OnGrid(selected_.Bounds(doc_.GetSheet()).CenterPoint(), grid);
  Edit([c, leftRight](CSheet& sheet, Selection& s) {
    CSheet copy = s.Copy(sheet, true);
    if (leftRight)
      copy.MirrorX(c);
    else
      copy.MirrorY(c);
    s.WriteBack(copy, sheet, true);
  });
}

int EditorDocument::ResetSelectedRefs() {
  // Only a decided reference (RefCheck) becomes undecided: digits alone
  // ("12") or no digit at all ("TP") are left as they are, and so is an
  // empty reference.
  int changed = 0;
  for (const SelEntry& e : selected_.Entries(kSelParts))
    if (doc_.GetSheet().Parts()[e.index]->RefCheck()) ++changed;
  if (changed == 0) return 0;
  Edit([](CSheet& sheet, Selection& s) {
    for (const SelEntry& e : s.Entries(kSelParts)) {
      CPart& part = *sheet.Parts()[e.index];
      if (!part.RefCheck()) continue;
      part.SetRefNo(0, 0);
      part.CalcBoundRect();
    }
  });
  return changed;
}

bool EditorDocument::MakePartOfSelection(const std::string& name, const std::string& ref,
                                         const std::string& value, int grid) {
  const CSheet& sheet = doc_.GetSheet();
  Selection taken;  // what goes into the part: whole graphic lines, arcs, free pins and texts
  for (SelList list : {kSelLines, kSelArcs, kSelTexts, kSelPins})
    for (const SelEntry& e : selected_.Entries(list))
      if (e.grab == kGrabWhole) taken.Add(list, e.index);
  if (taken.Empty()) return false;
  const CSheet items = taken.Copy(sheet, true);
  const CRect box = items.GetBoundingRect().Normalized();
  const CPoint org = OnGrid(box.CenterPoint(), grid);
  // Where the placeholders stand, else above, at and below the box.
  auto placeholder = [&items](const char* which, CPoint fallback) {
    for (const auto& t : items.Texts())
      if (EqualNoCase(t->GetName(), which)) return t->GetPoint();
    return fallback;
  };
  CPart part(org, CPoint(box.left, box.top), CPoint(box.right, box.bottom), 1, 0, 0, 0);
  part.SetPartName(name, placeholder("Name", org), 8);
  part.SetRefName(ref, placeholder("Ref", CPoint(box.left, box.bottom + 30)), 8);
  part.SetValue(value, placeholder("Val", CPoint(box.left, box.top - 100)), 8);
  CSheet scratch(kSheetScratch);
  scratch = items;
  scratch.MakePart(part);
  Edit([&](CSheet& sh, Selection& s) {
    taken.DeleteFrom(sh);
    const Selection::ListSizes before = Selection::Sizes(sh);
    sh.NewPart(part);
    s = Selection::AddedSince(sh, before);
  });
  return true;
}

int EditorDocument::BreakSelectedParts() {
  const int parts = static_cast<int>(selected_.Entries(kSelParts).size());
  if (parts == 0) return 0;
  Edit([](CSheet& sh, Selection& s) {
    Selection doomed;
    CSheet pieces(kSheetScratch);
    for (const SelEntry& e : s.Entries(kSelParts)) {
      const CPart& part = *sh.Parts()[e.index];
      doomed.Add(kSelParts, e.index);
      for (const auto& l : part.Lines()) pieces.NewLine(*l).SetCheck(0);
      for (const auto& a : part.Arcs()) pieces.NewArc(*a).SetCheck(0);
      for (const auto& p : part.Pins()) pieces.NewPin(*p);
      // The attribute texts stay on the sheet as they were shown.
      for (const CText* t :
           {&part.GetPartNameText(), &part.GetRefNameText(), &part.GetValNameText()})
        if (!t->GetName().empty() && t->IsDisp()) pieces.NewText(*t);
      for (const auto& t : part.Texts()) pieces.NewText(*t);
    }
    doomed.DeleteFrom(sh);
    const Selection::ListSizes before = Selection::Sizes(sh);
    sh += pieces;
    s = Selection::AddedSince(sh, before);
  });
  return parts;
}

bool EditorDocument::SetPinDirection(uint32_t angle) {
  if (selected_.Entries(kSelPins).empty()) return false;
  Edit([angle](CSheet& sh, Selection& s) {
    for (const SelEntry& e : s.Entries(kSelPins)) sh.Pins()[e.index]->SetAngle(angle);
  });
  return true;
}

bool EditorDocument::TogglePinMark(uint32_t mark) {
  if (selected_.Entries(kSelPins).empty()) return false;
  Edit([mark](CSheet& sh, Selection& s) {
    for (const SelEntry& e : s.Entries(kSelPins)) {
      CPin& pin = *sh.Pins()[e.index];
      pin.SetElect(pin.GetElect() ^ mark);
    }
  });
  return true;
}

bool EditorDocument::MoveAttributeAt(CPoint at, int tol, CPoint d) {
  CSheet& sheet = doc_.GetSheet();
  const CRect probe(at.x - tol, at.y - tol, at.x + tol, at.y + tol);
  sheet.ResetTextSel();
  sheet.SetTextSel(probe);
  const bool any = AnyTextSelected(sheet);
  sheet.ResetTextSel();
  if (!any || d == CPoint()) return false;
  Edit([&](CSheet& sh, Selection&) {
    sh.SetTextSel(probe);
    sh.OffsetAttr(d);
    sh.ResetTextSel();
  });
  return true;
}

bool EditorDocument::ReplaceParts(const std::vector<std::pair<size_t, CPart>>& parts) {
  const size_t count = doc_.GetSheet().Parts().size();
  bool any = false;
  for (const auto& [index, part] : parts) any = any || index < count;
  if (!any) return false;
  Edit([&parts](CSheet& sheet, Selection&) {
    for (const auto& [index, part] : parts)
      if (index < sheet.Parts().size()) *sheet.Parts()[index] = part;
    // Pins may have moved off or onto wires: the open pins are found again.
    sheet.SetCalcOpenMode(1);
  });
  return true;
}

// ---- the clipboard ----

std::string EditorDocument::SelectionText() const {
  if (selected_.Empty()) return {};
  CSheet copy = selected_.Copy(doc_.GetSheet(), true);
  CArchive ar;
  copy.SerializeText(ar);
  return ar.TakeBuffer();
}

int EditorDocument::Paste(std::string_view text) {
  CSheet pasted(kSheetScratch);
  CArchive ar(text);
  pasted.SerializeText(ar);
  const int n = pasted.GetItemCount();
  if (n == 0) return 0;
  // What would repeat names already on the sheet is stepped.
  ApplyPasteIncrement(pasted, doc_.GetSheet(), CopyIncrement::FromSettings());
  Edit([&pasted](CSheet& sheet, Selection& s) {
    const Selection::ListSizes before = Selection::Sizes(sheet);
    sheet += pasted;
    s = Selection::AddedSince(sheet, before);
  });
  return n;
}

}  // namespace tavro::gui

namespace tavro::gui {

bool EditorDocument::TrimSelectedLines(bool reverse) {
  // Only lines held whole take part.
  Selection lines;
  for (SelList list : {kSelWires, kSelBuses, kSelLines})
    for (const SelEntry& e : selected_.Entries(list))
      if (e.grab == kGrabWhole) lines.Add(list, e.index);
  if (lines.Empty()) return false;
  CSheet work = lines.Copy(Sheet(), true);
  for (auto* list : {&work.Wires(), &work.Buses(), &work.Lines()})
    for (const auto& l : *list) l->SetCheck(0);
  if (!work.TrimLine(reverse)) return false;
  Edit([&](CSheet& sheet, Selection& selection) {
    Selection gone = lines;
    gone.DeleteFrom(sheet);
    const Selection::ListSizes before = Selection::Sizes(sheet);
    for (auto* list : {&work.Wires(), &work.Buses(), &work.Lines()})
      for (const auto& l : *list) sheet.NewLine(*l);
    selection = Selection::AddedSince(sheet, before);
  });
  return true;
}

}  // namespace tavro::gui
