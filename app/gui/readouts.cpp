#include "app/gui/readouts.h"

#include <cstdio>

#include "core/model/sheet.h"

namespace tavro::gui {

std::string PointerReadout(CPoint at) {
  return "X:" + FormatCoord(at.x) + " Y:" + FormatCoord(at.y);
}

std::string SelectionReadout(const CSheet& sel) {
  const int count = sel.GetItemCount();
  if (count == 0) return {};
  char buf[64];
  if (sel.GetCount(5) == count) {
    for (const auto& l : sel.Lines()) {
      if (l->IsArrow() == 0) continue;
      std::snprintf(buf, sizeof buf, " 大きさ：%d",
                    l->GetStartArrow() != 0 ? l->GetStartArrow() : l->GetEndArrow());
      return buf;
    }
  }
  if (count == 1 && sel.GetCount(14) == 1) {
    std::snprintf(buf, sizeof buf, " 高さ :%d", sel.Texts().front()->GetSize());
    return buf;
  }
  if (count == 1 && sel.GetCount(11) == 1) {
    std::snprintf(buf, sizeof buf, " 長さ :%d", sel.Pins().front()->GetLen());
    return buf;
  }
  if (count > 1) {
    std::snprintf(buf, sizeof buf, " 選択数:%d", count);
    return buf;
  }
  return {};
}

}  // namespace tavro::gui
