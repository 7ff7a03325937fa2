#!/usr/bin/env bash
# Makes the key pair that signs Quillet's update installers: FOLDER/update-private.pem (keep it
# secret, off the build machine where possible) and FOLDER/update-public.pem (give it to the
# build as -DQUILLET_UPDATE_PUBLIC_KEY=<path>). An ECDSA key on the P-256 curve.
#   scripts/update-key.sh FOLDER
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: scripts/update-key.sh FOLDER" >&2
  exit 2
fi
folder=$1
private=$folder/update-private.pem
public=$folder/update-public.pem
# A new key would orphan every player already built with the old one.
if [ -e "$private" ] || [ -e "$public" ]; then
  echo "$private or $public exists already; not replacing a key" >&2
  exit 1
fi

mkdir -p "$folder"
(umask 077 && openssl ecparam -name prime256v1 -genkey -noout -out "$private")
openssl ec -in "$private" -pubout -out "$public" 2>/dev/null
echo "private key: $private"
echo "public key:  $public"
