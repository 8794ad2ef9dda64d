#!/usr/bin/env bash
# test.sh [--all] - sets up, builds and runs every test of the normal build.
# Warnings are errors.  --all adds what CI runs besides: an AddressSanitizer
# + UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the link
# thread's tests, and the Windows build with its tests under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
all=0
for a in "$@"; do
  case "$a" in
    --all) all=1 ;;
    -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "test.sh: unknown option '$a' (try --help)" >&2; exit 2 ;;
  esac
done
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
export QTEST_DISABLE_STACK_TRACE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs=$(( $(nproc) > 1 ? $(nproc) : 2 ))

echo "== normal build"
"$root/scripts/build.sh" "$root/build" -DQ7M_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j"$jobs")
[ "$all" -eq 1 ] || exit 0

echo "== sanitizer build (ASan + UBSan)"
"$root/scripts/build.sh" "$root/build-asan" -DQ7M_WERROR=ON -DQ7M_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && ctest --output-on-failure -j"$jobs")

echo "== thread sanitizer build (the link thread)"
cmake -S "$root" -B "$root/build-tsan" -DQ7M_TSAN=ON -DQ7M_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-tsan" -j"$(nproc)" --target test_link_thread
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R '^LinkThread\.')

echo "== Windows build (mingw-w64), its tests under Wine"
"$root/scripts/windows.sh" "$root/build"
