#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need; quick when all are present.
# Where the kernel runs 32-bit programs, Wine, libVLC and the Winelib tools come as i386 packages
# and the tests run the 32-bit build; elsewhere as amd64 packages for the 64-bit build under
# wine64 (scripts/lib/host-arch.sh says which).
set -euo pipefail
. "$(dirname "$0")/lib/host-arch.sh"

packages=(
  cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine xvfb x11-utils imagemagick librsvg2-bin optipng googletest
  ffmpeg clang libclang-rt-14-dev python3 curl nsis openssl
)
if [ "$(quillet_host_bits)" = 32 ]; then
  packages+=(wine32:i386 libvlc-dev:i386 libvlc5:i386 vlc-plugin-base:i386
             wine32-tools:i386 libwine-dev:i386 gcc-multilib g++-multilib)
else
  packages+=(wine64 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
             libvlc-dev:amd64 libvlc5:amd64 vlc-plugin-base:amd64 wine64-tools libwine-dev:amd64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}; run this script as root to install them." >&2
  exit 1
fi
if [ "$(quillet_host_bits)" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# The i386 and amd64 Winelib tools and libVLC plug-in sets exclude each other; apt swaps them.
apt-get install -y -qq --no-install-recommends "${missing[@]}"
