#!/usr/bin/env bash
# Sets up what is missing, builds a release build and runs Tavro on the bundled
# demo: the project's files and properties, what each sheet holds, its
# netlist, its net report with the rule check, its net index, its parts list,
# its PDF and its first sheet as DXF.
# Then, when there is a display, it opens the editor on the demo project;
# without one it says how to.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tools/setup.sh
# The program alone: no tests and no benchmarks (./test.sh builds those).
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRO_TESTS=OFF \
  -DTAVRO_BENCH=OFF >/dev/null
cmake --build build-release
exe=build-release/app/tavro
"$exe" --version
demo=examples/demo
echo
echo "== tavro project $demo/demo.tpj"
"$exe" project "$demo/demo.tpj"
for sheet in "$demo"/*.tcd; do
  echo
  echo "== tavro info $sheet"
  "$exe" info "$sheet"
done
echo
echo "== tavro netlist -f PADS-PCB $demo/demo.tpj -o build-release/demo.net"
"$exe" netlist -f PADS-PCB "$demo/demo.tpj" -o build-release/demo.net
# Netlists are CP932 text with CR LF line ends, as board tools read them.
iconv -f CP932 -t UTF-8 build-release/demo.net | tr -d '\r'
echo
echo "== tavro check --html $demo/demo.tpj -o build-release/demo.nrp"
"$exe" check --html "$demo/demo.tpj" -o build-release/demo.nrp
echo
echo "== tavro index $demo/demo.tpj -o build-release/demo.net.csv"
"$exe" index "$demo/demo.tpj" -o build-release/demo.net.csv
iconv -f CP932 -t UTF-8 build-release/demo.net.csv | tr -d '\r'
"$exe" index -q --html "$demo/demo.tpj" -o build-release/demo.net.html
"$exe" bom -q "$demo/demo.tpj" -o build-release/demo.csv
echo
echo "== tavro pdf --bookmarks $demo/demo.tpj -o build-release/demo.pdf"
"$exe" pdf --bookmarks "$demo/demo.tpj" -o build-release/demo.pdf
"$exe" convert "$demo/amp1.tcd" build-release/amp1.dxf
echo
echo "Written into build-release/:"
echo "  demo.net                 the netlist (PADS-PCB)"
echo "  demo.nrp, demo.nrp.html  the net report and rule check (open it in a browser)"
echo "  demo.net.csv, .net.html  the net index"
echo "  demo.csv                 the parts list (CP932 CSV; opens as it is in a spreadsheet)"
echo "  demo.pdf                 the two sheets with their title frames (open it in a PDF viewer)"
echo "  amp1.dxf                 the first sheet as a DXF drawing (for mechanical CAD)"
echo
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== tavro $demo/demo.tpj (the editor; close its window to finish)"
  "$exe" "$demo/demo.tpj"
else
  echo "To open the editor on the demo: $exe $demo/demo.tpj (needs a display)"
fi
