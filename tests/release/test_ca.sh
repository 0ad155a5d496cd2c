#!/usr/bin/env bash
# Makes a throwaway certificate authority and a code-signing certificate from it, for the tests
# that sign: DIR/key.pem, the signer's RSA key; DIR/cert.pem, its certificate followed by the
# authority's; DIR/ca.pem, the authority's alone; and DIR/wrong-cert.pem, the same signer's
# certificate followed by another authority of the same name, which did not issue it.
# Usage: tests/release/test_ca.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"

authority() { # name of the key and certificate
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 36500 \
        -subj "/CN=QX481 test authority" 2>/dev/null
}
authority ca
authority wrong-ca
openssl req -newkey rsa:2048 -nodes -keyout key.pem -out signer.csr \
    -subj "/CN=QX481 test signer" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=digitalSignature \
    extendedKeyUsage=codeSigning >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -set_serial 1 -days 36500 \
    -extfile signer.ext -out signer.pem 2>/dev/null
cat signer.pem ca.pem >cert.pem
cat signer.pem wrong-ca.pem >wrong-cert.pem
rm signer.csr signer.ext
