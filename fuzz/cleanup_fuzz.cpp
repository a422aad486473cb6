// libFuzzer harness: see fuzz/README.md.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!tavro::fuzz::CleanupSheet(data, size)) __builtin_trap();
  return 0;
}
