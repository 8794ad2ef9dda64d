#!/usr/bin/env bash
# Sets up, builds, starts a simulated Q7M unit and opens the editor on it.
# Without a display it shows q7mctl talking to the simulated unit instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ "${QT_QPA_PLATFORM:-}" != "" ]; then
  exec "$root/scripts/with-sim.sh" "$root/build" editor "$@"
else
  echo "No display found (DISPLAY/WAYLAND_DISPLAY unset): showing q7mctl against the simulated unit instead."
  exec "$root/scripts/with-sim.sh" "$root/build" ctl "$@"
fi
