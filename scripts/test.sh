#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the file
# readers and the extraction worker under the sanitizers, then every
# reader's fuzz target (its corpus replayed and a short campaign, see
# scripts/fuzz.sh), then the whole suite (core, command-line and GUI tests)
# in the normal build.
# VISTAMET_SANITIZER_TESTS=0 skips the sanitizer builds and the fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

if [ "${VISTAMET_SANITIZER_TESTS:-1}" = 1 ]; then
  common=(-DVISTAMET_BUILD_GUI=OFF -DVISTAMET_BUILD_BENCH=OFF)
  BUILD_DIR=build-asan TARGETS="common_tests vistamet_core_tests georeckon_core_tests" \
    ./scripts/build.sh -DVISTAMET_SANITIZE=ON "${common[@]}"
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  build-asan/common_tests --gtest_brief=1
  build-asan/vistamet_core_tests --gtest_brief=1
  if [ -x build-asan/georeckon_core_tests ]; then build-asan/georeckon_core_tests --gtest_brief=1; fi
  BUILD_DIR=build-tsan TARGETS=vistamet_thread_tests \
    ./scripts/build.sh -DVISTAMET_TSAN=ON "${common[@]}"
  echo "== ThreadSanitizer: the document's worker (extraction and adjustment)"
  build-tsan/vistamet_thread_tests --gtest_brief=1 \
    --gtest_filter='*Extraction*:*Runner*:SampleFolder.*:ReducedNormalsThreads.*'
  echo "== Fuzz targets: corpora replayed, then ${FUZZ_SECONDS:-20} s each"
  ./scripts/fuzz.sh
fi

./scripts/build.sh
cd "${BUILD_DIR:-build}"
# GUI tests need a display: run the whole suite under a virtual one.
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" ctest --output-on-failure -j2
fi
exec ctest --output-on-failure -j2
