#!/usr/bin/env bash
# Runs every test: the host build against the simulated Windows, then the XP executable's
# checks, the release's and the end-to-end tests under Wine: on the shipped 32-bit build where
# the host runs 32-bit code, on the x86-64 test build where it cannot (scripts/wine-arch.sh
# decides).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
arch=$(scripts/wine-arch.sh)

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
# Wine on a busy machine now and then fails to start one of a test's programs at all, so a test
# under Wine that fails is run once more, and fails the run only when it fails again. Its first
# failure stays in the output above the second run.
if [[ $arch == win32 ]]; then
    ctest --preset xp --repeat until-pass:2
else
    ctest --preset xp -L 'pe|release'
    cmake --preset x64 >/dev/null
    cmake --build --preset x64
    ctest --preset x64 --repeat until-pass:2
fi
