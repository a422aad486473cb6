#!/usr/bin/env bash
# End-to-end checks of what a packager gets from a build.
#   install_test.sh relocatable BUILD_DIR SOURCE_DIR [GUI]
#     installs into a temporary prefix, moves the tree elsewhere and runs the
#     moved program on the demo: it must load its own libraries and read the
#     title frames of the moved tree, and nothing installed may name the build
#     or source folder.
#   install_test.sh deb BUILD_DIR SOURCE_DIR [GUI]
#     makes the Debian package, unpacks it into a scratch root (dpkg -x) and
#     runs the unpacked program: --version and the demo netlist, which must
#     equal the build tree's.
# Both check the desktop integration of the installed tree when GUI is 1 (the
# build has the editor), and that there is none when it is 0.
set -euo pipefail
mode=$1 build=$(cd "$2" && pwd) src=$(cd "$3" && pwd) gui=${4:-1}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unset TAVRO_DATA_DIR
export TAVRO_SETTINGS="$tmp/settings.ini" SOURCE_DATE_EPOCH=1765000000
demo="$src/examples/demo"
fail() { echo "FAIL: $*" >&2; exit 1; }
# The value of an untranslated key of a desktop entry.
entry_key() { sed -n "s/^$2=//p" "$1"; }

# The editor's menu entry, file types and icons under PREFIX (an installed
# share/ is PREFIX/share): each file where the desktop looks for it and valid
# for the tool that reads it, the three naming each other consistently, and
# the demo's files recognised as their types by a MIME database built from
# the installed package alone, by content as well as by name.
check_desktop() {
  local prefix=$1 share=$1/share
  local entry=$share/applications/tavro.desktop mime=$share/mime/packages/tavro.xml
  local icons=$share/icons/hicolor/scalable
  if [ "$gui" != 1 ]; then
    [ ! -e "$entry" ] || fail "a build without the editor installed its menu entry"
    return 0
  fi
  [ -f "$entry" ] || fail "no desktop entry"
  [ -f "$mime" ] || fail "no MIME package"
  [ -f "$icons/apps/tavro.svg" ] || fail "no application icon"
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects tavro.desktop"
  xmllint --noout "$mime" || fail "the MIME package is not well-formed XML"

  local exec_line icon types
  exec_line=$(entry_key "$entry" Exec) icon=$(entry_key "$entry" Icon)
  types=$(entry_key "$entry" MimeType)
  [ "${exec_line%% *}" = tavro ] && [ -x "$prefix/bin/tavro" ] ||
    fail "Exec does not start the installed tavro: $exec_line"
  case "$exec_line" in *%F*|*%U*) ;; *) fail "Exec takes no files: $exec_line" ;; esac
  [ -f "$icons/apps/$icon.svg" ] || fail "Icon=$icon has no icon in hicolor/scalable/apps"
  # The entry's types are the package's types, each with its icon.
  local declared
  declared=$(grep -o '<mime-type type="[^"]*"' "$mime" | sed 's/.*type="//; s/"$//' | sort)
  [ "$(tr ';' '\n' <<<"$types" | grep -v '^$' | sort)" = "$declared" ] ||
    fail "MimeType=$types is not what tavro.xml declares: $declared"
  for t in application/x-tavro-sheet application/x-tavro-project; do
    grep -qx "$t" <<<"$declared" || fail "tavro.xml does not declare $t"
    local svg=$icons/mimetypes/${t/\//-}.svg
    [ -f "$svg" ] || fail "no icon for $t"
  done
  for svg in "$icons"/apps/*.svg "$icons"/mimetypes/*.svg; do
    xmllint --noout "$svg" || fail "$svg is not well-formed"
    grep -q '<svg[^>]*viewBox=' "$svg" || fail "$svg has no viewBox (it would not scale)"
  done

  local db=$tmp/xdg
  mkdir -p "$db/mime/packages" "$db/files"
  cp "$mime" "$db/mime/packages/"
  update-mime-database "$db/mime" || fail "update-mime-database rejects tavro.xml"
  cp "$demo/amp1.tcd" "$db/files/amp1.tcd"
  cp "$demo/amp1.tcd" "$db/files/sheet-without-extension"
  cp "$demo/demo.tpj" "$db/files/demo.tpj"
  cp "$demo/demo.tpj" "$db/files/project-without-extension"
  local f want got
  for f in amp1.tcd:application/x-tavro-sheet sheet-without-extension:application/x-tavro-sheet \
           demo.tpj:application/x-tavro-project project-without-extension:application/x-tavro-project; do
    want=${f#*:}
    got=$(XDG_DATA_HOME="$db" XDG_DATA_DIRS=/usr/share gio info -a standard::content-type \
            "$db/files/${f%%:*}" | sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$want" ] || fail "${f%%:*} is recognised as '$got', not $want"
  done
  rm -rf "$db"
}

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
  # The starter libraries come with the moved tree and become the library
  # list on first use.
  libs=$(TAVRO_SETTINGS="$tmp/first.ini" "$exe" lib paths)
  [ "$(echo "$libs" | grep -c "^$tmp/moved/share/tavro/lib/.*\.lib$")" -ge 5 ] ||
    fail "starter libraries not found in the moved tree: $libs"
  "$exe" lib show "$tmp/moved/share/tavro/lib/logic.lib" 74hc00 --gate 2 | grep -q "reference U?B" ||
    fail "the moved tree's logic library or its alias table"
  check_desktop "$tmp/moved"
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
  check_desktop "$tmp/root/usr"
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
