#!/usr/bin/env bash
# Runs every libFuzzer target for longer than the test command does.
# Usage: scripts/fuzz.sh [seconds per target, default 300]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset fuzz -DFUZZ_SECONDS="${1:-300}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz --verbose | grep -E "Test #|stat::number_of_executed_units|Passed|Failed"
