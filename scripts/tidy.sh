#!/usr/bin/env bash
# tidy.sh [BUILD_DIR] [FILE...] - runs clang-tidy with the checks of
# .clang-tidy over the project's sources (or the FILEs given), using
# BUILD_DIR's compile_commands.json (default build/; configure it first).
# A finding listed in scripts/tidy-known.txt (as path:check) is reported but
# does not fail; any other finding fails.  Empty that list as they are fixed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ $# -gt 0 ] && [ -d "$1" ]; then build="$(cd "$1" && pwd)"; shift; fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy.sh: no $build/compile_commands.json: configure first (scripts/build.sh $build)" >&2
  exit 2
fi
if [ $# -gt 0 ]; then
  files=()
  for f in "$@"; do files+=("$(cd "$(dirname "$f")" && pwd)/$(basename "$f")"); done
  pattern="^($(printf '%s|' "${files[@]}" | sed 's/|$//; s/\./\\./g'))$"
else
  pattern="^$root/(linklib|editor|simulator|tools|tests|bench)/.*\\.cpp$"
fi
log="$build/clang-tidy.log"
run-clang-tidy -p "$build" -j"$(nproc)" -quiet "$pattern" >"$log" 2>&1 || true
# "path:line:col: warning: text [check,-warnings-as-errors]" -> "path:check"
mapfile -t findings < <(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '^/.*: (warning|error): .*\[[a-z-]+.*\]$' |
  sed -E "s|^$root/||; s|^([^:]+):([0-9]+):([0-9]+): (warning\|error): (.*) \[([a-z.-]+)[],].*|\1:\6 \1:\2: \5|" | sort -u)
new=0 known=0
for f in "${findings[@]}"; do
  key="${f%% *}"
  if grep -qxF "$key" "$root/scripts/tidy-known.txt" 2>/dev/null; then
    known=$((known + 1)); echo "known: ${f#* }  [${key##*:}]"
  else
    new=$((new + 1)); echo "NEW:   ${f#* }  [${key##*:}]"
  fi
done
if grep -qE 'error: .*(no such file|unknown argument|clang-diagnostic-error)' "$log"; then
  grep -E 'clang-diagnostic-error' "$log" | head -5
  echo "tidy.sh: clang-tidy could not compile some files (see $log)" >&2
  exit 1
fi
echo "clang-tidy: $new new finding(s), $known known (scripts/tidy-known.txt); log in $log"
[ "$new" -eq 0 ]
