#!/usr/bin/env bash
# Runs the Windows tests of the Windows tree (the Win32 tests and the
# end-to-end tests under Wine). Under Wine most of a test's time is waiting,
# so the tests run in lanes side by side (STATION_TEST_LANES, default 3):
# each lane is a network namespace of its own (the demo station's port is
# compiled into the program, and every lane's station listens on it) with an
# Xvfb display of its own, and takes the next test from one queue, longest
# first. The Win32 tests share the project's prefix: the first lane runs
# them, with a warm wineserver. Without namespaces (no privilege for
# "unshare --net") there is one lane.
#
#   windows-tests.sh               every test; JUnit reports in build/logs/junit
#   windows-tests.sh CTEST-ARGS    one lane, ctest with those arguments
#                                  (e.g. -R e2e.forms)
# Exits 0 when every test passed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
tree="$STATION_BUILD/win"

free_display() {
  local n
  for n in $(seq "$1" "$2"); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo ":$n"; return 0; fi
  done
  return 1
}

# An Xvfb display of this lane's own, as DISPLAY; XVFB is its process.
start_display() {
  local lane="$1" display
  display=$(free_display $((90 + 5 * lane)) $((94 + 5 * lane))) || { station_log "lane $lane: no free X display"; return 1; }
  Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  export DISPLAY="$display" STATION_TEST_LANE="$lane"
}

# The project's prefix with its wineserver kept warm, so that each program
# started in it does not wait for the last one's server to exit.
warm_prefix() {
  station_wineserver -p >/dev/null 2>&1
  station_wine cmd /c exit >/dev/null 2>&1 || true
}

run_test() {
  (cd "$tree" && ctest --output-on-failure -R "^${1//./\\.}\$" --output-junit "$2/$1.xml")
}

# Inside a lane: its display, the tests given (those of the shared prefix),
# then the tests it takes from the queue until none is left.
run_lane() {
  local lane="$1" queue="$2" reports="$3"; shift 3
  ip link set lo up 2>/dev/null || true
  start_display "$lane" || return 1
  local status=0 name
  if [ $# -gt 0 ]; then
    warm_prefix
    for name in "$@"; do run_test "$name" "$reports" || status=1; done
    station_wineserver -k >/dev/null 2>&1 || true
  fi
  while name=$(flock "$queue" bash -c 'head -n 1 "$1" && sed -i 1d "$1"' - "$queue") && [ -n "$name" ]; do
    run_test "$name" "$reports" || status=1
  done
  kill "$XVFB" >/dev/null 2>&1
  return $status
}
export -f run_lane run_test start_display warm_prefix free_display station_log station_wine station_wineserver
export tree

if [ $# -gt 0 ]; then
  start_display 0 || exit 1
  trap 'station_wineserver -k >/dev/null 2>&1; kill "$XVFB" >/dev/null 2>&1' EXIT
  warm_prefix
  station_log "Windows and end-to-end tests under Wine on $DISPLAY: ctest $*"
  cd "$tree" && ctest --output-on-failure "$@"
  exit $?
fi

reports="$STATION_BUILD/logs/junit"
rm -rf "$reports"; mkdir -p "$reports"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# Every test of the tree; the end-to-end ones queued longest first: by the
# time ctest recorded on the last run, else by the test's COST property.
mapfile -t tests < <(cd "$tree" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p')
shared=() queued=()
for t in "${tests[@]}"; do case "$t" in win32_tests*) shared+=("$t") ;; *) queued+=("$t") ;; esac; done
(cd "$tree" && ctest --show-only=json-v1) | python3 -c '
import json, sys
recorded = {}
try:
    for line in open(sys.argv[1]):
        parts = line.split()
        if len(parts) == 3 and int(parts[1]) > 0:
            recorded[parts[0]] = float(parts[2])
except (OSError, ValueError):
    pass
wanted = set(sys.argv[2:])
costs = []
for test in json.load(sys.stdin)["tests"]:
    if test["name"] in wanted:
        cost = next((p["value"] for p in test.get("properties", []) if p["name"] == "COST"), 0)
        costs.append((recorded.get(test["name"], cost), test["name"]))
for _, name in sorted(costs, reverse=True):
    print(name)
' "$tree/Testing/Temporary/CTestCostData.txt" "${queued[@]}" > "$work/queue"

lanes=${STATION_TEST_LANES:-3}
# A lane needs a network namespace whose loopback can be brought up.
if ! unshare --net ip link set lo up 2>/dev/null; then lanes=1; fi
station_log "Windows and end-to-end tests under Wine: ${#tests[@]} tests in $lanes lanes"
pids=()
for lane in $(seq 1 "$lanes"); do
  if [ "$lane" = 1 ]; then lane_tests=("${shared[@]}"); else lane_tests=(); fi
  if [ "$lanes" -gt 1 ]; then
    unshare --net bash -c 'run_lane "$@"' - "$lane" "$work/queue" "$reports" "${lane_tests[@]}" &
  else
    bash -c 'run_lane "$@"' - "$lane" "$work/queue" "$reports" "${lane_tests[@]}" &
  fi
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
