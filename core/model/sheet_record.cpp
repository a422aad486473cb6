// CSheet: the sheet body of the sheet file (and of embedded title frames):
// the sheet type, the item count and eight sections, each a uint32 count and
// that many item records, then an end field 0 (from version 8 on).
#include <utility>

#include "core/file/archive.h"
#include "core/model/read_scope.h"
#include "core/model/record_limits.h"
#include "core/model/sheet.h"

namespace tavro {

using record_detail::CheckCount;

namespace {

template <class T>
void WriteSection(CArchive& ar, const ItemList<T>& list) {
  ar.WriteU32(static_cast<uint32_t>(list.size()));
  for (const auto& item : list) item->DataWrite(ar);
}

void WriteLines(CArchive& ar, const ItemList<CLine>& list) {
  ar.WriteU32(static_cast<uint32_t>(list.size()));
  for (const auto& l : list) l->DataWrite(ar, true);
}

// Reads one section: a checked count, then `read(ar, item)` for each record;
// `keep(item)` decides whether the item is taken.
template <class T, class Read, class Keep>
void ReadSection(CArchive& ar, ItemList<T>& into, size_t minRecord, const char* what, Read read,
                 Keep keep) {
  const uint32_t count = ar.ReadU32();
  CheckCount(ar, count, minRecord, what);
  into.reserve(into.size() + count);
  for (uint32_t i = 0; i < count; ++i) {
    auto item = std::make_unique<T>();
    read(*item);
    if (keep(*item)) into.push_back(std::move(item));
  }
}

}  // namespace

void CSheet::DataWrite(CArchive& ar) const {
  ar.WriteI32(sheetType_);
  ar.WriteI32(itemCount_);
  WriteLines(ar, wires_);
  WriteLines(ar, buses_);
  WriteLines(ar, lines_);
  WriteSection(ar, juncs_);
  WriteSection(ar, pins_);
  WriteSection(ar, texts_);
  WriteSection(ar, arcs_);
  WriteSection(ar, parts_);
  ar.WriteU32(0);
}

void CSheet::DataRead(CArchive& ar) {
  const int version = version_;
  // Everything is read aside first: a damaged body leaves the sheet as it was.
  ItemList<CLine> lines;
  ItemList<CJunc> juncs;
  ItemList<CPin> pins;
  ItemList<CText> texts;
  ItemList<CArc> arcs;
  ItemList<CPart> parts;
  int32_t storedType;
  {
    // The defaults of the settings and the font engine's batch hold for the
    // records of this body.
    const ReadScope scope;
    storedType = ar.ReadI32();
    ar.ReadI32();  // the stored item count is not trusted
    auto all = [](const auto&) { return true; };
    auto readLine = [&](CLine& l) { l.DataRead(ar, version); };
    ReadSection(ar, lines, record_detail::kMinLineRecord, "wires", readLine, all);
    ReadSection(ar, lines, record_detail::kMinLineRecord, "buses", readLine, all);
    ReadSection(ar, lines, record_detail::kMinLineRecord, "lines", readLine, all);
    ReadSection(
        ar, juncs, record_detail::kMinJuncRecord, "junctions",
        [&](CJunc& j) { j.DataRead(ar, version); }, all);
    ReadSection(
        ar, pins, record_detail::kMinPinRecord, "pins", [&](CPin& p) { p.DataRead(ar, version); },
        all);
    ReadSection(
        ar, texts, record_detail::kMinTextRecord, "texts",
        [&](CText& t) { t.DataRead(ar, version); }, [](const CText& t) { return !t.IsEmpty(); });
    ReadSection(
        ar, arcs, record_detail::kMinArcRecord, "arcs", [&](CArc& a) { a.DataRead(ar, version); },
        all);
    ReadSection(
        ar, parts, record_detail::kMinPartRecord, "parts",
        [&](CPart& p) { p.DataRead(ar, true, version); }, all);
    if (version >= 8) ar.ReadU32();  // end field
  }

  // Each line goes to the list its type selects, whatever section it came from.
  for (auto& l : lines) Adopt(std::move(l));
  for (auto& j : juncs) Adopt(std::move(j));
  for (auto& p : pins) Adopt(std::move(p));
  for (auto& t : texts) Adopt(std::move(t));
  for (auto& a : arcs) Adopt(std::move(a));
  for (auto& p : parts) Adopt(std::move(p));
  sheetType_ = storedType;
  for (auto& p : parts_) p->CalcBoundRect(false);
}

}  // namespace tavro
