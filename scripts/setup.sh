#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12 (apt-get).  Does
# nothing when everything is already there.
set -euo pipefail
packages=(cmake g++ make pkg-config ccache googletest libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev binutils
          ser2net                                     # network serial server tests
          poppler-utils                               # service report checks
          libarchive-dev                              # the support bundle
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n  # the editor's translations
          prometheus prometheus-node-exporter         # the metrics file: promtool, the textfile collector
          xvfb xauth xdotool libxcb1-dev              # the test with real X input
          clang libclang-rt-14-dev clang-tidy         # fuzz targets, clang-tidy
          dpkg-dev fakeroot file lintian              # Debian packages
          locales)                                    # the decimal-comma locale tests
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# A locale with a decimal comma, for the tests that prove files and numbers
# do not follow the user's locale (they say so and skip when it is missing).
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
    echo "setup.sh: could not generate de_DE.UTF-8: the locale tests will be skipped" >&2
fi
