#!/usr/bin/env bash
# Signs a program or a Windows Installer package with Authenticode, in place: SHA-1 first, for
# Windows XP before Service Pack 3, which cannot check SHA-256, then a nested SHA-256 signature
# for every later system.
#
# Usage: scripts/sign.sh --key KEY.pem --cert CERT.pem [--timestamp URL] FILE
#   KEY.pem   the private key, PEM; its passphrase, if any, in QX481_SIGN_PASSPHRASE
#   CERT.pem  its certificate, PEM, followed by the chain it belongs to
#   URL       a timestamp server (RFC 3161): the signature then outlives the certificate
#
# The signing time is the commit's (SOURCE_DATE_EPOCH, else the time of the commit checked out
# here), so that the same file signed again with the same RSA key gives the same bytes. A
# timestamp server adds its own time, and with it a difference.
set -euo pipefail

key= cert= timestamp=
while [[ $# -gt 1 ]]; do
    case $1 in
        --key) key=$2 ;;
        --cert) cert=$2 ;;
        --timestamp) timestamp=$2 ;;
        *) break ;;
    esac
    shift 2
done
if [[ $# -ne 1 || -z $key || -z $cert ]]; then
    echo "usage: $0 --key KEY.pem --cert CERT.pem [--timestamp URL] FILE" >&2
    exit 2
fi
file=$1
time=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct)}

# The passphrase goes through a pipe: on a command line every user of the machine sees it.
passphrase=()
[[ -n ${QX481_SIGN_PASSPHRASE-} ]] && passphrase=(-readpass -)

sign() { # digest, extra options
    local digest=$1
    shift
    printf '%s' "${QX481_SIGN_PASSPHRASE-}" |
        osslsigncode sign "${passphrase[@]}" -key "$key" -certs "$cert" -h "$digest" \
            -time "$time" ${timestamp:+-ts "$timestamp"} "$@" -in "$file" \
            -out "$file.signing" >/dev/null
    mv "$file.signing" "$file"
}

trap 'rm -f "$file.signing"' EXIT
sign sha1
sign sha256 -nest
