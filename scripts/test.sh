#!/usr/bin/env bash
# Runs every test: the host build against the simulated Windows, then the XP executable's
# checks and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan

# Each libFuzzer target for a few seconds.
cmake --preset fuzz -DFUZZ_SECONDS=5 >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset xp >/dev/null
cmake --build --preset xp
ctest --preset xp
