#!/bin/sh
# The PDF of the demo project in real readers: qpdf checks the structure,
# poppler extracts the Japanese texts, lists the fonts and renders every page
# without a complaint and not blank. Poppler exits 0 even when it cannot
# render, so its stderr is read.
# Usage: readers_test.sh TAVRO_EXE SOURCE_DIR
set -eu
exe=$1
src=$2
for tool in qpdf pdftotext pdffonts pdftoppm; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (test.sh installs it)"; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export TAVRO_SETTINGS="$tmp/tavro.ini" SOURCE_DATE_EPOCH=1767225600
cp -r "$src/examples/demo" "$tmp/demo"
fail() { echo "FAIL: $*"; exit 1; }

# Counts the pixels of a page that are not white.
ink() {
  header=$(head -n 3 "$1" | wc -c)
  tail -c +"$((header + 1))" "$1" | tr -d '\377' | wc -c
}

check() {
  pdf=$1
  qpdf --check "$pdf" >"$tmp/qpdf.out" 2>&1 || { cat "$tmp/qpdf.out"; fail "qpdf --check $pdf"; }
  pdftotext -enc UTF-8 "$pdf" "$tmp/text.txt" 2>"$tmp/err" || fail "pdftotext $pdf"
  [ ! -s "$tmp/err" ] || { cat "$tmp/err"; fail "pdftotext complained about $pdf"; }
  for want in "入力段" "2枚目へ" "図番" "表題"; do
    grep -q "$want" "$tmp/text.txt" || { cat "$tmp/text.txt"; fail "$pdf: no \"$want\" in the text"; }
  done
  pdffonts "$pdf" >"$tmp/fonts" 2>"$tmp/err" || fail "pdffonts $pdf"
  [ ! -s "$tmp/err" ] || { cat "$tmp/err"; fail "pdffonts complained about $pdf"; }
  grep -q "TrueType" "$tmp/fonts" || { cat "$tmp/fonts"; fail "$pdf: no TrueType font"; }
  grep -q "CID TrueType" "$tmp/fonts" || { cat "$tmp/fonts"; fail "$pdf: no Japanese font"; }
  rm -f "$tmp"/page-*.pgm
  pdftoppm -r 30 -gray "$pdf" "$tmp/page" 2>"$tmp/err" || fail "pdftoppm $pdf"
  [ ! -s "$tmp/err" ] || { cat "$tmp/err"; fail "pdftoppm complained about $pdf"; }
  pages=0
  for page in "$tmp"/page-*.pgm; do
    pages=$((pages + 1))
    [ "$(ink "$page")" -gt 100 ] || fail "$pdf: page $page is blank"
  done
  [ "$pages" -eq 2 ] || fail "$pdf: $pages pages rendered, expected 2"
}

"$exe" pdf -q "$tmp/demo/demo.tpj" -o "$tmp/demo.pdf" || fail "tavro pdf"
check "$tmp/demo.pdf"
grep -q "emb" "$tmp/fonts"

"$exe" pdf -q --embed-fonts --bookmarks --color --background "$tmp/demo/demo.tpj" \
  -o "$tmp/embedded.pdf" || fail "tavro pdf --embed-fonts --bookmarks"
check "$tmp/embedded.pdf"
if awk 'NR > 2 && $(NF-4) != "yes" { bad = 1 } END { exit !bad }' "$tmp/fonts"; then
  cat "$tmp/fonts"
  fail "a font of embedded.pdf is not embedded"
fi
qpdf --json "$tmp/embedded.pdf" | grep -q '"/Outlines"' || fail "embedded.pdf has no bookmarks"
echo "PASS"
