#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with ASan and UBSan) in
# build/fuzz and runs each for the given number of seconds on a fresh copy of
# its committed corpus fuzz/corpus/<name> (the target's name without
# "_fuzz"), with fuzz/<name>.dict when there is one. New inputs stay in the
# copy under build/fuzz/corpus; crashing inputs go to build/fuzz/artifacts.
# Exits non-zero when any target crashed, hung or ran out of memory.
#
#   scripts/fuzz.sh [seconds] [target ...]    default: 60 seconds, every target
#   STATION_FUZZ_JOBS=N                        targets run at once (default 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if [ $# -gt 0 ]; then shift; fi
build="$root/build/fuzz"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

# Each target runs alone for its seconds; STATION_FUZZ_JOBS of them (default
# 2) at once, each with its output in build/fuzz/logs, shown in order.
mkdir -p "$build/logs"
run_target() {
  local target="$1" name="${1%_fuzz}"
  local work="$build/corpus/$name" artifacts="$build/artifacts/$1"
  rm -rf "$work" "$artifacts"
  mkdir -p "$work" "$artifacts"
  if [ -d "$root/fuzz/corpus/$name" ]; then
    cp -R "$root/fuzz/corpus/$name/." "$work/"
  fi
  local options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/")
  if [ -f "$root/fuzz/$name.dict" ]; then
    options+=(-dict="$root/fuzz/$name.dict")
  fi
  echo "== $target: $seconds s on $(find "$work" -type f | wc -l) corpus inputs"
  if "$build/$target" "${options[@]}" "$work"; then
    echo "== $target: no crash"
  else
    echo "== $target: FAILED, inputs in $artifacts:"
    ls -l "$artifacts" || true
    return 1
  fi
}

jobs=${STATION_FUZZ_JOBS:-2}
declare -A pids
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$target" > "$build/logs/$target.log" 2>&1 &
  pids[$target]=$!
done
failed=()
for target in "${targets[@]}"; do
  wait "${pids[$target]}" || failed+=("$target")
  cat "$build/logs/$target.log"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
