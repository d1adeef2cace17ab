#!/usr/bin/env bash
# Runs a command with a ready Wine test prefix (build/wineprefix) and a private
# virtual display, then shuts both down. The prefix is made once: first boot,
# then the CJK font substitutes, so Chinese captions render instead of boxes.
#
#   scripts/with-wine.sh ctest --preset windows
#
# KESTRO_KEEP_DISPLAY=1 uses the caller's $DISPLAY instead of a virtual one.
# KESTRO_WINEPREFIX picks another prefix, so two runs at once do not share
# (and shut down) one Wine server.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${KESTRO_WINEPREFIX:-$root/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [ "${KESTRO_KEEP_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || { echo "with-wine: Xvfb did not start on $DISPLAY" >&2; exit 1; }
fi

if [ ! -f "$WINEPREFIX/.kestro-ready" ]; then
  echo "with-wine: preparing the Wine prefix in $WINEPREFIX (once)" >&2
  mkdir -p "$WINEPREFIX"
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.kestro-ready"
fi
# The registry settings (CJK font substitutes, no crash dialog), applied again
# whenever they change.
settings="$root/scripts/wine-prefix.reg.txt"
applied="$WINEPREFIX/.kestro-registry"
if ! cmp -s "$settings" "$applied"; then
  reg="$WINEPREFIX/kestro.reg"
  { printf '\xff\xfe'; iconv -f utf-8 -t utf-16le "$settings"; } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  cp "$settings" "$applied"
fi

# A persistent server keeps every Wine start cheap, and warming it here keeps
# Wine's background services off the test runner's output pipe.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

set +e
"$@"
rc=$?
set -e
exit $rc
