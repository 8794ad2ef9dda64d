#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, then an
# AddressSanitizer + UndefinedBehaviorSanitizer build.  Warnings are errors.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
export QTEST_DISABLE_STACK_TRACE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== normal build"
"$root/scripts/build.sh" "$root/build" -DQ7M_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j2)

echo "== sanitizer build (ASan + UBSan)"
"$root/scripts/build.sh" "$root/build-asan" -DQ7M_WERROR=ON -DQ7M_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && ctest --output-on-failure -j2)

echo "== thread sanitizer build (the link thread)"
cmake -S "$root" -B "$root/build-tsan" -DQ7M_TSAN=ON -DQ7M_GUI=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-tsan" -j"$(nproc)" --target test_link_thread
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R '^LinkThread\.')

echo "== Windows build (mingw-w64), its tests under Wine"
"$root/scripts/windows.sh" "$root/build"
