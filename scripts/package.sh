#!/usr/bin/env bash
# package.sh [--install-check] [DIR] - builds the Debian packages as a Debian
# package build does (CMAKE_BUILD_TYPE=None, compiler and linker flags from
# dpkg-buildflags with all hardening, prefix /usr) in DIR (default
# build-deb/), makes them with `cpack -G DEB`, lists their contents and runs
# lintian on them (any error fails).  With --install-check it then installs
# them with apt-get (as root), checks that the editor and q7mctl start, and
# removes them again: for a throw-away machine such as CI's.
# The tests are compiled too (warnings are errors), not run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
install_check=""
if [ "${1:-}" = "--install-check" ]; then install_check=yes; shift; fi
dir="${1:-$root/build-deb}"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DQ7M_TESTS=ON -DQ7M_GUI=ON -DQ7M_WERROR=ON \
  -DCMAKE_C_FLAGS="$CFLAGS $CPPFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/*.deb)

for deb in "${debs[@]}"; do
  echo "== $(basename "$deb")"
  dpkg-deb --field "$deb" Package Version Architecture Depends Section
  dpkg-deb --contents "$deb" | awk '{print "  " $1, $6, $7, $8}'
done

# No program or library of the packages carries a RUNPATH.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$tmp"; done
bad=0
while IFS= read -r f; do
  if file -b "$f" | grep -q '^ELF'; then
    if readelf -d "$f" | grep -qE 'RPATH|RUNPATH'; then echo "package.sh: $f has a RUNPATH" >&2; bad=1; fi
    if file -b "$f" | grep -q 'not stripped'; then echo "package.sh: $f is not stripped" >&2; bad=1; fi
  fi
done < <(find "$tmp" -type f)
[ "$bad" -eq 0 ]

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

if [ -n "$install_check" ]; then
  echo "== installing the packages"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]}" >/dev/null
  home="$(mktemp -d)"
  status=0
  (
    set -e
    export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    zelkvelq --version
    zelkvelq --check-library
    q7mctl --help | head -1
    man -w q7mctl q7msim >/dev/null 2>&1 || test -f /usr/share/man/man1/q7mctl.1.gz
    # The window on Qt's off-screen platform: still running after 5 s means
    # it started (with no unit it waits in its "Unable to connect" box).
    rc=0
    QT_QPA_PLATFORM=offscreen timeout 5 zelkvelq >"$home/editor.log" 2>&1 || rc=$?
    if [ "$rc" -ne 124 ]; then
      echo "zelkvelq stopped with status $rc instead of running:"; cat "$home/editor.log"; exit 1
    fi
    echo "zelkvelq: the window started"
  ) || status=$?
  rm -rf "$home"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq zelkvelq libq7mslib1 libq7mslib-dev >/dev/null
  [ "$status" -eq 0 ] || { echo "package.sh: the installed packages do not start" >&2; exit 1; }
fi
echo "packages in $dir: $(cd "$dir" && ls ./*.deb | tr '\n' ' ')"
