#!/usr/bin/env bash
# screenshots.sh [BUILD_DIR] - the README's pictures, made again: the main
# window (the Format tab) and the Optical Setup tab during a gain
# measurement, taken by the GUI tests' own screenshot runs against q7msim
# on Qt's off-screen platform, then copied to docs/images/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
for t in test_gui test_gui_optical; do
  [ -x "$build/bin/$t" ] || { echo "screenshots.sh: $build/bin/$t is missing: build first (scripts/build.sh)" >&2; exit 1; }
done
shots="$(mktemp -d -t q7mshots.XXXXXX)"
trap 'rm -rf "$shots"' EXIT
export QT_QPA_PLATFORM=offscreen QTEST_DISABLE_STACK_TRACE=1 Q7M_ARTEFACTS="$shots"
"$build/bin/test_gui" screenshotsOfEveryTab >"$shots/test_gui.log" 2>&1 ||
  { cat "$shots/test_gui.log" >&2; exit 1; }
"$build/bin/test_gui_optical" gainBarsFollowTheReader >"$shots/test_gui_optical.log" 2>&1 ||
  { cat "$shots/test_gui_optical.log" >&2; exit 1; }
mkdir -p "$root/docs/images"
cp "$shots/0-format.png" "$root/docs/images/main-window.png"
cp "$shots/optical-gain.png" "$root/docs/images/optical-gain.png"
echo "docs/images/main-window.png, docs/images/optical-gain.png"
