#!/usr/bin/env bash
# The set-up's decision about 32-bit Wine, without a real mirror: stand-ins
# for apt-get, dpkg, dpkg-query and the 32-bit probe come first on PATH. Each
# case says which packages are installed and whether wine32:i386 installs.
set -uo pipefail
setup=$(cd "$(dirname "$0")/../.." && pwd)/tools/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
failures=0

# The stand-ins log every call; apt-get fails the update on the i386 index
# and refuses wine32:i386 the way a broken i386 index makes it.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$STUBS/calls"
case "$*" in
  update*) echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size"; exit 100 ;;
  *wine32:i386*) [ -e "$STUBS/wine32-installable" ] && exit 0
    echo " libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable"
    echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
  *) for p; do grep -qx -- "$p" "$STUBS/refused" 2>/dev/null && { echo "E: Unable to locate package $p"; exit 100; }; done; exit 0 ;;
esac
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
grep -qx -- "$last" "$STUBS/missing" && exit 1
echo "install ok installed"
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
echo "dpkg $*" >>"$STUBS/calls"
STUB
# The probe for 32-bit code says yes; every other python3 call is real.
cat >"$work/bin/python3" <<STUB
#!/bin/sh
case "\$1" in *runs_32bit_code.py) exit 0 ;; esac
exec $(command -v python3) "\$@"
STUB
printf '#!/bin/sh\n' >"$work/bin/sleep"
chmod +x "$work/bin"/*

# case name | missing packages | refused packages | wine32 installable | exit | output must hold
run_case() {
  local name=$1 missing=$2 refused=$3 installable=$4 want_exit=$5 want_text=$6
  export STUBS=$work/$name VELMORANT_SETUP_STATE=$work/state
  mkdir -p "$STUBS"
  printf '%s\n' $missing >"$STUBS/missing"
  printf '%s\n' $refused >"$STUBS/refused"
  [ "$installable" = yes ] && touch "$STUBS/wine32-installable"
  local output status
  output=$(PATH="$work/bin:$PATH" bash "$setup" 2>&1)
  status=$?
  local why=""
  [ "$status" = "$want_exit" ] || why="exit $status, not $want_exit"
  grep -qF -- "$want_text" <<<"$output" || why="$why; no \"$want_text\""
  # Nothing is ever removed or downgraded, and every install forbids removals.
  if grep -E 'remove|purge|downgrade' "$STUBS/calls" 2>/dev/null | grep -vq -- '--no-remove'; then
    why="$why; a removal or downgrade was asked for"
  fi
  if grep 'apt-get install' "$STUBS/calls" 2>/dev/null | grep -vq -- '--no-remove'; then
    why="$why; an install without --no-remove"
  fi
  if [ -n "$why" ]; then
    echo "FAIL $name: ${why#; }"; echo "$output" | sed 's/^/    /'; failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

run_case wine32_refused "wine32:i386" "" no 0 \
  "32-bit Wine could not be installed (libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386"
# The second run remembers the failure: no apt-get at all.
run_case wine32_remembered "wine32:i386" "" no 0 "found less than a day ago"
[ -e "$work/wine32_remembered/calls" ] && { echo "FAIL wine32_remembered: apt-get or dpkg was called"; failures=$((failures + 1)); }
rm -rf "$work/state"
run_case wine32_installs "wine32:i386" "" yes 0 "installing wine32:i386"
run_case other_package_refused "wine32:i386 xdotool" "xdotool" no 1 "could not install the package xdotool"
[ -e "$work/other_package_refused/calls" ] && grep -q wine32 "$work/other_package_refused/calls" &&
  { echo "FAIL other_package_refused: went on to 32-bit Wine"; failures=$((failures + 1)); }

echo "$((4 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
