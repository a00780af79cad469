#!/usr/bin/env bash
# Runs the whole Windows test suite again and again to show that it does not
# flake: PLAIN runs in a row, then BUSY runs in a row with one core kept busy
# by another process (`yes`). Stops at the first failing run; its log stays
# in build/logs/soak-*.log.
#
#   bash scripts/soak.sh [PLAIN [BUSY]]     (default 10 3)
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

plain="${1:-10}"
busy="${2:-3}"
export STATION_WERROR=ON
bash "$STATION_ROOT/scripts/setup.sh" || exit 1
bash "$STATION_ROOT/scripts/build.sh" win || exit 1
bash "$STATION_ROOT/scripts/build.sh" release --target package || exit 1
export STATION_PACKAGE_DIR="$STATION_BUILD/release/package"
mkdir -p "$STATION_BUILD/logs"

run() {  # run KIND N: one whole Windows suite run; its result line
  local log="$STATION_BUILD/logs/soak-$1-$2.log"
  bash "$STATION_ROOT/scripts/windows-tests.sh" > "$log" 2>&1
  local status=$?
  echo "$1 run $2: $(grep -E 'tests passed' "$log" | tail -n 1) ($(date +%T))"
  return "$status"
}

for i in $(seq 1 "$plain"); do
  run plain "$i" || exit 1
done
for i in $(seq 1 "$busy"); do
  yes > /dev/null &
  hog=$!
  run busy "$i"
  status=$?
  kill "$hog"
  [ "$status" -eq 0 ] || exit 1
done
echo "soak: $plain plain and $busy busy runs in a row passed"
