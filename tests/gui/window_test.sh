#!/bin/sh
# The editor in a real window: `tavro examples/demo/demo.tpj` on a virtual
# display (Xvfb), a screenshot of the whole screen once the window is up,
# and a check that it shows a drawing, not an empty or black screen.
# Usage: window_test.sh TAVRO_EXE SOURCE_DIR
set -eu
exe=$1
src=$2
for tool in xvfb-run import convert xwininfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (test.sh installs it)"; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export TAVRO_SETTINGS="$tmp/tavro.ini" TAVRO_INSTANCE_NAME="tavro-window-test-$$"
export XDG_RUNTIME_DIR="$tmp/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp -r "$src/examples/demo" "$tmp/demo"

cat >"$tmp/session.sh" <<SESSION
#!/bin/sh
"$exe" "$tmp/demo/demo.tpj" >"$tmp/editor.log" 2>&1 &
pid=\$!
# Wait for the main window (at most 30 s), then let it draw.
i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Tavro'; do
  i=\$((i + 1))
  [ \$i -le 60 ] || { kill \$pid; echo "no window" >"$tmp/result"; exit 0; }
  kill -0 \$pid 2>/dev/null || { echo "the editor ended" >"$tmp/result"; exit 0; }
  sleep 0.5
done
sleep 2
import -window root "$tmp/screen.png"
kill \$pid
wait \$pid 2>/dev/null || true
echo ok >"$tmp/result"
SESSION
chmod +x "$tmp/session.sh"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$tmp/session.sh" || fail "xvfb-run"
result=$(cat "$tmp/result" 2>/dev/null || echo "no result")
[ "$result" = ok ] || { cat "$tmp/editor.log" 2>/dev/null; fail "$result"; }
[ -s "$tmp/screen.png" ] || fail "no screenshot"

# Not blank: many colours (menus, the sheet's items) and the sheet's dark
# paper over a good part of the screen.
colors=$(convert "$tmp/screen.png" -format '%k' info:)
dark=$(convert "$tmp/screen.png" -colorspace gray -threshold 10% -negate -format '%[fx:mean]' info:)
echo "colours: $colors, dark share: $dark"
[ "$colors" -gt 8 ] || fail "the screenshot has only $colors colours"
awk "BEGIN { exit !($dark > 0.2 && $dark < 0.95) }" || fail "the screen is not a sheet window (dark share $dark)"
if [ -n "${TAVRO_SCREENSHOT:-}" ]; then cp "$tmp/screen.png" "$TAVRO_SCREENSHOT"; fi
