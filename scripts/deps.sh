#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need; quick when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 xvfb x11-utils imagemagick librsvg2-bin googletest
  libvlc-dev:i386 libvlc5:i386 vlc-plugin-base:i386
  wine32-tools:i386 libwine-dev:i386 gcc-multilib g++-multilib
  ffmpeg clang libclang-rt-14-dev python3 curl nsis openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}; run this script as root to install them." >&2
  exit 1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
