#!/usr/bin/env bash
# Times the program's picture decoders against ImageMagick on the same files:
# the demo station's animated advert (256 x 56, 8 frames) and a 1920 x 1080
# JPEG, baseline and progressive, drawn here (nothing of it is committed).
#
#   bash bench/pictures/run.sh
#
# Builds picture_bench in a release tree without sanitizers of its own
# (build/bench-pictures, or PICTURE_BENCH_BUILD), then for each file:
#   station   picture_bench: decodes in one process for SECONDS of CPU time
#             a round, fastest of ROUNDS rounds
#   convert   `convert FILE rgba:/dev/null`; the per-decode figure leaves the
#             start-up out: one process that reads and writes the file COPIES
#             times, minus one that does it once, over COPIES - 1; the last
#             column is one whole call, start-up included
# Times are CPU time (user + system; both decoders use one thread, ImageMagick
# is held to one with MAGICK_THREAD_LIMIT=1), so other work on the machine
# moves them less than wall time would. Every figure is the best of ROUNDS.
# The "same" column compares the decoded pixels with ImageMagick's
# (`-coalesce -depth 8 rgb:-`): "yes", or how many bytes differ.
# Settings: PICTURE_BENCH_SECONDS (default 0.5), PICTURE_BENCH_ROUNDS (3),
# PICTURE_BENCH_COPIES (20).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${PICTURE_BENCH_BUILD:-$root/build/bench-pictures}
seconds=${PICTURE_BENCH_SECONDS:-0.5}
rounds=${PICTURE_BENCH_ROUNDS:-3}
copies=${PICTURE_BENCH_COPIES:-20}
export MAGICK_THREAD_LIMIT=1

for tool in cmake convert cmp awk; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

echo "building picture_bench (Release, no sanitizers) in $build" >&2
cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DSTATION_SANITIZE=OFF >/dev/null
cmake --build "$build" --target picture_bench -j2 >/dev/null
bench=$build/bench/pictures/picture_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gif=$work/ad256-56.gif
cp "$root/demo-station/site/bofang/ad/ad256-56.gif" "$gif"
echo "drawing the 1920x1080 test photo" >&2
convert -size 1920x1080 -seed 7 plasma:fractal -quality 90 "$work/photo.jpg"
convert "$work/photo.jpg" -interlace JPEG -quality 90 "$work/photo-progressive.jpg"
files=("$gif" "$work/photo.jpg" "$work/photo-progressive.jpg")

# CPU seconds (user + system) of one command, best of $rounds.
cpu_seconds() {
  local best="" t
  for ((r = 0; r < rounds; r++)); do
    t=$( { TIMEFORMAT='%3U %3S'; time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ print $1 + $2 }')
    if [[ -z $best ]] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}

# One convert process that decodes FILE n times and writes the pixels raw.
convert_n() {
  local file=$1 n=$2 args=() i
  for ((i = 1; i < n; i++)); do args+=("$file" -write rgba:/dev/null +delete); done
  convert "${args[@]}" "$file" rgba:/dev/null
}

"$bench" -t "$seconds" -r "$rounds" "${files[@]}" 2>/dev/null >"$work/station.tsv"

row='%-28s %-10s %6s %11s %11s %7s %13s %5s\n'
printf "\n$row" "picture" "size" "frames" "station us" "convert us" "ratio" "convert call" "same"
printf "$row" "" "" "" "per decode" "per decode" "cv/st" "ms, start-up" "px"
while IFS=$'\t' read -r file width height frames _ cpu _; do
  "$bench" -t 0 -n 1 -r 1 -w "$work/station.rgb" "$file" >/dev/null 2>&1
  convert "$file" -coalesce -depth 8 rgb:"$work/convert.rgb"
  if cmp -s "$work/station.rgb" "$work/convert.rgb"; then
    same=yes
  else
    same=$( (cmp -l "$work/station.rgb" "$work/convert.rgb" 2>/dev/null || true) | wc -l)
  fi
  one=$(cpu_seconds convert_n "$file" 1)
  many=$(cpu_seconds convert_n "$file" "$copies")
  magick=$(awk -v a="$many" -v b="$one" -v n="$copies" 'BEGIN { printf "%.1f", (a - b) / (n - 1) * 1e6 }')
  ratio=$(awk -v a="$magick" -v b="$cpu" 'BEGIN { printf "%.2f", a / b }')
  call=$(awk -v a="$one" 'BEGIN { printf "%.1f", a * 1e3 }')
  case $file in
    "$gif") name="ad256-56.gif (demo advert)" ;;
    *progressive*) name="photo, progressive JPEG" ;;
    *) name="photo, baseline JPEG q90" ;;
  esac
  printf "$row" "$name" "${width}x${height}" "$frames" "$cpu" "$magick" "$ratio" "$call" "$same"
done <"$work/station.tsv"
echo
echo "CPU time per decode, best of $rounds rounds; convert: (time of $copies decodes - time of 1) / $((copies - 1))," \
  "one process; $(convert -version | head -1 | cut -d' ' -f2-4), MAGICK_THREAD_LIMIT=1"
