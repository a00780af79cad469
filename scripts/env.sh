# Shared environment of the project's scripts: where the fetched and generated
# things live, and how Wine is run (private prefix, Chinese locale, quiet).
# Sourced, never run.

STATION_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
STATION_CACHE="${STATION_CACHE:-$STATION_ROOT/.cache}"
STATION_BUILD="${STATION_BUILD:-$STATION_ROOT/build}"

export WINEPREFIX="$STATION_CACHE/wineprefix"
export WINEARCH=win64
# A caller's own setting wins (the end-to-end harness keeps the program's
# error lines).
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install attempt, no desktop menu files.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LOCPATH="$STATION_CACHE/locale"

if [ -x /usr/lib/wine/wine64 ]; then
  STATION_WINE=/usr/lib/wine/wine64
else
  STATION_WINE=wine
fi
if [ -x /usr/lib/wine/wineserver64 ]; then
  STATION_WINESERVER=/usr/lib/wine/wineserver64
else
  STATION_WINESERVER=wineserver
fi
export STATION_WINE STATION_WINESERVER

# Code page 936 under Wine needs LC_ALL naming a generated zh_CN locale;
# only Wine's commands get it, the build and apt keep the caller's locale.
station_wine() { env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$STATION_WINE" "$@"; }
station_wineserver() { env LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$STATION_WINESERVER" "$@"; }

station_log() { printf '[station %(%T)T] %s\n' -1 "$*" >&2; }
