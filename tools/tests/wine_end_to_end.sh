#!/usr/bin/env bash
# wine_end_to_end.sh WINE_RUN Q7MCTL_EXE NATIVE_BIN
#
# q7mctl.exe under Wine against q7msim (a Linux program) on a pseudo-
# terminal that the build's throw-away Wine prefix (or $Q7M_WINEPREFIX)
# sees as COM12 while the test runs: version, backup
# (byte-identical to the Linux q7mctl's), restore of an old image and of the
# backup, a speed change to 19200 bit/s and back, and a port-map entry that
# names another COM port.  Every wait is for something the simulator logs,
# bounded in time.
set -euo pipefail
wine_run="$1"; exe="$2"; native="$3"
work="$(mktemp -d -t q7mwine.XXXXXX)"
sim=""
ser2net=""
prefix="${Q7M_WINEPREFIX:-$(cd "$(dirname "$wine_run")" && pwd)/wineprefix}"
cleanup() {
  [ -n "$ser2net" ] && kill "$ser2net" 2>/dev/null && wait "$ser2net" 2>/dev/null
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  [ -L "$prefix/dosdevices/com12" ] && [ "$(readlink "$prefix/dosdevices/com12")" = "$work/ttyQ7M" ] &&
    rm -f "$prefix/dosdevices/com12"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; echo "--- q7msim log"; tail -n 30 "$work/sim.log" 2>/dev/null; exit 1; }

# Waits (at most 10 s) until q7msim's log has a line containing $1.
wait_log() {
  for _ in $(seq 200); do grep -qF -- "$1" "$work/sim.log" 2>/dev/null && return 0; sleep 0.05; done
  fail "q7msim never logged '$1'"
}
# A control line, acted on once q7msim acknowledges it.
control() { echo "$1" > "$work/control"; wait_log "ACK $1: ok"; }
unit_baud() {
  control status
  grep -F "status volume=" "$work/sim.log" | tail -n 1 | sed 's/.*baud=\([0-9]*\).*/\1/'
}
# The byte at offset $2 of the image file $1, in decimal.
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }

"$native/q7msim" --link "$work/ttyQ7M" --listen 127.0.0.1:0 --log "$work/sim.log" --control "$work/control" \
  >"$work/sim.out" 2>&1 &
sim=$!
for _ in $(seq 200); do [ -e "$work/ttyQ7M" ] && [ -p "$work/control" ] && break; sleep 0.05; done
[ -e "$work/ttyQ7M" ] || fail "q7msim did not start"
wait_log "LISTENING 127.0.0.1:"
tcp_port="$(grep -o 'LISTENING 127.0.0.1:[0-9]*' "$work/sim.log" | head -n 1 | cut -d: -f2)"

# The one-time COM port set-up: Wine opens \\.\COM12 through this link.
export Q7M_WINEPREFIX="$prefix"
"$wine_run" cmd /c exit >/dev/null 2>&1 || true   # makes the prefix when new
ln -sfn "$work/ttyQ7M" "$prefix/dosdevices/com12"
# Settings in the work folder (Z: is the Linux root under Wine); COM3 is
# mapped to Windows' COM12, COM12 itself is Windows' own, COM5 is q7msim's
# raw TCP port and COM6 a TCP port nobody listens on (Winsock's side of the
# network ports).
closed_port=1
printf '[Ports]\r\nCOM1=%s\r\nCOM3=COM12\r\nCOM5=socket://127.0.0.1:%s\r\nCOM6=socket://127.0.0.1:%s\r\n' \
  "$work/ttyQ7M" "$tcp_port" "$closed_port" > "$work/ZelkSerial.ini"
winwork="Z:${work//\//\\}"
ctl() { Q7M_CONFIG_DIR="$winwork" "$wine_run" "$exe" "$@" 2>&1 | tr -d '\r'; }

native_ctl() { Q7M_CONFIG_DIR="$work" "$native/q7mctl" -p 1 "$@"; }

echo "--- version (as the Linux q7mctl prints it)"
expected="$(native_ctl version)" || fail "native version"
out="$(ctl -p 12 version)"; echo "$out"
[ "$out" = "$expected" ] || fail "version: $out"
out="$(Q7M_TRACE="$winwork\\trace.txt" ctl -p 3 version)"
[ "$out" = "$expected" ] || fail "COM3=COM12 in the port map: $out"
grep -q -- "-- open COM3 (COM12) at 9600" "$work/trace.txt" || fail "no line trace: $(head -3 "$work/trace.txt" 2>&1)"
grep -q " TX 58 0D" "$work/trace.txt" || fail "the trace lacks the version query"

echo "--- backup (compared with the Linux q7mctl's)"
ctl -p 12 backup "$winwork\\windows.zcf" || fail "backup"
native_ctl backup "$work/linux.zcf" || fail "native backup"
cmp "$work/windows.zcf" "$work/linux.zcf" || fail "the backups differ"
head -n 2 "$work/windows.zcf"

echo "--- restore an old image at 19200 bit/s, then the backup"
control "save $work/before.img"
# An image with a surround delay of 7 and a first trim of 20.
cp "$work/before.img" "$work/changed.cfg"
printf '\007' | dd of="$work/changed.cfg" bs=1 seek=6 conv=notrunc status=none
printf '\024' | dd of="$work/changed.cfg" bs=1 seek=134 conv=notrunc status=none
ctl -p 12 -s 19200 restore "$winwork\\changed.cfg" || fail "restore of the image"
wait_log "STORED audio block"
control "save $work/after.img"
[ "$(byte_at "$work/after.img" 6)" = 7 ] && [ "$(byte_at "$work/after.img" 134)" = 20 ] || fail "the image was not stored"
[ "$(unit_baud)" = 9600 ] || fail "the unit was left at another speed"
grep -qF "TEXT B2" "$work/sim.log" || fail "no speed change to 19200 was sent"
ctl -p 12 restore "$winwork\\windows.zcf" || fail "restore of the backup"
control "save $work/restored.img"
[ "$(byte_at "$work/restored.img" 6)" = "$(byte_at "$work/before.img" 6)" ] || fail "the backup was not restored"
[ "$(byte_at "$work/restored.img" 134)" = "$(byte_at "$work/before.img" 134)" ] || fail "the backup was not restored"

echo "--- speed change to 19200 bit/s and back"
out="$(ctl -p 12 -s 19200 version)"
[ "$out" = "$expected" ] || fail "version at 19200: $out"
[ "$(unit_baud)" = 9600 ] || fail "the unit did not come back to 9600"

echo "--- a raw TCP port through Winsock"
out="$(ctl -p 5 version)"
[ "$out" = "$expected" ] || fail "version over socket://: $out"
set +e; out="$(ctl -p 5 -s 19200 version)"; status=$?; set -e
[ "$status" = 1 ] && [[ "$out" == *"COM5 is a raw TCP port"* ]] || fail "a speed change over raw TCP: $status $out"
[ "$(unit_baud)" = 9600 ] || fail "a refused speed change moved the unit"
set +e; out="$(ctl -p 6 version)"; status=$?; set -e
[ "$status" = 1 ] && [[ "$out" == *"Serial Port Error"* ]] || fail "a refused connection: $out"

echo "--- an RFC 2217 port (ser2net) through Winsock, at 19200 bit/s and back"
accepts() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
if [ -x /usr/sbin/ser2net ]; then
  rfc_port=""
  for _ in $(seq 20); do p=$((20000 + RANDOM % 30000)); accepts "$p" || { rfc_port=$p; break; }; done
  /usr/sbin/ser2net -n -u -P "$work/ser2net.pid" -Y "connection: &rfc" \
    -Y "  accepter: telnet(rfc2217),tcp,127.0.0.1,$rfc_port" \
    -Y "  connector: serialdev,$work/ttyQ7M,9600n81,local" >"$work/ser2net.log" 2>&1 &
  ser2net=$!
  for _ in $(seq 100); do accepts "$rfc_port" && break; sleep 0.05; done
  printf 'COM7=rfc2217://127.0.0.1:%s\r\n' "$rfc_port" >> "$work/ZelkSerial.ini"
  out="$(ctl -p 7 -s 19200 version)"
  [ "$out" = "$expected" ] || fail "version over rfc2217:// at 19200: $out"
  [ "$(unit_baud)" = 9600 ] || fail "the unit did not come back to 9600 over RFC 2217"
  kill "$ser2net"; wait "$ser2net" 2>/dev/null || true; ser2net=""
else
  echo "SKIPPED: RFC 2217 - ser2net is not installed (apt-get install ser2net)"
fi

echo "--- a port that does not exist"
set +e; out="$(ctl -p 40 version)"; status=$?; set -e
[ "$status" = 1 ] && [[ "$out" == *"Serial Port Error"* ]] || fail "COM40: $out"

echo "SKIPPED: exclusive open - Wine does not refuse a second open of a COM port (on Windows the port's driver does);"
echo "         the Linux tests cover it for /dev devices."
echo "PASSED"
