#!/usr/bin/env bash
# Installs what is missing, builds, writes the synthetic sample project into
# sample/ and opens it in Vistamet. Without a display it adjusts the sample
# with vistamet-cli instead and prints the result.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f sample/sample.vmt ]; then
  "$BUILD_DIR/vistamet-cli" make-sample sample
fi
if [ -n "${DISPLAY:-}" ] && [ -x "$BUILD_DIR/Vistamet" ]; then
  exec "$BUILD_DIR/Vistamet" sample/sample.vmt
fi
echo "No display: adjusting the sample with vistamet-cli instead of opening Vistamet."
"$BUILD_DIR/vistamet-cli" info sample/sample.vmt
exec "$BUILD_DIR/vistamet-cli" adjust sample/sample.vmt --reports sample
