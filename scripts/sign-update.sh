#!/usr/bin/env bash
# Prints the <signature> value for an update installer: base64 of the DER ECDSA signature over
# the SHA-256 of its bytes, made with the publisher's private key (scripts/update-key.sh).
#   scripts/sign-update.sh INSTALLER PRIVATE_KEY
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: scripts/sign-update.sh INSTALLER PRIVATE_KEY" >&2
  exit 2
fi
installer=$1
key=$2
[ -f "$installer" ] || { echo "no installer at $installer" >&2; exit 1; }
[ -f "$key" ] || { echo "no private key at $key" >&2; exit 1; }
# openssl signs with any key it can read; the player verifies P-256 only, and would refuse the
# update of a release signed with anything else.
if ! openssl pkey -in "$key" -noout -text 2>/dev/null | grep -q 'ASN1 OID: prime256v1'; then
  echo "$key is not a P-256 private key" >&2
  exit 1
fi
openssl dgst -sha256 -sign "$key" -binary "$installer" | base64 -w0
echo
