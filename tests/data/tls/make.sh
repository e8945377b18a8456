#!/usr/bin/env bash
# Makes the test certificates of this folder again (openssl 3): a CA, a server certificate
# for 127.0.0.1 and localhost, one for another name and an expired one, all signed by the CA,
# EC P-256 keys, valid 2020-2120 but the expired one (2020 only).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1"; }

: >"$work/index.txt"
echo 01 >"$work/serial"
cat >"$work/ca.cnf" <<CNF
[ca]
default_ca = test
[test]
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
unique_subject = no
default_md = sha256
policy = any
copy_extensions = none
[any]
commonName = supplied
[ca_cert]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[server]
subjectAltName = \${ENV::SAN}
basicConstraints = CA:FALSE
extendedKeyUsage = serverAuth
CNF
export SAN=
# Valid from 2020 for a century: a clock that is somewhat off still sees them valid.
valid=(-startdate 20200101000000Z -enddate 21200101000000Z)
key ca.key
openssl req -new -key ca.key -subj "/CN=Vorn Duno test CA" -out "$work/ca.csr"
openssl ca -batch -notext -config "$work/ca.cnf" -selfsign -keyfile ca.key -extensions ca_cert \
    -in "$work/ca.csr" -out ca.pem "${valid[@]}" 2>/dev/null

# NAME SUBJECT SAN [dates for openssl ca...]
server() {
    local name=$1 subject=$2
    export SAN=$3
    shift 3
    key "$name.key"
    openssl req -new -key "$name.key" -subj "/CN=$subject" -out "$work/$name.csr"
    openssl ca -batch -notext -config "$work/ca.cnf" -keyfile ca.key -cert ca.pem \
        -extensions server -in "$work/$name.csr" -out "$name.pem" "$@" 2>/dev/null
}

server server localhost "DNS:localhost,IP:127.0.0.1" "${valid[@]}"
server other inny.example "DNS:inny.example" "${valid[@]}"
server expired localhost "DNS:localhost,IP:127.0.0.1" -startdate 20200101000000Z \
    -enddate 20210101000000Z
for name in server other expired; do
    openssl x509 -in "$name.pem" -noout -fingerprint -sha256 | sed 's/.*=//' >"$name.sha256"
done
rm -f ./*.old
