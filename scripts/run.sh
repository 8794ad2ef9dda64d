#!/usr/bin/env bash
# Sets up, builds, starts a simulated Q7M unit and opens the editor on it.
# Without a display it shows q7mctl talking to the simulated unit instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

# A window needs a display.  QT_QPA_PLATFORM=offscreen (or minimal) draws
# nowhere, so the editor would run invisibly and never return: that is no
# display, whatever DISPLAY says.
display=""
case "${QT_QPA_PLATFORM:-}" in
  offscreen*|minimal*) display="" ;;
  "") [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && display=yes ;;
  *) display=yes ;;  # xcb, wayland, eglfs, linuxfb, vnc: the user chose a real one
esac
if [ -n "$display" ]; then
  exec "$root/scripts/with-sim.sh" "$root/build" editor "$@"
fi
if [ -n "${QT_QPA_PLATFORM:-}" ]; then
  echo "QT_QPA_PLATFORM=$QT_QPA_PLATFORM shows no window: showing q7mctl against the simulated unit instead."
else
  echo "No display found (DISPLAY/WAYLAND_DISPLAY unset): showing q7mctl against the simulated unit instead."
fi
exec "$root/scripts/with-sim.sh" "$root/build" ctl "$@"
