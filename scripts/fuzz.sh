#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, replays every input of
# fuzz/corpus/<target>/ and of freshly written seeds, then fuzzes each target
# for FUZZ_SECONDS (20) seconds, two at a time. An input that crashes, hangs
# for more than 10 s or fails a target's check stops the script; it is kept
# in build-fuzz/found/ and, once fixed, belongs in fuzz/corpus/<target>/.
# FUZZ_SECONDS=0 only replays. The campaigns start from FUZZ_SEED (1), so a
# run repeats the inputs of an earlier one with the same corpus; another
# seed explores elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
FUZZ_SEED=${FUZZ_SEED:-1}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVISTAMET_FUZZ=ON -DVISTAMET_BUILD_GUI=OFF -DVISTAMET_BUILD_BENCH=OFF \
    -DVISTAMET_BUILD_TESTS=OFF
fi
cmake --build "$BUILD_DIR" -j"${JOBS:-2}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
found="$BUILD_DIR/found"
mkdir -p "$found"
"$BUILD_DIR/make_fuzz_seeds" . "$work/seeds"

targets=()
for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done

# run TARGET: replays the corpora, then fuzzes; the log goes to $work.
run() {
  local t=$1 bin="$BUILD_DIR/$1" log="$work/$1.log"
  mkdir -p "$work/new/$t" "$work/seeds/$t"
  local common=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="$found/$t-")
  if ! "$bin" "${common[@]}" -runs=0 "fuzz/corpus/$t" "$work/seeds/$t" >"$log" 2>&1; then
    echo "== $t: an input of the corpus fails"; tail -n 40 "$log"; return 1
  fi
  if [ "$FUZZ_SECONDS" -gt 0 ] && ! "$bin" "${common[@]}" -seed="$FUZZ_SEED" \
      -max_total_time="$FUZZ_SECONDS" \
      -print_final_stats=1 "$work/new/$t" "fuzz/corpus/$t" "$work/seeds/$t" >>"$log" 2>&1; then
    echo "== $t: fuzzing found an input (kept in $found/)"; tail -n 60 "$log"; return 1
  fi
  echo "== $t: $(grep -c . <(ls "fuzz/corpus/$t")) corpus files replayed, \
$(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0) runs"
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for t in "${targets[@]:i:2}"; do
    run "$t" &
    pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p" || failed=1; done
done
exit "$failed"
