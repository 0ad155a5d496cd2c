#!/usr/bin/env bash
# Runs the benchmarks (never part of the test command): the host micro-benchmarks in an
# optimised build against the simulated Windows, then the measurements under Wine
# (scripts/bench-wine.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "Machine: $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target host_bench -j2 >/dev/null
build/bench/host_bench --benchmark_min_time=0.2
scripts/bench-wine.sh
