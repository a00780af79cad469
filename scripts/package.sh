#!/usr/bin/env bash
# Sets up as needed, builds the Windows tree and makes the release packages:
#
#   bash scripts/package.sh
#
# Results in build/win/package/ (STATION_BUILD moves build/):
#   station-1.3.zip         station.exe (stripped), system.dll, img\
#   station-1.3-setup.exe   the per-user installer (/S silent, /D=DIR folder)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

bash "$STATION_ROOT/scripts/setup.sh"
bash "$STATION_ROOT/scripts/build.sh" win --target package
ls -l "$STATION_BUILD/win/package/"*.zip "$STATION_BUILD/win/package/"*-setup.exe
