#!/usr/bin/env bash
# with-sim.sh BUILD_DIR - starts q7msim in a throw-away folder, maps COM1 to
# it through that folder's ZelkSerial.ini and runs q7mctl against it.
set -euo pipefail
build="$1"; shift || true
work="$(mktemp -d -t q7mdemo.XXXXXX)"
"$build/bin/q7msim" --link "$work/ttyQ7M" --log "$work/q7msim.log" --control "$work/control" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$work/ttyQ7M" ] && break; sleep 0.05; done
export Q7M_CONFIG_DIR="$work"
printf '[Ports]\r\nCOM1=%s\r\n' "$work/ttyQ7M" > "$work/ZelkSerial.ini"
ctl="$build/bin/q7mctl"
echo "--- q7mctl version";       "$ctl" version
echo "--- q7mctl live";          "$ctl" live
echo "--- q7mctl vol 6.5, format SR-TYPE, mute on"
"$ctl" vol 6.5; "$ctl" format SR-TYPE; "$ctl" mute on
echo "--- q7mctl -s 19200 live"; "$ctl" -s 19200 live
echo "--- q7mctl dump";          "$ctl" dump
echo "--- what the unit received (q7msim log)"; cat "$work/q7msim.log"
