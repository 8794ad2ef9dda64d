#!/usr/bin/env bash
# with-sim.sh BUILD_DIR [editor|ctl] [q7msim options...]
# Starts q7msim in a throw-away folder, maps COM1 to it through that
# folder's ZelkSerial.ini, and opens the editor on it (or runs q7mctl).
set -euo pipefail
build="$1"; shift
mode="${1:-editor}"; shift || true
work="$(mktemp -d -t q7mdemo.XXXXXX)"
"$build/bin/q7msim" --link "$work/ttyQ7M" --log "$work/q7msim.log" --control "$work/control" "$@" &
sim=$!
cleanup() { kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM
for _ in $(seq 100); do [ -e "$work/ttyQ7M" ] && break; sleep 0.05; done
export Q7M_CONFIG_DIR="$work"            # the library's ZelkSerial.ini
export ZELKVELQ_DATA_DIR="$work/data"    # the editor's settings.dat and temp.q7m
printf '[Ports]\r\nCOM1=%s\r\n' "$work/ttyQ7M" > "$work/ZelkSerial.ini"
if [ "$mode" = editor ]; then
  echo "Simulated unit on $work/ttyQ7M (front panel: echo 'format S' > $work/control; optical reader: echo 'reader azimuth 0.5' > $work/control)"
  "$build/bin/zelkvelq"
  echo "--- what the unit received (q7msim log)"; tail -n 40 "$work/q7msim.log"
  exit 0
fi
ctl="$build/bin/q7mctl"
echo "--- q7mctl version";       "$ctl" version
echo "--- q7mctl live";          "$ctl" live
echo "--- q7mctl vol 6.5, format SR-TYPE, mute on"
"$ctl" vol 6.5; "$ctl" format SR-TYPE; "$ctl" mute on
echo "--- q7mctl -s 19200 live"; "$ctl" -s 19200 live
echo "--- q7mctl backup";        "$ctl" backup "$work/unit.zcf"; head -4 "$work/unit.zcf"
echo "--- q7mctl dump";          "$ctl" dump
echo "--- what the unit received (q7msim log)"; cat "$work/q7msim.log"
