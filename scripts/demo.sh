#!/usr/bin/env bash
# Builds the XP executable and reports its checks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset xp >/dev/null
cmake --build --preset xp
ctest --preset xp -L pe --verbose | sed -n 's/^[0-9]*: //p'
