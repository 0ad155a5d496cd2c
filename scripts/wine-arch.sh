#!/usr/bin/env bash
# Which build the Wine tests, the demo and the Wine benchmarks run on this host. Prints one word:
#   win32  the shipped 32-bit build (build/xp) in a 32-bit prefix: the host runs 32-bit x86 code;
#   win64  the x86-64 test build (build/x64) in a 64-bit prefix: the host cannot, or E2E_ARCH=win64
#          asks for it. One line on standard error then says so and why.
# Exits 1, saying what is missing, when no Wine can run here at all.
# The loaders are Debian's (wine32:i386 and wine64); WINE32_LOADER and WINE64_LOADER replace them.
set -uo pipefail

wine32=${WINE32_LOADER:-/usr/lib/wine/wine}
wine64=${WINE64_LOADER:-/usr/lib/wine/wine64}

if [[ ${E2E_ARCH-} == win64 ]]; then
    why="E2E_ARCH=win64 asks for it"
elif [[ ! -x $wine32 ]]; then
    why="Wine's 32-bit loader $wine32 (package wine32:i386) is not installed"
elif error=$("$wine32" --version 2>&1 >/dev/null); then
    echo win32
    exit 0
else
    why="this host cannot run 32-bit x86 code ($wine32 --version: ${error:-exit code $?})"
fi

if ! "$wine64" --version >/dev/null 2>&1; then
    echo "No Wine can run here: $why, and Wine's 64-bit loader $wine64 (package wine64)" \
         "is missing or does not run. scripts/setup.sh installs both." >&2
    exit 1
fi
echo "Wine runs the x86-64 test build (build/x64) in a 64-bit prefix, not the shipped 32-bit" \
     "exe: $why." >&2
echo win64
