#!/usr/bin/env bash
# Builds the Station client and runs it against the demo station.
#
#   bash scripts/run.sh [--dpi N]
#
# --dpi N runs the program on a screen of N DPI (96 is 100 %, 144 is 150 %,
# 192 is 200 %): in a private copy of the Wine prefix whose LogPixels is N,
# and, without $DISPLAY, on an Xvfb screen of 1366 x 768 times N / 96. The
# project's prefix, which the tests use, stays at 96.
#
# 1. setup (idempotent) and the Windows build of the run directory;
# 2. the demo station on 127.0.0.1 (port of the build, 18480 by default),
#    its request log in build/demo-station.log;
# 3. a copy of the run directory in build/run-demo (see below);
# 4. station.exe under Wine: on $DISPLAY when set, otherwise on an Xvfb
#    display of its own, where a screenshot is saved to build/screenshots/
#    once the main window is up;
# 5. waits until Ctrl-C / SIGTERM (exit 0) or until the program ends by
#    itself (its exit status), then stops everything it started.
#
# Why a copy: the program writes userini.user, ad.tingweiini and
# ad\tingweiad.gif beside itself. Running in build/run-demo keeps the build's
# run directory exactly what the build made (the end-to-end tests start from
# it), while the shipped files (station.exe, system.dll, img\) are refreshed
# from the build on every run and the user's colour choice in userini.user
# survives from run to run, as it would in an installed copy.
#
# Environment (all optional):
#   STATION_RUNDIR       run directory to start from (default build/win/run)
#   STATION_RUN_NO_BUILD=1   skip setup and build; run STATION_RUNDIR as it is
#   STATION_RUN_DISPLAY  Xvfb display number to try first (default 77)
#   STATION_DEMO_PORT    demo station port (default: the build's, else 18480)
#   STATION_BUILD        build folder (default build/, from scripts/env.sh)
#
# Wine: the program's Wine process is stopped on the way out. When no
# wineserver was running for the prefix at start, the session is this
# script's and "wineserver -k" ends it (explorer, services, ...); when one
# was already running (tests or another session), it is left alone.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$STATION_ROOT"

say() { printf '[run] %s\n' "$*" >&2; }

dpi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi)
      dpi="${2:-}"
      shift 2 || true
      ;;
    --dpi=*)
      dpi="${1#--dpi=}"
      shift
      ;;
    *)
      say "unknown option $1 (usage: run.sh [--dpi N])"
      exit 2
      ;;
  esac
done
if ! [[ "$dpi" =~ ^[0-9]+$ ]] || [ "$dpi" -lt 48 ] || [ "$dpi" -gt 480 ]; then
  say "--dpi wants a whole number from 48 to 480, not '$dpi'"
  exit 2
fi

station_pid="" server_pid="" xvfb_pid="" own_wineserver=0 cleaned=0 work_dir=""

# Sends TERM to a process we started, waits up to $2 tenths of a second,
# then KILL.
stop_pid() {
  local pid="$1" tenths="${2:-30}" i
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < tenths; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  [ "$cleaned" = 1 ] && return 0
  cleaned=1
  trap '' INT TERM HUP
  if [ -n "$station_pid" ]; then
    say "stopping station.exe"
    stop_pid "$station_pid" 30
  fi
  if [ "$own_wineserver" = 1 ]; then
    say "ending this session's wineserver"
    station_wineserver -k >/dev/null 2>&1 || true
    timeout 10 env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$STATION_WINESERVER" -w >/dev/null 2>&1 || true
  fi
  if [ -n "$server_pid" ]; then
    say "stopping the demo station"
    stop_pid "$server_pid" 30
  fi
  if [ -n "$xvfb_pid" ]; then
    say "stopping Xvfb"
    stop_pid "$xvfb_pid" 30
  fi
  [ -z "$work_dir" ] || rm -rf "$work_dir"
}

on_signal() {
  cleanup
  exit 0
}

# The children run in sessions of their own, so a Ctrl-C at the terminal
# reaches only this script, which then stops them in order (program, Wine,
# demo station, display).
trap cleanup EXIT
trap on_signal INT TERM HUP
work_dir="$(mktemp -d "${TMPDIR:-/tmp}/station-run.XXXXXX")"

# ------------------------------------------------------------------ build
if [ "${STATION_RUN_NO_BUILD:-0}" != 1 ]; then
  bash scripts/setup.sh
  bash scripts/build.sh win --target station_rundir
fi
rundir="${STATION_RUNDIR:-$STATION_BUILD/win/run}"
if [ ! -f "$rundir/station.exe" ]; then
  say "no station.exe in $rundir"
  exit 1
fi

port="${STATION_DEMO_PORT:-}"
if [ -z "$port" ] && [ -f "$STATION_BUILD/win/CMakeCache.txt" ]; then
  port="$(sed -n 's/^STATION_DEMO_PORT:[A-Z]*=//p' "$STATION_BUILD/win/CMakeCache.txt")"
fi
port="${port:-18480}"

# ------------------------------------------------------------------ demo station
mkdir -p "$STATION_BUILD"
ready_file="$work_dir/demo-station.out"
setsid python3 demo-station/server.py --port "$port" --log "$STATION_BUILD/demo-station.log" >"$ready_file" &
server_pid=$!
for ((i = 0; i < 100; i++)); do
  grep -q '^ready ' "$ready_file" 2>/dev/null && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
    say "the demo station did not start (port $port in use?)"
    exit 1
  fi
  sleep 0.1
done
if ! grep -q '^ready ' "$ready_file"; then
  say "the demo station did not get ready"
  exit 1
fi
say "demo station: $(sed -n 's/^ready //p' "$ready_file") (log: $STATION_BUILD/demo-station.log)"

# ------------------------------------------------------------------ run directory
demo_dir="$STATION_BUILD/run-demo"
mkdir -p "$demo_dir"
cp -a "$rundir/." "$demo_dir/"
say "run directory: $demo_dir"

# ------------------------------------------------------------------ display
screenshot=0
if [ -z "${DISPLAY:-}" ]; then
  display=""
  for ((n = ${STATION_RUN_DISPLAY:-77}; n < ${STATION_RUN_DISPLAY:-77} + 40; n++)); do
    [ "$n" = 99 ] && continue
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      display=":$n"
      break
    fi
  done
  if [ -z "$display" ]; then
    say "no free X display number found"
    exit 1
  fi
  screen_size=1366x768
  # A multiple of 8 wide, as real screens are (2048 x 1152 at 150 %).
  [ "$dpi" = 96 ] || screen_size="$((1366 * dpi / 96 / 8 * 8))x$((768 * dpi / 96))"
  setsid Xvfb "$display" -screen 0 "${screen_size}x24" -nolisten tcp >"$work_dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for ((i = 0; i < 100; i++)); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! kill -0 "$xvfb_pid" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
    say "Xvfb $display did not start:"
    cat "$work_dir/xvfb.log" >&2 || true
    exit 1
  fi
  export DISPLAY="$display"
  screenshot=1
  say "Xvfb on $DISPLAY"
fi

# ------------------------------------------------------------------ the program
if [ "$dpi" != 96 ]; then
  # A prefix of this run's own at the DPI (scripts/wine-run finds it through
  # STATION_CACHE); the copy's wineserver is ours.
  say "Wine prefix at $dpi DPI: $work_dir/cache/wineprefix"
  mkdir -p "$work_dir/cache"
  cp -a "$WINEPREFIX" "$work_dir/cache/wineprefix"
  rm -f "$work_dir/cache/wineprefix/wineserver"
  ln -s "$STATION_CACHE/locale" "$work_dir/cache/locale"
  export STATION_CACHE="$work_dir/cache" WINEPREFIX="$work_dir/cache/wineprefix"
  station_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || {
    say "could not set the DPI in the prefix copy"
    exit 1
  }
fi
if timeout 1 env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$STATION_WINESERVER" -w >/dev/null 2>&1; then
  own_wineserver=1
fi
[ "$dpi" = 96 ] || own_wineserver=1
# Wine's own messages go to a file: the helper processes Wine starts
# (services, explorer) inherit them and may outlive this script when the
# wineserver is shared, and must not hold a caller's pipe open.
wine_log="$STATION_BUILD/station-wine.log"
(cd "$demo_dir" && exec setsid "$STATION_ROOT/scripts/wine-run" "$demo_dir/station.exe") \
  </dev/null >"$wine_log" 2>&1 &
station_pid=$!
say "station.exe started on $DISPLAY (Wine messages: $wine_log; Ctrl-C to stop)"

if [ "$screenshot" = 1 ]; then
  # the main window is up when a visible window exists on the display;
  # then give it a moment to paint and the advert window to slide in
  up=0
  for ((i = 0; i < 600; i++)); do
    kill -0 "$station_pid" 2>/dev/null || break
    if [ -n "$(xdotool search --onlyvisible --name . 2>/dev/null | head -n 1)" ]; then
      up=1
      break
    fi
    sleep 0.1
  done
  if kill -0 "$station_pid" 2>/dev/null; then
    [ "$up" = 1 ] || say "no window showed within 60 s; taking the screenshot anyway"
    sleep 3
    mkdir -p "$STATION_BUILD/screenshots"
    shot="$STATION_BUILD/screenshots/run-$(date +%Y%m%d-%H%M%S).png"
    if import -display "$DISPLAY" -window root "$shot" 2>/dev/null; then
      echo "screenshot saved: $shot"
    else
      say "screenshot failed"
    fi
  fi
fi

# ------------------------------------------------------------------ wait
status=0
wait "$station_pid" || status=$?
station_pid=""
say "station.exe ended (status $status)"
cleanup
exit "$status"
