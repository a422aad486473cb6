#!/usr/bin/env bash
# End-to-end checks of what a packager gets from a build.
#   install_test.sh relocatable BUILD_DIR SOURCE_DIR
#     installs into a temporary prefix, moves the tree elsewhere and runs the
#     moved program on the demo: it must load its own libraries and read the
#     title frames of the moved tree, and nothing installed may name the build
#     or source folder.
#   install_test.sh deb BUILD_DIR SOURCE_DIR
#     makes the Debian package, unpacks it into a scratch root (dpkg -x) and
#     runs the unpacked program: --version and the demo netlist, which must
#     equal the build tree's.
set -euo pipefail
mode=$1 build=$(cd "$2" && pwd) src=$(cd "$3" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unset TAVRO_DATA_DIR
export TAVRO_SETTINGS="$tmp/settings.ini" SOURCE_DATE_EPOCH=1765000000
demo="$src/examples/demo"
fail() { echo "FAIL: $*" >&2; exit 1; }

case "$mode" in
relocatable)
  cmake --install "$build" --prefix "$tmp/first" >/dev/null
  mv "$tmp/first" "$tmp/moved"
  exe="$tmp/moved/bin/tavro"
  [ -x "$exe" ] || fail "no program in the install tree"
  # Private libraries only: no development link, nothing on the default path.
  [ -e "$tmp/moved/lib/tavro/libschemcore.so.0" ] || fail "libschemcore.so.0 not in lib/tavro"
  [ ! -e "$tmp/moved/lib/tavro/libschemcore.so" ] || fail "a development link was installed"
  [ -z "$(find "$tmp/moved/lib" -maxdepth 1 -name '*.so*')" ] || fail "a library outside lib/tavro"
  [ -f "$tmp/moved/share/man/man1/tavro.1" ] || fail "no man page"
  [ -f "$tmp/moved/share/doc/tavro/copyright" ] || fail "no copyright file"
  # No path of the build or the sources in anything installed.
  if grep -rlF -e "$build" -e "$src" "$tmp/moved"; then fail "an installed file names the build or source folder"; fi
  "$exe" --version | grep -qx "tavro [0-9.]*" || fail "--version"
  # The moved tree's own title frames are read: make its A3 frame the A4 one
  # and the demo's A3 sheet shows the A4 frame's items.
  cp "$tmp/moved/share/tavro/Title.A4" "$tmp/moved/share/tavro/Title.A3"
  want=$("$exe" info "$tmp/moved/share/tavro/Title.A4" | grep '^main ' | sed 's/^main /title /')
  got=$("$exe" info "$demo/amp1.tcd" | grep '^title ' | grep -v '^title file')
  [ "$got" = "$want" ] || fail "title frame not read from the moved tree: $got"
  built=$("$build/app/tavro" info "$demo/amp1.tcd" | grep '^title ' | grep -v '^title file')
  [ "$got" != "$built" ] || fail "the moved program read the build tree's frame"
  "$exe" netlist -q -f PADS-PCB "$demo/demo.tpj" -o "$tmp/demo.net"
  [ -s "$tmp/demo.net" ] || fail "no netlist"
  ;;
deb)
  cpack -G DEB -B "$tmp/pkg" --config "$build/CPackConfig.cmake" >/dev/null
  deb=$(ls "$tmp"/pkg/tavro_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libc6 libstdc++6 libfreetype6 libfontconfig1; do
    case "$depends" in *"$lib "*|*"$lib,"*|*"$lib") ;; *) fail "Depends lacks $lib: $depends" ;; esac
  done
  contents=$(dpkg-deb -c "$deb")
  grep -q ' \./usr/share/doc/tavro/copyright$' <<<"$contents" || fail "no copyright file"
  grep -q ' \./usr/share/man/man1/tavro\.1' <<<"$contents" || fail "no man page"
  dpkg -x "$deb" "$tmp/root"
  exe="$tmp/root/usr/bin/tavro"
  "$exe" --version | grep -qx "tavro [0-9.]*" || fail "--version"
  "$exe" netlist -q -f PADS-PCB "$demo/demo.tpj" -o "$tmp/from-deb.net"
  "$build/app/tavro" netlist -q -f PADS-PCB "$demo/demo.tpj" -o "$tmp/from-build.net"
  cmp "$tmp/from-deb.net" "$tmp/from-build.net" || fail "the packaged program writes another netlist"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "ok: $mode"
