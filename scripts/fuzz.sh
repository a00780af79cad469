#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with ASan and UBSan) in
# build/fuzz and runs each for the given number of seconds on a fresh copy of
# its committed corpus fuzz/corpus/<name> (the target's name without
# "_fuzz"), with fuzz/<name>.dict when there is one. New inputs stay in the
# copy under build/fuzz/corpus; crashing inputs go to build/fuzz/artifacts.
# Exits non-zero when any target crashed, hung or ran out of memory.
#
#   scripts/fuzz.sh [seconds] [target ...]    default: 60 seconds, every target
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

failed=()
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  work="$build/corpus/$name"
  artifacts="$build/artifacts/$target"
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  if [ -d "$root/fuzz/corpus/$name" ]; then
    cp -R "$root/fuzz/corpus/$name/." "$work/"
  fi
  options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/")
  if [ -f "$root/fuzz/$name.dict" ]; then
    options+=(-dict="$root/fuzz/$name.dict")
  fi
  echo "== $target: $seconds s on $(find "$work" -type f | wc -l) corpus inputs"
  if "$build/$target" "${options[@]}" "$work"; then
    echo "== $target: no crash"
  else
    echo "== $target: FAILED, inputs in $artifacts:" >&2
    ls -l "$artifacts" >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}" >&2
  exit 1
fi
