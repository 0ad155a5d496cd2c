#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 or 13, as root. Quick when all is there.
# A mirror in mid-sync is common: a failing index update is tried again and then left to the
# lists apt has, and a failing install is tried again with every package from the release's own
# suite, which keeps both halves of a multiarch library (wine32:i386 and wine64) at one version.
set -uo pipefail

packages=(cmake make g++ git python3 libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          clang libclang-rt-dev xxd nsis wixl msitools faketime openssl xvfb
          xdotool imagemagick fontconfig fonts-wqy-microhei)
codename=$(. /etc/os-release && echo "${VERSION_CODENAME-}")

# PACKAGE is installed, at MINIMUM or later when one is given.
installed() {
    local status
    status=$(dpkg-query -W -f='${Status} ${Version}' "$1" 2>/dev/null) || return 1
    [[ $status == "install ok installed "* ]] || return 1
    [[ -z ${2-} ]] || dpkg --compare-versions "${status##* }" ge "$2"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
# Each signature is verified by its index (osslsigncode verify -index), which osslsigncode 2.8
# brought. Debian 12 has 2.5, and 2.9 in its backports, which this adds to apt's sources.
backports=
if ! installed osslsigncode 2.8; then
    if [[ $codename == bookworm ]]; then
        backports=bookworm-backports
        missing+=(osslsigncode/$backports)
    else
        missing+=(osslsigncode)
    fi
fi
[[ ${#missing[@]} -eq 0 ]] && exit 0

# The last line apt printed that says why, for the one line a failure ends with.
apt_reason() { grep -E '^(E|W): ' "$1" | head -n 1 | cut -c 1-300; }
fail() {
    echo "scripts/setup.sh: $1 failed: ${2:-see the output above}" >&2
    exit 1
}

log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || fail "dpkg --add-architecture i386"
fi

if [[ -n $backports ]] && ! grep -rqsE "^[^#]*\b$backports\b" /etc/apt/sources.list /etc/apt/sources.list.d; then
    echo "deb http://deb.debian.org/debian $backports main" >"/etc/apt/sources.list.d/$backports.list"
fi

stale=
for attempt in 1 2 3; do
    apt-get update -qq >"$log" 2>&1 && break
    if [[ $attempt -eq 3 ]]; then
        stale=$(apt_reason "$log")
        echo "apt-get update failed 3 times ($stale); going on with the lists apt has" >&2
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
# A library already installed from the updates or security suite cannot get its other half from
# the release's suite: then only the index that failed to update can help.
fail "apt-get install -t $codename" "$(apt_reason "$log")${stale:+, after apt-get update failed: $stale}"
