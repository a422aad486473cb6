// The program's connectivity walks against their plain form
// (reference_connectivity.h) on generated projects of two to four dense
// sheets: the same wire groups, pin groups and project nets (names, order,
// wires, dots, entries), the same netlist bytes in several formats, the same
// progress steps, and a stop at the same stage.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/netlist_job.h"
#include "core/platform/host.h"
#include "net/net_sheets.h"
#include "net/reference_connectivity.h"

namespace tavro {
namespace {

using test::AddGate;
using test::AddGnd;
using test::AddPin;
using test::AddResistor;
using test::AddWire;

// A project of `sheets` dense sheets on a 100 grid: resistors, gates of
// packages with hidden power pins, power and label symbols, wires (some
// oblique, some labelled, some with arrow-free duplicates), junction dots.
std::vector<std::unique_ptr<CSheet>> Generate(unsigned seed) {
  std::mt19937 rng(seed);
  auto r = [&](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
  auto grid = [&](int cells) { return CPoint(r(cells) * 100, r(cells) * 100); };
  const char* labels[] = {"A", "a", "B", "CLK", "VCC", "gnd", "{TAVRO}Open Pin1", "D0"};
  const char* powers[] = {"GND", "VCC", "gnd", "A"};
  const int cells = 8 + r(10);  // smaller areas are denser
  std::vector<std::unique_ptr<CSheet>> sheets;
  const int count = 2 + r(3);
  int refNo = 1;
  for (int s = 0; s < count; ++s) {
    auto sheet = std::make_unique<CSheet>();
    const int parts = 3 + r(10);
    for (int i = 0; i < parts; ++i) {
      const CPoint at = grid(cells);
      switch (r(6)) {
        case 0:
          AddGnd(*sheet, at.x, at.y, powers[r(4)], r(4) == 0);
          break;
        case 1: {
          const unsigned gates = 1 + static_cast<unsigned>(r(3));
          const std::string ref =
              "U" + std::to_string(refNo++) + (gates > 1 ? std::string(1, 'A' + r(2)) : "");
          AddGate(*sheet, ref, gates, 0, at.x, at.y, {"1", "2", "3"},
                  {{"14", "VCC"}, {"7", r(2) ? "GND" : "gnd"}});
          break;
        }
        case 2: {
          // A part with a No Connect pin and a pin on another part's point.
          CPart& part = sheet->NewPart(at, {0, 0}, {0, 0}, 1, 0, 0, 0);
          part.SetRefName("J" + std::to_string(refNo++), at, kOrgBottomLeft);
          AddPin(part, at, at + CPoint(-300, 0), "1", kPinNoConnect);
          AddPin(part, at, at + CPoint(0, 300), "2");
          part.CalcBoundRect();
          break;
        }
        default:
          // Some references repeat across sheets (one part drawn twice).
          AddResistor(*sheet, "R" + std::to_string(r(3) == 0 ? 1 + r(3) : refNo++), at.x, at.y);
          break;
      }
    }
    const int wires = 10 + r(60);
    for (int i = 0; i < wires; ++i) {
      const CPoint a = grid(cells);
      CPoint b;
      switch (r(5)) {
        case 0:
          b = grid(cells);  // oblique, mostly
          break;
        case 1:
        case 2:
          b = CPoint(a.x + (r(9) - 4) * 100, a.y);
          break;
        default:
          b = CPoint(a.x, a.y + (r(9) - 4) * 100);
          break;
      }
      AddWire(*sheet, a, b, r(5) == 0 ? labels[r(8)] : "");
      if (r(10) == 0) AddWire(*sheet, a, b);  // drawn twice
    }
    const int dots = r(25);
    for (int i = 0; i < dots; ++i) sheet->NewJunc(grid(cells));
    sheets.push_back(std::move(sheet));
  }
  return sheets;
}

std::string Describe(const NetList& nets) {
  std::string s;
  for (const auto& net : nets) {
    s += "net";
    for (const auto& n : net->Names()) s += " [" + n + "]";
    if (net->GetPower()) s += " power";
    s += "\n";
    for (const auto& w : net->Wires())
      s += "  w " + std::to_string(w->GetStartPoint().x) + "," +
           std::to_string(w->GetStartPoint().y) + " " + std::to_string(w->GetEndPoint().x) + "," +
           std::to_string(w->GetEndPoint().y) + " " + w->GetName() + "\n";
    for (const auto& j : net->Juncs())
      s += "  j " + std::to_string(j->GetPoint().x) + "," + std::to_string(j->GetPoint().y) + "\n";
    for (const auto& e : net->Entries())
      s += "  e " + std::to_string(e->GetFileNo()) + " " + e->GetRefName() + "-" + e->GetPinNo() +
           " " + std::to_string(e->GetPin().GetEndPoint().x) + "," +
           std::to_string(e->GetPin().GetEndPoint().y) + (e->GetPin().IsDisp() ? "" : " hidden") +
           "\n";
  }
  return s;
}

// Counts the steps (not the polls) and stops on one of them when asked.
class StepHost : public Host {
 public:
  explicit StepHost(int stopAt = -1) : stopAt_(stopAt) {}
  void BeginStage(int stage, int total) override {
    stages.push_back(stage);
    totals.push_back(total);
  }
  int Step(bool advance) override {
    if (!advance) return stopped_ ? 1 : 0;
    if (stopAt_ >= 0 && steps >= stopAt_) stopped_ = true;
    ++steps;
    return stopped_ ? 1 : 0;
  }
  std::vector<int> stages;
  std::vector<int> totals;
  int steps = 0;

 private:
  int stopAt_;
  bool stopped_ = false;
};

struct Outcome {
  int result = 0;
  std::string nets;
  std::vector<int> stages, totals;
  int steps = 0;
};

template <class Build>
Outcome Measure(Build build, int stopAt = -1) {
  StepHost host(stopAt);
  ScopedHost scoped(&host);
  NetList nets;
  Outcome run;
  run.result = build(nets);
  run.nets = Describe(nets);
  run.stages = host.stages;
  run.totals = host.totals;
  run.steps = host.steps;
  return run;
}

void ExpectSame(const Outcome& fast, const Outcome& plain) {
  EXPECT_EQ(fast.result, plain.result);
  EXPECT_EQ(fast.nets, plain.nets);
  EXPECT_EQ(fast.stages, plain.stages);
  EXPECT_EQ(fast.totals, plain.totals);
  EXPECT_EQ(fast.steps, plain.steps);
}

TEST(ConnectivityEquivalence, FastWalksGiveThePlainAnswers) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    auto sheets = Generate(seed);
    std::vector<NetSheet> project;
    for (size_t i = 0; i < sheets.size(); ++i)
      project.push_back({sheets[i].get(), "/p/s" + std::to_string(i) + ".tcd", 0});

    // One sheet at a time: wire groups, then pin groups on them.
    for (const NetSheet& s : project) {
      const Outcome fast = Measure([&](NetList& nets) {
        return s.sheet->CreateWireGroup(nets) || s.sheet->CreatePinGroup(nets, s.filePath, 1);
      });
      const Outcome plain = Measure([&](NetList& nets) {
        return reference::CreateWireGroup(*s.sheet, nets) ||
               reference::CreatePinGroup(*s.sheet, nets, s.filePath, 1);
      });
      ExpectSame(fast, plain);
    }

    // The project, and its netlists.
    NetList fastNets, plainNets;
    const Outcome fast = Measure([&](NetList& nets) { return BuildNets(project, nets); });
    const Outcome plain = Measure([&](NetList& nets) { return reference::BuildNets(project, nets); });
    ExpectSame(fast, plain);
    ASSERT_FALSE(testing::Test::HasFailure());
    ASSERT_EQ(BuildNets(project, fastNets), 0);
    ASSERT_EQ(reference::BuildNets(project, plainNets), 0);
    for (int format : {1, 2, 7, 13, 21, 27}) {
      NetlistOptions options;
      options.format = format;
      auto compose = [&](const NetList& nets) {
        CSheet working(kSheetScratch);
        for (const auto& sheet : sheets)
          for (const auto& p : sheet->Parts())
            if (!p->GetRefName().empty()) working.NewPart(*p);
        const NetlistText t = ComposeNetlist(nets, working, options, "p.net", "2026/01/01");
        return t.netlist + t.components;
      };
      EXPECT_EQ(compose(fastNets), compose(plainNets)) << "format " << format;
    }

    // A stop on a step: the same stage, and nothing left behind.
    if (seed % 10 == 0)
      for (int stop : {0, plain.steps / 3, plain.steps / 2, plain.steps - 1}) {
        const Outcome f = Measure([&](NetList& nets) { return BuildNets(project, nets); }, stop);
        const Outcome p =
            Measure([&](NetList& nets) { return reference::BuildNets(project, nets); }, stop);
        EXPECT_EQ(f.result, 1) << "stop " << stop;
        ExpectSame(f, p);
      }
    if (testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace tavro
