#!/usr/bin/env bash
# Builds the 32-bit Quillet.exe and tellanupdate.dll as a release is built (preset mingw, tests
# off, with a libVLC folder) but with warnings as errors, and checks what the host relies on:
# the update library exports its six functions under their plain names, and the player binds
# libvlc.dll on first use, not when it loads, with every such slot ready for its first call. For
# machines whose tests run the 64-bit build.
#   x86-check.sh [build folder]      (default build/x86)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/lib/pe-check.sh
build=${1:-$root/build/x86}

# A libVLC folder as VLC's Windows SDK lays it out: the headers, and a plain import library, so
# that a build which linked it would bind libvlc.dll at load time and fail the check below.
sdk=$build/libvlc-stand-in
rm -rf "$sdk"
mkdir -p "$sdk/include" "$sdk/lib"
ln -s /usr/include/vlc "$sdk/include/vlc"
{ echo "LIBRARY libvlc.dll"; echo "EXPORTS"
  sed -n 's/^@ cdecl \([A-Za-z0-9_]*\).*/  \1/p' cmake/libvlc.exports; } >"$sdk/libvlc.def"
i686-w64-mingw32-dlltool -d "$sdk/libvlc.def" -l "$sdk/lib/libvlc.dll.a" -D libvlc.dll

log=$build/configure.log
cmake --preset mingw -B "$build" -DQUILLET_BUILD_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
      -DQUILLET_LIBVLC_SDK="$sdk" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
cmake --build "$build" -j2 --target Quillet tellanupdate

failures=0
expected=$(printf '%s\n' tellanup_create tellanup_download tellanup_haveNew tellanup_install \
                         tellanup_release tellanup_setParam)
exports=$(pe_exports "$build/bin/tellanupdate.dll" | LC_ALL=C sort)
if [ "$exports" != "$expected" ]; then
  echo "FAIL: the 32-bit tellanupdate.dll exports" $exports "instead of" $expected >&2
  failures=$((failures + 1))
fi
pe_check_binds_on_first_use "$build/bin/Quillet.exe" libvlc.dll || failures=$((failures + 1))
# These programs cannot be started here, so what starting them would show is read off instead.
for program in Quillet.exe tellanupdate.dll; do
  pe_check_delay_slots "$build/bin/$program" || failures=$((failures + 1))
done

[ "$failures" -eq 0 ] || exit 1
echo "32-bit program: builds without warnings; exports, libVLC binding and first-use slots checked"
