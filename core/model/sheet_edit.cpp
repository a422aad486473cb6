// CSheet: whole-sheet transforms (used on the scratch sheets that hold the
// items being edited) and the batch operations on selected texts.
#include <optional>

#include "core/model/sheet.h"

namespace tavro {

namespace {

// Calls fn(text) for every text a text batch works on: every free text that
// shows, and with `more` the selected texts that items carry (line labels,
// pin names and numbers, part texts). Works on const and non-const sheets.
template <class Sheet, class Fn>
void ForEachBatchText(Sheet& sheet, bool more, Fn fn) {
  for (auto& t : sheet.Texts())
    if (!t->IsEmpty() && t->IsDisp()) fn(*t);
  if (!more) return;
  auto selected = [&](auto& t) {
    if (t.IsTextSel() && !t.IsEmpty() && t.IsDisp()) fn(t);
  };
  for (auto* list : {&sheet.Wires(), &sheet.Buses(), &sheet.Lines()})
    for (auto& l : *list) {
      selected(l->NameText());
      selected(l->CrossNameText());
    }
  auto pinTexts = [&](auto& pins) {
    for (auto& p : pins) {
      selected(p->NameText());
      selected(p->NoText());
    }
  };
  pinTexts(sheet.Pins());
  for (auto& part : sheet.Parts()) {
    selected(part->PartNameText());
    selected(part->RefNameText());
    selected(part->ValNameText());
    for (auto& t : part->Texts()) selected(*t);
    pinTexts(part->Pins());
  }
}

// The common value of `get` over the batch texts; -1 when they differ or
// there are none.
template <class Get>
int Agreement(const CSheet& sheet, bool more, Get get) {
  std::optional<int> common;
  bool differ = false;
  ForEachBatchText(sheet, more, [&](const CText& t) {
    const int v = get(t);
    if (!common)
      common = v;
    else if (*common != v)
      differ = true;
  });
  return common && !differ ? *common : -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Transforms

void CSheet::OffsetItem(CPoint d, bool withArcEnds) {
  if (d == CPoint{}) return;
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->Offset(d);
  for (auto& j : juncs_) j->Offset(d);
  for (auto& p : pins_) p->Offset(d);
  for (auto& t : texts_) t->Offset(d);
  for (auto& a : arcs_) {
    // An arc held by one end only changes its angle when moved; it takes
    // part only when the caller moves such ends.
    if (a->CheckEdge() && !withArcEnds) continue;
    a->Offset(d);
  }
  for (auto& p : parts_) p->Offset(d);
}

void CSheet::Rotate(CPoint center, int dir, bool shift) {
  const int d = dir > 0 ? 1 : dir < 0 ? 0 : (shift ? 0 : 1);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->Rotate(center, d);
  for (auto& j : juncs_) j->Rotate(center, d);
  for (auto& p : pins_) p->Rotate(center, d);
  for (auto& a : arcs_) a->Rotate(center, d);
  for (auto& p : parts_) p->Rotate(center, d);
  // Free texts turn through all four directions.
  for (auto& t : texts_) t->RotateA(center, d);
}

void CSheet::MirrorX(CPoint center) {
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->MirrorX(center);
  for (auto& j : juncs_) j->MirrorX(center);
  for (auto& p : pins_) p->MirrorX(center);
  for (auto& t : texts_) t->MirrorX(center);
  for (auto& a : arcs_) a->MirrorX(center);
  for (auto& p : parts_) p->MirrorX(center);
}

void CSheet::MirrorY(CPoint center) {
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->MirrorY(center);
  for (auto& j : juncs_) j->MirrorY(center);
  for (auto& p : pins_) p->MirrorY(center);
  for (auto& t : texts_) t->MirrorY(center);
  for (auto& a : arcs_) a->MirrorY(center);
  for (auto& p : parts_) p->MirrorY(center);
}

void CSheet::RotateText(CPoint center, int dir) {
  for (auto& t : texts_) t->RotateText(center, dir);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->RotateText(center, dir);
  for (auto& p : pins_) p->RotateText(center, dir);
  for (auto& p : parts_) p->RotateText(center, dir);
}

void CSheet::MirrorXText(CPoint center) {
  for (auto& t : texts_) t->MirrorXText(center);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->MirrorXText(center);
  for (auto& p : pins_) p->MirrorXText(center);
  for (auto& p : parts_) p->MirrorXText(center);
}

void CSheet::MirrorYText(CPoint center) {
  for (auto& t : texts_) t->MirrorYText(center);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->MirrorYText(center);
  for (auto& p : pins_) p->MirrorYText(center);
  for (auto& p : parts_) p->MirrorYText(center);
}

void CSheet::OffsetAttr(CPoint d) {
  for (auto& t : texts_) t->OffsetAttr(d);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->OffsetAttr(d);
  for (auto& p : pins_) p->OffsetAttr(d);
  for (auto& p : parts_) p->OffsetAttr(d);
}

void CSheet::SetCheck() {
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) l->SetCheck(1);
  for (auto& a : arcs_) a->SetCheck(1);
}

// ---------------------------------------------------------------------------
// Text selection

void CSheet::ResetTextSel() {
  auto pin = [](CPin& p) {
    p.ResetPinSel();
    p.NameText().ResetTextSel();
    p.NoText().ResetTextSel();
  };
  for (auto& t : texts_) t->ResetTextSel();
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) {
      l->NameText().ResetTextSel();
      l->CrossNameText().ResetTextSel();
    }
  for (auto& p : pins_) pin(*p);
  for (auto& part : parts_) {
    part->PartNameText().ResetTextSel();
    part->RefNameText().ResetTextSel();
    part->ValNameText().ResetTextSel();
    for (auto& t : part->Texts()) t->ResetTextSel();
    for (auto& p : part->Pins()) pin(*p);
  }
}

void CSheet::SetTextSel(const CRect& r, int /*mode: the editor's; every kind is selected*/) {
  for (auto& t : texts_) t->SetTextSel(r);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) {
      l->NameText().SetTextSel(r);
      l->CrossNameText().SetTextSel(r);
    }
  for (auto& p : pins_) p->SetPinSel(r);
  for (auto& part : parts_) {
    part->PartNameText().SetTextSel(r);
    part->RefNameText().SetTextSel(r);
    part->ValNameText().SetTextSel(r);
    for (auto& t : part->Texts()) t->SetTextSel(r);
    for (auto& p : part->Pins()) {
      if (!p->IsDisp()) continue;
      p->NameText().SetTextSel(r);
      p->NoText().SetTextSel(r);
    }
  }
}

void CSheet::FrameChange(int dir) {
  auto change = [dir](CText& t) { t.FrameChange(dir); };
  for (auto& t : texts_) change(*t);
  for (auto* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list) {
      change(l->NameText());
      change(l->CrossNameText());
    }
  for (auto& p : pins_) {
    change(p->NameText());
    change(p->NoText());
  }
  for (auto& part : parts_) {
    change(part->PartNameText());
    change(part->RefNameText());
    change(part->ValNameText());
    for (auto& t : part->Texts()) change(*t);
    for (auto& p : part->Pins()) {
      change(p->NameText());
      change(p->NoText());
    }
    part->CalcBoundRect();
  }
}

// ---------------------------------------------------------------------------
// Text batches

void CSheet::ChangeTextOrg(int org, int more) {
  ForEachBatchText(*this, more != 0, [org](CText& t) { t.SetOrg(org); });
  for (auto& p : parts_) p->CalcBoundRect();
}

void CSheet::ChangeTextNumber(int len) {
  ForEachBatchText(*this, true, [len](CText& t) { t.SetNumberLen(len); });
  for (auto& p : parts_) p->CalcBoundRect();
}

int CSheet::CheckTextOrg(bool more) const {
  return Agreement(*this, more, [](const CText& t) { return t.GetOrg(); });
}

int CSheet::CheckTextNumber() const {
  return Agreement(*this, true, [](const CText& t) { return t.GetNumberLen(); });
}

}  // namespace tavro
