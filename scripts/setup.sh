#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 or 13, as root. Quick when all is there.
# A mirror in mid-sync is common: a failing index update is tried again and then left to the
# lists apt has, and a failing install is tried again with every package from the release's own
# suite, which keeps both halves of a multiarch library (wine32:i386 and wine64) at one version.
set -uo pipefail

packages=(cmake make g++ python3 libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          clang libclang-rt-dev xxd nsis wixl msitools faketime osslsigncode openssl xvfb
          xdotool imagemagick fonts-wqy-microhei)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

# The last line apt printed that says why, for the one line a failure ends with.
apt_reason() { grep -E '^(E|W): ' "$1" | head -n 1 | cut -c 1-300; }
fail() {
    echo "scripts/setup.sh: $1 failed: ${2:-see the output above}" >&2
    exit 1
}

codename=$(. /etc/os-release && echo "${VERSION_CODENAME-}")
log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || fail "dpkg --add-architecture i386"
fi

for attempt in 1 2 3; do
    apt-get update -qq >"$log" 2>&1 && break
    if [[ $attempt -eq 3 ]]; then
        echo "apt-get update failed 3 times ($(apt_reason "$log")); going on with the lists" \
             "apt has" >&2
    else
        sleep $((attempt * 10))
    fi
done

install() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
        "${missing[@]}" >"$log" 2>&1
}
install && exit 0
first=$(apt_reason "$log")
[[ -n $codename ]] || fail "apt-get install" "$first"
echo "apt-get install failed ($first); trying again with every package from $codename" >&2
install -t "$codename" && exit 0
fail "apt-get install -t $codename" "$(apt_reason "$log")"
