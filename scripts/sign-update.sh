#!/usr/bin/env bash
# Prints the <signature> value for an update installer: base64 of the DER ECDSA P-256 / SHA-256
# signature, made with the publisher's private key (scripts/update-key.sh), of the statement
#   "tellanupdate signed installer 1" LF  PRODUCT LF  VERSION_CODE LF  <SHA-256 of INSTALLER, hex> LF
# in UTF-8. PRODUCT is the product identifier the host passes (the element the update reply
# names), "Quillet" for the player; VERSION_CODE is the <version_code> the reply offers the
# installer as, so the signature is good for that product and that version only.
#   scripts/sign-update.sh INSTALLER VERSION_CODE PRIVATE_KEY [PRODUCT]
set -euo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: scripts/sign-update.sh INSTALLER VERSION_CODE PRIVATE_KEY [PRODUCT]" >&2
  exit 2
fi
installer=$1
code=$2
key=$3
product=${4:-Quillet}
[ -f "$installer" ] || { echo "no installer at $installer" >&2; exit 1; }
[ -f "$key" ] || { echo "no private key at $key" >&2; exit 1; }
# The library writes the code it read as plain decimal; any other spelling would sign a
# statement it never makes.
if ! [[ "$code" =~ ^(0|-?[1-9][0-9]{0,9})$ ]] || [ "$code" -gt 2147483647 ] || [ "$code" -lt -2147483648 ]; then
  echo "VERSION_CODE must be a whole number in plain decimal, as in <version_code>: $code" >&2
  exit 1
fi
if [ -z "$product" ] || [[ "$product" == *$'\n'* ]] || [[ "$product" == *$'\r'* ]]; then
  echo "PRODUCT must be one line of text" >&2
  exit 1
fi
# openssl signs with any key it can read; the player verifies P-256 only, and would refuse the
# update of a release signed with anything else.
if ! openssl pkey -in "$key" -noout -text 2>/dev/null | grep -q 'ASN1 OID: prime256v1'; then
  echo "$key is not a P-256 private key" >&2
  exit 1
fi
digest=$(openssl dgst -sha256 -r "$installer" | cut -c1-64)
printf 'tellanupdate signed installer 1\n%s\n%s\n%s\n' "$product" "$code" "$digest" |
  openssl dgst -sha256 -sign "$key" -binary | base64 -w0
echo
