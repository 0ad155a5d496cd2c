#!/usr/bin/env bash
# Makes the release of the commit checked out: dist/QX481Mon-VERSION.zip, signed with the key
# given, or dist/QX481Mon-VERSION-unsigned.zip without one. The zip holds one folder of that
# name with the shipped files, SHA256SUMS, README.txt, the guide for administrators and support
# (installer/README.txt around docs/deployment.md and docs/support.md, made plain text), and
# BUILDINFO, the commit and the versions of the tools that built it. The same commit built with
# the same versions gives the same zip, byte for byte, wherever it is built.
#
# Usage: scripts/release.sh [--key KEY.pem --cert CERT.pem [--timestamp URL]]
#   KEY.pem   the signing key; its passphrase, if any, in QX481_SIGN_PASSPHRASE
#   CERT.pem  its certificate followed by its chain. Each signature must verify against that
#             chain, up to a root in the file or among the system's (/etc/ssl/certs).
#   URL       a timestamp server; the zip is then no longer reproducible
#
# It refuses a tree with uncommitted or untracked changes, builds the xp preset afresh in
# build/release with the commit time as SOURCE_DATE_EPOCH, runs the PE check, and verifies both
# signatures of every file one by one.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: scripts/release.sh [--key KEY.pem --cert CERT.pem [--timestamp URL]]" >&2
    exit 2
}
key= cert= timestamp=
while [[ $# -gt 0 ]]; do
    [[ $# -ge 2 ]] || usage
    case $1 in
        --key) key=$(realpath "$2") ;;
        --cert) cert=$(realpath "$2") ;;
        --timestamp) timestamp=$2 ;;
        *) usage ;;
    esac
    shift 2
done
[[ -n $key && -z $cert || -z $key && -n $cert || -z $key && -n $timestamp ]] && usage
for file in ${key:+"$key" "$cert"}; do
    [[ -f $file ]] || { echo "$file: no such file" >&2; exit 2; }
done

if [[ -n $(git status --porcelain) ]]; then
    echo "The tree has uncommitted changes; a release is made from a commit only:" >&2
    git status --short >&2
    exit 1
fi

version=$(sed -n 's/^#define QX481_FILEVERSION_TEXT "\(.*\)"$/\1/p' res/version.h)
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
name=QX481Mon-$version
build=$PWD/build/release
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

signing=()
if [[ -n $key ]]; then
    # What the signatures must verify against: the chain given, and the system's roots.
    cat "$cert" >"$work/anchors.pem"
    [[ -f /etc/ssl/certs/ca-certificates.crt ]] &&
        cat /etc/ssl/certs/ca-certificates.crt >>"$work/anchors.pem"
    if ! openssl verify -purpose any -CAfile "$work/anchors.pem" "$cert" >"$work/chain" 2>&1; then
        echo "$cert does not lead to a root certificate it holds or the system trusts:" >&2
        cat "$work/chain" >&2
        exit 1
    fi
    signing=(-DQX481_SIGN_KEY="$key" -DQX481_SIGN_CERT="$cert"
             -DQX481_SIGN_TIMESTAMP="$timestamp")
else
    name+=-unsigned
fi

echo "Building $name from $commit in $build"
rm -rf "$build"
cmake --preset xp -B "$build" "${signing[@]}" >"$work/configure.log" ||
    { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$build" --target shipped --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" \
    >"$work/build.log" || { cat "$work/build.log" >&2; exit 1; }
ctest --test-dir "$build" -R '^pe_check' --output-on-failure >"$work/pe.log" ||
    { cat "$work/pe.log" >&2; exit 1; }
mapfile -t files <"$build/shipped.txt"

if [[ -n $key ]]; then
    for file in "${files[@]}"; do
        for index in 0 1; do
            digest=$([[ $index == 0 ]] && echo SHA1 || echo SHA256)
            if ! osslsigncode verify -CAfile "$work/anchors.pem" -index $index -in "$file" \
                    >"$work/verify" 2>&1 ||
                ! grep -qx "Message digest algorithm *: $digest" "$work/verify"; then
                echo "$(basename "$file"): signature $index ($digest) does not verify:" >&2
                cat "$work/verify" >&2
                exit 1
            fi
        done
    done
    echo "Both signatures of each file verify against $(basename "$cert")"
fi

# What made the files: the same commit built with the same versions of these gives the same
# bytes. The native zlib is Python's, which compresses the zip.
packages=(g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
          mingw-w64-i686-dev mingw-w64-common nsis nsis-common wixl msitools osslsigncode
          faketime libfaketime python3 "zlib1g:$(dpkg --print-architecture)")
{
    echo "commit: $commit"
    echo "commit date: $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC')"
    echo "built on: $(. /etc/os-release && echo "$PRETTY_NAME"), $(cat /etc/debian_version)"
    echo "packages:"
    dpkg-query -W -f='  ${binary:Package} ${Version}\n' "${packages[@]}"
} >"$work/BUILDINFO"

mkdir -p dist
python3 scripts/release_zip.py --name "$name" --version "$version" --commit "$commit" \
    --time "$SOURCE_DATE_EPOCH" --readme installer/README.txt --buildinfo "$work/BUILDINFO" \
    ${key:+--signed} --out "dist/$name.zip" "${files[@]}"
