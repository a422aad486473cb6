#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are not installed yet.
# Usage: tools/setup.sh [--with-tests]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
with_tests=0
[ "${1:-}" = "--with-tests" ] && with_tests=1

wanted=()
while read -r line; do
  line=${line%%#*}
  line=$(echo "$line" | tr -d '[:space:]')
  [ -z "$line" ] && continue
  case "$line" in
    test:*) [ "$with_tests" = 1 ] && wanted+=("${line#test:}") ;;
    *) wanted+=("$line") ;;
  esac
done < "$here/packages.txt"

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" = 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
