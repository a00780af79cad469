#!/usr/bin/env bash
# Start-up benchmark of station.exe against a floor program, under Wine on
# an Xvfb display of its own (never part of the tests: numbers, no verdict).
#
#   bash bench/startup/run.sh [--build DIR] [--display N] [bench.py options]
#
#   --build DIR     the Windows build tree (default build/release: the program
#                   as it ships, without the debug information that Wine
#                   would read into memory with the image); its demo
#                   station port is used, and the benchmark's programs are
#                   built there first (targets station_rundir station_probe
#                   bench_floor bench_watch bench_fetch)
#   --display N     Xvfb display number (default: the first free from 60)
#   --no-build      use the tree as it is
#   --runs N        runs after the warm-up (default 5); --idle S (default 10),
#   --settle S (3), --fetches N (10), --fetch-only, --no-trace, --json FILE:
#                   see bench.py
#
# Prints one table of medians on stdout; progress goes to stderr.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"

build="$STATION_BUILD/release" display="" do_build=1 pass=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    --build) build="$(cd "$2" && pwd)"; shift 2 ;;
    --display) display=":${2#:}"; shift 2 ;;
    --no-build) do_build=0; shift ;;
    *) pass+=("$1"); shift ;;
  esac
done
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "no configured build tree in $build (bash scripts/build.sh release, or --build DIR)" >&2
  exit 2
fi
if [ "$do_build" = 1 ]; then
  # The probe is one of the tests' programs: the tree configures them.
  grep -q '^STATION_BUILD_TESTS:BOOL=ON' "$build/CMakeCache.txt" || cmake "$build" -DSTATION_BUILD_TESTS=ON >/dev/null
  cmake --build "$build" -j 2 --target station_rundir station_probe bench_floor bench_watch bench_fetch >&2
fi

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "$display" ]; then
  for n in $(seq 60 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
  done
fi
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X${display#:}" ] || { echo "Xvfb $display did not start" >&2; exit 1; }
export DISPLAY="$display"

python3 "$(dirname "${BASH_SOURCE[0]}")/bench.py" --build "$build" "${pass[@]}"
