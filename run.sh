#!/usr/bin/env bash
# Sets up what is missing, builds a release build and runs Tavro on the bundled demo.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tools/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRO_TESTS=OFF >/dev/null
cmake --build build-release
exe=build-release/app/tavro
"$exe" --version
