#!/usr/bin/env bash
# Installs what is missing, builds, writes the synthetic sample project into
# sample/ and opens it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f sample/sample.vmt ]; then
  "$BUILD_DIR/vistamet-cli" make-sample sample
fi
"$BUILD_DIR/vistamet-cli" info sample/sample.vmt
exec "$BUILD_DIR/vistamet-cli" adjust sample/sample.vmt --reports sample
