#!/usr/bin/env bash
# Configures (once) and builds the project into build/ (or $BUILD_DIR).
# Extra arguments go to the first configure; $TARGETS limits what is built.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
targets=()
for t in ${TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" "${targets[@]}"
