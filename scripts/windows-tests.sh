#!/usr/bin/env bash
# Runs the Windows tests of the Windows tree (the Win32 tests and the
# end-to-end tests under Wine) inside an Xvfb display of their own, with a
# warm wineserver so that each test does not wait for the previous one's
# server to exit. Arguments go to ctest (e.g. -R e2e.forms). Exits with
# ctest's status.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

display=""
for n in $(seq 90 120); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
if [ -z "$display" ]; then
  station_log "no free X display number in 90-120"
  exit 1
fi
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  station_wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY="$display"
station_wineserver -p >/dev/null 2>&1
station_wine cmd /c exit >/dev/null 2>&1 || true

station_log "Windows and end-to-end tests under Wine on $DISPLAY"
cd "$STATION_BUILD/win" && ctest --output-on-failure "$@"
