// Connectivity and netlist writing on generated sheets of about 1,000,
// 10,000 and 50,000 pins: resistors in a grid, each row a chain of wires from
// pin 2 of one resistor to pin 1 of the next, every fourth wire labelled with
// one of 100 names (so nets also merge by name across rows), the ends of each
// row left open.
//
// Stages timed: wire groups, pin groups, merging a two-sheet project by name,
// sorting, and writing a PADS-PCB netlist (header, component section with its
// reference sort, nets) or an ECAD one (nets only). Beside the grid, the
// resistor chain of bench/resistor_chain.h (500, 5,000 and 25,000 resistors)
// runs the whole path of the netlist command from the sheet file's bytes:
// reading, the nets, taking the parts and composing a PADS-PCB netlist.
// Run a Release build:
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel
//   build-rel/bench/bench_netlist_bench
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "app/netlist_job.h"
#include "bench/resistor_chain.h"
#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"

namespace tavro {
namespace {

constexpr int kColumns = 50;

std::unique_ptr<CSheet> MakeSheet(int pins) {
  auto sheet = std::make_unique<CSheet>();
  const int parts = pins / 2;
  int wire = 0;
  for (int i = 0; i < parts; ++i) {
    const int col = i % kColumns, row = i / kColumns;
    const int x = col * 800, y = -row * 400;
    CPart& part = sheet->NewPart({x, y}, {x, y - 50}, {x + 400, y + 50}, 1, 0, 0, 0);
    part.SetPartName("RES");
    part.SetRefName(("R" + std::to_string(i + 1)).c_str());
    part.SetValue("10k");
    part.NewText("&PCB&R1608", {x, y}, 70, kTextHidden);
    CPin& p1 = part.NewPin({x, y}, {x - 100, y}, kPinPassive);
    p1.SetNo("1", {x, y}, 0);
    CPin& p2 = part.NewPin({x + 400, y}, {x + 500, y}, kPinPassive);
    p2.SetNo("2", {x + 400, y}, 0);
    if (col + 1 < kColumns && i + 1 < parts) {
      CLine& w = sheet->NewWire({x + 500, y}, {x + 700, y});
      if (wire++ % 4 == 0) w.SetName("N" + std::to_string(wire % 100), {x + 520, y + 20}, 0);
    }
  }
  return sheet;
}

CSheet& Sheet(int pins) {
  static std::map<int, std::unique_ptr<CSheet>> cache;
  auto& s = cache[pins];
  if (!s) s = MakeSheet(pins);
  return *s;
}

NetList WireGroups(CSheet& sheet) {
  NetList nets;
  sheet.CreateWireGroup(nets);
  return nets;
}

NetList SheetNets(CSheet& sheet, const std::string& path) {
  NetList nets = WireGroups(sheet);
  sheet.CreatePinGroup(nets, path);
  return nets;
}

void BM_WireGroups(benchmark::State& state) {
  CSheet& sheet = Sheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    NetList nets = WireGroups(sheet);
    benchmark::DoNotOptimize(nets.size());
  }
}

void BM_PinGroups(benchmark::State& state) {
  CSheet& sheet = Sheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    NetList nets = WireGroups(sheet);
    state.ResumeTiming();
    sheet.CreatePinGroup(nets, "/bench/a.tcd");
    benchmark::DoNotOptimize(nets.size());
  }
}

// The project merge: the sheet twice (two files), joined, merged by name.
void BM_Merge(benchmark::State& state) {
  CSheet& sheet = Sheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    NetList all = SheetNets(sheet, "/bench/a.tcd");
    for (auto& n : SheetNets(sheet, "/bench/b.tcd")) all.push_back(std::move(n));
    state.ResumeTiming();
    CSheet::NetCorrection(all, 0);
    benchmark::DoNotOptimize(all.size());
  }
}

void BM_Sort(benchmark::State& state) {
  CSheet& sheet = Sheet(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    NetList nets = SheetNets(sheet, "/bench/a.tcd");
    CSheet::NetCorrection(nets, 0);
    state.ResumeTiming();
    CSheet::SortNet(nets);
    benchmark::DoNotOptimize(nets.size());
  }
}

// Writing with `format`: PADS-PCB has a component section (the parts sorted
// by reference first), ECAD only nets.
void Write(benchmark::State& state, int format) {
  CSheet& sheet = Sheet(static_cast<int>(state.range(0)));
  NetList nets;
  const NetSheet one{&sheet, "/bench/a.tcd"};
  BuildNets({&one, 1}, nets);
  NetlistOptions options;
  options.format = format;
  options.pcbProperty = "PCB";
  size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CSheet working(kSheetScratch);
    for (const auto& p : sheet.Parts()) working.NewPart(*p);
    state.ResumeTiming();
    const NetlistText text = ComposeNetlist(nets, working, options, "bench.net", "");
    bytes = text.netlist.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Write(benchmark::State& state) { Write(state, 13); }
void BM_WriteNetsOnly(benchmark::State& state) { Write(state, 2); }

// The chain of pins / 2 resistors from its sheet file's bytes to the text of
// a PADS-PCB netlist, as the netlist command runs it on one sheet.
void BM_ChainReadNetsWrite(benchmark::State& state) {
  static std::map<int, std::string> files;
  const int resistors = static_cast<int>(state.range(0)) / 2;
  std::string& file = files[resistors];
  if (file.empty()) file = bench::ResistorChainFile(resistors);
  const std::string path = "/bench/chain.tcd";
  NetlistOptions options;
  options.format = 13;
  options.pcbProperty = "PCB";
  size_t bytes = 0;
  for (auto _ : state) {
    CSheetDoc doc;
    if (!doc.Load(file, path, false).ok) {
      state.SkipWithError("the chain's sheet file does not read");
      return;
    }
    NetList nets;
    const NetSheet one{&doc.GetSheet(), path, 1};
    BuildNets({&one, 1}, nets);
    // As RunNetlist: the document's parts go to the component section itself.
    CSheet working(kSheetScratch);
    CSheetDoc* const docs[] = {&doc};
    TakeComponents(docs, {&path, 1}, working);
    const NetlistText text = ComposeNetlist(nets, working, options, "chain.net", "");
    bytes = text.netlist.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

#define TAVRO_SIZES \
  ->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1)

BENCHMARK(BM_WireGroups) TAVRO_SIZES;
BENCHMARK(BM_PinGroups) TAVRO_SIZES;
BENCHMARK(BM_Merge) TAVRO_SIZES;
BENCHMARK(BM_Sort) TAVRO_SIZES;
BENCHMARK(BM_Write) TAVRO_SIZES;
BENCHMARK(BM_WriteNetsOnly) TAVRO_SIZES;
BENCHMARK(BM_ChainReadNetsWrite) TAVRO_SIZES;

}  // namespace
}  // namespace tavro
