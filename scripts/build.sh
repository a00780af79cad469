#!/usr/bin/env bash
# Configures and builds one or more trees:
#   build.sh win      the Windows cross build (station.exe, Win32 tests) in build/win
#   build.sh native   the native build of the portable code (ASan/UBSan) in build/native
#   build.sh release  the Windows cross build of type Release in build/release,
#                     the program alone, which the packages are made from
#                     (--target package)
#   build.sh          native and win
# Extra arguments after the tree name go to "cmake --build" (e.g. --target station).
# A tree is configured when it has no cache yet, or again when one of these
# is set in the environment: STATION_WERROR (ON: warnings are errors, as the
# test command wants), STATION_DEMO_PORT (the demo station's port the program
# talks to).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

build_tree() {
  local tree="$1"; shift
  local dir="$STATION_BUILD/$tree" preset="$tree" args=()
  # The trees are the presets of CMakePresets.json, in STATION_BUILD.
  [ "$tree" = release ] && preset=win-release
  [ "$tree" != native ] && args+=(-DSTATION_MINGW_LIBJPEG="$STATION_CACHE/mingw-libjpeg")
  [ -n "${STATION_WERROR:-}" ] && args+=(-DSTATION_WERROR="$STATION_WERROR")
  [ -n "${STATION_DEMO_PORT:-}" ] && args+=(-DSTATION_DEMO_PORT="$STATION_DEMO_PORT")
  if [ ! -f "$dir/CMakeCache.txt" ] || [ -n "${STATION_WERROR:-}${STATION_DEMO_PORT:-}" ]; then
    cmake --preset "$preset" -S "$STATION_ROOT" -B "$dir" "${args[@]}" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)" "$@"
}

case "${1:-all}" in
  win|native|release) tree="$1"; shift; build_tree "$tree" "$@" ;;
  all) build_tree native; build_tree win ;;
  *) echo "usage: build.sh [win|native|release|all] [cmake --build args]" >&2; exit 2 ;;
esac
