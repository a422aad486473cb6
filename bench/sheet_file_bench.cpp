// Reading and writing sheet files: the resistor chain of
// bench/resistor_chain.h at 500, 5,000 and 25,000 resistors (1,000, 10,000
// and 50,000 pins), as bytes in memory (no disk). Reading is CSheetDoc::Load
// without the title file, as the netlist and report jobs read their sheets;
// writing is CSheetDoc::Write. Both report bytes per second; each read is
// checked to write back the very bytes it read.
//
// The read of the largest sheet also reports the memory it took at its peak
// ("read_peak_MB", the growth of the resident set over one more read) and
// the process's peak resident set so far ("maxrss_MB", the generated
// documents included). A read builds about 85 MB of items at that size; when
// the C library has handed the memory of the previous read back to the
// system, the next read pays for fresh pages too; with
// MALLOC_TRIM_THRESHOLD_=1000000000 in the environment the memory is kept and
// the figures show the reading alone.
//
// Run a Release build:
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRO_GUI=OFF
//   cmake --build build-rel && build-rel/bench/bench_sheet_file_bench
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench/resistor_chain.h"
#include "core/file/document.h"

namespace tavro {
namespace {

constexpr int kLargest = 25000;

const std::string& ChainFile(int resistors) {
  static std::map<int, std::string> cache;
  std::string& bytes = cache[resistors];
  if (bytes.empty()) bytes = bench::ResistorChainFile(resistors);
  return bytes;
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when unknown.
long StatusKiB(const std::string& field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// Page faults of the process so far that the system served without reading
// a file (fresh pages for the heap, most of them).
long MinorFaults() {
  struct rusage usage {};
  return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_minflt : 0;
}

// Starts the peak of the resident set afresh (Linux: "5" to clear_refs);
// false when the system does not allow it.
bool ResetPeakRss() {
  std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (!f) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return std::fclose(f) == 0 && ok;
}

void BM_SheetFileRead(benchmark::State& state) {
  const int resistors = static_cast<int>(state.range(0));
  const std::string& bytes = ChainFile(resistors);
  std::unique_ptr<CSheetDoc> doc;
  long faults = 0;
  for (auto _ : state) {
    state.PauseTiming();
    doc.reset();  // the previous document goes outside the timing
    doc = std::make_unique<CSheetDoc>();
    const long before = MinorFaults();
    state.ResumeTiming();
    const DocStatus st = doc->Load(bytes, "chain.tcd", false);
    state.PauseTiming();
    faults += MinorFaults() - before;
    state.ResumeTiming();
    if (!st.ok) {
      state.SkipWithError(st.message.c_str());
      return;
    }
    benchmark::DoNotOptimize(doc->GetSheet().GetItemCount());
  }
  state.counters["page_faults"] =
      benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
  if (doc->Write(false) != bytes) {
    state.SkipWithError("the sheet read does not write back the same bytes");
    return;
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;

  if (resistors == kLargest) {
    doc.reset();
    malloc_trim(0);  // what the documents read before took goes back to the system
    const long before = StatusKiB("VmRSS");
    if (ResetPeakRss() && before >= 0) {
      CSheetDoc once;
      once.Load(bytes, "chain.tcd", false);
      const long peak = StatusKiB("VmHWM");
      if (peak >= 0) state.counters["read_peak_MB"] = static_cast<double>(peak - before) / 1024.0;
    }
    struct rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) == 0)
      state.counters["maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  }
}

void BM_SheetFileWrite(benchmark::State& state) {
  const int resistors = static_cast<int>(state.range(0));
  CSheetDoc doc;
  if (!doc.Load(ChainFile(resistors), "chain.tcd", false).ok) {
    state.SkipWithError("the chain's sheet file does not read");
    return;
  }
  size_t size = 0;
  for (auto _ : state) {
    const std::string bytes = doc.Write(false);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}

BENCHMARK(BM_SheetFileRead)->Arg(500)->Arg(5000)->Arg(kLargest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetFileWrite)->Arg(500)->Arg(5000)->Arg(kLargest)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavro
