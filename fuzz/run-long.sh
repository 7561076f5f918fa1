#!/usr/bin/env bash
# Runs the fuzz targets by hand for longer: fuzz/run-long.sh [SECONDS [TARGET...]] (default 600
# seconds each, every target; names as in fuzz/CMakeLists.txt, e.g. module_interpreter). New inputs
# collect in build-fuzz/fuzz/found/<target>/; a crashing input is saved as
# build-fuzz/fuzz/<target>-crash-<hash>. Fix the fault and add that input to fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build=${KQ_FUZZ_BUILD:-build-fuzz}
KQ_FUZZ_BUILD=$build fuzz/run-fuzz.sh --build-only
targets=("$@")
if ((${#targets[@]} == 0)); then
  for corpus in fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi
for target in "${targets[@]}"; do
  dictionary=()
  [ -f "fuzz/$target.dict" ] && dictionary=(-dict="fuzz/$target.dict")
  found=$build/fuzz/found/$target
  mkdir -p "$found" "$build/fuzz/state/$target"
  echo "== $target for ${seconds} s"
  KQ7120_SIM_STATE_DIR=$build/fuzz/state/$target "$build/fuzz/fuzz_$target" "${dictionary[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/$target-" "$found" "fuzz/corpus/$target"
done
