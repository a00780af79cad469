#!/usr/bin/env bash
# Sets up as needed, builds the Windows Release tree (build/release) and makes
# the release packages from it:
#
#   bash scripts/package.sh
#
# Results in build/release/package/ (STATION_BUILD moves build/):
#   station-1.3.zip         station.exe (stripped), system.dll, img\
#   station-1.3-setup.exe   the per-user installer (/S silent, /D=DIR folder)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

bash "$STATION_ROOT/scripts/setup.sh"
bash "$STATION_ROOT/scripts/build.sh" release --target package
ls -l "$STATION_BUILD/release/package/"*.zip "$STATION_BUILD/release/package/"*-setup.exe
