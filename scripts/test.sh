#!/usr/bin/env bash
# The README's test command: sets up as needed, builds the trees and runs
# every test — the native unit tests (ASan/UBSan), then the Windows tests and
# the end-to-end tests under Wine inside one Xvfb display. Ends with one
# summary line over all of them. Warnings are errors in every tree here.
# The release packages come from the Release tree, built once; the installer
# test runs them.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

export STATION_WERROR=ON
bash "$STATION_ROOT/scripts/setup.sh" || exit 1
bash "$STATION_ROOT/scripts/build.sh" native || exit 1
bash "$STATION_ROOT/scripts/build.sh" win || exit 1
bash "$STATION_ROOT/scripts/build.sh" release --target package || exit 1
export STATION_PACKAGE_DIR="$STATION_BUILD/release/package"

passed=0
failed=0
count_ctest() {  # reads ctest's "N% tests passed, F tests failed out of T"
  local log="$1" line
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local f t
  f="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
  t="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")"
  passed=$((passed + t - f))
  failed=$((failed + f))
}

mkdir -p "$STATION_BUILD/logs"
station_log "native unit tests"
(cd "$STATION_BUILD/native" && ctest --output-on-failure -j "$(nproc)") 2>&1 | tee "$STATION_BUILD/logs/native.log"
count_ctest "$STATION_BUILD/logs/native.log"

# A short bounded run of every fuzz target (libFuzzer, ASan, UBSan) from its
# committed corpus; each target counts as one test. STATION_FUZZ_SECONDS=0
# skips it.
fuzz_seconds="${STATION_FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" -gt 0 ]; then
  station_log "fuzzing each target for $fuzz_seconds s"
  bash "$STATION_ROOT/scripts/fuzz.sh" "$fuzz_seconds" > "$STATION_BUILD/logs/fuzz.log" 2>&1
  fuzz_status=$?
  grep -E '^== ' "$STATION_BUILD/logs/fuzz.log" | grep -v ' corpus inputs$' || true
  fuzz_ok="$(grep -cE '^== [a-z_]+: no crash$' "$STATION_BUILD/logs/fuzz.log")"
  fuzz_bad="$(grep -cE '^== [a-z_]+: FAILED' "$STATION_BUILD/logs/fuzz.log")"
  passed=$((passed + fuzz_ok))
  failed=$((failed + fuzz_bad))
  if [ "$fuzz_status" -ne 0 ] && [ "$fuzz_bad" -eq 0 ]; then
    tail -n 30 "$STATION_BUILD/logs/fuzz.log"
    failed=$((failed + 1))
  fi
fi

# Every Windows test in one X display of its own, with a warm wineserver.
bash "$STATION_ROOT/scripts/windows-tests.sh" 2>&1 | tee "$STATION_BUILD/logs/win.log"
count_ctest "$STATION_BUILD/logs/win.log"

echo "summary: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
