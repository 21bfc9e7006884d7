#!/usr/bin/env bash
# Pictures of Vistamet's dialogs for a person to look at, in shots/ (or the
# folder given). Runs the window test program's screenshot test under a
# virtual display; each picture is checked to show its dialog.
# Needs ImageMagick's import (installed here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-shots}")
mkdir -p "$out"
if ! command -v import >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq --no-install-recommends imagemagick
fi
TARGETS="vistamet_screenshots georeckon_gui_tests" ./scripts/build.sh
VISTAMET_SHOTS="$out" xvfb-run -a -s "-screen 0 1280x900x24" build/vistamet_screenshots
GEORECKON_SHOTS="$out" xvfb-run -a -s "-screen 0 1280x900x24" build/georeckon_gui_tests \
  --gtest_filter='*Screenshot*'
echo "screenshots in $out"
