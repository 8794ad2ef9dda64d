#!/usr/bin/env bash
# build.sh [DIR] [cmake options...] - configures and builds into DIR (default
# build/).  An argument starting with "-" is a CMake option, never the folder:
#   scripts/build.sh -DQ7M_GUI=OFF            -> build/ with the GUI off
#   scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  dir="$1"
  shift
fi
cmake -S "$root" -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
