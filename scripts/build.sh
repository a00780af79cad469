#!/usr/bin/env bash
# Configures and builds one or both trees:
#   build.sh win     the Windows cross build (station.exe, Win32 tests) in build/win
#   build.sh native  the native build of the portable code (ASan/UBSan) in build/native
#   build.sh         both
# Extra arguments after the tree name go to "cmake --build" (e.g. --target station).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

build_tree() {
  local tree="$1"; shift
  local dir="$STATION_BUILD/$tree" args=()
  if [ "$tree" = win ]; then
    args=(-DCMAKE_TOOLCHAIN_FILE="$STATION_ROOT/cmake/mingw-w64-x86_64.cmake"
          -DSTATION_MINGW_LIBJPEG="$STATION_CACHE/mingw-libjpeg")
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$STATION_ROOT" -B "$dir" -G "Unix Makefiles" "${args[@]}" >/dev/null
  fi
  cmake --build "$dir" -j "$(nproc)" "$@"
}

case "${1:-all}" in
  win|native) tree="$1"; shift; build_tree "$tree" "$@" ;;
  all) build_tree native; build_tree win ;;
  *) echo "usage: build.sh [win|native|all] [cmake --build args]" >&2; exit 2 ;;
esac
