#!/bin/sh
# Signing material for the update tests, written to OUTDIR as one line of base64 each:
#   public.b64     the test public key (KEYDIR, made by scripts/update-key.sh), as a host passes it
#   installer.sig  the publisher's signature of INSTALLER as version 3 of "Quillet", made by
#                  scripts/sign-update.sh
#   other.sig      a good signature, but of another file
#   older.sig      INSTALLER signed as version 2, as an old release would have been
#   product.sig    INSTALLER signed as version 3 of another product
#   bare.sig       a signature of INSTALLER's bytes alone, as releases were once signed
#   p384.b64, rsa.b64, private.b64   keys the library must refuse
#   make_signing_files.sh KEYDIR INSTALLER OUTDIR
set -eu
keys=$1
installer=$2
out=$3
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
private=$keys/update-private.pem
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

openssl ec -pubin -in "$keys/update-public.pem" -outform DER 2>/dev/null | base64 -w0 >"$out/public.b64"
bash "$scripts/sign-update.sh" "$installer" 3 "$private" >"$out/installer.sig"
bash "$scripts/sign-update.sh" "$keys/update-public.pem" 3 "$private" >"$out/other.sig"
bash "$scripts/sign-update.sh" "$installer" 2 "$private" >"$out/older.sig"
bash "$scripts/sign-update.sh" "$installer" 3 "$private" Corvane >"$out/product.sig"
openssl dgst -sha256 -sign "$private" -binary "$installer" | base64 -w0 >"$out/bare.sig"

openssl ecparam -name secp384r1 -genkey -noout -out "$tmp/p384.pem"
openssl ec -in "$tmp/p384.pem" -pubout -outform DER 2>/dev/null | base64 -w0 >"$out/p384.b64"
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:1024 -out "$tmp/rsa.pem" 2>/dev/null
openssl pkey -in "$tmp/rsa.pem" -pubout -outform DER | base64 -w0 >"$out/rsa.b64"
openssl pkcs8 -topk8 -nocrypt -in "$private" -outform DER | base64 -w0 >"$out/private.b64"
