#!/usr/bin/env bash
# windows.sh [NATIVE_BUILD_DIR] - the Windows side: cross-builds
# libq7mslib.dll, q7mctl.exe and their tests with mingw-w64 into
# build-win/, and runs the tests under Wine, the end-to-end test among them
# against the native q7msim of NATIVE_BUILD_DIR (default build/).
# Installs the cross compiler and Wine when missing (Debian 12, apt-get).
# Q7M_WINDOWS=0 skips all of it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
native="${1:-$root/build}"
[ "${Q7M_WINDOWS:-1}" = 0 ] && { echo "Q7M_WINDOWS=0: the Windows build is skipped"; exit 0; }

packages=(g++-mingw-w64-x86-64-posix wine64 googletest)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The unit (q7msim) and the reference q7mctl of the end-to-end test are
# Linux programs.
[ -f "$native/CMakeCache.txt" ] || cmake -S "$root" -B "$native" -DQ7M_GUI=OFF >/dev/null
cmake --build "$native" -j"$(nproc)" --target q7msim q7mctl

cmake -S "$root" -B "$root/build-win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DQ7M_NATIVE_BIN="$native/bin" >/dev/null
cmake --build "$root/build-win" -j"$(nproc)" --target q7mslib q7mctl test_linklib_units test_dll test_editor_core
status=0
(cd "$root/build-win" && ctest --output-on-failure -j2) || status=$?
# The tests' Wine server would otherwise stay for another 30 s.
server="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"
WINEPREFIX="$root/build-win/wineprefix" "$server" -k 2>/dev/null || true
exit $status
