#!/usr/bin/env bash
# Sets up, builds, starts a simulated Q7M unit and talks to it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/scripts/with-sim.sh" "$root/build" "$@"
