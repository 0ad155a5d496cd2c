#!/usr/bin/env bash
# Runs one discovery scenario under Wine: a fresh prefix from the template, the scenario's
# devices added through SetupAPI, then a program (find_camera.exe unless the scenario names
# another) with the test configuration manager, whose output must equal the expect lines.
#
#   run_scenario.sh <scenario file> <dir with adddevice.exe, the programs, cfgmgr32.dll>
#                   <prefix template> <work dir>
#
# Scenario lines (# starts a comment):
#   device <instance id>                 starts a device; the lines below describe it
#   class <{guid}> | hwid <id> | value <name> sz|dword|binary <data> | no-driver-key
#   state loaded|present|phantom
#   run <program>                        the program to run
#   expect <line of the program's output>
set -euo pipefail
scenario=$1 bin=$2 template=$3 work=$4

args=() expected="" program=find_camera.exe
while read -r keyword rest; do
    case $keyword in
    "" | "#"*) ;;
    device | class | hwid | state) args+=("--$keyword" "$rest") ;;
    no-driver-key) args+=(--no-driver-key) ;;
    run) program=$rest ;;
    value)
        read -r name type data <<<"$rest"
        args+=(--value "$name" "$type" "$data")
        ;;
    expect) expected+="$rest"$'\n' ;;
    *)
        echo "$scenario: unknown line: $keyword $rest" >&2
        exit 2
        ;;
    esac
done <"$scenario"

# Hard links keep the copy cheap; the registry files, which wineserver rewrites, are copied.
prefix=$work/$(basename "$scenario" .txt)
rm -rf "$prefix"
mkdir -p "$work"
cp -al "$template" "$prefix"
for hive in "$prefix"/*.reg; do
    cp --remove-destination "$template/$(basename "$hive")" "$hive"
done
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT

wine "$bin/adddevice.exe" "${args[@]}" >/dev/null
actual=$(WINEDLLOVERRIDES=cfgmgr32=n wine "$bin/$program" | tr -d '\r')$'\n'
if [[ "$actual" != "$expected" ]]; then
    diff <(printf %s "$expected") <(printf %s "$actual") | sed 's/^/  /' >&2 || true
    echo "$scenario: $program printed something else (< expected, > actual)" >&2
    exit 1
fi
printf %s "$actual"
