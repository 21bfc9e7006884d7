#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
cd "${BUILD_DIR:-build}"
# GUI tests need a display: run the whole suite under a virtual one.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" ctest --output-on-failure -j2
fi
exec ctest --output-on-failure -j2
