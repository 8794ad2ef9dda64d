#!/usr/bin/env bash
# scripts_check.sh BUILD_DIR: the helper scripts fail loudly and pass
# statuses on.
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d -t q7mscripts.XXXXXX)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# build.sh: a leading option is an option, not the folder.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\necho "cmake $*" >> "%s/calls"\n' "$tmp" > "$tmp/bin/cmake"
chmod +x "$tmp/bin/cmake"
PATH="$tmp/bin:$PATH" "$root/scripts/build.sh" -DQ7M_GUI=OFF
grep -qx "cmake -S $root -B $root/build -DQ7M_GUI=OFF" "$tmp/calls" || fail "build.sh -D...: $(cat "$tmp/calls")"
: > "$tmp/calls"
PATH="$tmp/bin:$PATH" "$root/scripts/build.sh" "$tmp/b" -DX=1
grep -qx "cmake -S $root -B $tmp/b -DX=1" "$tmp/calls" || fail "build.sh DIR -D...: $(cat "$tmp/calls")"

# with-sim.sh: a simulator that never comes up is an error, said so.
status=0
"$root/scripts/with-sim.sh" "$build" ctl --no-such-option >"$tmp/out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "with-sim.sh with a failing q7msim exited $status"
grep -q "q7msim exited" "$tmp/out" || fail "with-sim.sh did not say why: $(cat "$tmp/out")"

# with-sim.sh: the q7mctl demo against a working simulator succeeds.
"$root/scripts/with-sim.sh" "$build" ctl --no-pacing >"$tmp/out" 2>&1 || fail "with-sim.sh ctl: $(tail -20 "$tmp/out")"
grep -q "^Fader: " "$tmp/out" || fail "with-sim.sh ctl printed no live values"
# The operating system is called only from the platform files
# (*_posix.cpp, *_win32.cpp) of the library, the editor and q7mctl; their
# tests may call it anywhere.
calls='dlopen|LoadLibrary|fork|sigaction|getaddrinfo|pipe2|waitpid|SetConsoleCtrlHandler|FormatMessage'
outside="$(cd "$root" && grep -rnE "$calls" editor linklib tools --exclude-dir=tests | grep -vE '_(posix|win32)\.cpp:' || true)"
[ -z "$outside" ] || fail "system calls outside the platform files: $outside"
# The system headers that declare such calls, likewise; socket.h and
# fd_io.h take the socket and poll types from theirs.
headers='#include <(unistd|windows|winsock2|ws2tcpip|fcntl|poll|dlfcn|termios|netdb|pwd|signal|sys/[a-z]+|netinet/[a-z]+)\.h>'
outside="$(cd "$root" && grep -rnE "$headers" editor linklib tools --exclude-dir=tests |
  grep -vE '_(posix|win32)\.(cpp|h):|^linklib/port/(socket|fd_io)\.h:' || true)"
[ -z "$outside" ] || fail "system headers outside the platform files: $outside"
echo "scripts: ok"
