#!/usr/bin/env bash
# fuzz.sh [-t SECONDS] [-j JOBS] [TARGET...] - builds the fuzz targets with
# clang (libFuzzer + ASan + UBSan) in build-fuzz/ and runs each for SECONDS
# (default 20) from its seed corpus in fuzz/corpus/TARGET.  Targets: receiver
# version telnet zcf cfg profile rtf (default: all).  New inputs go to
# build-fuzz/corpus/TARGET, findings to build-fuzz/findings/TARGET; the
# script exits 1 after printing each finding.  Long run, e.g. an hour each:
#   scripts/fuzz.sh -t 3600
set -euo pipefail
shopt -s nullglob
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=20
jobs=1
while getopts "t:j:" o; do
  case "$o" in
    t) seconds="$OPTARG" ;;
    j) jobs="$OPTARG" ;;
    *) echo "usage: fuzz.sh [-t SECONDS] [-j JOBS] [TARGET...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(receiver version telnet zcf cfg profile rtf)

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQ7M_FUZZ=ON -DQ7M_TESTS=OFF -DQ7M_WERROR=ON >/dev/null
if ! cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}") >"$build/build.log" 2>&1; then
  cat "$build/build.log"
  exit 1
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
# Scratch files of the targets that read a path: in memory when possible.
shm=/dev/shm; [ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
Q7M_FUZZ_SCRATCH="$(mktemp -d "$shm/q7mfuzz.XXXXXX")"
export Q7M_FUZZ_SCRATCH
trap 'rm -rf "$Q7M_FUZZ_SCRATCH"' EXIT
failed=0
summary=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t" findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  extra=()
  [ -f "$root/fuzz/dict/$t.dict" ] && extra+=(-dict="$root/fuzz/dict/$t.dict")
  [ "$jobs" -gt 1 ] && extra+=(-jobs="$jobs" -workers="$jobs")
  log="$build/findings/$t.log"
  echo "== fuzz_$t for ${seconds}s"
  status=0
  # The first folder receives what the run finds; the seeds in the tree stay as they are.
  (cd "$build" && "$build/fuzz/fuzz_$t" "${extra[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$root/fuzz/corpus/$t") >"$log" 2>&1 || status=$?
  runs=$(cat "$log" "$build"/fuzz-*.log 2>/dev/null | awk '/stat::number_of_executed_units/ {s+=$2} END {print s+0}')
  found=$(find "$findings" -type f | wc -l)
  summary+=("$(printf '%-9s %12s executions  %s findings  corpus %s inputs' "$t" "$runs" "$found" "$(ls "$corpus" | wc -l)")")
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "fuzz_$t found a fault (exit $status): its log is $log"
    grep -E -A12 'fuzz check failed|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" | head -40 || true
    for f in "$findings"/*; do
      [ -f "$f" ] || continue
      echo "--- $f ($(stat -c %s "$f") bytes; reproduce: $build/fuzz/fuzz_$t $f)"
      head -c 512 "$f" | od -A d -c | head -20
    done
  fi
  cat "$build"/fuzz-*.log >>"$log" 2>/dev/null || true  # the workers' logs, with -j
  rm -f "$build"/fuzz-*.log
done
echo "== fuzz summary (${seconds}s each)"
printf '%s\n' "${summary[@]}"
exit "$failed"
