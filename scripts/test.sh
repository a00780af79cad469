#!/usr/bin/env bash
# The README's test command: sets up as needed, builds the trees and runs
# every test — the Windows tests and the end-to-end tests under Wine (in
# lanes side by side, scripts/windows-tests.sh) while the native unit tests
# (ASan/UBSan) and the fuzz targets run. Pass or fail is ctest's exit
# status; the counts come from its JUnit reports. Ends with one summary line
# over all of them. Warnings are errors in every tree here. The release
# packages come from the Release tree, built once; the installer test runs
# them.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

export STATION_WERROR=ON
bash "$STATION_ROOT/scripts/setup.sh" || exit 1
logs="$STATION_BUILD/logs"
mkdir -p "$logs"
rm -f "$logs"/native.xml

# The Windows tree and the packages first: the Windows tests, mostly waiting
# on Wine, then run in the background while the native tree is built and
# tested and the fuzz targets run.
bash "$STATION_ROOT/scripts/build.sh" win || exit 1
bash "$STATION_ROOT/scripts/build.sh" release --target package || exit 1
export STATION_PACKAGE_DIR="$STATION_BUILD/release/package"
station_log "Windows and end-to-end tests under Wine, in the background (build/logs/win.log)"
bash "$STATION_ROOT/scripts/windows-tests.sh" > "$logs/win.log" 2>&1 &
windows=$!

status=0
if bash "$STATION_ROOT/scripts/build.sh" native; then
  station_log "native unit tests"
  (cd "$STATION_BUILD/native" && ctest --output-on-failure -j "$(nproc)" --output-junit "$logs/native.xml") \
    > "$logs/native.log" 2>&1 || status=1
  tail -n 3 "$logs/native.log"
else
  status=1
fi

# A short bounded run of every fuzz target (libFuzzer, ASan, UBSan) from its
# committed corpus; each target counts as one test. STATION_FUZZ_SECONDS=0
# skips it.
fuzz_ok=0
fuzz_bad=0
fuzz_seconds="${STATION_FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" -gt 0 ]; then
  station_log "fuzzing each target for $fuzz_seconds s"
  bash "$STATION_ROOT/scripts/fuzz.sh" "$fuzz_seconds" > "$logs/fuzz.log" 2>&1
  fuzz_status=$?
  grep -E '^== ' "$logs/fuzz.log" | grep -v ' corpus inputs$' || true
  fuzz_ok="$(grep -cE '^== [a-z_]+: no crash$' "$logs/fuzz.log")"
  fuzz_bad="$(grep -cE '^== [a-z_]+: FAILED' "$logs/fuzz.log")"
  if [ "$fuzz_status" -ne 0 ]; then
    status=1
    if [ "$fuzz_bad" -eq 0 ]; then tail -n 30 "$logs/fuzz.log"; fuzz_bad=1; fi
  fi
fi

station_log "waiting for the Windows tests"
wait "$windows" || status=1
cat "$logs/win.log"

# The counts from ctest's JUnit reports; a run that failed without a report
# of its failure counts as one failed test.
read -r passed failed < <(python3 - "$logs"/native.xml "$logs"/junit/*.xml <<'PY'
import sys, xml.etree.ElementTree as ET
passed = failed = 0
for path in sys.argv[1:]:
    try:
        cases = ET.parse(path).getroot().iter("testcase")
    except (OSError, ET.ParseError):
        continue
    for case in cases:
        if case.get("status") == "run":
            passed += 1
        elif case.get("status") != "disabled":
            failed += 1
print(passed, failed)
PY
)
passed=$((passed + fuzz_ok))
failed=$((failed + fuzz_bad))
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi

echo "summary: $passed passed, $failed failed"
[ "$status" -eq 0 ] && [ "$failed" -eq 0 ]
