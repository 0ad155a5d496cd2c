#!/usr/bin/env bash
# The program's main job: builds QX481Mon.exe, its setup program and its test pieces, then runs
# it under Wine on a fresh machine that reports Windows XP with a supported camera (e2e/demo.py),
# through a silent install by the setup program, start, suspend, session end, a battery tick into
# the critical band and out, and a silent uninstall.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset xp >/dev/null
cmake --build --preset xp >/dev/null
echo "Built build/xp/QX481Mon.exe ($(stat -c %s build/xp/QX481Mon.exe) bytes)" \
     "and its setup program build/xp/QX481Setup.exe ($(stat -c %s build/xp/QX481Setup.exe) bytes)"
echo
E2E_BUILD=$PWD/build/xp/e2e E2E_PRODUCT=$PWD/build/xp/QX481Mon.exe \
    E2E_SETUP=$PWD/build/xp/QX481Setup.exe python3 e2e/demo.py
