#!/usr/bin/env bash
# Builds the fuzz targets, replays the seeds and the kept inputs, then fuzzes
# the four targets side by side for SECONDS each (default 120).
#
#   fuzz/run.sh 120     the CI smoke run
#   fuzz/run.sh 1800    a long run; the corpus in build/fuzz/corpus grows across runs
#
# Any crash, timeout, out-of-memory or leak fails the run; the input is left
# in build/fuzz/artifacts/ to be kept in fuzz/regressions/.
set -euo pipefail
seconds="${1:-120}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
b="$root/build/fuzz"
rm -rf "$b/seeds"
targets=(reader tool info fs)
mkdir -p "$b/seeds" "$b/corpus/reader" "$b/corpus/tool" "$b/corpus/info" "$b/corpus/fs" "$b/artifacts"
"$b/tests/builder/d88make" seeds "$b/seeds"
# Real disks with file systems, where the shared samples stand beside.
for sample in "$root"/../shared/samples/real/*.d88 "$root"/../shared/samples/real/*.D77; do
  [ -f "$sample" ] && cp "$sample" "$b/seeds/"
done

limits=(-timeout=2 -rss_limit_mb=1024 -malloc_limit_mb=64)
for target in "${targets[@]}"; do
  echo "== replay: ${target}_fuzzer on the seeds and fuzz/regressions"
  inputs=("$b/seeds"/*)
  for kept in "$root/fuzz/regressions"/*; do
    [ "${kept##*.}" = md ] || inputs+=("$kept")
  done
  "$b/fuzz/${target}_fuzzer" "${limits[@]}" -artifact_prefix="$b/artifacts/replay-$target-" "${inputs[@]}" \
    >"$b/replay-$target.log" 2>&1 || { tail -40 "$b/replay-$target.log"; exit 1; }
done

echo "== fuzzing each target for ${seconds}s"
pids=()
for target in "${targets[@]}"; do
  "$b/fuzz/${target}_fuzzer" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$b/artifacts/$target-" "$b/corpus/$target" "$b/seeds" >"$b/fuzz-$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  if wait "${pids[$i]}"; then
    echo "-- ${target}_fuzzer: $(grep -E '^#[0-9]+.*DONE' "$b/fuzz-$target.log" | tail -1)"
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$b/fuzz-$target.log" | sed 's/^/   /'
  else
    status=1
    echo "-- ${target}_fuzzer FAILED"
    tail -60 "$b/fuzz-$target.log"
  fi
done
ls "$b/artifacts" 2>/dev/null | sed 's/^/artifact: /'
exit "$status"
