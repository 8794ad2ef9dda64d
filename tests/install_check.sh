#!/usr/bin/env bash
# install_check.sh BUILD_DIR: installs into a throw-away prefix and checks
# that the installed editor runs and finds its library and help text.
set -euo pipefail
build="$1"
prefix="$(mktemp -d -t q7minstall.XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/zelkvelq"
test -x "$prefix/bin/q7msim"
test -f "$prefix/share/zelkvelq/VELQ-HELP.rtf"
test -f "$prefix/share/applications/zelkvelq.desktop"
test -f "$prefix/share/icons/hicolor/scalable/apps/zelkvelq.svg"
find "$prefix" -name 'libq7mslib.so.1' | grep -q libq7mslib
"$prefix/bin/zelkvelq" --check-library | grep -q '^The unit link library loads: '
"$prefix/bin/zelkvelq" --version | grep -q '^zelkvelq '
"$prefix/bin/zelkvelq" --help | grep -q 'usage: zelkvelq'
"$prefix/bin/q7mctl" --help | grep -q 'usage: q7mctl'
# The German translation is installed and the installed editor finds it
# (it says so on stderr when it does not); it is ended by the time-out.
if [ -f "$build/bin/translations/zelkvelq_de.qm" ]; then
  test -f "$prefix/share/zelkvelq/translations/zelkvelq_de.qm"
  mkdir -p "$prefix/data"
  printf '[General]\nlanguage=de\n' >"$prefix/data/editor.ini"
  said="$(cd "$prefix" && ZELKVELQ_DATA_DIR="$prefix/data" Q7M_CONFIG_DIR="$prefix/data" QT_QPA_PLATFORM=offscreen \
          timeout 3 "$prefix/bin/zelkvelq" 2>&1 || true)"
  if grep -q 'was not found' <<<"$said"; then echo "$said" >&2; exit 1; fi
fi
echo "install into $prefix: ok"
