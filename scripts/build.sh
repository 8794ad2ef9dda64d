#!/usr/bin/env bash
# build.sh [DIR] [cmake options...] - configures and builds into DIR (default
# build/).  An argument starting with "-" is a CMake option, never the folder:
#   scripts/build.sh -DQ7M_GUI=OFF            -> build/ with the GUI off
#   scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# Every clone of the tree shares one compiler cache: ccache hashes paths
# relative to the tree, not the folder it was cloned into.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
dir="$root/build"
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  dir="$1"
  shift
fi
cmake -S "$root" -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
