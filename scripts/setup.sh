#!/usr/bin/env bash
# Sets up this machine for building, running and testing the Station client.
# Idempotent: every step checks first and does only what is missing.
#   1. Debian packages (cross compiler, Wine, Xvfb, tools)
#   2. project-local zh_CN and en_US locales (code pages 936 and 1252 under Wine)
#   3. libjpeg-turbo cross-built static for Windows from Debian's source package
#   4. a private Wine prefix under that locale, quiet and window-manager free,
#      the fonts the program asks for mapped to a vector CJK font
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

PACKAGES=(
  g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool x11-utils
  fonts-wqy-microhei locales cmake make g++ googletest libjpeg62-turbo-dev
  python3 dpkg-dev nasm imagemagick ca-certificates clang libclang-rt-14-dev cppcheck
  nsis openssl osslsigncode iproute2 util-linux
)

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  station_log "installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# zh_CN for code page 936, the program's own; en_US for code page 1252, where
# the tests show that nothing depends on the system's code page.
make_locale() {
  local name=$1
  [ -f "$LOCPATH/$name.UTF-8/LC_CTYPE" ] && return 0
  station_log "generating the $name.UTF-8 locale in $LOCPATH"
  mkdir -p "$LOCPATH"
  # localedef exits 1 on warnings while still writing the locale
  localedef -i "$name" -f UTF-8 "$LOCPATH/$name.UTF-8" || [ -f "$LOCPATH/$name.UTF-8/LC_CTYPE" ]
}

# Debian's libjpeg-turbo source, fetched with a private deb-src list so the
# system's apt configuration stays untouched, then cross-built static. The
# list names the archive this machine's apt already uses (a mirror, a proxy
# or a snapshot): scripts/apt_sources.py reads it from /etc/apt.
build_mingw_libjpeg() {
  local prefix="$STATION_CACHE/mingw-libjpeg"
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  local apt_dir="$STATION_CACHE/apt" src_dir="$STATION_CACHE/src"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$src_dir"
  if ! python3 "$STATION_ROOT/scripts/apt_sources.py" > "$apt_dir/sources.list.new"; then
    rm -f "$apt_dir/sources.list.new"
    station_log "cannot fetch Debian's libjpeg-turbo source: see above"
    exit 1
  fi
  mv "$apt_dir/sources.list.new" "$apt_dir/sources.list"
  local apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
  if ! ls -d "$src_dir"/libjpeg-turbo-*/ >/dev/null 2>&1; then
    station_log "fetching Debian's libjpeg-turbo source"
    apt-get "${apt_opts[@]}" -qq update
    (cd "$src_dir" && apt-get "${apt_opts[@]}" -qq source libjpeg-turbo >/dev/null)
  fi
  local src
  src="$(ls -d "$src_dir"/libjpeg-turbo-*/ | head -n 1)"
  station_log "cross-building libjpeg-turbo from $src"
  rm -rf "$STATION_CACHE/build-libjpeg"
  cmake -S "$src" -B "$STATION_CACHE/build-libjpeg" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$STATION_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$STATION_CACHE/build-libjpeg" -j "$(nproc)" >/dev/null
  cmake --install "$STATION_CACHE/build-libjpeg" >/dev/null
  rm -rf "$STATION_CACHE/build-libjpeg"
}

wine_reg() { station_wine reg add "$@" /f >/dev/null 2>&1; }

make_wine_prefix() {
  [ -f "$WINEPREFIX/.station-ready" ] && return 0
  station_log "creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  (unset DISPLAY; station_wine wineboot -i >/dev/null 2>&1 || true)
  # Without a window manager destroying a visible window stalls about 2 s
  # unless Wine manages no windows itself.
  wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
  station_wineserver -w
  touch "$WINEPREFIX/.station-ready"
}

# The faces the program asks for, drawn with a vector CJK font: a font with
# small bitmap strikes (WenQuanYi Zen Hei) has the tops of its characters
# clipped by Wine in menus, tooltips and tab captions. The marker names the
# font, so that a prefix made with another one is mapped again.
CJK_FONT="WenQuanYi Micro Hei"
map_fonts() {
  local marker="$WINEPREFIX/.station-fonts"
  [ "$(cat "$marker" 2>/dev/null)" = "$CJK_FONT" ] && return 0
  station_log "mapping the program's fonts to $CJK_FONT"
  for face in SimSun NSimSun "Microsoft YaHei" Tahoma 宋体 新宋体 微软雅黑 黑体 幼圆 方正姚体; do
    wine_reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "$CJK_FONT"
  done
  station_wineserver -w
  printf '%s' "$CJK_FONT" > "$marker"
}

install_packages
make_locale zh_CN
make_locale en_US
build_mingw_libjpeg
make_wine_prefix
map_fonts
