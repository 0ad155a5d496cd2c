#!/usr/bin/env bash
# scripts/wine-arch.sh against stand-in Wine loaders: one that runs, one that fails the way the
# 32-bit loader does on a host whose kernel runs 64-bit code only, and none at all.
set -uo pipefail
check=$(dirname "$0")/../../scripts/wine-arch.sh
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
printf '#!/bin/sh\necho wine-8.0\n' >"$stubs/runs"
printf '#!/bin/sh\necho "$0: cannot execute binary file: Exec format error" >&2\nexit 126\n' \
    >"$stubs/exec-format-error"
chmod +x "$stubs/runs" "$stubs/exec-format-error"

failures=0 passed=0
# 32-bit loader | 64-bit loader | E2E_ARCH | printed | exit code | standard error holds
while IFS='|' read -r wine32 wine64 arch want_out want_code want_err; do
    out=$(WINE32_LOADER=$stubs/$wine32 WINE64_LOADER=$stubs/$wine64 E2E_ARCH=$arch \
          "$check" 2>"$stubs/err")
    code=$? err=$(<"$stubs/err")
    if [[ $out == "$want_out" && $code == "$want_code" && $err == *"$want_err"* &&
          ( -n $want_err || -z $err ) ]]; then
        passed=$((passed + 1))
    else
        failures=$((failures + 1))
        echo "FAIL: 32-bit $wine32, 64-bit $wine64, E2E_ARCH '$arch': printed '$out'," \
             "exit $code, said '$err'; want '$want_out', exit $want_code, '$want_err'"
    fi
done <<'TABLE'
runs|runs||win32|0|
runs|missing||win32|0|
runs|runs|win64|win64|0|E2E_ARCH=win64 asks for it
exec-format-error|runs||win64|0|cannot run 32-bit x86 code
exec-format-error|runs||win64|0|Exec format error
missing|runs||win64|0|(package wine32:i386) is not installed
exec-format-error|missing|||1|No Wine can run here
exec-format-error|exec-format-error|||1|(package wine64) is missing or does not run
runs|missing|win64||1|No Wine can run here: E2E_ARCH=win64 asks for it
TABLE
echo "wine-arch: $passed passed, $failures failed"
[[ $failures == 0 ]]
