// The shortcuts of the connectivity walks give the answers of the plain walks:
// sort keys order as CNetName::Compare, the indexed selection sort as the
// scanning one, and merged wire groups neither touch nor share a name.
#include "core/net/net_keys.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/net/netname.h"
#include "core/platform/codec.h"
#include "model/fixed_font_engine.h"
#include "net/net_sheets.h"

namespace tavro {
namespace {

// An entry with its reference split, as sorting needs it.
CNetName Entry(const std::string& ref, const std::string& no) {
  CNetName e = test::Entry(ref, no);
  e.BreakPartRef();
  return e;
}

TEST(NetKeys, KeysOrderAsEntriesCompare) {
  const std::vector<std::string> refs = {"U1", "u1", "U1A", "U10", "U2",   "R?",     "_1",    "a1",
                                         "A1", "12", "",    "U?B", "U1B2", J("Ｒ1"), J("表1")};
  const std::vector<std::string> nos = {"1",  "2", "10",  "A2", "a2", "A10",
                                        "B1", "",  "GND", "_1", "1A", J("表2")};
  std::vector<CNetName> entries;
  for (const auto& r : refs)
    for (const auto& n : nos) entries.push_back(Entry(r, n));
  for (const auto& a : entries) {
    const netkeys::EntryKey ka = netkeys::KeyOf(a);
    for (const auto& b : entries) {
      ASSERT_EQ(netkeys::Compare(ka, netkeys::KeyOf(b)), a.Compare(b))
          << a.GetRefName() << " " << a.GetPinNo() << " / " << b.GetRefName() << " "
          << b.GetPinNo();
      ASSERT_EQ(netkeys::SameKey(a) == netkeys::SameKey(b), a == b);
    }
  }
}

TEST(NetKeys, IndexedSelectionSortGivesTheScanningOrder) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    const size_t n = 1 + rng() % 40;
    std::vector<netkeys::EntryKey> keys(n);
    std::vector<char> take(n);
    std::vector<int> items(n);
    for (size_t i = 0; i < n; ++i) {
      keys[i].number = static_cast<int>(rng() % 5);  // many ties
      keys[i].letters = std::string(1, static_cast<char>('a' + rng() % 2));
      take[i] = rng() % 4 != 0;
      items[i] = static_cast<int>(i);
    }
    // The plain scan.
    std::vector<netkeys::EntryKey> k2 = keys;
    std::vector<int> want = items;
    for (size_t i = 0; i < n; ++i) {
      if (!take[i]) continue;
      size_t least = i;
      for (size_t j = i + 1; j < n; ++j)
        if (take[j] && netkeys::Compare(k2[j], k2[least]) < 0) least = j;
      std::swap(k2[i], k2[least]);
      std::swap(want[i], want[least]);
    }
    std::vector<size_t> visited;
    EXPECT_TRUE(netkeys::SelectionSort(
        keys, take, [&](size_t i, size_t j) { std::swap(items[i], items[j]); },
        [&](size_t i) {
          visited.push_back(i);
          return true;
        }));
    EXPECT_EQ(items, want) << "round " << round;
    EXPECT_EQ(visited.size(), n);
  }
  // Stopping.
  std::vector<netkeys::EntryKey> keys(3);
  int calls = 0;
  EXPECT_FALSE(netkeys::SelectionSort(
      keys, {1, 1, 1}, [](size_t, size_t) {}, [&](size_t) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

TEST(NetKeys, MergedWireGroupsNeitherTouchNorShareAName) {
  test::FixedFontEngine engine;
  const char* labels[] = {"A", "a", "B", "CLK", "{TAVRO}Open Pin1"};
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 rng(seed);
    auto r = [&](unsigned k) { return static_cast<int>(rng() % k); };
    CSheet sheet;
    test::AddResistor(sheet, "R1", 90000, 90000);
    for (int i = 0; i < 150; ++i) {
      const CPoint a(r(12) * 100, r(12) * 100);
      if (r(3) == 0) {
        sheet.NewJunc(a);
        continue;
      }
      const CPoint b =
          r(2) ? CPoint(a.x + (r(5) - 2) * 100, a.y) : CPoint(a.x, a.y + (r(5) - 2) * 100);
      CLine& w = sheet.NewWire(a, b);
      if (r(5) == 0) w.SetName(labels[r(5)], a + CPoint(10, 10), kOrgBottomLeft);
    }
    NetList nets;
    ASSERT_EQ(sheet.CreateWireGroup(nets), 0);
    size_t wires = 0;
    for (size_t i = 0; i < nets.size(); ++i) {
      wires += nets[i]->Wires().size();
      for (size_t j = i + 1; j < nets.size(); ++j) {
        EXPECT_FALSE(nets[i]->CheckPoint(*nets[j])) << "seed " << seed;
        EXPECT_FALSE(nets[i]->CheckNetName(*nets[j])) << "seed " << seed;
      }
    }
    EXPECT_LE(wires, sheet.Wires().size());  // equal wires are kept once
  }
}

}  // namespace
}  // namespace tavro
