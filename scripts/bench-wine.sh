#!/usr/bin/env bash
# The measurements of the XP executable under Wine (bench/wine/bench_wine.py), each printed
# against its budget: size, latency, endurance, idle CPU. Never part of the test command; takes
# two to three minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset xp >/dev/null
cmake --build --preset xp --target all wine_bench >/dev/null
python3 bench/wine/bench_wine.py
