#!/usr/bin/env bash
# Runs the benchmarks (never part of the test command): the host micro-benchmarks in an
# optimised build against the simulated Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target host_bench -j2
build/bench/host_bench --benchmark_min_time=0.2
