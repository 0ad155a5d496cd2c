#!/usr/bin/env bash
# The measurements of the XP executable under Wine (bench/wine/bench_wine.py), each printed
# against its budget: size, latency, endurance, idle CPU. Never part of the test command; takes
# two to three minutes. Where the host cannot run 32-bit code they run on the x86-64 test build
# (scripts/wine-arch.sh); the size is always the shipped exe's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
arch=$(scripts/wine-arch.sh)
build=build/xp

cmake --preset xp >/dev/null
cmake --build --preset xp --target all wine_bench >/dev/null
if [[ $arch == win64 ]]; then
    build=build/x64
    cmake --preset x64 >/dev/null
    cmake --build --preset x64 --target all wine_bench >/dev/null
fi
E2E_BUILD=$PWD/$build/e2e E2E_PRODUCT=$PWD/$build/QX481Mon.exe python3 bench/wine/bench_wine.py
