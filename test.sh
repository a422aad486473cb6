#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tools/setup.sh --with-tests
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRO_TESTS=ON >/dev/null
cmake --build build
cd build && ctest --output-on-failure -j"$(nproc)"
