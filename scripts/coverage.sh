#!/usr/bin/env bash
# Builds the project with gcov counters in a build directory of its own, runs
# the test suite there, and reports what the modules' code the tests ran: one
# line per module (`coverage MODULE lines L% branches B%`) and an HTML report.
# A failed test does not stop the report; the exit status is the test run's
# when that failed, else gcovr's.
#
# usage: scripts/coverage.sh <build dir> <test command...>
#   The build directory must hold deps.cmake and tools.cmake (make deps writes
#   them); the test command runs from the source folder (make coverage passes
#   make test's ctest line). JOBS sets how many jobs build and gcovr use.
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: $0 <build dir> <test command...>" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(mkdir -p "$1" && cd "$1" && pwd)
shift
jobs=${JOBS:-$(nproc)}
report_dir=$build_dir/coverage
# The compiler is the posix thread model's; its gcov reads what it wrote.
gcov=i686-w64-mingw32-gcov-posix
# The modules are the folders whose include layers cmake/VelmoraModules.cmake sets.
mapfile -t modules < <(sed -n -E 's/^set\(VELMORA_LAYERS_([^ ]+) .*/\1/p' \
    "$source_dir/cmake/VelmoraModules.cmake")

cd "$source_dir"
cmake -S . -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DVELMORA_DEPS_FILE="$build_dir/deps.cmake" \
    -DVELMORA_COVERAGE=ON >/dev/null
cmake --build "$build_dir" -j "$jobs"

# Counters add up across runs: start from none.
find "$build_dir" -name '*.gcda' -delete
test_status=0
"$@" || test_status=$?

# Only the modules' folders count: tests/, tools/ and the dependencies never do.
filters=()
for module in "${modules[@]}"; do filters+=(--filter "$module/"); done
rm -rf "$report_dir"
mkdir -p "$report_dir"
report_status=0
gcovr --root "$source_dir" --gcov-executable "$gcov" -j "$jobs" "${filters[@]}" \
    --exclude-throw-branches --exclude-unreachable-branches \
    --html-details "$report_dir/index.html" --json-summary "$report_dir/summary.json" \
    "$build_dir" >/dev/null || report_status=$?

if [[ $report_status -eq 0 ]]; then
    # A file counts for the module of the longest folder that holds it.
    python3 - "$report_dir/summary.json" "${modules[@]}" <<'EOF'
import json
import sys

summary_path, modules = sys.argv[1], sys.argv[2:]
keys = ("line_covered", "line_total", "branch_covered", "branch_total")
sums = {module: dict.fromkeys(keys, 0) for module in modules + ["total"]}
with open(summary_path) as summary:
    files = json.load(summary)["files"]
for entry in files:
    owners = [m for m in modules if entry["filename"].startswith(m + "/")]
    if not owners:
        continue
    for name in (max(owners, key=len), "total"):
        for key in keys:
            sums[name][key] += entry[key]


def percent(covered, total):
    return f"{100.0 * covered / total:.1f}%" if total else "-"


for name, counts in sums.items():
    lines = percent(counts["line_covered"], counts["line_total"])
    branches = percent(counts["branch_covered"], counts["branch_total"])
    print(f"coverage {name} lines {lines} branches {branches}")
EOF
    echo "coverage report: $report_dir/index.html"
else
    echo "coverage: gcovr failed ($report_status)" >&2
fi

if [[ $test_status -ne 0 ]]; then
    echo "coverage: the tests failed ($test_status); the figures are of the run as it went" >&2
    exit "$test_status"
fi
exit "$report_status"
