#!/usr/bin/env bash
# The program's main job: builds QX481Mon.exe, its setup program and its test pieces, then runs
# it under Wine on a fresh machine that reports Windows XP with a supported camera (e2e/demo.py),
# through a silent install by the setup program, start, suspend, session end, a battery tick into
# the critical band and out, and a silent uninstall. Where the host cannot run 32-bit code, the
# x86-64 test build runs instead (scripts/wine-arch.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
arch=$(scripts/wine-arch.sh)
build=build/xp
[[ $arch == win64 ]] && build=build/x64

preset=${build#build/}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null
echo "Built $build/QX481Mon.exe ($(stat -c %s $build/QX481Mon.exe) bytes)" \
     "and its setup program $build/QX481Setup.exe ($(stat -c %s $build/QX481Setup.exe) bytes)"
echo
E2E_BUILD=$PWD/$build/e2e E2E_PRODUCT=$PWD/$build/QX481Mon.exe \
    E2E_SETUP=$PWD/$build/QX481Setup.exe python3 e2e/demo.py
