#!/usr/bin/env bash
# with-sim.sh BUILD_DIR [editor|ctl] [q7msim options...]
# Starts q7msim in a throw-away folder, maps COM1 to it through that
# folder's ZelkSerial.ini, and opens the editor on it (or runs q7mctl).
# Exits with the editor's status (or the first failing q7mctl's); exits 1
# (after q7msim's own message) when the simulated unit does not come up.
set -euo pipefail
if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: with-sim.sh BUILD_DIR [editor|ctl] [q7msim options...]" >&2
  exit 2
fi
build="$1"; shift
mode="${1:-editor}"; shift || true
case "$mode" in
  editor|ctl) ;;
  *) echo "with-sim.sh: mode must be editor or ctl, not '$mode'" >&2; exit 2 ;;
esac
for prog in q7msim "$([ "$mode" = editor ] && echo zelkvelq || echo q7mctl)"; do
  if [ ! -x "$build/bin/$prog" ]; then
    echo "with-sim.sh: $build/bin/$prog is missing: build first (scripts/build.sh $build)" >&2
    exit 1
  fi
done

work="$(mktemp -d -t q7mdemo.XXXXXX)"
"$build/bin/q7msim" --link "$work/ttyQ7M" --log "$work/q7msim.log" --control "$work/control" "$@" &
sim=$!
cleanup() { kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

# The simulated unit is up when its pseudo-terminal link appears (at most 10 s).
up=""
for _ in $(seq 200); do
  if [ -e "$work/ttyQ7M" ]; then up=yes; break; fi
  kill -0 "$sim" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$up" ]; then
  if kill -0 "$sim" 2>/dev/null; then
    echo "with-sim.sh: q7msim did not create $work/ttyQ7M within 10 s" >&2
  else
    status=0; wait "$sim" || status=$?
    echo "with-sim.sh: q7msim exited (status $status) before the simulated unit came up" >&2
  fi
  exit 1
fi

export Q7M_CONFIG_DIR="$work"            # the library's ZelkSerial.ini
export ZELKVELQ_DATA_DIR="$work/data"    # the editor's settings.dat and temp.q7m
printf '[Ports]\r\nCOM1=%s\r\n' "$work/ttyQ7M" > "$work/ZelkSerial.ini"

if [ "$mode" = editor ]; then
  echo "Simulated unit on $work/ttyQ7M (front panel: echo 'format S' > $work/control; optical reader: echo 'reader azimuth 0.5' > $work/control)"
  status=0
  "$build/bin/zelkvelq" || status=$?
  echo "--- what the unit received (q7msim log)"; tail -n 40 "$work/q7msim.log"
  [ "$status" -eq 0 ] || echo "with-sim.sh: zelkvelq exited with status $status" >&2
  exit "$status"
fi

ctl="$build/bin/q7mctl"
run() {  # run TITLE ARGS...: one q7mctl call; the first failure ends the demo with its status
  local title="$1"; shift
  echo "--- $title"
  local status=0
  "$ctl" "$@" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "with-sim.sh: 'q7mctl $*' exited with status $status" >&2
    echo "--- what the unit received (q7msim log)"; cat "$work/q7msim.log"
    exit "$status"
  fi
}
run "q7mctl version" version
run "q7mctl live" live
run "q7mctl vol 6.5" vol 6.5
run "q7mctl format SR-TYPE" format SR-TYPE
run "q7mctl mute on" mute on
run "q7mctl -s 19200 live" -s 19200 live
run "q7mctl backup" backup "$work/unit.zcf"; head -4 "$work/unit.zcf"
run "q7mctl dump" dump
echo "--- what the unit received (q7msim log)"; cat "$work/q7msim.log"
