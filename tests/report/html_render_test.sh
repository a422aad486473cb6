#!/usr/bin/env bash
# The HTML net report and net index open in a real browser: headless Chromium
# decodes them as Shift_JIS (the Japanese title comes out right), builds the
# tables the template promises and renders a page.
#   html_render_test.sh TAVRO SOURCE_DIR
set -euo pipefail
tavro=$1 src=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
browser=$(command -v chromium || true)
[ -n "$browser" ] || fail "chromium is not installed (test.sh installs it)"
export TAVRO_SETTINGS="$tmp/settings.ini" SOURCE_DATE_EPOCH=1765000000
cp -r "$src/examples/demo" "$tmp/demo"
cp "$src/tests/data/report/edges/edges.txt" "$tmp/edges.txt"
"$tavro" check -q --html "$tmp/edges.txt"
"$tavro" check -q --html "$tmp/demo/demo.tpj"
"$tavro" index -q --html --xy "$tmp/demo/demo.tpj"

run() {
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$tmp/profile" --window-size=1000,1400 "$@" 2>/dev/null
}
check_page() {  # file, title, minimum number of tables
  local page=$1 title=$2 tables=$3
  [ -f "$page" ] || fail "$page was not written"
  dom=$(run --dump-dom "file://$page")
  grep -q "<title>[^<]*$title" <<<"$dom" || fail "$page: title '$title' not decoded"
  n=$(grep -o '<table' <<<"$dom" | wc -l)
  [ "$n" -ge "$tables" ] || fail "$page: $n tables, expected at least $tables"
  run --screenshot="$tmp/shot.png" "file://$page" >/dev/null
  [ "$(stat -c %s "$tmp/shot.png")" -gt 10000 ] || fail "$page: no picture rendered"
  rm -f "$tmp/shot.png"
}
# edges: the file list, the counts and the blocks of three classes and two pairs.
check_page "$tmp/edges.nrp.html" "ネットレポートファイル" 7
grep -q 'A&lt;B' "$tmp/edges.nrp.html" || fail "a net name is not escaped"
check_page "$tmp/demo/demo.nrp.html" "ネットレポートファイル" 4
check_page "$tmp/demo/demo.net.html" "ネットインデックスファイル" 2
echo ok
