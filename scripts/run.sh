#!/usr/bin/env bash
# Starts kestro.exe under Wine. On a desktop ($DISPLAY set) it runs on the
# user's display until closed. Without a display it runs on a virtual one,
# saves a screenshot of the main window to build/kestro.png, prints its path
# and ends the program.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/windows/bin/kestro.exe"
[ -f "$exe" ] || { echo "run: $exe is missing; build it with 'make run'" >&2; exit 1; }

# The program keeps config.ini and downloads beside itself: give it a folder
# of its own, outside the source tree.
home="$root/build/run"
mkdir -p "$home"
cp "$exe" "$home/kestro.exe"

if [ -n "${DISPLAY:-}" ]; then
  KESTRO_KEEP_DISPLAY=1 exec "$root/scripts/with-wine.sh" /usr/lib/wine/wine64 "$home/kestro.exe"
fi

exec "$root/scripts/with-wine.sh" bash -c '
  set -euo pipefail
  shot="$1/build/kestro.png"
  # A Wine desktop window draws the frame and caption bar of the window.
  /usr/lib/wine/wine64 explorer /desktop=kestro,640x720 "$2" >/dev/null 2>&1 &
  window=""
  for _ in $(seq 200); do
    window=$(xdotool search --name "^Zelmo" 2>/dev/null | tail -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "run: the main window did not appear" >&2; exit 1; }
  sleep 1.5  # let the dialog paint
  desktop=$(xdotool search --name "^kestro - Wine desktop" 2>/dev/null | head -n 1 || true)
  import -window "${desktop:-root}" "$shot.full.png"
  # Cut off the desktop'"'"'s task bar, then the empty desktop around the window.
  convert "$shot.full.png" -gravity south -chop 0x30 -trim +repage "$shot"
  rm -f "$shot.full.png"
  echo "Screenshot of the main window: $shot"
  /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 || true
' run "$root" "$home/kestro.exe"
