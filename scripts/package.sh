#!/usr/bin/env bash
# Builds the release installer Quillet-<version>-setup.exe and prints its path. Arguments are
# -D options for the build, e.g.
#   scripts/package.sh -DQUILLET_LIBVLC_SDK=/path/to/vlc-3.0.21 -DQUILLET_UPDATE_URL=https://host/quillet/update \
#                      -DQUILLET_UPDATE_PUBLIC_KEY=/path/to/update-public.pem
# Only the options given count: the build folder is configured afresh each time, so a URL or
# SDK folder from an earlier run never slips into a release. QUILLET_PACKAGE_DIR=<dir> picks the
# build folder (default build/release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

for arg in "$@"; do
  case $arg in
    -D*) ;;
    *) echo "usage: scripts/package.sh [-DQUILLET_LIBVLC_SDK=<folder>] [-DQUILLET_UPDATE_URL=<url>]" \
            "[-DQUILLET_UPDATE_PUBLIC_KEY=<pem file>] [-D...]" >&2
       exit 2 ;;
  esac
done

bash scripts/deps.sh
build=${QUILLET_PACKAGE_DIR:-$root/build/release}

mkdir -p "$build"
log=$build/configure.log
cmake --fresh --preset mingw -B "$build" -DQUILLET_BUILD_TESTS=OFF "$@" >"$log" 2>&1 || {
  cat "$log" >&2
  exit 1
}
grep -A3 '^CMake Warning' "$log" >&2 || true
cmake --build "$build" -j2 --target installer

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
installer=$build/Quillet-$version-setup.exe
[ -f "$installer" ] || { echo "no installer at $installer" >&2; exit 1; }
if [ ! -f "$build/installer/files/libvlc.dll" ]; then
  echo "note: no libVLC runtime in this installer (give -DQUILLET_LIBVLC_SDK=<folder>);" \
       "the player starts only where libvlc.dll is found" >&2
fi
if [ ! -f "$build/installer/files/tellanupdate.conf" ]; then
  echo "note: no tellanupdate.conf in this installer (give -DQUILLET_UPDATE_URL=<url>);" \
       "the installed player will not look for updates" >&2
fi
if [ -f "$build/installer/files/tellanupdate.conf" ] &&
   ! grep -q '^QUILLET_UPDATE_PUBLIC_KEY:[A-Z]*=.' "$build/CMakeCache.txt"; then
  echo "note: no update key in this build (give -DQUILLET_UPDATE_PUBLIC_KEY=<pem file>);" \
       "the installed player will start update installers unchecked" >&2
fi
echo "$installer"
