#!/usr/bin/env bash
# Builds Quillet and runs every test: the Windows build's tests under Wine (through ctest), and
# the native sanitizer and fuzz checks of the updater's parsers; where those are the 64-bit build's,
# also builds and checks the 32-bit program (scripts/x86-check.sh). Installs what is missing first.
#
# For development: QUILLET_BUILD_DIR=<dir> picks the build folder, QUILLET_KEEP_PREFIX=1 reuses
# the Wine prefix of an earlier run, QUILLET_SKIP_NATIVE=1 skips the native checks and
# QUILLET_SKIP_X86=1 the 32-bit program, and any arguments go to ctest (e.g. scripts/test.sh
# -R PlayList).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/deps.sh
. scripts/lib/host-arch.sh
preset=$(quillet_preset)
build=${QUILLET_BUILD_DIR:-$root/build/$preset}

if [ -f scripts/check-art.sh ]; then
  bash scripts/check-art.sh
fi

cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j2

status=0
# The 32-bit program is what ships. Where the tests run the 64-bit build it is still built, as a
# release is and with warnings as errors, and what the host relies on in it is checked.
x86_failed=0
if [ "$preset" != mingw ] && [ "${QUILLET_SKIP_X86:-0}" != 1 ]; then
  bash scripts/x86-check.sh "$build/x86" || { x86_failed=1; status=1; }
fi

. scripts/lib/wine-env.sh
trap wine_down EXIT
if [ "${QUILLET_KEEP_PREFIX:-0}" = 1 ]; then mode=keep; else mode=fresh; fi
wine_up "$build/wine" "$mode" xvfb
# A kept prefix from a run stopped during the scale runs below would still be at that scale.
[ "$mode" = fresh ] || wine_reset_dpi
# Wine closes a desktop a second after its last program ends; between two tests that left each
# next GUI test waiting over a second for a new one. This keeps it in use until wine_down.
hold_desktop() { (cd "$build/bin" && wine desktop_holder.exe </dev/null >/dev/null 2>&1 &); }
hold_desktop

log="$build/test-log.txt"
(cd "$build" && ctest --output-on-failure -j2 --timeout 300 -LE own-prefix "$@") 2>&1 | tee "$log" || status=1
# Tests with a Wine prefix of their own come last: running programs in another prefix ends the
# desktop process of the run's prefix, which the GUI tests above rely on.
(cd "$build" && ctest --output-on-failure --timeout 600 -L own-prefix "$@") 2>&1 | tee -a "$log" || status=1
# The display-scale tests once more at 150 and at 200 percent (LogPixels 144 and 192 in the run's
# prefix, each a restart of Wine: a few seconds), then the prefix goes back to the default scale.
if (cd "$build" && ctest -N -L scale "$@" | grep -q 'Total Tests: [1-9]'); then
  for dpi in 144 192; do
    wine_set_dpi "$dpi"
    hold_desktop
    (cd "$build" && QUILLET_TEST_DPI=$dpi ctest --output-on-failure --timeout 300 -L scale "$@") 2>&1 |
      tee -a "$log" || status=1
  done
  wine_set_dpi default
fi

if [ -f scripts/native-check.sh ] && [ "${QUILLET_SKIP_NATIVE:-0}" != 1 ]; then
  bash scripts/native-check.sh 2>&1 | tee -a "$log" || status=1
fi

# One closing line over every test program that ran: the Wine tests and the native checks.
awk '/tests passed, .* tests failed out of/ { failed += $4; total += $NF }
     END { printf "tests: %d passed, %d failed\n", total - failed, failed }' "$log"
[ "$x86_failed" = 0 ] || echo "the 32-bit program: FAILED (see scripts/x86-check.sh above)"
exit $status
