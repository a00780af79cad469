#!/usr/bin/env bash
# Static analysis of the program's own code (src/) with cppcheck, using the
# committed settings in .cppcheck: warnings, style, performance and
# portability checks. Prints each finding and exits non-zero when there is
# any. Part of the test command (CTest test "lint.cppcheck").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
generated="${1:-$root/build/native/generated}"
mapfile -t options < <(grep -v '^\s*#' "$root/.cppcheck" | grep -v '^\s*$')
cd "$root"
cppcheck "${options[@]}" -I src -I "$generated" --error-exitcode=1 \
  --template='{file}:{line}: {severity}({id}): {message}' src
echo "cppcheck: no findings in src/"
